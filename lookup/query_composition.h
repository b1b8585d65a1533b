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

// The word that a page address looks up, when the address is one of the
// catalogues' lookups: a dictionary's program address followed by a word, or
// a pre-dictionary's address with the word in its "word" parameter (a link in
// an answer page that asks the same program again counts too). The word is
// read in the encoding of the entry that received it. Addresses are compared
// as the browser writes them (letter case of the scheme and server, default
// port, escapes of letters and digits). When several entries fit, the longest
// program address wins, and among equal ones the chosen rows. No value for
// any other address.
std::optional<std::u16string> LookupWordFromUrl(const std::u16string& strUrl,
                                                const CDictCatalogue& dictCatalogue, int nDictIndex,
                                                const CDictCatalogue& predictCatalogue,
                                                int nPredictIndex);
