#pragma once

#include <string>
#include <string_view>

// Conversions at the edges of the program (command lines, file names, output):
// invalid input becomes U+FFFD rather than being dropped silently.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// One character (a code point) appended in UTF-16.
void AppendUtf16(std::u16string& out, char32_t c);
// The character of text at nPos (within text), a surrogate pair as one;
// nUnits receives how many code units it takes. A surrogate without its
// partner is returned as it is, one unit.
char32_t CodePointAt(std::u16string_view text, std::size_t nPos, std::size_t& nUnits);

// Text from a catalogue or a downloaded list as a message shows it: every
// character that would break it into lines or reorder it on the screen
// (control characters, the line and paragraph separators, the explicit
// direction controls) becomes U+FFFD, so that each name or address reads as
// the one run of text it is.
std::u16string WithVisibleControls(std::u16string_view text);
