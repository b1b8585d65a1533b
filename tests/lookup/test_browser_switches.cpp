// The library's browser switches go after the user's and never replace one
// the user named; --disable-gpu is recognised as a whole switch only.
#include "browser_switches.h"

#include <gtest/gtest.h>

TEST(BrowserSwitches, AppendedAfterTheUsersUnlessNamedThere)
{
    EXPECT_EQ(WithLibraryBrowserSwitches(""), "--no-unsandboxed-zygote");
    EXPECT_EQ(WithLibraryBrowserSwitches("--disable-gpu"), "--disable-gpu --no-unsandboxed-zygote");
    // Named by the user, bare or with a value, anywhere among blanks: left alone.
    EXPECT_EQ(WithLibraryBrowserSwitches("--no-unsandboxed-zygote"), "--no-unsandboxed-zygote");
    EXPECT_EQ(WithLibraryBrowserSwitches("  --a\t--no-unsandboxed-zygote=0 --b "),
              "  --a\t--no-unsandboxed-zygote=0 --b ");
    // A longer switch that begins with the same letters is another switch.
    EXPECT_EQ(WithLibraryBrowserSwitches("--no-unsandboxed-zygote-x"),
              "--no-unsandboxed-zygote-x --no-unsandboxed-zygote");

    EXPECT_TRUE(BrowserSwitchesDisableGpu("--disable-gpu"));
    EXPECT_TRUE(BrowserSwitchesDisableGpu("--lang=et --disable-gpu --no-unsandboxed-zygote"));
    EXPECT_FALSE(BrowserSwitchesDisableGpu(""));
    EXPECT_FALSE(BrowserSwitchesDisableGpu("--disable-gpu-compositing"));
    EXPECT_FALSE(BrowserSwitchesDisableGpu("x--disable-gpu"));
}
