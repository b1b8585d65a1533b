// Shows the main window on its "Sõnastikud" tab, the entry dialog and the
// download selection with a list from a local server, and saves what the
// screen shows of each into the folder QB_SCREENSHOT_DIR names. Run on a
// display (xvfb-run).
#include "dict_catalogue.h"
#include "main_dialog.h"
#include "manage_test.h"
#include "test_http_server.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

const std::vector<CDictEntry> kEntries = {
    {u"Eesti keele seletav sõnaraamat", u"utf8", u"http://www.example.com/ekss/?q="},
    {u"Õigekeelsussõnaraamat", u"baltic", u"http://www.example.com/qs/?w="},
    {u"Vene-eesti sõnaraamat", u"utf8", u"http://www.example.com/ru/?w="},
    {u"Inglise-eesti masintõlge", u"western", u"http://www.example.com/en/?q="},
    {u"Võõrsõnastik", u"baltic", u"http://www.example.com/vs/?w="},
};

QString OutputDir()
{
    const char* pszDir = std::getenv("QB_SCREENSHOT_DIR");
    return pszDir ? QString::fromLocal8Bit(pszDir) : QString();
}

// What the screen shows of the window, once it has been painted.
void Save(QWidget* pWindow, const QString& strFile)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pWindow));
    QTest::qWait(300);
    const QRect frame = pWindow->frameGeometry();
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
        0, frame.x(), frame.y(), frame.width(), frame.height());
    EXPECT_TRUE(shot.save(QDir(OutputDir()).filePath(strFile))) << strFile.toStdString();
}

} // namespace

TEST(ManageScreenshots, Take)
{
    ASSERT_FALSE(OutputDir().isEmpty()) << "set QB_SCREENSHOT_DIR to the folder to write";
    ModalWatchdog watchdog(60000);

    for (const CDictEntry& entry : kEntries)
        g_dictCatalogue.AddEntry(entry);
    // Opened on its second tab, so the lookup page and its browser are never made.
    CMainDialog sheet(u"KV Quillbridge", u"", nullptr, 1);

    TestHttpServer server;
    TestHttpServer::Reply published;
    published.body =
        PublishedBody({kEntries[1],
                       {u"Eesti-vene sõnaraamat", u"utf8", u"http://www.example.com/er/?w="},
                       kEntries[3],
                       {u"Sünonüümisõnastik", u"utf8", u"http://www.example.com/syn/?q="},
                       {u"Etümoloogiasõnaraamat", u"utf8", u"http://www.example.com/ety/?q="}});
    server.Serve("/quillbridge/dict.kvd", published);
    const SiteBaseOverride site(server.Url("/quillbridge/").toString());

    OnNextModal onSheet([&](QWidget* pSheet) {
        pSheet->move(40, 40);
        QWidget* pPage = WidgetOf(*sheet.GetActivePage());
        auto* pList = Control<QTreeWidget>(pPage, 1007);
        ClickRow(pList, 1);
        Save(pSheet, QStringLiteral("dict_page.png"));

        OnNextModal onEntry(
            [&](QWidget* pDlg) {
                Save(pDlg, QStringLiteral("entry_dialog.png"));
                Control<QPushButton>(pDlg, IDCANCEL)->click();
            },
            pSheet);
        Control<QPushButton>(pPage, 1004)->click();

        OnNextModal onLoad(
            [&](QWidget* pDlg) {
                Save(pDlg, QStringLiteral("load_dialog.png"));
                Control<QPushButton>(pDlg, IDCANCEL)->click();
            },
            pSheet,
            [&] { return !server.Requests().isEmpty() && !QApplication::overrideCursor(); });
        Control<QPushButton>(pPage, 1015)->click();
        QTest::keyClick(pSheet, Qt::Key_Escape);
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}
