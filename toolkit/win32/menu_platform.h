#pragma once

#include <windows.h>

// The Win32 side of a CMenu: the popup menu, owned until it is tracked.
struct CMenuPlatform {
    HMENU hMenu = nullptr;
};
