// The real main window with its four pages and browsers: keys, size and menus.
#include "dict_catalogue.h"
#include "gui_test.h"
#include "main_dialog.h"
#include "manage_test.h"
#include "message_box_recorder.h"
#include "test_http_server.h"
#include "user_settings.h"
#include "web_browser.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWebEngineView>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace
{

// Every test is a user of its own: a home, a data and a config folder nobody else has.
class MainWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        // The settings go to the config folder; the data folder is another.
        for (const auto& [pszName, pszFolder] :
             {std::pair{"HOME", ""}, {"XDG_CONFIG_HOME", ""}, {"XDG_DATA_HOME", "/data"}}) {
            m_saved.emplace_back(pszName, qgetenv(pszName));
            qputenv(pszName, QFile::encodeName(m_home.path() + QLatin1String(pszFolder)));
        }
        CWebBrowser::RegisterControlClass();
        m_server.ServePage("/quillbridge/about.html", QStringLiteral("Teave"),
                           QStringLiteral("Quillbridge"));
        m_server.ServePage("/quillbridge/", QStringLiteral("Abi"), QStringLiteral("Abiinfo"));
        g_dictCatalogue.Reset();
        g_predictCatalogue.Reset();
    }

    void TearDown() override
    {
        for (const auto& [strName, value] : m_saved)
            qputenv(strName.c_str(), value);
    }

    // One run of the main window: fn works the shown window, then Esc closes
    // it. Returns what the run returned.
    int Run(const std::function<void(CMainDialog&, QWidget* pSheet)>& fn)
    {
        ModalWatchdog watchdog(45000);
        CMainDialog dlg(u"KV Quillbridge", u"", nullptr, 0);
        OnNextModal script([&](QWidget* pSheet) {
            fn(dlg, pSheet);
            if (pSheet->isVisible())
                QTest::keyClick(pSheet, Qt::Key_Escape);
        });
        const int nResult = dlg.DoModal();
        EXPECT_TRUE(script.Ran());
        return nResult;
    }

    static QWidget* Page(CMainDialog& dlg, int nPage) { return WidgetOf(*dlg.GetPage(nPage)); }
    static QWebEngineView* Browser(CMainDialog& dlg, int nPage)
    {
        dlg.SetActivePage(nPage);
        // The view stands in the browser control, with the find bar under it.
        return Page(dlg, nPage)->findChild<QWebEngineView*>(QStringLiteral("ctl1006"));
    }

    QTemporaryDir m_home;
    std::vector<std::pair<std::string, QByteArray>> m_saved;
    TestHttpServer m_server;
    SiteBaseOverride m_site{m_server.Url("/quillbridge/").toString()};
};

} // namespace

TEST_F(MainWindow, GrownWindowGrowsItsPagesAndOpensAtThatSizeNextRun)
{
    const QSize kGrown(1000, 750);
    QSize minimum, grownBrowser;
    EXPECT_EQ(Run([&](CMainDialog& dlg, QWidget* pSheet) {
                  minimum = pSheet->minimumSize();
                  // The first run opens at the templates' size, which is the least.
                  EXPECT_EQ(pSheet->size(), minimum);
                  dlg.SetActivePage(1);
                  auto* pList = Control<QTreeWidget>(Page(dlg, 1), 1007);
                  auto* pModify = Control<QPushButton>(Page(dlg, 1), 1004);
                  const QRect list = pList->geometry(), modify = pModify->geometry();
                  QWebEngineView* pView = Browser(dlg, 0);
                  auto* pWord = Control<QLineEdit>(Page(dlg, 0), 1002);
                  auto* pDicts = Control<QComboBox>(Page(dlg, 0), 1007);
                  auto* pPredicts = Control<QComboBox>(Page(dlg, 0), 1005);
                  const QRect word = pWord->geometry(), dicts = pDicts->geometry(),
                              predicts = pPredicts->geometry();
                  const QSize browser = pView->size();

                  pSheet->resize(kGrown);
                  const QSize delta = kGrown - minimum;
                  ASSERT_TRUE(WaitFor([&] { return pView->size() == browser + delta; }))
                      << pView->width() << "x" << pView->height();
                  // The word stays as the template has it; the lists widen, so
                  // that long names show whole.
                  EXPECT_EQ(pWord->geometry(), word);
                  EXPECT_EQ(pDicts->geometry(), dicts.adjusted(0, 0, delta.width(), 0));
                  EXPECT_EQ(pPredicts->geometry(), predicts.adjusted(0, 0, delta.width(), 0));
                  grownBrowser = pView->size();
                  // A page made after the growing comes at the grown size too.
                  QWebEngineView* pHelp = Browser(dlg, 3);
                  ASSERT_TRUE(WaitFor([&] { return pHelp->width() == grownBrowser.width(); }));
                  EXPECT_GT(pHelp->height(), grownBrowser.height());
                  // The catalogue list grows; its buttons keep to its right.
                  dlg.SetActivePage(1);
                  EXPECT_TRUE(WaitFor([&] { return pList->width() > list.width(); }));
                  EXPECT_EQ(pList->geometry(), list.adjusted(0, 0, delta.width(), delta.height()));
                  EXPECT_EQ(pModify->geometry(), modify.translated(delta.width(), 0));
              }),
              IDCANCEL);
    ASSERT_TRUE(QFile::exists(m_home.filePath(QStringLiteral("quillbridge/settings.ini"))));

    EXPECT_EQ(Run([&](CMainDialog& dlg, QWidget* pSheet) {
                  EXPECT_EQ(pSheet->size(), kGrown);
                  QWebEngineView* pView = Browser(dlg, 0);
                  EXPECT_TRUE(WaitFor([&] { return pView->size() == grownBrowser; }));
              }),
              IDCANCEL);

    // A size larger than the screen, as a file edited by hand may hold.
    {
        CUserSettings settings;
        settings.SetIntValue(u"mainWindow/width", 20000);
        settings.SetValue(u"mainWindow/height", u"20000");
        // Written at once, not only when the object goes.
        QFile file(m_home.filePath(QStringLiteral("quillbridge/settings.ini")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains("height=20000"));
    }
    EXPECT_EQ(Run([&](CMainDialog&, QWidget* pSheet) {
                  const QSize screen = pSheet->screen()->availableGeometry().size();
                  EXPECT_LE(pSheet->width(), screen.width());
                  EXPECT_LE(pSheet->height(), screen.height());
                  EXPECT_GE(pSheet->height(), minimum.height());
              }),
              IDCANCEL);

    // A config folder that cannot be made: the size is not kept, and nothing is said.
    const QString strBlocked = m_home.filePath(QStringLiteral("blocked"));
    QFile blocker(strBlocked);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(strBlocked));
    MessageBoxRecorder boxes;
    for (int nRun = 0; nRun < 2; ++nRun)
        EXPECT_EQ(Run([&](CMainDialog&, QWidget* pSheet) {
                      EXPECT_EQ(pSheet->size(), minimum);
                      pSheet->resize(kGrown);
                      EXPECT_TRUE(WaitFor([&] { return pSheet->size() == kGrown; }));
                  }),
                  IDCANCEL);
    EXPECT_EQ(boxes.Count(), 0);
}

namespace
{

// The menu open on the screen, once it is; its items' texts without their keys.
QMenu* WaitForMenu()
{
    QMenu* pMenu = nullptr;
    WaitFor([&] {
        pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return pMenu && pMenu->isVisible();
    });
    return pMenu;
}

QStringList ItemsOf(const QMenu* pMenu)
{
    QStringList items;
    for (const QAction* pAction : pMenu->actions())
        if (!pAction->isSeparator())
            items << pAction->text().section(QLatin1Char('\t'), 0, 0);
    return items;
}

} // namespace

TEST_F(MainWindow, EscInAMenuClosesOnlyTheMenuAndTheMenusAreEstonian)
{
    EXPECT_EQ(
        Run([&](CMainDialog& dlg, QWidget* pSheet) {
            QWebEngineView* pView = Browser(dlg, 0);
            ASSERT_TRUE(WaitFor([&] { return pView->title() == QStringLiteral("Teave"); }, 20000));
            RightClickPage(pView);
            QMenu* pMenu = WaitForMenu();
            ASSERT_NE(pMenu, nullptr) << "no menu on the answer page";
            EXPECT_EQ(ItemsOf(pMenu),
                      (QStringList{QStringLiteral("Tagasi"), QStringLiteral("Edasi"),
                                   QStringLiteral("Laadi uuesti"), QStringLiteral("Vali kõik")}));
            QTest::keyClick(pMenu, Qt::Key_Escape);
            EXPECT_TRUE(WaitFor([] { return !QApplication::activePopupWidget(); }));
            QApplication::processEvents();
            ASSERT_TRUE(pSheet->isVisible()) << "Esc in the menu closed the window";

            auto* pWord = Control<QLineEdit>(Page(dlg, 0), 1002);
            QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                    pWord->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(pWord, &click);
            pMenu = WaitForMenu();
            ASSERT_NE(pMenu, nullptr) << "no menu on the word field";
            EXPECT_EQ(ItemsOf(pMenu).mid(0, 7),
                      (QStringList{QStringLiteral("&Võta tagasi"), QStringLiteral("&Tee uuesti"),
                                   QStringLiteral("&Lõika"), QStringLiteral("&Kopeeri"),
                                   QStringLiteral("Kl&eebi"), QStringLiteral("Kustuta"),
                                   QStringLiteral("Vali kõik")}));
            QTest::keyClick(pMenu, Qt::Key_Escape);
            EXPECT_TRUE(WaitFor([] { return !QApplication::activePopupWidget(); }));
            QApplication::processEvents();
            ASSERT_TRUE(pSheet->isVisible());
            // With no menu open, Esc closes the window (Run's last step).
        }),
        IDCANCEL);
}
