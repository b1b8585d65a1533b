#include "load_failure_page.h"

#include <gtest/gtest.h>

TEST(LoadFailurePage, TheAddressEntersTheScriptOnlyAsEscapedText)
{
    const std::u16string strScript =
        LoadFailurePageScript(u"http://x/\"+alert(1)//\\</script><b>\u2028õ", -105);
    const auto nStart = strScript.find(u"var a=\"") + 7;
    // The literal ends where the address ends: no quote, backslash, "<" or
    // line separator of it is left as it was.
    EXPECT_EQ(strScript.substr(nStart, strScript.find(u'"', nStart) - nStart),
              u"http://x/\\u0022\\u002balert\\u00281\\u0029//\\u005c\\u003c/script\\u003e"
              u"\\u003cb\\u003e\\u2028\\u00f5");
    EXPECT_NE(strScript.find(u"Serveri nime ei leitud."), std::u16string::npos);

    EXPECT_FALSE(IsLoadFailureShown(-3)); // stopped by the user
    EXPECT_FALSE(IsLoadFailureShown(0));
    EXPECT_TRUE(IsLoadFailureShown(-102));
}

TEST(LoadFailurePage, TheWholePageHoldsTheAddressAsTextAndComesOnlyForTheControlsFailures)
{
    const std::u16string strPage =
        LoadFailurePageHtml(u"http://x/<script>alert(1)</script>\"&'\u2028", -105);
    EXPECT_EQ(strPage.find(u"<script"), std::u16string::npos);
    EXPECT_NE(strPage.find(u"<code id=\"address\">http://x/&lt;script&gt;alert(1)&lt;/script&gt;"
                           u"&quot;&amp;&#39;\ufffd</code>"),
              std::u16string::npos);
    EXPECT_NE(strPage.find(u"<p id=\"reason\">Serveri nime ei leitud.</p>"), std::u16string::npos);
    EXPECT_NE(strPage.find(u"Kas võrguühendus töötab?"), std::u16string::npos);
    // A refusal of the browser's own: checking the network would not help.
    const std::u16string strRefused = LoadFailurePageHtml(u"http://x:6000/", -312);
    EXPECT_EQ(strRefused.find(u"class=\"net\""), std::u16string::npos);
    EXPECT_NE(strRefused.find(u"</ul></body></html>"), std::u16string::npos);

    // The Windows control's statuses: its own failures get the page, in the
    // same words as on Linux; a server's HTTP status, a stop, a document it
    // cannot show do not.
    EXPECT_EQ(NetErrorOfNavigateStatus(static_cast<long>(0x800C0004L)), -102);
    EXPECT_EQ(NetErrorOfNavigateStatus(static_cast<long>(0x800C0005L)), -105);
    EXPECT_TRUE(IsLoadFailureShown(NetErrorOfNavigateStatus(static_cast<long>(0x800C0008L))));
    for (const long nStatus : {404L, 500L, static_cast<long>(0x80004004L),
                               static_cast<long>(0x800C0018L), static_cast<long>(0x80040154L)})
        EXPECT_EQ(NetErrorOfNavigateStatus(nStatus), 0) << std::hex << nStatus;
}
