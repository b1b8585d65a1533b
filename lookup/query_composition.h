#pragma once

#include <optional>
#include <string>

class CDictCatalogue;

// The address of the answer page for a word in dictionary row nDictIndex,
// asked directly (pre-dictionary row 0) or through pre-dictionary row
// nPredictIndex. No value means the input is missing: no dictionary chosen,
// or an empty word.
std::optional<std::u16string> ComposeLookupUrl(const std::u16string& strWord,
                                               const CDictCatalogue& dictCatalogue, int nDictIndex,
                                               const CDictCatalogue& predictCatalogue,
                                               int nPredictIndex);
