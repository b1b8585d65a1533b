#include "catalogue_merge.h"

#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace
{

// An entry, and which of its equal copies in its list it is.
struct EntryKey {
    const CDictEntry* pEntry;
    std::size_t nCopy;
    bool operator==(const EntryKey& other) const
    {
        return nCopy == other.nCopy && *pEntry == *other.pEntry;
    }
};

struct EntryKeyHash {
    std::size_t operator()(const EntryKey& key) const
    {
        const std::hash<std::u16string> hash;
        std::size_t h = hash(key.pEntry->name);
        for (const std::size_t part :
             {hash(key.pEntry->encoding), hash(key.pEntry->programUrl), key.nCopy})
            h ^= part + 0x9e3779b97f4a7c15u + (h << 6) + (h >> 2);
        return h;
    }
};

// The keys of the entries from nFixed on, in order.
std::vector<EntryKey> KeysOf(const std::vector<CDictEntry>& entries, std::size_t nFixed)
{
    std::vector<EntryKey> keys;
    std::unordered_map<EntryKey, std::size_t, EntryKeyHash> copies;
    for (std::size_t i = nFixed; i < entries.size(); ++i) {
        const std::size_t nCopy = copies[EntryKey{&entries[i], 0}]++;
        keys.push_back(EntryKey{&entries[i], nCopy});
    }
    return keys;
}

using KeySet = std::unordered_set<EntryKey, EntryKeyHash>;

// What a selection names: a built-in entry, a stored one, or an index that
// names none (-1, or beyond the list), kept as it is.
struct Chosen {
    int32_t nIndex;
    std::optional<EntryKey> key;
};

Chosen ChosenIn(const std::vector<EntryKey>& keys, int32_t nSelection, std::size_t nFixed)
{
    if (nSelection >= static_cast<int32_t>(nFixed) &&
        static_cast<std::size_t>(nSelection) < nFixed + keys.size())
        return {nSelection, keys[static_cast<std::size_t>(nSelection) - nFixed]};
    return {nSelection, std::nullopt};
}

bool SameChoice(const Chosen& a, const Chosen& b)
{
    return a.key || b.key ? a.key && b.key && *a.key == *b.key : a.nIndex == b.nIndex;
}

} // namespace

int32_t MergeCatalogueEntries(std::vector<CDictEntry>& ours, int32_t nOurSelection,
                              const std::vector<CDictEntry>& base, int32_t nBaseSelection,
                              const std::vector<CDictEntry>& theirs, int32_t nTheirSelection,
                              std::size_t nFixed)
{
    nFixed = std::min(nFixed, ours.size());
    const std::vector<EntryKey> ourKeys = KeysOf(ours, nFixed);
    const std::vector<EntryKey> baseKeys = KeysOf(base, std::min(nFixed, base.size()));
    const std::vector<EntryKey> theirKeys = KeysOf(theirs, std::min(nFixed, theirs.size()));
    const KeySet inOurs(ourKeys.begin(), ourKeys.end());
    const KeySet inBase(baseKeys.begin(), baseKeys.end());
    const KeySet inTheirs(theirKeys.begin(), theirKeys.end());

    // Their additions, each after the last entry before it that we also have.
    std::unordered_map<EntryKey, std::vector<EntryKey>, EntryKeyHash> after;
    std::vector<EntryKey> atStart;
    std::optional<EntryKey> anchor;
    for (const EntryKey& key : theirKeys) {
        if (inOurs.count(key))
            anchor = key;
        else if (!inBase.count(key))
            (anchor ? after[*anchor] : atStart).push_back(key);
    }

    // Keys of ours and theirs for one entry are equal, so the index of an
    // entry is found from either list.
    std::vector<CDictEntry> merged(ours.begin(),
                                   ours.begin() + static_cast<std::ptrdiff_t>(nFixed));
    std::unordered_map<EntryKey, int32_t, EntryKeyHash> mergedIndex;
    const auto add = [&](const EntryKey& key) {
        mergedIndex[key] = static_cast<int32_t>(merged.size());
        merged.push_back(*key.pEntry);
    };
    for (const EntryKey& key : atStart)
        add(key);
    for (const EntryKey& key : ourKeys) {
        // Ours, unless it was there when we read and they have removed it since.
        if (!inTheirs.count(key) && inBase.count(key))
            continue;
        add(key);
        for (const EntryKey& added : after[key])
            add(added);
    }

    const auto indexOf = [&](const Chosen& chosen) -> std::optional<int32_t> {
        if (!chosen.key)
            return chosen.nIndex;
        const auto it = mergedIndex.find(*chosen.key);
        return it == mergedIndex.end() ? std::nullopt : std::optional<int32_t>(it->second);
    };
    const Chosen ourChoice = ChosenIn(ourKeys, nOurSelection, nFixed);
    const Chosen theirChoice = ChosenIn(theirKeys, nTheirSelection, nFixed);
    const bool bOursChanged =
        !SameChoice(ourChoice, ChosenIn(baseKeys, nBaseSelection, std::min(nFixed, base.size())));
    const std::optional<int32_t> first = indexOf(bOursChanged ? ourChoice : theirChoice);
    const std::optional<int32_t> second = indexOf(bOursChanged ? theirChoice : ourChoice);
    ours = std::move(merged);
    return first ? *first : second ? *second : nOurSelection;
}
