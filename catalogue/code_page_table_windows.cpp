#include "code_page_table.h"

#include <climits>
#include <stdexcept>
#include <string>
#include <windows.h>

CCodePageTable::CCodePageTable(unsigned nCodePage) : m_nCodePage(nCodePage)
{
    if (!::IsValidCodePage(nCodePage))
        throw std::runtime_error("no code page " + std::to_string(nCodePage));
    for (int b = 1; b < 256; ++b) {
        const char in = static_cast<char>(b);
        wchar_t c = 0;
        if (::MultiByteToWideChar(nCodePage, MB_ERR_INVALID_CHARS, &in, 1, &c, 1) == 1)
            m_characters[static_cast<std::size_t>(b)] = static_cast<char16_t>(c);
    }
}

std::size_t CCodePageTable::ToBytes(std::u16string_view text, unsigned char* pOut) const
{
    // The whole text at once, with no flags and no default character: what
    // the page lacks becomes the system's best-fit byte, else '?'.
    if (text.empty())
        return 0;
    const int nUnits = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    const int nBytes =
        ::WideCharToMultiByte(m_nCodePage, 0, reinterpret_cast<const wchar_t*>(text.data()), nUnits,
                              reinterpret_cast<char*>(pOut), nUnits, nullptr, nullptr);
    return nBytes > 0 ? static_cast<std::size_t>(nBytes) : 0;
}
