// The code pages as Windows converts them: WideCharToMultiByte with no flags
// and no default character.
#include "parameter_encoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <windows.h>

namespace
{

std::string SystemBytes(unsigned nCodePage, const std::u16string& text)
{
    std::string bytes(text.size() * 2 + 1, '\0');
    const int n = ::WideCharToMultiByte(nCodePage, 0, reinterpret_cast<const wchar_t*>(text.data()),
                                        static_cast<int>(text.size()), bytes.data(),
                                        static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return bytes;
}

std::u16string Escaped(const std::string& bytes)
{
    std::u16string text;
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            text.push_back(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            text.append(hex, hex + 3);
        }
    }
    return text;
}

} // namespace

// The worked examples and every Estonian letter give the pages' published
// bytes through the system's conversion, and the escaping of any text is the
// escaped form of what that conversion gives for the whole text.
TEST(EscapeParameter, CodePagesAreTheSystemConversion)
{
    const struct {
        const char16_t* name;
        unsigned nCodePage;
        std::string letters;
    } pages[] = {
        {u"baltic", 1257, "\xF5\xE4\xF6\xFC\xF0\xFE\xD5\xC4\xD6\xDC\xD0\xDE"},
        {u"western", 1252, "\xF5\xE4\xF6\xFC\x9A\x9E\xD5\xC4\xD6\xDC\x8A\x8E"},
    };
    const std::u16string estonian = u"õäöüšžÕÄÖÜŠŽ";
    for (const auto& page : pages) {
        SCOPED_TRACE(page.nCodePage);
        EXPECT_EQ(SystemBytes(page.nCodePage, estonian), page.letters);
        EXPECT_EQ(EscapeParameter(estonian, page.name), Escaped(page.letters));
        EXPECT_EQ(SystemBytes(page.nCodePage, u"Tere päev"), std::string("Tere p\xE4"
                                                                         "ev"));
        EXPECT_EQ(EscapeParameter(u"Tere päev", page.name), u"Tere%20p%E4ev");
        EXPECT_EQ(EscapeParameter(u"100% + 1", page.name), u"100%25%20%2B%201");
        for (const std::u16string& text :
             {std::u16string(u"a\U0001F600b"), std::u16string(u"жё"), std::u16string(u"ā"),
              std::u16string{u'a', 0xD83D, u'b', 0xDE00}})
            EXPECT_EQ(EscapeParameter(text, page.name), Escaped(SystemBytes(page.nCodePage, text)));
        for (char32_t c = 1; c < 0x10000; ++c) {
            const std::u16string text(1, static_cast<char16_t>(c));
            ASSERT_EQ(EscapeParameter(text, page.name), Escaped(SystemBytes(page.nCodePage, text)))
                << "U+" << std::hex << static_cast<int>(c);
        }
    }
    EXPECT_EQ(EscapeParameter(u"šokk", u"baltic"), u"%F0okk");
    EXPECT_EQ(EscapeParameter(u"šokk", u"western"), u"%9Aokk");
}
