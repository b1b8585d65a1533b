#pragma once

#include "text.h"
#include "win_defs.h"

#include <functional>
#include <vector>

// What a message box is asked to show. Tests see it through the hook below.
struct MessageBoxRequest {
    HWND hOwner = nullptr;
    CString strText;
    CString strCaption;
    unsigned nType = 0;
    std::vector<CString> buttonTexts;
};

// Shows a modal message box with the buttons of nType (MB_OK, or
// MB_RETRYCANCEL) and its icon (MB_ICONSTOP or MB_ICONEXCLAMATION and the
// other MB_ICON values), owned by hOwner's window or else by the active
// window. The text is plain text, shown as it is whatever characters it
// holds. buttonTexts, when given, name the buttons in their order instead of
// the toolkit's own words. Returns the id of the button pressed (IDOK, or
// IDRETRY or IDCANCEL); Esc and the close box mean the last button. An empty
// caption becomes the application name.
int AfxMessageBox(HWND hOwner, const CString& strText, const CString& strCaption, unsigned nType,
                  const std::vector<CString>& buttonTexts = {});

// The seam for tests: while a hook is set, every message box goes to it
// instead of the screen and the hook's result is returned. Pass an empty
// function to show boxes again. Returns the hook that was set before.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
MessageBoxHook AfxSetMessageBoxHook(MessageBoxHook hook);
