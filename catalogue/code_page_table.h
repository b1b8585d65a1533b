#pragma once

#include <array>
#include <cstdint>

// The bytes of one Windows code page for every character of the Basic
// Multilingual Plane, read once from the system's conversion facility: the
// page's own byte for each character it maps, '?' for every other one.
class CCodePageTable
{
public:
    // pszCodePage is the conversion facility's name, such as "CP1257". Raises
    // std::runtime_error when the system has no such conversion.
    explicit CCodePageTable(const char* pszCodePage);

    unsigned char Byte(char16_t c) const { return m_bytes[c]; }
    // The character byte b stands for; 0 for a byte the page leaves undefined.
    char16_t Character(unsigned char b) const { return m_characters[b]; }

    // The process-wide tables, built at first use.
    static const CCodePageTable& Baltic();
    static const CCodePageTable& Western();

private:
    std::array<unsigned char, 0x10000> m_bytes;
    std::array<char16_t, 256> m_characters{};
};
