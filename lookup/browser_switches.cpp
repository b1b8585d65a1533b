#include "browser_switches.h"

#include <algorithm>
#include <optional>

namespace
{

// The zygote for helper processes without a sandbox: a lookup starts none of
// them, and the engine would keep the idle process and its memory for as long
// as it runs (about 8 MiB). Should one be needed, it is started directly.
// The sandboxed zygote, which starts the pages' processes, stays.
constexpr std::string_view kLibrarySwitches[] = {"--no-unsandboxed-zygote"};

// Paint holding keeps a new page blank until its first contentful paint or a
// time-out, which delays every answer by a frame or more; the answer is
// wanted at once, and a page change showing the old page a moment longer is
// no loss here.
constexpr std::string_view kLibraryDisabledFeatures[] = {"PaintHolding"};

constexpr std::string_view kDisableFeatures = "--disable-features";
constexpr std::string_view kEnableFeatures = "--enable-features";
constexpr std::string_view kBlanks = " \t\r\n";

struct SSwitchWord {
    std::size_t nPos;
    std::size_t nLength;
};

// Every word of switches that names the switch, bare or with a value, in order.
template <typename F> void ForEachNaming(std::string_view switches, std::string_view name, F f)
{
    std::size_t nPos = 0;
    while ((nPos = switches.find_first_not_of(kBlanks, nPos)) != std::string_view::npos) {
        const std::size_t nEnd = std::min(switches.find_first_of(kBlanks, nPos), switches.size());
        const std::string_view word = switches.substr(nPos, nEnd - nPos);
        if (word == name || (word.starts_with(name) && word[name.size()] == '='))
            f(SSwitchWord{nPos, nEnd - nPos});
        nPos = nEnd;
    }
}

bool NamesSwitch(std::string_view switches, std::string_view name)
{
    bool bNamed = false;
    ForEachNaming(switches, name, [&](SSwitchWord) { bNamed = true; });
    return bNamed;
}

// The engine takes the last of a repeated switch; this is the word it reads.
std::optional<SSwitchWord> LastNaming(std::string_view switches, std::string_view name)
{
    std::optional<SSwitchWord> last;
    ForEachNaming(switches, name, [&](SSwitchWord word) { last = word; });
    return last;
}

// Whether a feature list ("A,B<Trial,*C") holds the feature.
bool ListsFeature(std::string_view list, std::string_view feature)
{
    std::size_t nPos = 0;
    while (nPos <= list.size()) {
        const std::size_t nEnd = std::min(list.find(',', nPos), list.size());
        std::string_view item = list.substr(nPos, nEnd - nPos);
        if (item.starts_with('*'))
            item.remove_prefix(1);
        item = item.substr(0, item.find('<'));
        if (item == feature)
            return true;
        nPos = nEnd + 1;
    }
    return false;
}

// The value of the last word naming the switch; empty when bare or absent.
std::string_view LastValue(std::string_view switches, std::string_view name)
{
    const std::optional<SSwitchWord> word = LastNaming(switches, name);
    if (!word || word->nLength == name.size())
        return {};
    return switches.substr(word->nPos + name.size() + 1, word->nLength - name.size() - 1);
}

} // namespace

std::string WithLibraryBrowserSwitches(std::string_view userSwitches)
{
    std::string strSwitches(userSwitches);
    // Features the user has not named in either list; a feature the user
    // enables is the user's choice.
    std::string strFeatures;
    const std::string_view userDisabled = LastValue(userSwitches, kDisableFeatures);
    const std::string_view userEnabled = LastValue(userSwitches, kEnableFeatures);
    for (const std::string_view feature : kLibraryDisabledFeatures) {
        if (ListsFeature(userDisabled, feature) || ListsFeature(userEnabled, feature))
            continue;
        if (!strFeatures.empty())
            strFeatures += ',';
        strFeatures += feature;
    }
    // Joined to the user's own list in place: a second --disable-features
    // would replace the user's, not add to it.
    if (!strFeatures.empty()) {
        if (const std::optional<SSwitchWord> word = LastNaming(userSwitches, kDisableFeatures)) {
            const std::size_t nEnd = word->nPos + word->nLength;
            std::string strAdded;
            if (word->nLength == kDisableFeatures.size())
                strAdded = '=';
            else if (!userDisabled.empty() && !userDisabled.ends_with(','))
                strAdded = ',';
            strAdded += strFeatures;
            strSwitches.insert(nEnd, strAdded);
            strFeatures.clear();
        }
    }
    for (const std::string_view name : kLibrarySwitches) {
        if (NamesSwitch(userSwitches, name))
            continue;
        if (!strSwitches.empty())
            strSwitches += ' ';
        strSwitches += name;
    }
    if (!strFeatures.empty()) {
        if (!strSwitches.empty())
            strSwitches += ' ';
        strSwitches += kDisableFeatures;
        strSwitches += '=';
        strSwitches += strFeatures;
    }
    return strSwitches;
}

bool BrowserSwitchesDisableGpu(std::string_view switches)
{
    return NamesSwitch(switches, "--disable-gpu");
}
