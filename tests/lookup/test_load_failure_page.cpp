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
