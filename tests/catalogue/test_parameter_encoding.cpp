#include "parameter_encoding.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <iconv.h>

TEST(EscapeParameter, WorkedExamples)
{
    struct Row {
        std::u16string text, utf8, baltic, western;
    } rows[] = {
        {u"Tere päev", u"Tere%20p%C3%A4ev", u"Tere%20p%E4ev", u"Tere%20p%E4ev"},
        {u"šokk", u"%C5%A1okk", u"%F0okk", u"%9Aokk"},
        {u"100% + 1", u"100%25%20%2B%201", u"100%25%20%2B%201", u"100%25%20%2B%201"},
        {u"AZaz09", u"AZaz09", u"AZaz09", u"AZaz09"},
        {u"", u"", u"", u""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(EscapeParameter(r.text, u"utf8"), r.utf8);
        EXPECT_EQ(EscapeParameter(r.text, u"baltic"), r.baltic);
        EXPECT_EQ(EscapeParameter(r.text, u"western"), r.western);
    }
}

TEST(EscapeParameter, EveryPunctuationIsEscaped)
{
    EXPECT_EQ(EscapeParameter(u"-._~%+/:?&=", u"western"), u"%2D%2E%5F%7E%25%2B%2F%3A%3F%26%3D");
    for (const char16_t* name : kEncodingNames)
        EXPECT_EQ(EscapeParameter(name, u"western"), name);
}

TEST(EscapeParameter, CharactersBeyondLatin)
{
    EXPECT_EQ(EscapeParameter(u"ж", u"utf8"), u"%D0%B6");
    // One byte per unit where the code page lacks the character.
    EXPECT_EQ(EscapeParameter(u"ж", u"western"), u"%3F");
    EXPECT_EQ(EscapeParameter(u"жё", u"baltic"), u"%3F%3F");
    EXPECT_EQ(EscapeParameter(u"õ", u"baltic"), u"%F5");
    EXPECT_EQ(EscapeParameter(u"\U0001F600", u"utf8"), u"%ED%A0%BD%ED%B8%80");
    // A character outside the Basic Multilingual Plane is one character the
    // code page lacks: one substituted byte, not one per UTF-16 unit. A lone
    // surrogate is one unknown character too.
    for (const char16_t* name : {u"baltic", u"western"}) {
        EXPECT_EQ(EscapeParameter(u"a\U0001F600b", name), u"a%3Fb");
        EXPECT_EQ(EscapeParameter(u"\U0001F600\U0001F600", name), u"%3F%3F");
        EXPECT_EQ(EscapeParameter(std::u16string{u'a', 0xD83D, u'b', 0xDE00}, name), u"a%3Fb%3F");
    }
    EXPECT_EQ(EscapeParameter(u"€", u"western"), u"%80");
}

// Every character of the Basic Multilingual Plane gives the byte that the
// system's own conversion gives it, or '?' where that conversion has none.
TEST(EscapeParameter, CodePagesAgreeWithTheSystemConversion)
{
    const struct {
        const char16_t* name;
        const char* codePage;
    } pages[] = {{u"baltic", "CP1257"}, {u"western", "CP1252"}};
    for (const auto& page : pages) {
        SCOPED_TRACE(page.codePage);
        const iconv_t cd = ::iconv_open(page.codePage, "UTF-16LE");
        ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
        int nMapped = 0;
        for (char32_t c = 1; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
            char out[8];
            char* pIn = in;
            char* pOut = out;
            std::size_t nIn = 2, nOut = sizeof out;
            const bool bMapped = ::iconv(cd, &pIn, &nIn, &pOut, &nOut) == 0 && nOut == 7;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const unsigned char b = bMapped ? static_cast<unsigned char>(out[0]) : '?';
            nMapped += bMapped;
            const bool bLiteral = std::isalnum(b) && b < 0x80;
            char expected[4];
            std::snprintf(expected, sizeof expected, bLiteral ? "%c" : "%%%02X", b);
            const std::u16string text(1, static_cast<char16_t>(c));
            ASSERT_EQ(EscapeParameter(text, page.name),
                      std::u16string(expected, expected + std::strlen(expected)))
                << "U+" << std::hex << static_cast<int>(c);
        }
        ::iconv_close(cd);
        EXPECT_GT(nMapped, 200);
    }
}

TEST(EscapeParameter, StopsAtTheFirstNul)
{
    EXPECT_EQ(EscapeParameter(std::u16string(u"ab\0cd", 5), u"utf8"), u"ab");
}

TEST(EscapeParameter, UnknownEncodingGivesNothing)
{
    for (const char16_t* name : {u"UTF8", u"utf8 ", u"", u"latin1", u"Baltic"})
        EXPECT_EQ(EscapeParameter(u"maja", name), u"");
}

TEST(EncodingNames, IndexAndNameAgree)
{
    EXPECT_EQ(EncodingIndexFromName(u"utf8"), 0);
    EXPECT_EQ(EncodingIndexFromName(u"baltic"), 1);
    EXPECT_EQ(EncodingIndexFromName(u"western"), 2);
    EXPECT_EQ(EncodingIndexFromName(u""), 0);
    EXPECT_EQ(EncodingIndexFromName(u"UTF8"), 0);
    EXPECT_EQ(EncodingIndexFromName(u"westernxx"), 0);
    EXPECT_EQ(EncodingNameFromIndex(1), u"baltic");
    EXPECT_EQ(EncodingNameFromIndex(2), u"western");
    EXPECT_EQ(EncodingNameFromIndex(-1), u"utf8");
    EXPECT_EQ(EncodingNameFromIndex(3), u"utf8");
}
