#include "code_page_table.h"

#include <iconv.h>
#include <stdexcept>
#include <string>

CCodePageTable::CCodePageTable(const char* pszCodePage)
{
    m_bytes.fill('?');
    const iconv_t cd = ::iconv_open("UTF-16LE", pszCodePage);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("no conversion from ") + pszCodePage);
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

const CCodePageTable& CCodePageTable::Baltic()
{
    static const CCodePageTable table("CP1257");
    return table;
}

const CCodePageTable& CCodePageTable::Western()
{
    static const CCodePageTable table("CP1252");
    return table;
}
