#pragma once

#include "wnd.h"

#include <windows.h>

// The Win32 side of a CWnd: the window, whether the wrapper owns it, and the
// key handler its subclass procedure calls first.
struct CWndPlatform {
    HWND hWnd = nullptr;
    bool bOwnsWindow = false;
    CWnd::KeyHandler keyHandler;
};
