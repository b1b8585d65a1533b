#include "browser_switches.h"

#include <algorithm>

namespace
{

// The zygote for helper processes without a sandbox: a lookup starts none of
// them, and the engine would keep the idle process and its memory for as long
// as it runs (about 8 MiB). Should one be needed, it is started directly.
// The sandboxed zygote, which starts the pages' processes, stays.
constexpr std::string_view kLibrarySwitches[] = {"--no-unsandboxed-zygote"};

bool NamesSwitch(std::string_view switches, std::string_view name)
{
    constexpr std::string_view kBlanks = " \t\r\n";
    std::size_t nPos = 0;
    while ((nPos = switches.find_first_not_of(kBlanks, nPos)) != std::string_view::npos) {
        const std::size_t nEnd = std::min(switches.find_first_of(kBlanks, nPos), switches.size());
        const std::string_view word = switches.substr(nPos, nEnd - nPos);
        if (word == name || (word.starts_with(name) && word[name.size()] == '='))
            return true;
        nPos = nEnd;
    }
    return false;
}

} // namespace

std::string WithLibraryBrowserSwitches(std::string_view userSwitches)
{
    std::string strSwitches(userSwitches);
    for (const std::string_view name : kLibrarySwitches) {
        if (NamesSwitch(userSwitches, name))
            continue;
        if (!strSwitches.empty())
            strSwitches += ' ';
        strSwitches += name;
    }
    return strSwitches;
}

bool BrowserSwitchesDisableGpu(std::string_view switches)
{
    return NamesSwitch(switches, "--disable-gpu");
}
