// libFuzzer target: any text in any encoding. The escaped text holds only
// ASCII letters, digits and %XX with upper-case hexadecimal digits; the lookup
// address is the program's address followed by escaped text only; an address
// the pages accept begins with http:// or https://.
#include "dict_catalogue.h"
#include "navigable_address.h"
#include "parameter_encoding.h"
#include "query_composition.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

void Require(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

bool IsAlnum(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsUpperHex(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

// Letters, digits and %XX, and the separators of a pre-dictionary's query.
bool OnlyEscaped(std::u16string_view text, bool bQuerySeparators = false)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsAlnum(text[i]))
            continue;
        if (text[i] == u'%' && i + 2 < text.size() && IsUpperHex(text[i + 1]) &&
            IsUpperHex(text[i + 2])) {
            i += 2;
            continue;
        }
        if (bQuerySeparators && (text[i] == u'&' || text[i] == u'='))
            continue;
        return false;
    }
    return true;
}

std::u16string Units(const uint8_t* pData, size_t nSize)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < nSize; i += 2)
        text.push_back(static_cast<char16_t>(pData[i] | (pData[i + 1] << 8)));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    // The first byte picks the encodings (an unknown name included), the
    // second where the text splits into word and program address.
    static const std::u16string kNames[] = {u"utf8", u"baltic", u"western", u"mystery"};
    const std::u16string& dictEncoding = kNames[pData[0] & 3];
    const std::u16string& predictEncoding = kNames[(pData[0] >> 2) & 3];
    const bool bThroughPredict = pData[0] & 0x10;
    const std::u16string text = Units(pData + 2, nSize - 2);
    const std::size_t nSplit = text.empty() ? 0 : pData[1] % (text.size() + 1);
    const std::u16string word = text.substr(0, nSplit);
    const std::u16string program = text.substr(nSplit);

    const std::u16string escaped = EscapeParameter(word, dictEncoding);
    Require(OnlyEscaped(escaped));
    Require(dictEncoding != u"mystery" || escaped.empty());

    CDictCatalogue dicts(u"", u"", 0);
    dicts.AddEntry(CDictEntry(u"d", dictEncoding, program));
    CDictCatalogue predicts(u"", u"", 1);
    predicts.AddEntry(CDictEntry(u"p", predictEncoding, u"http://127.0.0.1/p"));
    const auto url = ComposeLookupUrl(word, dicts, 0, predicts, bThroughPredict ? 1 : 0);
    Require(url.has_value() == !word.empty());
    if (url && !bThroughPredict) {
        Require(*url == program + escaped);
    } else if (url) {
        const std::u16string_view base = u"http://127.0.0.1/p?dict=";
        Require(std::u16string_view(*url).starts_with(base));
        Require(OnlyEscaped(std::u16string_view(*url).substr(base.size()), true));
    }

    for (const bool bAllowFile : {false, true}) {
        if (!IsNavigableAddress(program, bAllowFile))
            continue;
        const auto nStart = program.find_first_not_of(u" \t\r\n\f\v");
        const std::u16string_view start = std::u16string_view(program).substr(nStart, 8);
        std::u16string lower(start);
        for (char16_t& c : lower)
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c - u'A' + u'a');
        Require(lower.starts_with(u"http://") || lower.starts_with(u"https://") ||
                (bAllowFile && lower.starts_with(u"file:/")));
    }
    return 0;
}
