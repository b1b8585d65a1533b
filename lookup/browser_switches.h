#pragma once

#include <string>
#include <string_view>

// The browser engine takes its switches from a variable of the environment, read
// once, when the first browser is made. The user's switches stay as they are,
// in front; the library's own follow, each only where the user has not named
// that switch, with or without a value. Features the library turns off join
// the user's own --disable-features list, unless the user names them in it or
// in --enable-features.

// userSwitches followed by the library's switches that it does not name.
std::string WithLibraryBrowserSwitches(std::string_view userSwitches);

// Whether switches keep the engine off the GPU (--disable-gpu).
bool BrowserSwitchesDisableGpu(std::string_view switches);
