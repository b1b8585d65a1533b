#include "dict_catalogue.h"
#include "navigable_address.h"
#include "query_composition.h"
#include "site_address.h"
#include "utf_text.h"

#include <cstdlib>

#include <gtest/gtest.h>

#ifdef _WIN32
// Windows sets its environment otherwise; a variable set empty is removed.
int setenv(const char* pszName, const char* pszValue, int)
{
    return ::_putenv_s(pszName, pszValue);
}
int unsetenv(const char* pszName)
{
    return ::_putenv_s(pszName, "");
}
#endif

namespace
{

struct Catalogues {
    Catalogues()
    {
        dicts.AddEntry(CDictEntry(u"ÕS", u"baltic", u"http://x.ee/os?w="));
        dicts.AddEntry(CDictEntry(u"Vene", u"utf8", u"http://ru.ee/q.cgi?a=1&w="));
        dicts.AddEntry(CDictEntry(u"Tühi", u"utf8", u""));
        predicts.AddEntry(CDictEntry(u"Eel", u"utf8", u"http://pre.ee/p"));
        predicts.AddEntry(CDictEntry(u"Eel2", u"western", u"http://pre2.ee/p"));
    }
    CDictCatalogue dicts{u"", u"", 0};
    CDictCatalogue predicts{u"", u"", 1};
};

} // namespace

TEST(ComposeLookupUrl, InputMissing)
{
    Catalogues c;
    EXPECT_FALSE(ComposeLookupUrl(u"maja", c.dicts, -1, c.predicts, 0));
    EXPECT_FALSE(ComposeLookupUrl(u"maja", c.dicts, -1, c.predicts, 1));
    EXPECT_FALSE(ComposeLookupUrl(u"", c.dicts, 0, c.predicts, 0));
    EXPECT_FALSE(ComposeLookupUrl(u"", c.dicts, 0, c.predicts, 1));
    EXPECT_FALSE(ComposeLookupUrl(u"maja", c.dicts, 3, c.predicts, 0)) << "no such row";
    EXPECT_TRUE(ComposeLookupUrl(u" ", c.dicts, 0, c.predicts, 0)) << "blanks are a word";
}

TEST(ComposeLookupUrl, Directly)
{
    Catalogues c;
    EXPECT_EQ(*ComposeLookupUrl(u"maja", c.dicts, 0, c.predicts, 0), u"http://x.ee/os?w=maja");
    EXPECT_EQ(*ComposeLookupUrl(u"õun puu", c.dicts, 0, c.predicts, 0),
              u"http://x.ee/os?w=%F5un%20puu");
    EXPECT_EQ(*ComposeLookupUrl(u"õun puu", c.dicts, 1, c.predicts, 0),
              u"http://ru.ee/q.cgi?a=1&w=%C3%B5un%20puu");
    EXPECT_EQ(*ComposeLookupUrl(u"maja", c.dicts, 2, c.predicts, 0), u"maja");
    // A list that shows no pre-dictionary row asks the dictionary directly.
    EXPECT_EQ(*ComposeLookupUrl(u"maja", c.dicts, 0, c.predicts, -1), u"http://x.ee/os?w=maja");
    EXPECT_EQ(*ComposeLookupUrl(u"maja", c.dicts, 0, c.predicts, 9), u"http://x.ee/os?w=maja");
}

TEST(ComposeLookupUrl, ThroughPreDictionary)
{
    Catalogues c;
    EXPECT_EQ(*ComposeLookupUrl(u"maja", c.dicts, 0, c.predicts, 1),
              u"http://pre.ee/p?dict=http%3A%2F%2Fx%2Eee%2Fos%3Fw%3D&codepage=baltic&word=maja");
    // The word goes in the pre-dictionary's encoding; the dictionary's ampersand stays inside.
    EXPECT_EQ(*ComposeLookupUrl(u"õ", c.dicts, 1, c.predicts, 2),
              u"http://pre2.ee/p?dict=http%3A%2F%2Fru%2Eee%2Fq%2Ecgi%3Fa%3D1%26w%3D"
              u"&codepage=utf8&word=%F5");
}

TEST(ComposeLookupUrl, TheDictionaryAddressGoesInWesternWhateverItsEncoding)
{
    // õ and š have other bytes in utf8 and baltic than in western.
    Catalogues c;
    c.dicts.entries = {{u"ÕS", u"utf8", u"http://x.ee/õš?w="},
                       {u"Šokk", u"baltic", u"http://x.ee/õš?w="}};
    for (int nDict : {0, 1})
        EXPECT_EQ(*ComposeLookupUrl(u"a", c.dicts, nDict, c.predicts, 1),
                  u"http://pre.ee/p?dict=http%3A%2F%2Fx%2Eee%2F%F5%9A%3Fw%3D&codepage=" +
                      c.dicts.GetEntry(nDict).encoding + u"&word=a");
}

TEST(LookupWordFromUrl, ReadsBackEveryComposedWordAndLinksOfTheSameProgram)
{
    Catalogues c;
    c.dicts.AddEntry(CDictEntry(u"Lai", u"utf8", u"http://x.ee/"));
    // Composed and read back: every encoding, in every row, directly and
    // through either pre-dictionary.
    for (const std::u16string word : {u"maja", u"õun puu", u"šokk & 100%+1", u"a/b?c=d#e"}) {
        for (int nDict : {0, 1, 3}) {
            for (int nPredict : {0, 1, 2}) {
                SCOPED_TRACE(Utf16ToUtf8(word) + " " + std::to_string(nDict) + "/" +
                             std::to_string(nPredict));
                const auto url = ComposeLookupUrl(word, c.dicts, nDict, c.predicts, nPredict);
                EXPECT_EQ(LookupWordFromUrl(*url, c.dicts, nDict, c.predicts, nPredict), word);
                // Another row chosen meanwhile: the address still tells.
                EXPECT_EQ(LookupWordFromUrl(*url, c.dicts, 2, c.predicts, 0), word);
            }
        }
    }
    EXPECT_EQ(LookupWordFromUrl(u"http://x.ee/%ED%A0%BD%ED%B8%80", c.dicts, 3, c.predicts, 0),
              u"\U0001F600")
        << "a surrogate pair as the program receives it";
    const struct {
        const char16_t* pszUrl;
        std::optional<std::u16string> word;
    } cases[] = {
        // As the browser writes our addresses, and as answer pages link.
        {u"HTTP://X.EE:80/os?w=%f5un", u"õun"},
        {u"http://pre.ee/p?dict=http%3A%2F%2Fx.ee%2Fos%3Fw%3D&codepage=baltic&word=%C3%B5un",
         u"õun"},
        {u"http://pre.ee/p?word=%C3%B5un&dict=x#top", u"õun"},
        // A second word parameter, as a page may add one, does not replace ours.
        {u"http://pre.ee/p?dict=x&word=%C3%B5un&word=maja", u"õun"},
        {u"http://ru.ee/q.cgi?a=1&w=kass&lang=et#vaste", u"kass"},
        {u"http://ru.ee/q.cgi?a=1&w=tere+%D0%B6", u"tere ж"},
        {u"http://x.ee/os?w=%F5un", u"õun"}, // "ÕS", not the shorter "Lai"
        {u"http://x.ee/maja?x=1", u"maja"},
        {u"http://x.ee/m%C3%A4ng/", u"mäng/"},
        // Not a lookup, or not a word of that encoding.
        {u"http://ru.ee/q.cgi?a=1&w=", std::nullopt},
        {u"http://x.ee/", std::nullopt},
        {u"http://ru.ee/q.cgi?a=2&w=kass", std::nullopt},
        {u"http://ru.ee/q.cgi?a=1&w=%C3", std::nullopt},
        {u"http://ru.ee/q.cgi?a=1&w=%00", std::nullopt},
        {u"http://pre.ee/p?word=maja", std::nullopt},
        {u"http://pre.ee/pp?dict=x&word=maja", std::nullopt},
        {u"http://other.ee/os?w=maja", std::nullopt},
        {u"javascript:'http://x.ee/os?w=maja'", std::nullopt},
        {u"about:blank", std::nullopt},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(Utf16ToUtf8(t.pszUrl));
        EXPECT_EQ(LookupWordFromUrl(t.pszUrl, c.dicts, 0, c.predicts, 0), t.word);
    }
    // Two entries of one program in different encodings: the chosen one reads.
    c.dicts.entries = {{u"A", u"baltic", u"http://x.ee/os?w="},
                       {u"B", u"western", u"http://x.ee/os?w="}};
    EXPECT_EQ(LookupWordFromUrl(u"http://x.ee/os?w=%F0", c.dicts, 0, c.predicts, 0), u"š");
    EXPECT_EQ(LookupWordFromUrl(u"http://x.ee/os?w=%F0", c.dicts, 1, c.predicts, 0), u"ð");
}

TEST(SiteAddress, BuiltInBaseOverrideAndALocalSite)
{
    ::unsetenv("QUILLBRIDGE_SITE_BASE");
    const std::u16string base = SiteBaseAddress();
    EXPECT_EQ(base.substr(0, 7), u"http://");
    EXPECT_EQ(base.substr(base.size() - 13), u"/quillbridge/");
    EXPECT_EQ(FallbackPageAddress(), base + u"about.html");

    ::setenv("QUILLBRIDGE_SITE_BASE", "http://127.0.0.1:8080/quillbridge/", 1);
    EXPECT_EQ(SiteBaseAddress(), u"http://127.0.0.1:8080/quillbridge/");
    EXPECT_EQ(FallbackPageAddress(), u"http://127.0.0.1:8080/quillbridge/about.html");
    // A server answers the base with its front page; it has no folder here.
    EXPECT_EQ(HelpPageAddress(), u"http://127.0.0.1:8080/quillbridge/");
    EXPECT_EQ(InstalledSiteFolder(), "");

    // The installed site: the help tab opens its index.html, never a folder listing.
    ::setenv("QUILLBRIDGE_SITE_BASE", "file:///usr/share/quillbridge/site/quillbridge/", 1);
    EXPECT_EQ(HelpPageAddress(), u"file:///usr/share/quillbridge/site/quillbridge/index.html");
    EXPECT_EQ(FallbackPageAddress(), u"file:///usr/share/quillbridge/site/quillbridge/about.html");
    EXPECT_EQ(InstalledSiteFolder(), "/usr/share/quillbridge/site/quillbridge/");
    struct Case {
        const char* pszBase;
        const char* pszFolder;
    } cases[] = {
        {"FILE://localhost/opt/s%C3%B5nad%20ja/quillbridge/", "/opt/s\xC3\xB5nad ja/quillbridge/"},
        {"file:///a/%zz%4/", "/a/%zz%4/"},        // not an escape: kept as written
        {"file://server/share/quillbridge/", ""}, // another machine's files
        {"file:///a/%00/quillbridge/", ""},       // a NUL would cut the path short
        {"file:relative/quillbridge/", ""},
    };
    for (const Case& c : cases) {
        ::setenv("QUILLBRIDGE_SITE_BASE", c.pszBase, 1);
        EXPECT_EQ(InstalledSiteFolder(), c.pszFolder) << c.pszBase;
        EXPECT_EQ(HelpPageAddress().ends_with(u"index.html"), *c.pszFolder != 0) << c.pszBase;
    }
    ::unsetenv("QUILLBRIDGE_SITE_BASE");
}

TEST(NavigableAddress, OnlyWebAddressesWithAServerAndFilesOnlyForTheSite)
{
    struct Case {
        const char16_t* pszAddress;
        bool bWeb, bSite;
    } cases[] = {
        {u"http://x.ee/os?w=õun", true, true},
        {u"HTTPS://x.ee/", true, true},
        {u" http://x.ee/ ", true, true}, // the browser drops the blanks
        {u"http://", false, false},      // no server named
        {u"http:///etc/passwd", false, false},
        {u"http:x.ee/", false, false},
        // The scheme is matched whole, not by its beginning.
        {u"httpx://x.ee/", false, false},
        {u"http-foo://x.ee/", false, false},
        {u"https+x://x.ee/", false, false},
        {u"htt://x.ee/", false, false},
        {u"filex:///etc/passwd", false, false},
        {u"javascript:document.title=location.href;//", false, false},
        {u"JavaScript:alert(1)", false, false},
        {u"data:text/html,<script>alert(1)</script>", false, false},
        {u"file:///etc/passwd?w=", false, true},
        {u"/etc/passwd?w=", false, false},
        {u"x.ee/os?w=", false, false},
        {u"\u00a0http://x.ee/", false, false}, // only ASCII blanks are dropped
        {u"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.pszAddress));
        EXPECT_EQ(IsNavigableAddress(c.pszAddress), c.bWeb);
        EXPECT_EQ(IsNavigableAddress(c.pszAddress, true), c.bSite);
    }
    // The address reads as one run of text, whatever it holds.
    EXPECT_EQ(RefusedAddressMessage(u"data:x\r\n\t\u0085\u2028\u2067<b>\u00a0õ"),
              u"Seda aadressi ei avata: data:x\ufffd\ufffd\ufffd\ufffd\ufffd\ufffd<b>\u00a0õ\n"
              u"Avada saab ainult http- ja https-aadresse.");
}
