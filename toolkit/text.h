#pragma once

#include "utf_text.h"

#include <initializer_list>
#include <string>
#include <string_view>

// The program's text: UTF-16, as the window system and the catalogues keep it.
using CString = std::u16string;

// UTF-8 from and to the program's text: the core's Utf8ToUtf16 and Utf16ToUtf8.

// The decimal digits of n.
CString IntToCString(long long n);

// The format with %1 to %9 replaced by the arguments in their order; a number
// without its argument, and every other character, stays as it is.
CString FormatCString(std::u16string_view format, std::initializer_list<std::u16string_view> args);

// The text with every character in one case, so that names that differ only
// in case compare equal (every letter, the Estonian ones too).
CString FoldCase(std::u16string_view text);
