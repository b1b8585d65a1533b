#pragma once

#include <string>

// What the browsers show instead of the engine's own (English) page when an
// address cannot be loaded at all: a short Estonian page naming the address,
// what went wrong and what to try. Pages that a server did send, such as its
// 404 page, are not load failures and are shown as sent.

// Whether a failed load with this network error number (the engine's
// negative numbers; the user stopping a load is not a failure) gets the page.
bool IsLoadFailureShown(int nNetError);

// A script that, run in the document the engine commits for the failed load,
// puts the page in its place. The address is untrusted: it enters the page
// only as text, never as markup.
std::u16string LoadFailurePageScript(const std::u16string& strAddress, int nNetError);

// The same page as markup of its own, for a browser that is given the page
// whole: the address and the reason enter it only as text.
std::u16string LoadFailurePageHtml(const std::u16string& strAddress, int nNetError);

// The network error number of a failed navigation as the Windows browser
// control reports it (an INET_E_... status), or 0 when the control's status
// is not a load failure: an HTTP status, whose page the server sent, or a
// load the user stopped.
int NetErrorOfNavigateStatus(long nStatus);
