// Opens a page window with the browser toolbar and a page from a local
// server, and saves what the screen shows of it to the file QB_SCREENSHOT
// names. Run on a display (xvfb-run) with the browser test settings.
#include "gui_test.h"
#include "test_browser_page.h"
#include "test_http_server.h"
#include "win_defs.h"

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
    server.ServePage("/quillbridge/", QStringLiteral("KV Quillbridge"),
                     QStringLiteral("Sõnaraamatute päringuaken. Tere tulemast!"));
    server.ServePage("/quillbridge/about.html", QStringLiteral("Teave"),
                     QStringLiteral("Sisestage sõna ja valige sõnastik."), 3000);
    server.ServePage("/quillbridge/dict.html", QStringLiteral("Sõnastikud"));

    BrowserTestPage page;
    ASSERT_TRUE(page.Create());
    page.GetSafeHwnd()->setWindowTitle(QStringLiteral("Abiinfo"));
    page.ShowWindow(SW_SHOW);
    page.GetSafeHwnd()->move(40, 40);
    ASSERT_TRUE(page.Load(server.Url("/quillbridge/")));
    ASSERT_TRUE(page.Load(server.Url("/quillbridge/about.html")));
    ASSERT_TRUE(page.Load(server.Url("/quillbridge/dict.html")));
    // Back to the slow page and reload it: all four buttons are enabled while it loads.
    page.Button(1)->click();
    ASSERT_TRUE(WaitFor([&] { return page.m_toolBar.IsButtonEnabled(2); }));
    page.Button(4)->click();
    ASSERT_TRUE(WaitFor([&] { return page.m_toolBar.IsButtonEnabled(3); }));
    QTest::qWait(800);
    const QRect frame = page.GetSafeHwnd()->frameGeometry();
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
        0, frame.x(), frame.y(), frame.width(), frame.height());
    ASSERT_TRUE(shot.save(QString::fromLocal8Bit(pszOut)));
    std::printf("states %d%d%d%d\n", page.m_toolBar.IsButtonEnabled(1),
                page.m_toolBar.IsButtonEnabled(2), page.m_toolBar.IsButtonEnabled(3),
                page.m_toolBar.IsButtonEnabled(4));
}
