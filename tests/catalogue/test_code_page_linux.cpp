// The code pages as Linux converts them: glibc's tables, read once.
#include "parameter_encoding.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <iconv.h>

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

// A character outside the Basic Multilingual Plane is one character the code
// page lacks: one substituted byte, not one per UTF-16 unit. A lone surrogate
// is one unknown character too.
TEST(EscapeParameter, CharacterBeyondThePlaneIsOneUnknownCharacter)
{
    for (const char16_t* name : {u"baltic", u"western"}) {
        EXPECT_EQ(EscapeParameter(u"a\U0001F600b", name), u"a%3Fb");
        EXPECT_EQ(EscapeParameter(u"\U0001F600\U0001F600", name), u"%3F%3F");
        EXPECT_EQ(EscapeParameter(std::u16string{u'a', 0xD83D, u'b', 0xDE00}, name), u"a%3Fb%3F");
    }
}
