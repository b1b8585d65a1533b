#include "word_length.h"

#include "utf_text.h"

std::size_t WordLength(std::u16string_view word)
{
    std::size_t nChars = 0;
    for (std::size_t nPos = 0, nUnits = 0; nPos < word.size(); nPos += nUnits, ++nChars)
        CodePointAt(word, nPos, nUnits);
    return nChars;
}
