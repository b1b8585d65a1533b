// Opens a page window with the browser toolbar and a page from a local
// server, and saves what the screen shows of it to the file QB_SCREENSHOT
// names. Run on a display (xvfb-run) with the browser test settings.
#include "gui_test.h"
#include "test_browser_page.h"
#include "test_http_server.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

TEST(ToolBarScreenshot, Take)
{
    const char* pszOut = std::getenv("QB_SCREENSHOT");
    ASSERT_NE(pszOut, nullptr) << "set QB_SCREENSHOT to the file to write";
    CWebBrowser::RegisterControlClass();
    TestHttpServer server;
    server.ServePage("/quillbridge/", QStringLiteral("KV Quillbridge"));
    server.ServePage("/quillbridge/about.html", QStringLiteral("Teave"),
                     QStringLiteral("Sisestage sõna ja valige sõnastik."));
    server.ServePage("/quillbridge/dict.html", QStringLiteral("Sõnastikud"));

    BrowserTestPage page;
    ASSERT_TRUE(page.Create());
    page.ShowWindow(SW_SHOW);
    WidgetOf(page)->move(40, 40);
    for (const char* pszPath :
         {"/quillbridge/", "/quillbridge/about.html", "/quillbridge/dict.html"})
        ASSERT_TRUE(page.Load(server.Url(pszPath)));
    // Back one page, then reload it slowly: all four buttons are enabled meanwhile.
    const int nLoads = page.m_nCompletes;
    page.Button(1)->click();
    ASSERT_TRUE(page.WaitForLoads(nLoads + 1));
    // The answer keeps back even its headers, so the page on show stays.
    TestHttpServer::Reply slow;
    slow.body = TestHttpServer::Page(QStringLiteral("Teave"),
                                     QStringLiteral("Sisestage sõna ja valige sõnastik."));
    slow.headerDelayMs = 5000;
    server.Serve("/quillbridge/about.html", slow);
    page.Button(4)->click();
    ASSERT_TRUE(WaitFor([&] { return page.ButtonStates() == std::vector<bool>(4, true); }));
    QTest::qWait(500);
    const QRect frame = WidgetOf(page)->frameGeometry();
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
        0, frame.x(), frame.y(), frame.width(), frame.height());
    ASSERT_TRUE(shot.save(QString::fromLocal8Bit(pszOut)));
    std::printf("states %d%d%d%d\n", page.m_toolBar.IsButtonEnabled(1),
                page.m_toolBar.IsButtonEnabled(2), page.m_toolBar.IsButtonEnabled(3),
                page.m_toolBar.IsButtonEnabled(4));
}
