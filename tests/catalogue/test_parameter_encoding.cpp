#include "parameter_encoding.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(EscapeParameter(u"€", u"western"), u"%80");
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
