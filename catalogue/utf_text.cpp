#include "utf_text.h"

namespace
{

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

char32_t CodePointAt(std::u16string_view text, std::size_t nPos, std::size_t& nUnits)
{
    const char16_t c = text[nPos];
    nUnits = 1;
    if (c >= 0xD800 && c <= 0xDBFF && nPos + 1 < text.size() && text[nPos + 1] >= 0xDC00 &&
        text[nPos + 1] <= 0xDFFF) {
        nUnits = 2;
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[nPos + 1] - 0xDC00);
    }
    return c;
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        int nMore;
        char32_t c;
        if (b0 < 0x80) {
            nMore = 0;
            c = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            nMore = 1;
            c = b0 & 0x1F;
        } else if ((b0 & 0xF0) == 0xE0) {
            nMore = 2;
            c = b0 & 0x0F;
        } else if ((b0 & 0xF8) == 0xF0) {
            nMore = 3;
            c = b0 & 0x07;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        for (; j < utf8.size() && j <= i + static_cast<std::size_t>(nMore); ++j) {
            const auto b = static_cast<unsigned char>(utf8[j]);
            if ((b & 0xC0) != 0x80)
                break;
            c = (c << 6) | (b & 0x3F);
        }
        static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        const bool bComplete = j == i + 1 + static_cast<std::size_t>(nMore);
        if (!bComplete || c < kMinimum[nMore] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = kReplacement;
        AppendUtf16(out, c);
        i = bComplete ? j : std::max(j, i + 1);
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0, nUnits = 0; i < utf16.size(); i += nUnits) {
        const char32_t c = CodePointAt(utf16, i, nUnits);
        AppendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
    }
    return out;
}

std::u16string WithVisibleControls(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& ch : out) {
        const bool bControl = ch < 0x20 || (ch >= 0x7F && ch <= 0x9F);
        const bool bBreakOrDirection = ch == 0x2028 || ch == 0x2029 ||
                                       (ch >= 0x202A && ch <= 0x202E) ||
                                       (ch >= 0x2066 && ch <= 0x2069);
        if (bControl || bBreakOrDirection)
            ch = static_cast<char16_t>(kReplacement);
    }
    return out;
}
