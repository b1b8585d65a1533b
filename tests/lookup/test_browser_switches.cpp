// The library's browser switches go after the user's and never replace one
// the user named; its disabled features join the user's list instead of
// replacing it; --disable-gpu is recognised as a whole switch only.
#include "browser_switches.h"

#include <gtest/gtest.h>

TEST(BrowserSwitches, AppendedAfterTheUsersUnlessNamedThere)
{
    EXPECT_EQ(WithLibraryBrowserSwitches(""),
              "--no-unsandboxed-zygote --disable-features=PaintHolding");
    EXPECT_EQ(WithLibraryBrowserSwitches("--disable-gpu"),
              "--disable-gpu --no-unsandboxed-zygote --disable-features=PaintHolding");
    // Named by the user, bare or with a value, anywhere among blanks: left alone.
    EXPECT_EQ(WithLibraryBrowserSwitches("--no-unsandboxed-zygote --disable-features=PaintHolding"),
              "--no-unsandboxed-zygote --disable-features=PaintHolding");
    EXPECT_EQ(WithLibraryBrowserSwitches("  --a\t--no-unsandboxed-zygote=0 --b "),
              "  --a\t--no-unsandboxed-zygote=0 --b  --disable-features=PaintHolding");
    // A longer switch that begins with the same letters is another switch.
    EXPECT_EQ(WithLibraryBrowserSwitches("--no-unsandboxed-zygote-x"),
              "--no-unsandboxed-zygote-x --no-unsandboxed-zygote --disable-features=PaintHolding");

    // The user's own --disable-features list is extended where it stands, the
    // last one where repeated (the engine reads only that one).
    EXPECT_EQ(WithLibraryBrowserSwitches("--disable-features=X --lang=et"),
              "--disable-features=X,PaintHolding --lang=et --no-unsandboxed-zygote");
    EXPECT_EQ(WithLibraryBrowserSwitches("--disable-features=A --disable-features=B,C"),
              "--disable-features=A --disable-features=B,C,PaintHolding --no-unsandboxed-zygote");
    EXPECT_EQ(WithLibraryBrowserSwitches("--disable-features"),
              "--disable-features=PaintHolding --no-unsandboxed-zygote");
    EXPECT_EQ(WithLibraryBrowserSwitches("--disable-features=X,"),
              "--disable-features=X,PaintHolding --no-unsandboxed-zygote");
    // Named by the user in either list, with a trial or a star: left alone.
    EXPECT_EQ(WithLibraryBrowserSwitches("--disable-features=A,PaintHolding<T"),
              "--disable-features=A,PaintHolding<T --no-unsandboxed-zygote");
    EXPECT_EQ(WithLibraryBrowserSwitches("--enable-features=*PaintHolding"),
              "--enable-features=*PaintHolding --no-unsandboxed-zygote");
    // A feature whose name begins the same is another feature; a switch that
    // begins with the same letters is another switch.
    EXPECT_EQ(WithLibraryBrowserSwitches("--disable-features=PaintHoldingX --disable-features-x=1"),
              "--disable-features=PaintHoldingX,PaintHolding --disable-features-x=1 "
              "--no-unsandboxed-zygote");

    EXPECT_TRUE(BrowserSwitchesDisableGpu("--disable-gpu"));
    EXPECT_TRUE(BrowserSwitchesDisableGpu("--lang=et --disable-gpu --no-unsandboxed-zygote"));
    EXPECT_FALSE(BrowserSwitchesDisableGpu(""));
    EXPECT_FALSE(BrowserSwitchesDisableGpu("--disable-gpu-compositing"));
    EXPECT_FALSE(BrowserSwitchesDisableGpu("x--disable-gpu"));
}
