#pragma once

#include <string>

// The parameter encodings a dictionary program may expect, in the order the
// entry dialog lists them.
inline constexpr const char16_t* kEncodingNames[] = {u"utf8", u"baltic", u"western"};
inline constexpr int kEncodingCount = 3;

// The text as bytes of the named encoding, every byte other than an ASCII
// letter or digit written as %XX; an unknown encoding name gives "".
std::u16string EscapeParameter(const std::u16string& strText, const std::u16string& strEncoding);

// "utf8" for any index outside the list.
std::u16string EncodingNameFromIndex(int nIndex);
// 0 ("utf8") for a name that is not exactly one of the list.
int EncodingIndexFromName(const std::u16string& strName);
