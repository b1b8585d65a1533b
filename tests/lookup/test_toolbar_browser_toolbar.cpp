#include "application.h"
#include "gui_test.h"
#include "message_box_recorder.h"
#include "test_browser_page.h"
#include "test_http_server.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QHelpEvent>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QWebEngineView>

#include <gtest/gtest.h>

namespace
{

using States = std::vector<bool>;

class BrowserToolBar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CWebBrowser::RegisterControlClass();
        for (const char* pszPath : {"/one", "/two", "/three"})
            m_server.ServePage(pszPath, QString::fromLatin1(pszPath + 1));
        ServeHeld("/slow");
    }

    // The headers at once, the body only when the test releases it: the page
    // is loading until then.
    void ServeHeld(const QByteArray& path)
    {
        TestHttpServer::Reply held;
        held.body = TestHttpServer::Page(QStringLiteral("aeglane"), QString());
        held.bHeld = true;
        m_server.Serve(path, held);
    }

    // A page window, shown, with its first page loaded.
    void Open(BrowserTestPage& page, const char* pszFirst = "/one")
    {
        ASSERT_TRUE(page.Create());
        page.ShowWindow(SW_SHOW);
        ASSERT_TRUE(page.Load(m_server.Url(pszFirst)));
    }

    TestHttpServer m_server;
};

} // namespace

TEST_F(BrowserToolBar, OnlyReloadIsEnabledRightAfterCreation)
{
    BrowserTestPage page;
    ASSERT_TRUE(page.Create());
    EXPECT_EQ(page.m_toolBar.GetButtonCount(), 4);
    EXPECT_EQ(page.ButtonStates(), States({false, false, false, true}));
    // Inside its placeholder, along its bottom.
    QWidget* pPlaceholder = DlgItemWidget(page, 1012);
    EXPECT_EQ(WidgetOf(page.m_toolBar)->parentWidget(), pPlaceholder);
    EXPECT_EQ(WidgetOf(page.m_toolBar)->geometry().bottom(), pPlaceholder->rect().bottom());
    for (int nID = 1; nID <= 4; ++nID)
        EXPECT_FALSE(page.Button(nID)->icon().isNull()) << nID;
}

TEST_F(BrowserToolBar, BackAndForwardFollowTheHistory)
{
    BrowserTestPage page;
    Open(page);
    EXPECT_EQ(page.ButtonStates(), States({false, false, false, true}));

    ASSERT_TRUE(page.Load(m_server.Url("/two")));
    ASSERT_TRUE(WaitFor([&] {
        return page.ButtonStates() == States({true, false, false, true});
    })) << "back not enabled after a second page";

    page.Button(1)->click();
    ASSERT_TRUE(WaitFor([&] { return page.CurrentUrl() == m_server.Url("/one"); }));
    ASSERT_TRUE(WaitFor([&] {
        return page.ButtonStates() == States({false, true, false, true});
    })) << "forward not enabled after going back";

    page.Button(2)->click();
    ASSERT_TRUE(WaitFor([&] { return page.CurrentUrl() == m_server.Url("/two"); }));
    ASSERT_TRUE(WaitFor([&] { return page.ButtonStates() == States({true, false, false, true}); }));

    const int nBefore = page.m_nCompletes;
    page.Button(4)->click();
    ASSERT_TRUE(page.WaitForLoads(nBefore + 1));
    EXPECT_EQ(m_server.RequestsFor("/two").size(), 2);
}

TEST_F(BrowserToolBar, StopIsEnabledWhileAPageLoads)
{
    BrowserTestPage page;
    Open(page);
    const int nBefore = page.m_nCompletes;
    page.m_browser.Navigate(m_server.Url("/slow").toString().toStdU16String());
    ASSERT_TRUE(WaitFor([&] { return page.m_toolBar.IsButtonEnabled(3); }))
        << "stop not enabled while loading";
    EXPECT_EQ(page.m_nCompletes, nBefore);
    m_server.Release("/slow");
    ASSERT_TRUE(page.WaitForLoads(nBefore + 1));
    EXPECT_FALSE(page.m_toolBar.IsButtonEnabled(3));
    EXPECT_EQ(page.CurrentUrl(), m_server.Url("/slow"));

    // Stop, pressed while loading, ends the load without a message; the
    // body never comes, so nothing else can end it.
    MessageBoxRecorder boxes;
    ServeHeld("/stopped");
    const int nLoaded = page.m_nCompletes;
    page.m_browser.Navigate(m_server.Url("/stopped").toString().toStdU16String());
    ASSERT_TRUE(WaitFor([&] { return page.m_toolBar.IsButtonEnabled(3); }));
    page.Button(3)->click();
    ASSERT_TRUE(page.WaitForLoads(nLoaded + 1)) << "stop did not end the load";
    EXPECT_FALSE(page.m_toolBar.IsButtonEnabled(3));
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(BrowserToolBar, UnknownStateCodesChangeNothing)
{
    BrowserTestPage page;
    ASSERT_TRUE(page.Create());
    const States before = page.ButtonStates();
    for (int nCode : {-1, 0, 4, 105})
        for (int bEnable : {TRUE, FALSE}) {
            page.m_toolBar.SetCommandState(nCode, bEnable);
            EXPECT_EQ(page.ButtonStates(), before) << nCode;
        }
    page.m_toolBar.SetCommandState(3, TRUE);
    page.m_toolBar.SetCommandState(1, TRUE);
    page.m_toolBar.SetCommandState(2, TRUE);
    EXPECT_EQ(page.ButtonStates(), States({true, true, true, true}));
    page.m_toolBar.SetCommandState(-1, FALSE);
    EXPECT_EQ(page.ButtonStates(), States({true, true, true, true}));
    // Only the low 16 bits of the flag count.
    page.m_toolBar.SetCommandState(2, 0x10000);
    EXPECT_FALSE(page.m_toolBar.IsButtonEnabled(1));
    page.m_toolBar.SetCommandState(1, 0x10001);
    EXPECT_TRUE(page.m_toolBar.IsButtonEnabled(2));
}

TEST_F(BrowserToolBar, TwoToolbarsActOnTheirOwnBrowsersOnly)
{
    BrowserTestPage lookup, help;
    Open(lookup, "/one");
    Open(help, "/three");
    ASSERT_TRUE(lookup.Load(m_server.Url("/two")));
    ASSERT_TRUE(WaitFor([&] { return lookup.m_toolBar.IsButtonEnabled(1); }));
    EXPECT_FALSE(help.m_toolBar.IsButtonEnabled(1));

    const int nBackLoads = lookup.m_nCompletes;
    lookup.Button(1)->click();
    ASSERT_TRUE(lookup.WaitForLoads(nBackLoads + 1));
    EXPECT_EQ(lookup.CurrentUrl(), m_server.Url("/one"));
    ASSERT_TRUE(WaitFor([&] { return lookup.m_toolBar.IsButtonEnabled(2); }));
    EXPECT_EQ(help.CurrentUrl(), m_server.Url("/three"));
    EXPECT_EQ(help.ButtonStates(), States({false, false, false, true}));

    const int nHelpLoads = help.m_nCompletes;
    const int nLookupLoads = lookup.m_nCompletes;
    help.Button(4)->click();
    ASSERT_TRUE(help.WaitForLoads(nHelpLoads + 1));
    QTest::qWait(200);
    EXPECT_EQ(lookup.m_nCompletes, nLookupLoads);
    EXPECT_EQ(m_server.RequestsFor("/three").size(), 2);
    EXPECT_EQ(m_server.RequestsFor("/one").size(), 1);
}

TEST_F(BrowserToolBar, AFailingCommandTellsItsFailure)
{
    BrowserTestPage page;
    Open(page);
    CWebBrowser missing; // no live browser: every call fails
    MessageBoxRecorder boxes;
    EXPECT_EQ(ExecuteBrowserCommand(page.m_browser, 1), -1); // no previous page
    EXPECT_EQ(ExecuteBrowserCommand(page.m_browser, 2), -1); // no next page
    EXPECT_EQ(ExecuteBrowserCommand(missing, 3), -1);
    EXPECT_EQ(ExecuteBrowserCommand(missing, 4), -1);
    const QStringList texts = {QStringLiteral("Eelmisele leheküljele minek ebaõnnestus!"),
                               QStringLiteral("Järgmisele leheküljele minek ebaõnnestus!"),
                               QStringLiteral("Laadimise peatamine ebaõnnestus!"),
                               QStringLiteral("Ülelaadimine ebaõnnestus!")};
    ASSERT_EQ(boxes.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(boxes.Boxes()[i].strText, texts[i]);
        EXPECT_EQ(boxes.Boxes()[i].strCaption, QStringLiteral("Viga"));
        EXPECT_EQ(boxes.Boxes()[i].nType & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
    }
    EXPECT_EQ(boxes.Boxes()[0].hOwner, page.m_browser.GetSafeHwnd());

    // Commands that work, and one that does not exist, show nothing.
    boxes.Clear();
    EXPECT_EQ(ExecuteBrowserCommand(page.m_browser, 3), 0);
    EXPECT_EQ(ExecuteBrowserCommand(page.m_browser, 4), 0);
    EXPECT_EQ(ExecuteBrowserCommand(page.m_browser, 5), -1);
    EXPECT_EQ(ExecuteBrowserCommand(page.m_browser, 0), -1);
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(BrowserToolBar, TooltipsNameTheFourCommands)
{
    BrowserTestPage page;
    ASSERT_TRUE(page.Create());
    page.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(page)));
    const QStringList expected = {QStringLiteral("Eelmine lehekülg"),
                                  QStringLiteral("Järgmine lehekülg"), QStringLiteral("Stopp"),
                                  QStringLiteral("Ülelaadimine")};
    for (int nID = 1; nID <= 4; ++nID) {
        EXPECT_EQ(page.m_toolBar.GetToolTipText(nID), expected[nID - 1]);
        QToolButton* pButton = page.Button(nID);
        const QPoint pos = pButton->rect().center();
        QHelpEvent event(QEvent::ToolTip, pos, pButton->mapToGlobal(pos));
        QCoreApplication::sendEvent(pButton, &event);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(), expected[nID - 1]);
    }
    QToolTip::hideText();
    EXPECT_EQ(page.m_toolBar.GetToolTipText(0), QString());
    EXPECT_EQ(page.m_toolBar.GetToolTipText(5), QString());
}
