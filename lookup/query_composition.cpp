#include "query_composition.h"

#include "dict_catalogue.h"
#include "navigable_address.h"
#include "parameter_encoding.h"
#include "utf_text.h"

#include <string_view>
#include <vector>

namespace
{

constexpr char16_t kHex[] = u"0123456789ABCDEF";

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool IsUnreserved(unsigned c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// ASCII that the browser leaves as it is in an address; the rest it escapes.
bool IsKeptAsIs(char16_t c)
{
    return c > 0x20 && c < 0x7F &&
           std::u16string_view(u"\"<>\\^`{|}").find(c) == std::u16string_view::npos;
}

void AppendEscaped(std::u16string& out, unsigned char b)
{
    out += u'%';
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
}

// An address in the one form the browser reports it in, so that a program
// address from a catalogue and an address the browser shows can be compared:
// the scheme and the server in small letters, no default port, a path of at
// least "/", escaped letters and digits plain, other escapes in capitals, and
// characters outside ASCII as escaped UTF-8.
std::u16string CanonicalAddress(std::u16string_view address)
{
    constexpr std::u16string_view kBlanks = u" \t\r\n\f\v";
    const auto nStart = address.find_first_not_of(kBlanks);
    if (nStart == std::u16string_view::npos)
        return {};
    address = address.substr(nStart, address.find_last_not_of(kBlanks) + 1 - nStart);
    const auto nSchemeEnd = address.find(u"://");
    if (nSchemeEnd == std::u16string_view::npos)
        return std::u16string(address);
    std::u16string out;
    out.reserve(address.size() + 8);
    for (const char16_t c : address.substr(0, nSchemeEnd))
        out += Lower(c);
    const std::u16string scheme = out;
    out += u"://";
    const std::size_t nServerStart = nSchemeEnd + 3;
    std::size_t nServerEnd = address.find_first_of(u"/?#", nServerStart);
    if (nServerEnd == std::u16string_view::npos)
        nServerEnd = address.size();
    std::u16string server;
    for (const char16_t c : address.substr(nServerStart, nServerEnd - nServerStart))
        server += Lower(c);
    const std::u16string_view defaultPort = scheme == u"http"    ? u":80"
                                            : scheme == u"https" ? u":443"
                                                                 : u"";
    if (!defaultPort.empty() && server.ends_with(defaultPort))
        server.resize(server.size() - defaultPort.size());
    if (server.ends_with(u':'))
        server.pop_back();
    out += server;
    const std::u16string_view rest = address.substr(nServerEnd);
    if (rest.empty() || rest[0] != u'/')
        out += u'/';
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char16_t c = rest[i];
        if (c == u'%') {
            const int nHigh = i + 2 < rest.size() ? HexDigitValue(rest[i + 1]) : -1;
            const int nLow = nHigh >= 0 ? HexDigitValue(rest[i + 2]) : -1;
            if (nLow < 0) {
                AppendEscaped(out, '%');
                continue;
            }
            const auto b = static_cast<unsigned char>(nHigh * 16 + nLow);
            if (IsUnreserved(b))
                out += static_cast<char16_t>(b);
            else
                AppendEscaped(out, b);
            i += 2;
        } else if (c < 0x80) {
            if (IsKeptAsIs(c))
                out += c;
            else
                AppendEscaped(out, static_cast<unsigned char>(c));
        } else {
            // A surrogate pair is one character of four bytes.
            std::size_t nUnits = 0;
            CodePointAt(rest, i, nUnits);
            for (const char b : Utf16ToUtf8(rest.substr(i, nUnits)))
                AppendEscaped(out, static_cast<unsigned char>(b));
            i += nUnits - 1;
        }
    }
    return out;
}

// A word as it stands in an address, read in strEncoding; a plus sign in a
// query is a blank, as forms send it.
std::optional<std::u16string> ReadWord(std::u16string_view escaped, bool bInQuery,
                                       const std::u16string& strEncoding)
{
    std::u16string text(escaped);
    if (bInQuery) {
        for (std::size_t nPlus = text.find(u'+'); nPlus != std::u16string::npos;
             nPlus = text.find(u'+', nPlus))
            text.replace(nPlus, 1, u"%20");
    }
    std::optional<std::u16string> word = UnescapeParameter(text, strEncoding);
    if (!word || word->empty())
        return std::nullopt;
    return word;
}

// The word after a dictionary's program address: up to the end of the
// parameter when the address ends inside a query, else up to a query.
std::optional<std::u16string> WordAfterProgram(const std::u16string& url,
                                               const std::u16string& program,
                                               const std::u16string& strEncoding)
{
    if (!url.starts_with(program))
        return std::nullopt;
    const bool bInQuery = program.find(u'?') != std::u16string::npos;
    const std::u16string_view rest = std::u16string_view(url).substr(program.size());
    return ReadWord(rest.substr(0, rest.find_first_of(bInQuery ? u"&#" : u"?#")), bInQuery,
                    strEncoding);
}

// The "word" parameter of a pre-dictionary's address that also names a dictionary.
std::optional<std::u16string> WordOfPreDictionary(const std::u16string& url,
                                                  const std::u16string& base,
                                                  const std::u16string& strEncoding)
{
    if (!url.starts_with(base) || url.size() <= base.size() || url[base.size()] != u'?')
        return std::nullopt;
    std::u16string_view query = std::u16string_view(url).substr(base.size() + 1);
    query = query.substr(0, query.find(u'#'));
    std::optional<std::u16string_view> word;
    bool bDict = false;
    for (;;) {
        const auto nAmp = query.find(u'&');
        const std::u16string_view param = query.substr(0, nAmp);
        if (param.starts_with(u"dict="))
            bDict = true;
        else if (param.starts_with(u"word=") && !word)
            word = param.substr(5);
        if (nAmp == std::u16string_view::npos)
            break;
        query = query.substr(nAmp + 1);
    }
    if (!word || !bDict)
        return std::nullopt;
    return ReadWord(*word, true, strEncoding);
}

// Row nChosen first, then the others in catalogue order.
std::vector<int> RowsChosenFirst(const CDictCatalogue& catalogue, int nChosen)
{
    std::vector<int> rows;
    if (nChosen >= 0 && nChosen < catalogue.GetCount())
        rows.push_back(nChosen);
    for (int i = 0; i < catalogue.GetCount(); ++i)
        if (i != nChosen)
            rows.push_back(i);
    return rows;
}

} // namespace

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

std::optional<std::u16string> LookupWordFromUrl(const std::u16string& strUrl,
                                                const CDictCatalogue& dictCatalogue, int nDictIndex,
                                                const CDictCatalogue& predictCatalogue,
                                                int nPredictIndex)
{
    if (!IsNavigableAddress(strUrl))
        return std::nullopt;
    const std::u16string url = CanonicalAddress(strUrl);
    std::optional<std::u16string> best;
    std::size_t nBest = 0;
    const auto consider = [&](std::size_t nLength, std::optional<std::u16string> word) {
        if (word && (!best || nLength > nBest)) {
            best = std::move(word);
            nBest = nLength;
        }
    };
    // Only web addresses can have been looked up; the " --- " row has none.
    for (const int nRow : RowsChosenFirst(dictCatalogue, nDictIndex)) {
        const CDictEntry& dict = dictCatalogue.GetEntry(nRow);
        if (!IsNavigableAddress(dict.programUrl))
            continue;
        const std::u16string program = CanonicalAddress(dict.programUrl);
        consider(program.size(), WordAfterProgram(url, program, dict.encoding));
    }
    for (const int nRow : RowsChosenFirst(predictCatalogue, nPredictIndex)) {
        const CDictEntry& predict = predictCatalogue.GetEntry(nRow);
        if (!IsNavigableAddress(predict.programUrl))
            continue;
        const std::u16string base = CanonicalAddress(predict.programUrl);
        consider(base.size() + 1, WordOfPreDictionary(url, base, predict.encoding));
    }
    return best;
}
