// Opens the real main window at 1000 x 750 over a local site and saves what
// the screen shows into the folder QB_SCREENSHOT_DIR names: the grown window,
// then the same with the answer page's menu open. Run on a display (xvfb-run)
// with the browser test settings.
#include "dict_catalogue.h"
#include "gui_test.h"
#include "main_dialog.h"
#include "manage_test.h"
#include "test_http_server.h"
#include "web_browser.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <cstdlib>

TEST(MainWindowScreenshots, Take)
{
    const char* pszDir = std::getenv("QB_SCREENSHOT_DIR");
    ASSERT_NE(pszDir, nullptr) << "set QB_SCREENSHOT_DIR to the folder to write";
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char* pszName : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
        qputenv(pszName, QFile::encodeName(home.path()));
    CWebBrowser::RegisterControlClass();
    TestHttpServer server;
    server.ServePage("/quillbridge/about.html", QStringLiteral("KV Quillbridge"),
                     QStringLiteral("Quillbridge otsib sõna veebisõnastikust ja näitab vastust "
                                    "siin aknas."));
    const SiteBaseOverride site(server.Url("/quillbridge/").toString());
    g_dictCatalogue.Reset();
    // Names longer than the template's lists, which the grown window shows whole.
    g_dictCatalogue.AddEntry(
        {u"Eesti keele seletav sõnaraamat (Sõnaveeb, 2009–2026)", u"utf8", u"http://127.0.0.1/"});
    g_predictCatalogue.Reset();
    g_predictCatalogue.AddEntry(
        {u"Algvormid: käänd- ja pöördvormist sõna algvormiks", u"utf8", u"http://127.0.0.1/"});
    g_predictCatalogue.selection = 1;

    const auto shoot = [&](QWidget* pSheet, const char* pszName) {
        QTest::qWait(300);
        const QRect frame = pSheet->frameGeometry();
        const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
            0, frame.x(), frame.y(), frame.width(), frame.height());
        EXPECT_TRUE(
            shot.save(QString::fromLocal8Bit(pszDir) + QLatin1Char('/') + QLatin1String(pszName)));
    };
    CMainDialog dlg(u"KV Quillbridge", u"", nullptr, 0);
    OnNextModal script([&](QWidget* pSheet) {
        pSheet->move(0, 0);
        pSheet->resize(1000, 750);
        auto* pView = dlg.GetPage(0)->GetSafeHwnd()->findChild<QWebEngineView*>("ctl1006");
        WaitFor([&] { return pView->title() == QStringLiteral("KV Quillbridge"); }, 20000);
        shoot(pSheet, "window-grown.png");
        if (RightClickPage(pView, QPoint(120, 60)))
            shoot(pSheet, "page-menu.png");
        if (QWidget* pMenu = QApplication::activePopupWidget())
            pMenu->close();
        QTest::keyClick(pSheet, Qt::Key_Escape);
    });
    dlg.DoModal();
}
