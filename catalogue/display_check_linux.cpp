#include "display_check.h"

#include <cstdlib>
#include <initializer_list>

bool HasDisplay()
{
    // A platform named outright (offscreen, say) needs no display server.
    for (const char* pszName : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* pszValue = std::getenv(pszName);
        if (pszValue && *pszValue)
            return true;
    }
    return false;
}
