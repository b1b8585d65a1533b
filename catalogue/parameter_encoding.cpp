#include "parameter_encoding.h"

#include "code_page_table.h"
#include "utf_text.h"

#include <array>
#include <memory>

namespace
{

// How each byte appears in an escaped parameter: an ASCII letter or digit as
// itself, every other byte as "%XX".
struct CEscapedByte {
    char16_t text[3];
    unsigned char nLength;
};

constexpr std::array<CEscapedByte, 256> MakeEscapedBytes()
{
    constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::array<CEscapedByte, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const bool bLiteral =
            (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
        if (bLiteral)
            table[b] = {{static_cast<char16_t>(b), 0, 0}, 1};
        else
            table[b] = {{u'%', kHex[b >> 4], kHex[b & 0x0F]}, 3};
    }
    return table;
}

constexpr std::array<CEscapedByte, 256> kEscapedBytes = MakeEscapedBytes();

// Appends the escaped form of one byte; pOut has room for three units.
inline char16_t* PutByte(char16_t* pOut, unsigned char b)
{
    const CEscapedByte& e = kEscapedBytes[b];
    pOut[0] = e.text[0];
    pOut[1] = e.text[1];
    pOut[2] = e.text[2];
    return pOut + e.nLength;
}

// UTF-8 one UTF-16 unit at a time: a surrogate pair becomes two three-byte
// groups, as the dictionary programs have always received it.
char16_t* EscapeUtf8Units(std::u16string_view text, char16_t* pOut)
{
    for (const char16_t c : text) {
        if (c <= 0x7F) {
            pOut = PutByte(pOut, static_cast<unsigned char>(c));
        } else if (c <= 0x7FF) {
            pOut = PutByte(pOut, static_cast<unsigned char>(0xC0 | (c >> 6)));
            pOut = PutByte(pOut, static_cast<unsigned char>(0x80 | (c & 0x3F)));
        } else {
            pOut = PutByte(pOut, static_cast<unsigned char>(0xE0 | (c >> 12)));
            pOut = PutByte(pOut, static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)));
            pOut = PutByte(pOut, static_cast<unsigned char>(0x80 | (c & 0x3F)));
        }
    }
    return pOut;
}

// A Windows code page, one byte per character, converted by the system.
char16_t* EscapeCodePage(std::u16string_view text, const CCodePageTable& table, char16_t* pOut)
{
    const std::unique_ptr<unsigned char[]> bytes(new unsigned char[text.size()]);
    const std::size_t nBytes = table.ToBytes(text, bytes.get());
    for (std::size_t i = 0; i < nBytes; ++i)
        pOut = PutByte(pOut, bytes[i]);
    return pOut;
}

// The bytes an escaped parameter spells; no value for a broken %XX or a
// character that is no byte.
std::optional<std::string> EscapedBytes(std::u16string_view escaped)
{
    std::string bytes;
    bytes.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char16_t c = escaped[i];
        if (c == u'%') {
            const int nHigh = i + 2 < escaped.size() ? HexDigitValue(escaped[i + 1]) : -1;
            const int nLow = nHigh >= 0 ? HexDigitValue(escaped[i + 2]) : -1;
            if (nLow < 0)
                return std::nullopt;
            bytes.push_back(static_cast<char>(nHigh * 16 + nLow));
            i += 2;
        } else if (c > 0 && c < 0x80) {
            bytes.push_back(static_cast<char>(c));
        } else {
            return std::nullopt;
        }
    }
    return bytes;
}

// UTF-8 as the dictionary programs receive it, a surrogate also on its own,
// and as the rest of the web writes it, a four-byte group for a character
// outside the Basic Multilingual Plane.
std::optional<std::u16string> DecodeUtf8(const std::string& bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        int nFollow = 0;
        char32_t c = 0;
        char32_t nMin = 0;
        if (b >= 0x01 && b <= 0x7F) {
            c = b;
        } else if (b >= 0xC2 && b <= 0xDF) {
            nFollow = 1;
            c = b & 0x1F;
            nMin = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            nFollow = 2;
            c = b & 0x0F;
            nMin = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            nFollow = 3;
            c = b & 0x07;
            nMin = 0x10000;
        } else {
            return std::nullopt;
        }
        if (i + static_cast<std::size_t>(nFollow) >= bytes.size())
            return std::nullopt;
        for (int k = 1; k <= nFollow; ++k) {
            const auto f = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((f & 0xC0) != 0x80)
                return std::nullopt;
            c = (c << 6) | (f & 0x3F);
        }
        if (c < nMin || c > 0x10FFFF)
            return std::nullopt;
        AppendUtf16(text, c);
        i += static_cast<std::size_t>(nFollow) + 1;
    }
    return text;
}

std::optional<std::u16string> DecodeCodePage(const std::string& bytes, const CCodePageTable& table)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const char16_t c = table.Character(static_cast<unsigned char>(b));
        if (c == 0)
            return std::nullopt;
        text.push_back(c);
    }
    return text;
}

} // namespace

int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

std::u16string EscapeParameter(const std::u16string& strText, const std::u16string& strEncoding)
{
    const std::u16string_view text = std::u16string_view(strText).substr(0, strText.find(u'\0'));
    const CCodePageTable* pTable = nullptr;
    std::size_t nMaxPerUnit = 0;
    if (strEncoding == u"utf8") {
        nMaxPerUnit = 9;
    } else if (strEncoding == u"baltic") {
        pTable = &CCodePageTable::Baltic();
        nMaxPerUnit = 3;
    } else if (strEncoding == u"western") {
        pTable = &CCodePageTable::Western();
        nMaxPerUnit = 3;
    } else {
        return {};
    }
    // Written into uninitialised room for the longest possible result, then
    // copied once into the string.
    const std::unique_ptr<char16_t[]> buffer(new char16_t[text.size() * nMaxPerUnit]);
    const char16_t* pEnd =
        pTable ? EscapeCodePage(text, *pTable, buffer.get()) : EscapeUtf8Units(text, buffer.get());
    return std::u16string(buffer.get(), static_cast<std::size_t>(pEnd - buffer.get()));
}

std::optional<std::u16string> UnescapeParameter(std::u16string_view escaped,
                                                const std::u16string& strEncoding)
{
    const std::optional<std::string> bytes = EscapedBytes(escaped);
    if (!bytes)
        return std::nullopt;
    if (strEncoding == u"utf8")
        return DecodeUtf8(*bytes);
    if (strEncoding == u"baltic")
        return DecodeCodePage(*bytes, CCodePageTable::Baltic());
    if (strEncoding == u"western")
        return DecodeCodePage(*bytes, CCodePageTable::Western());
    return std::nullopt;
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
