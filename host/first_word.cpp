#include "first_word.h"

#include "utf_text.h"

#include <locale.h>
#include <wctype.h>

namespace
{

// Character classes from the C library's own Unicode tables, so that "Õ" is a
// letter whatever locale the user runs in.
locale_t UnicodeLocale()
{
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

bool IsLetterOrDigit(char32_t c)
{
    const locale_t locale = UnicodeLocale();
    return locale ? ::iswalnum_l(static_cast<wint_t>(c), locale) != 0
                  : (c < 0x80 && ::iswalnum(static_cast<wint_t>(c)) != 0);
}

// Accents written as separate characters after their letter (decomposed text).
bool IsCombiningMark(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE20 && c <= 0xFE2F);
}

bool IsJoiner(char32_t c)
{
    return c == u'-' || c == u'\'' || c == 0x2010 || c == 0x2011 || c == 0x2019;
}

constexpr char32_t kSoftHyphen = 0x00AD;

} // namespace

std::u16string FirstWordOf(std::u16string_view strText)
{
    std::u16string strWord;
    std::size_t nChars = 0;
    // Hyphens and apostrophes at the end count only once a letter follows.
    std::size_t nTrailingJoiners = 0;
    for (std::size_t nPos = 0, nLength = 0; nPos < strText.size(); nPos += nLength) {
        const char32_t c = CodePointAt(strText, nPos, nLength);
        const bool bStarted = !strWord.empty();
        if (IsLetterOrDigit(c) || (bStarted && IsCombiningMark(c))) {
            if (nChars >= kMaxWordLength)
                break;
            AppendUtf16(strWord, c);
            ++nChars;
            nTrailingJoiners = 0;
        } else if (bStarted && IsJoiner(c)) {
            // Every joiner is one code unit.
            strWord.push_back(static_cast<char16_t>(c));
            ++nChars;
            ++nTrailingJoiners;
        } else if (bStarted && c != kSoftHyphen) {
            // A soft hyphen is only a hint for breaking lines, invisible in
            // the text the user selected; anything else ends the word.
            break;
        }
    }
    strWord.resize(strWord.size() - nTrailingJoiners);
    return strWord;
}
