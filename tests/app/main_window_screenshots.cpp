// Opens the real main window over a local site and saves what the screen
// shows into the folder QB_SCREENSHOT_DIR names: each tab at the templates'
// size ("Päring", the two catalogue tabs, "Abiinfo"), the entry dialog behind
// "Lisa..." and "Muuda...", the download selection of each catalogue with a
// list from the local server, then the window grown to 1000 x 750 and the
// same with the answer page's menu open. The content, position and sizes are
// always the same, so two runs compare pixel for pixel. Run on a display with
// the browser test settings, e.g. from the build folder:
//
//   export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
//   QB_SCREENSHOT_DIR=/tmp/shots xvfb-run -a -s "-screen 0 1280x1024x24"
//       tests/app/main_window_screenshots
//
// and compare two such folders (prints each file and the count of differing
// pixels, 0 when identical):
//
//   for f in BEFORE/*.png; do b=$(basename "$f");
//       echo "$b $(compare -metric AE "$f" "AFTER/$b" null: 2>&1)"; done
#include "dict_catalogue.h"
#include "gui_test.h"
#include "main_dialog.h"
#include "manage_test.h"
#include "test_http_server.h"
#include "web_browser.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

enum : int {
    IDC_BROWSER = 1006,
    IDC_LIST = 1007,
    IDC_ADD = 1010,
    IDC_EDIT = 1004,
    IDC_LOAD = 1015,
};

} // namespace

TEST(MainWindowScreenshots, Take)
{
    const char* pszDir = std::getenv("QB_SCREENSHOT_DIR");
    ASSERT_NE(pszDir, nullptr) << "set QB_SCREENSHOT_DIR to the folder to write";
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char* pszName : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
        qputenv(pszName, QFile::encodeName(home.path()));
    CWebBrowser::RegisterControlClass();
    ModalWatchdog watchdog(180000);
    TestHttpServer server;
    server.ServePage("/quillbridge/about.html", QStringLiteral("KV Quillbridge"),
                     QStringLiteral("Quillbridge otsib sõna veebisõnastikust ja näitab vastust "
                                    "siin aknas."));
    for (const QByteArray& path :
         {QByteArray("/quillbridge/"), QByteArray("/quillbridge/index.html")})
        server.ServePage(path, QStringLiteral("Abiinfo"),
                         QStringLiteral("Kirjuta sõna ja vali sõnastik."));
    TestHttpServer::Reply dicts;
    dicts.body = PublishedBody(
        {{u"Eesti keele seletav sõnaraamat (Sõnaveeb, 2009–2026)", u"utf8", u"http://127.0.0.1/"},
         {u"Eesti-vene sõnaraamat", u"utf8", u"http://www.example.com/er/?w="},
         {u"Sünonüümisõnastik", u"utf8", u"http://www.example.com/syn/?q="}});
    server.Serve("/quillbridge/dict.kvd", dicts);
    TestHttpServer::Reply predicts;
    predicts.body = PublishedBody(
        {{u"Algvormid: käänd- ja pöördvormist sõna algvormiks", u"utf8", u"http://127.0.0.1/"},
         {u"Liitsõnade osad", u"western", u"http://www.example.com/ls/?w="}});
    server.Serve("/quillbridge/predict.kvd", predicts);
    const SiteBaseOverride site(server.Url("/quillbridge/").toString());
    g_dictCatalogue.Reset();
    // Names longer than the template's lists, which the grown window shows whole.
    g_dictCatalogue.AddEntry(
        {u"Eesti keele seletav sõnaraamat (Sõnaveeb, 2009–2026)", u"utf8", u"http://127.0.0.1/"});
    g_dictCatalogue.AddEntry(
        {u"Õigekeelsussõnaraamat", u"baltic", u"http://www.example.com/qs/?w="});
    g_dictCatalogue.AddEntry(
        {u"Inglise-eesti masintõlge", u"western", u"http://www.example.com/en/?q="});
    g_predictCatalogue.Reset();
    g_predictCatalogue.AddEntry(
        {u"Algvormid: käänd- ja pöördvormist sõna algvormiks", u"utf8", u"http://127.0.0.1/"});
    g_predictCatalogue.selection = 1;

    const auto shoot = [&](QWidget* pWindow, const char* pszName) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(pWindow));
        QTest::qWait(300);
        const QRect frame = pWindow->frameGeometry();
        const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
            0, frame.x(), frame.y(), frame.width(), frame.height());
        EXPECT_TRUE(
            shot.save(QString::fromLocal8Bit(pszDir) + QLatin1Char('/') + QLatin1String(pszName)));
    };
    const auto browserTitled = [](CPropertyPage* pPage, const QString& strTitle) {
        auto* pView =
            WidgetOf(*pPage)->findChild<QWebEngineView*>(QStringLiteral("ctl%1").arg(IDC_BROWSER));
        WaitFor([&] { return pView && pView->title() == strTitle; }, 20000);
        return pView;
    };
    // The dialog a button of a catalogue page opens, shot and cancelled;
    // the selection once its list has come and the wait cursor is gone.
    const auto shootDialog = [&](QWidget* pSheet, QWidget* pPage, int nButton,
                                 const char* pszName) {
        const qsizetype nRequests = server.Requests().size();
        OnNextModal onDialog(
            [&](QWidget* pDlg) {
                shoot(pDlg, pszName);
                Control<QPushButton>(pDlg, IDCANCEL)->click();
            },
            pSheet,
            [&] {
                return nButton != IDC_LOAD ||
                       (server.Requests().size() > nRequests && !FindWaitWindow() &&
                        !QApplication::overrideCursor());
            });
        Control<QPushButton>(pPage, nButton)->click();
        EXPECT_TRUE(onDialog.Ran()) << pszName;
    };

    CMainDialog dlg(u"KV Quillbridge", u"", nullptr, 0);
    OnNextModal script([&](QWidget* pSheet) {
        pSheet->move(0, 0);
        browserTitled(dlg.GetPage(0), QStringLiteral("KV Quillbridge"));
        shoot(pSheet, "tab-0-paring.png");
        for (int nPage : {1, 2}) {
            dlg.SetActivePage(nPage);
            QWidget* pPage = WidgetOf(*dlg.GetPage(nPage));
            ClickRow(Control<QTreeWidget>(pPage, IDC_LIST), 0);
            shoot(pSheet, nPage == 1 ? "tab-1-sonastikud.png" : "tab-2-eelsonastikud.png");
            if (nPage == 1) {
                shootDialog(pSheet, pPage, IDC_ADD, "entry-add.png");
                shootDialog(pSheet, pPage, IDC_EDIT, "entry-edit.png");
                shootDialog(pSheet, pPage, IDC_LOAD, "load-sonastikud.png");
            } else {
                shootDialog(pSheet, pPage, IDC_LOAD, "load-eelsonastikud.png");
            }
        }
        dlg.SetActivePage(3);
        browserTitled(dlg.GetPage(3), QStringLiteral("Abiinfo"));
        shoot(pSheet, "tab-3-abiinfo.png");

        dlg.SetActivePage(0);
        pSheet->resize(1000, 750);
        QWebEngineView* pView = browserTitled(dlg.GetPage(0), QStringLiteral("KV Quillbridge"));
        shoot(pSheet, "window-grown.png");
        if (RightClickPage(pView, QPoint(120, 60)))
            shoot(pSheet, "page-menu.png");
        if (QWidget* pMenu = QApplication::activePopupWidget())
            pMenu->close();
        QTest::keyClick(pSheet, Qt::Key_Escape);
    });
    dlg.DoModal();
    EXPECT_TRUE(script.Ran());
}
