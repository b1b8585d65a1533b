#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Catalogue file bytes written out by hand, for the tests of the file format.

inline std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

// One stored string: UTF-16LE code units and the terminating 0x0000.
inline std::string Str(std::u16string_view text)
{
    std::string s;
    for (char16_t c : text) {
        s.push_back(static_cast<char>(c & 0xFF));
        s.push_back(static_cast<char>(c >> 8));
    }
    return s + std::string(2, '\0');
}

inline std::string Record(std::u16string_view name, std::u16string_view encoding,
                          std::u16string_view url)
{
    return Str(name) + Str(encoding) + Str(url);
}
