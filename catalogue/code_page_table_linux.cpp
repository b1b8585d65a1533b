#include "code_page_table.h"

#include "utf_text.h"

#include <iconv.h>
#include <stdexcept>
#include <string>

CCodePageTable::CCodePageTable(unsigned nCodePage) : m_nCodePage(nCodePage), m_bytes(0x10000, '?')
{
    const std::string strName = "CP" + std::to_string(m_nCodePage);
    const iconv_t cd = ::iconv_open("UTF-16LE", strName.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no conversion from " + strName);
    // A code page has at most 256 characters: each of its bytes is converted
    // once, and the character it stands for gets that byte. Bytes the page
    // leaves undefined convert to nothing and are skipped.
    for (int b = 1; b < 256; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[8];
        char* pIn = &in;
        char* pOut = reinterpret_cast<char*>(out);
        std::size_t nIn = 1;
        std::size_t nOut = sizeof out;
        const std::size_t r = ::iconv(cd, &pIn, &nIn, &pOut, &nOut);
        if (r != static_cast<std::size_t>(-1) && sizeof out - nOut == 2) {
            const auto c = static_cast<char16_t>(out[0] | (out[1] << 8));
            m_bytes[c] = static_cast<unsigned char>(b);
            m_characters[static_cast<std::size_t>(b)] = c;
        }
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    ::iconv_close(cd);
}

std::size_t CCodePageTable::ToBytes(std::u16string_view text, unsigned char* pOut) const
{
    // A character outside the Basic Multilingual Plane (a surrogate pair) is
    // one character that no such page has, so it gives one '?'; so does a
    // lone surrogate.
    unsigned char* const pStart = pOut;
    for (std::size_t i = 0, nUnits = 0; i < text.size(); i += nUnits) {
        const char32_t c = CodePointAt(text, i, nUnits);
        *pOut++ = c < 0x10000 ? m_bytes[c] : static_cast<unsigned char>('?');
    }
    return static_cast<std::size_t>(pOut - pStart);
}
