#include "parameter_encoding.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace
{

// UTF-8 one UTF-16 unit at a time: a surrogate pair becomes two three-byte
// groups, as the dictionary programs have always received it.
std::string EncodeUtf8Units(std::u16string_view text)
{
    std::string bytes;
    for (const char16_t c : text) {
        if (c <= 0x7F) {
            bytes.push_back(static_cast<char>(c));
        } else if (c <= 0x7FF) {
            bytes.push_back(static_cast<char>(0xC0 | (c >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            bytes.push_back(static_cast<char>(0xE0 | (c >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return bytes;
}

// A Windows code page, one byte per UTF-16 unit; '?' for what the page lacks.
std::string EncodeCodePage(std::u16string_view text, const char* pszCodePage)
{
    const iconv_t cd = ::iconv_open(pszCodePage, "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("no conversion to ") + pszCodePage);
    std::string bytes;
    for (const char16_t c : text) {
        char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        char out[8];
        char* pIn = in;
        char* pOut = out;
        std::size_t nIn = sizeof in;
        std::size_t nOut = sizeof out;
        const std::size_t r = ::iconv(cd, &pIn, &nIn, &pOut, &nOut);
        const std::size_t nProduced = sizeof out - nOut;
        if (r == static_cast<std::size_t>(-1) || nProduced != 1) {
            bytes.push_back('?');
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else {
            bytes.push_back(out[0]);
        }
    }
    ::iconv_close(cd);
    return bytes;
}

bool IsLetterOrDigit(unsigned char b)
{
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

} // namespace

std::u16string EscapeParameter(const std::u16string& strText, const std::u16string& strEncoding)
{
    const std::u16string_view text = std::u16string_view(strText).substr(0, strText.find(u'\0'));
    std::string bytes;
    if (strEncoding == u"utf8")
        bytes = EncodeUtf8Units(text);
    else if (strEncoding == u"baltic")
        bytes = EncodeCodePage(text, "CP1257");
    else if (strEncoding == u"western")
        bytes = EncodeCodePage(text, "CP1252");

    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string result;
    result.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (IsLetterOrDigit(b)) {
            result.push_back(b);
        } else {
            result.push_back(u'%');
            result.push_back(kHex[b >> 4]);
            result.push_back(kHex[b & 0x0F]);
        }
    }
    return result;
}

std::u16string EncodingNameFromIndex(int nIndex)
{
    return nIndex >= 0 && nIndex < kEncodingCount ? kEncodingNames[nIndex] : kEncodingNames[0];
}

int EncodingIndexFromName(const std::u16string& strName)
{
    for (int i = 0; i < kEncodingCount; ++i) {
        if (strName == kEncodingNames[i])
            return i;
    }
    return 0;
}
