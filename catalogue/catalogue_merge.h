#pragma once

#include "dict_entry.h"

#include <cstdint>
#include <vector>

// Merges a catalogue about to be saved (ours) with what another process saved
// in its file (theirs) since this one read it (base). Entries are told apart by
// all three fields: two entries with one name may be two encodings or two
// programs, and an edited entry is a new one. An entry that the other process
// added stays, one that it removed stays removed, and so do ours; entries that
// both have keep our order, and an entry only they added follows the entry it
// followed in their file. The selection names an entry: ours when we changed
// it, else theirs, as long as that entry is still there. The first nFixed
// entries are built in and stay first. Returns the selection; ours becomes the
// merged list.
int32_t MergeCatalogueEntries(std::vector<CDictEntry>& ours, int32_t nOurSelection,
                              const std::vector<CDictEntry>& base, int32_t nBaseSelection,
                              const std::vector<CDictEntry>& theirs, int32_t nTheirSelection,
                              std::size_t nFixed);
