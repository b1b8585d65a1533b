#pragma once

#include <string>
#include <string_view>

// Conversions at the edges of the program (command lines, file names, output):
// invalid input becomes U+FFFD rather than being dropped silently.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
