#include "first_word.h"
#include "utf_text.h"

#include <gtest/gtest.h>

namespace
{

std::string WordOf(const char* pszText)
{
    return Utf16ToUtf8(FirstWordOf(Utf8ToUtf16(pszText)));
}

} // namespace

TEST(first_word, is_the_first_run_of_letters_and_digits_in_its_own_case)
{
    EXPECT_EQ(WordOf("  Kassid, koerad"), "Kassid");
    EXPECT_EQ(WordOf("\n\t«ÕUNAPUU»!"), "ÕUNAPUU");
    EXPECT_EQ(WordOf("ŠOKOLAAD žürii"), "ŠOKOLAAD");
    EXPECT_EQ(WordOf("(1984) aasta"), "1984");
    EXPECT_EQ(WordOf("Σοφία"), "Σοφία");
    // A letter beyond the first plane is one character, not two halves.
    EXPECT_EQ(WordOf("𝐀b c"), "𝐀b");
    // Decomposed text keeps its accents with their letters.
    EXPECT_EQ(WordOf("O\xCC\x83un"), "O\xCC\x83un");
}

TEST(first_word, keeps_hyphens_and_apostrophes_inside_the_word_only)
{
    EXPECT_EQ(WordOf("e-mail"), "e-mail");
    EXPECT_EQ(WordOf("rock'n'roll"), "rock'n'roll");
    EXPECT_EQ(WordOf("O’Brien’s"), "O’Brien’s");
    EXPECT_EQ(WordOf("TALLINN'i."), "TALLINN'i");
    EXPECT_EQ(WordOf("-kass-"), "kass");
    EXPECT_EQ(WordOf("'maja' -- koer"), "maja");
    EXPECT_EQ(WordOf("kass--"), "kass");
    // A soft hyphen is invisible in the selected text and left out.
    EXPECT_EQ(WordOf("kas\xC2\xADsid"), "kassid");
}

TEST(first_word, is_empty_without_a_letter_or_digit)
{
    EXPECT_EQ(WordOf(""), "");
    EXPECT_EQ(WordOf("  ,.;-- ' "), "");
    EXPECT_EQ(WordOf("\xF0\x9F\x98\x80"), "");
}

TEST(first_word, stops_at_the_longest_word_a_lookup_takes)
{
    const std::string strLong(kMaxWordLength + 50, 'a');
    EXPECT_EQ(WordOf(strLong.c_str()), std::string(kMaxWordLength, 'a'));
    const std::string strWide = std::string(kMaxWordLength - 1, 'a') + "õõ";
    EXPECT_EQ(FirstWordOf(Utf8ToUtf16(strWide)).size(), kMaxWordLength);
    // A hyphen that would be the last character allowed is dropped.
    const std::string strHyphen = std::string(kMaxWordLength - 1, 'a') + "-bc";
    EXPECT_EQ(WordOf(strHyphen.c_str()), std::string(kMaxWordLength - 1, 'a'));
    // Characters beyond the first plane count one each, as the window counts them.
    std::u16string strAstral;
    for (std::size_t i = 0; i < kMaxWordLength + 3; ++i)
        strAstral += u"𝐀";
    const std::u16string strWord = FirstWordOf(strAstral);
    EXPECT_EQ(WordLength(strWord), kMaxWordLength);
    EXPECT_TRUE(IsWithinWordLength(strWord));
}
