#include "query_composition.h"

#include "dict_catalogue.h"
#include "parameter_encoding.h"

std::optional<std::u16string> ComposeLookupUrl(const std::u16string& strWord,
                                               const CDictCatalogue& dictCatalogue, int nDictIndex,
                                               const CDictCatalogue& predictCatalogue,
                                               int nPredictIndex)
{
    if (nDictIndex < 0 || nDictIndex >= dictCatalogue.GetCount() || strWord.empty())
        return std::nullopt;
    const CDictEntry& dict = dictCatalogue.GetEntry(nDictIndex);

    // Row 0 is " --- "; a list showing no row (a remembered choice past the
    // end) is taken the same way rather than reading a row that is not there.
    if (nPredictIndex <= 0 || nPredictIndex >= predictCatalogue.GetCount())
        return dict.programUrl + EscapeParameter(strWord, dict.encoding);

    const CDictEntry& predict = predictCatalogue.GetEntry(nPredictIndex);
    return predict.programUrl + u"?dict=" + EscapeParameter(dict.programUrl, u"western") +
           u"&codepage=" + EscapeParameter(dict.encoding, u"western") + u"&word=" +
           EscapeParameter(strWord, predict.encoding);
}
