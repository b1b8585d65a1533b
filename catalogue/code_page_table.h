#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

// One Windows code page: text turned into its bytes by the system's own
// conversion, and the character each byte stands for.
class CCodePageTable
{
public:
    // nCodePage is the page's Windows number, such as 1257. Raises
    // std::runtime_error when the system has no such conversion.
    explicit CCodePageTable(unsigned nCodePage);

    // The whole text in the page's bytes, one per UTF-16 unit at the most,
    // into pOut; returns how many were written. A character the page lacks
    // becomes the byte the system substitutes for it.
    std::size_t ToBytes(std::u16string_view text, unsigned char* pOut) const;
    // The character byte b stands for; 0 for a byte the page leaves undefined.
    char16_t Character(unsigned char b) const { return m_characters[b]; }

    // The process-wide tables, built at first use.
    static const CCodePageTable& Baltic();
    static const CCodePageTable& Western();

private:
    unsigned m_nCodePage;
    // Where the system converts only byte by byte, its answer for every
    // character of the Basic Multilingual Plane, read once.
    std::vector<unsigned char> m_bytes;
    std::array<char16_t, 256> m_characters{};
};
