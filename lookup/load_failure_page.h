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
