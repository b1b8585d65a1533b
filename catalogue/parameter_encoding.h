#pragma once

#include <optional>
#include <string>
#include <string_view>

// The parameter encodings a dictionary program may expect, in the order the
// entry dialog lists them.
inline constexpr const char16_t* kEncodingNames[] = {u"utf8", u"baltic", u"western"};
inline constexpr int kEncodingCount = 3;

// The value of a hexadecimal digit of an escape, either case; -1 for any other character.
int HexDigitValue(char16_t c);

// The text as bytes of the named encoding, every byte other than an ASCII
// letter or digit written as %XX; an unknown encoding name gives "".
std::u16string EscapeParameter(const std::u16string& strText, const std::u16string& strEncoding);

// The text that an escaped parameter in the named encoding stands for: %XX
// as that byte, any other character as its own byte, and the bytes read in
// the encoding. No value when they are not text of that encoding (a byte
// sequence UTF-8 does not allow, a byte the code page leaves undefined, a
// NUL, a broken %XX) or the name is unknown. A surrogate written on its own,
// as EscapeParameter writes it, is read back.
std::optional<std::u16string> UnescapeParameter(std::u16string_view escaped,
                                                const std::u16string& strEncoding);

// "utf8" for any index outside the list.
std::u16string EncodingNameFromIndex(int nIndex);
// 0 ("utf8") for a name that is not exactly one of the list.
int EncodingIndexFromName(const std::u16string& strName);
