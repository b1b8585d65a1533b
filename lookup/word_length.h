#pragma once

#include <cstddef>
#include <string_view>

// The longest word that is looked up, kept in the history, or taken from a
// selection, in characters (a surrogate pair is one). A longer text is
// refused with a message, never cut, except that a selection gives its first
// word only. In UTF-8 escaping such a word takes at most 3,060 characters of
// the address, well inside the 8 KB request line that web servers commonly
// accept, with room for the program's address and a pre-dictionary's
// parameters.
inline constexpr std::size_t kMaxWordLength = 255;

// The characters of word as kMaxWordLength counts them.
std::size_t WordLength(std::u16string_view word);

// Whether word is short enough to be looked up.
inline bool IsWithinWordLength(std::u16string_view word)
{
    // Each character takes one or two units: most words need no count.
    return word.size() <= kMaxWordLength || WordLength(word) <= kMaxWordLength;
}
