#include "display_check.h"

#include <windows.h>

bool HasDisplay()
{
    // A service runs in a window station that nobody sees.
    HWINSTA station = ::GetProcessWindowStation();
    USEROBJECTFLAGS flags{};
    return station &&
           ::GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}
