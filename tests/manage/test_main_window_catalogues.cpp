#include "dict_catalogue.h"
#include "main_dialog.h"
#include "manage_test.h"
#include "test_http_server.h"
#include "web_browser.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace
{

const CDictEntry kEkss{u"EKSS", u"utf8", u"http://127.0.0.1/ekss?q="};

QStringList ItemsOf(const QComboBox* pCombo)
{
    QStringList items;
    for (int i = 0; i < pCombo->count(); ++i)
        items << pCombo->itemText(i);
    return items;
}

} // namespace

// The catalogue tabs in the real main window, beside the lookup page that
// reads their catalogues.
TEST(MainWindowCatalogues, EditsReachTheLookupPageWhenTheTabIsLeftAndSurviveEsc)
{
    ModalWatchdog watchdog(40000);
    CWebBrowser::RegisterControlClass();
    TestHttpServer server;
    server.ServePage("/quillbridge/about.html", QStringLiteral("Teave"));
    const SiteBaseOverride site(server.Url("/quillbridge/").toString());
    g_dictCatalogue.Reset();
    g_dictCatalogue.AddEntry(kEkss);
    g_predictCatalogue.Reset();

    CMainDialog dlg(u"KV Quillbridge", u"", nullptr, 0);
    QStringList dictItems, predictItems;
    OnNextModal script([&](QWidget* pSheet) {
        QTabWidget* pTabs = static_cast<QTabWidget*>(FromHandle(dlg.GetTabControl()));
        ASSERT_EQ(pTabs->count(), 4);
        EXPECT_EQ(pTabs->tabText(0), QStringLiteral("Päring"));
        EXPECT_EQ(pTabs->tabText(1), QStringLiteral("Sõnastikud"));
        EXPECT_EQ(pTabs->tabText(2), QStringLiteral("Eelsõnastikud"));
        EXPECT_EQ(pTabs->tabText(3), QStringLiteral("Abiinfo"));
        QWidget* pRunPage = WidgetOf(*dlg.GetPage(0));
        ASSERT_NE(dlg.GetPage(0)->GetDlgItem(1006), nullptr) << "no browser on the lookup page";

        pTabs->setCurrentIndex(1);
        {
            OnNextModal add(
                [](QWidget* pEntry) {
                    Control<QLineEdit>(pEntry, 1008)->setText(QStringLiteral("Uus"));
                    Control<QLineEdit>(pEntry, 1009)->setText(QStringLiteral("http://uus/"));
                    QTest::keyClick(Control<QLineEdit>(pEntry, 1009), Qt::Key_Return);
                },
                pSheet);
            Control<QPushButton>(WidgetOf(*dlg.GetPage(1)), 1010)->click();
        }
        pTabs->setCurrentIndex(0);
        dictItems = ItemsOf(Control<QComboBox>(pRunPage, 1007));

        pTabs->setCurrentIndex(2);
        {
            OnNextModal add(
                [](QWidget* pEntry) {
                    Control<QLineEdit>(pEntry, 1008)->setText(QStringLiteral("Eel"));
                    Control<QLineEdit>(pEntry, 1009)->setText(QStringLiteral("http://eel/"));
                    Control<QPushButton>(pEntry, IDOK)->click();
                },
                pSheet);
            Control<QPushButton>(WidgetOf(*dlg.GetPage(2)), 1010)->click();
        }
        // Straight out with Esc, without leaving the tab first.
        QTest::keyClick(pSheet, Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Ran());

    EXPECT_EQ(dictItems, (QStringList{QStringLiteral("EKSS"), QStringLiteral("Uus")}));
    EXPECT_EQ(RowsOf(g_dictCatalogue.entries), RowsOf({kEkss, {u"Uus", u"utf8", u"http://uus/"}}));
    EXPECT_EQ(RowsOf(g_predictCatalogue.entries),
              RowsOf({{u" --- ", u"utf8", u""}, {u"Eel", u"utf8", u"http://eel/"}}));
}
