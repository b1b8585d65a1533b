#include "application.h"

#include "module_directory.h"
#include "utf_text.h"

#include <windows.h>

#include <commctrl.h>

CString AfxGetAppName()
{
    return Utf8ToUtf16(ModuleBaseName());
}

bool AfxEnsureApplication()
{
    // The windows run on the caller's thread in its own message loop; what
    // the process needs once is the common controls' classes.
    static const bool s_bDone = [] {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof(controls);
        controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
        InitCommonControlsEx(&controls);
        return true;
    }();
    return s_bDone;
}
