#include "dict_catalogue.h"
#include "dict_dialog.h"
#include "manage_test.h"
#include "message_box_recorder.h"
#include "property_sheet.h"
#include "test_http_server.h"
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

enum : int {
    IDC_MODIFY = 1004,
    IDC_ADD = 1010,
    IDC_DELETE = 1011,
    IDC_MOVE_UP = 1012,
    IDC_MOVE_DOWN = 1013,
    IDC_DOWNLOAD = 1015,
};

const CDictEntry kEkss{u"EKSS", u"utf8", u"http://127.0.0.1/ekss?q="};
const CDictEntry kOs{u"ÕS", u"baltic", u"http://127.0.0.1/os?w="};
const CDictEntry kVene{u"Vene-eesti", u"western", u"http://127.0.0.1/ru?w="};
const CDictEntry kOdd{u"Vana", u"koi8-r", u"http://127.0.0.1/vana?w="};

// Both catalogue pages in a sheet, as the main window holds them, on
// catalogues of the test's own.
class DictPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dictPage.SetCatalogue(&m_dict);
        m_predictPage.SetCatalogue(&m_predict);
        m_sheet.AddPage(&m_dictPage);
        m_sheet.AddPage(&m_predictPage);
    }

    void Fill(CDictCatalogue& catalogue, const std::vector<CDictEntry>& entries)
    {
        for (const CDictEntry& entry : entries)
            catalogue.AddEntry(entry);
    }

    // Runs the sheet on page nPage, runs the script once it shows, then
    // closes it with Esc as the user would.
    void Run(const std::function<void()>& script, int nPage = 0)
    {
        ModalWatchdog watchdog;
        m_sheet.SetActivePage(nPage);
        OnNextModal run([&](QWidget* pSheet) {
            m_pSheetWindow = pSheet;
            // The main window keeps 1004 as its Enter command.
            m_sheet.SetDefID(IDC_MODIFY);
            script();
            QTest::keyClick(pSheet, Qt::Key_Escape);
        });
        EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
        EXPECT_TRUE(run.Ran());
    }

    QWidget* Page() const { return WidgetOf(*m_sheet.GetActivePage()); }
    QTreeWidget* List() const { return Control<QTreeWidget>(Page(), 1007); }
    QPushButton* Button(int nID) const { return Control<QPushButton>(Page(), nID); }

    // Which of the four row buttons are enabled: modify, delete, up, down.
    CDictButtonStates Buttons() const
    {
        return {Button(IDC_MODIFY)->isEnabled(), Button(IDC_DELETE)->isEnabled(),
                Button(IDC_MOVE_UP)->isEnabled(), Button(IDC_MOVE_DOWN)->isEnabled()};
    }

    // Presses a button that opens the entry dialog, and answers the dialog
    // with script; returns whether the dialog opened at all.
    bool WithEntryDialog(const std::function<void()>& press,
                         const std::function<void(QWidget*)>& script)
    {
        OnNextModal answer(script, m_pSheetWindow);
        press();
        return answer.Ran();
    }

    static void Cancel(QWidget* pDlg) { Control<QPushButton>(pDlg, IDCANCEL)->click(); }

    static void Enter(QWidget* pDlg, const QString& strName, int nEncoding,
                      const QString& strProgram)
    {
        Control<QLineEdit>(pDlg, 1008)->setText(strName);
        Control<QComboBox>(pDlg, 1015)->setCurrentIndex(nEncoding);
        Control<QLineEdit>(pDlg, 1009)->setText(strProgram);
        Control<QPushButton>(pDlg, IDOK)->click();
    }

    CDictCatalogue m_dict{u"Sõnastikud", u"dict.kvd", 0};
    CDictCatalogue m_predict{u"Eelsõnastikud", u"predict.kvd", 1};
    CPropertySheet m_sheet{u"KV Quillbridge"};
    CDictDialog m_dictPage;
    CDictDialog m_predictPage;
    QWidget* m_pSheetWindow = nullptr;
};

const Rows kThree = RowsOf({kEkss, kOs, kVene});

} // namespace

TEST(DictButtonStates, FollowTheSelectedRow)
{
    const CDictButtonStates none{};
    EXPECT_EQ(GetDictButtonStates(0, -1, 0), none);
    EXPECT_EQ(GetDictButtonStates(0, -1, 3), none);
    EXPECT_EQ(GetDictButtonStates(1, 0, 1), (CDictButtonStates{true, true, false, false}));
    EXPECT_EQ(GetDictButtonStates(1, 0, 3), (CDictButtonStates{true, true, false, true}));
    EXPECT_EQ(GetDictButtonStates(1, 1, 3), (CDictButtonStates{true, true, true, true}));
    EXPECT_EQ(GetDictButtonStates(1, 2, 3), (CDictButtonStates{true, true, true, false}));
}

TEST_F(DictPageTest, EmptyCatalogueGivesAnEmptyListWithOnlyAddAndLoad)
{
    Run([&] {
        EXPECT_EQ(static_cast<QTabWidget*>(FromHandle(m_sheet.GetTabControl()))->tabText(0),
                  u"Sõnastikud");
        EXPECT_EQ(static_cast<QTabWidget*>(FromHandle(m_sheet.GetTabControl()))->tabText(1),
                  u"Eelsõnastikud");
        EXPECT_EQ(List()->topLevelItemCount(), 0);
        ASSERT_EQ(List()->columnCount(), 3);
        EXPECT_EQ(List()->headerItem()->text(2), QStringLiteral("Sõnastikuprogramm"));
        CListCtrl probe;
        probe.Attach(ToHandle(List()));
        const int nWidth = probe.GetClientRect().Width();
        EXPECT_EQ(probe.GetColumnWidth(0), nWidth / 3);
        EXPECT_EQ(probe.GetColumnWidth(1), nWidth / 4);
        EXPECT_EQ(probe.GetColumnWidth(2), nWidth - nWidth / 3 - nWidth / 4);
        probe.Detach();
        EXPECT_EQ(Buttons(), CDictButtonStates{});
        EXPECT_TRUE(Button(IDC_ADD)->isEnabled());
        EXPECT_TRUE(Button(IDC_DOWNLOAD)->isEnabled());
    });
}

TEST_F(DictPageTest, ButtonsFollowTheSelectionAndTheRowsAndEnterStaysModify)
{
    Fill(m_dict, {kEkss, kOs, kVene});
    Run([&] {
        EXPECT_EQ(Buttons(), CDictButtonStates{});
        ClickRow(List(), 0);
        EXPECT_EQ(Buttons(), (CDictButtonStates{true, true, false, true}));
        ClickRow(List(), 2);
        EXPECT_EQ(Buttons(), (CDictButtonStates{true, true, true, false}));
        // A row added below the last one: the selected row can now go down.
        WithEntryDialog([&] { Button(IDC_ADD)->click(); },
                        [&](QWidget* pDlg) {
                            Enter(pDlg, QStringLiteral("Uus"), 0,
                                  QStringLiteral("http://127.0.0.1/uus?w="));
                        });
        EXPECT_EQ(Buttons(), (CDictButtonStates{true, true, true, true}));
        // The deleted row takes the selection along, and the buttons with it.
        Button(IDC_DELETE)->click();
        EXPECT_TRUE(SelectedRowsOf(List()).empty());
        EXPECT_EQ(Buttons(), CDictButtonStates{});
        // Someone else asked for another default; selecting a row puts 1004 back.
        m_sheet.SetDefID(IDOK);
        ClickRow(List(), 1);
        EXPECT_EQ(Buttons(), (CDictButtonStates{true, true, true, true}));
        EXPECT_EQ(m_sheet.GetDefID(), IDC_MODIFY);
    });
}

TEST_F(DictPageTest, TheBuiltInEntryIsNeverListedAndStaysFirst)
{
    Fill(m_predict, {kEkss, kOs});
    m_predict.selection = 2;
    Run(
        [&] {
            EXPECT_EQ(RowsOf(List()), RowsOf({kEkss, kOs}));
            ClickRow(List(), 1);
            Button(IDC_MOVE_UP)->click();
            Button(IDC_DELETE)->click();
            EXPECT_EQ(RowsOf(List()), RowsOf({kEkss}));
        },
        1);
    ASSERT_EQ(m_predict.GetCount(), 2);
    EXPECT_EQ(m_predict.GetEntry(0), CDictEntry(u" --- ", u"utf8", u""));
    EXPECT_EQ(m_predict.GetEntry(1), kEkss);
    // The choice pointed past the shorter list: back to the first row.
    EXPECT_EQ(m_predict.selection, 0);
}

TEST_F(DictPageTest, LeavingThePageKeepsNoChoiceAndAChoiceStillListed)
{
    // -1 is no choice at all (a file may hold it); a row still listed stays chosen.
    Fill(m_dict, {kEkss, kOs});
    m_dict.selection = -1;
    Fill(m_predict, {kEkss, kOs});
    m_predict.selection = 2;
    Run([&] { m_sheet.SetActivePage(1); });
    EXPECT_EQ(m_dict.selection, -1);
    EXPECT_EQ(m_predict.selection, 2);
}

TEST_F(DictPageTest, AddPutsTheNewRowBelowTheSelectionOrAtTheEndUnselected)
{
    Fill(m_dict, {kEkss, kOs});
    Run([&] {
        QString strShownName, strShownProgram, strShownEncoding, strOk;
        QStringList encodings;
        EXPECT_TRUE(WithEntryDialog([&] { Button(IDC_ADD)->click(); },
                                    [&](QWidget* pDlg) {
                                        strShownName = Control<QLineEdit>(pDlg, 1008)->text();
                                        strShownProgram = Control<QLineEdit>(pDlg, 1009)->text();
                                        strShownEncoding =
                                            Control<QComboBox>(pDlg, 1015)->currentText();
                                        strOk = Control<QPushButton>(pDlg, IDOK)->text();
                                        auto* pCombo = Control<QComboBox>(pDlg, 1015);
                                        for (int i = 0; i < pCombo->count(); ++i)
                                            encodings << pCombo->itemText(i);
                                        Enter(pDlg, QStringLiteral("Lõpus"), 2,
                                              QStringLiteral("http://127.0.0.1/end?w="));
                                    }));
        EXPECT_EQ(strShownName, QString());
        EXPECT_EQ(strShownProgram, QStringLiteral("http://"));
        EXPECT_EQ(strShownEncoding, QStringLiteral("utf8"));
        EXPECT_EQ(strOk, QStringLiteral("Lisa"));
        EXPECT_EQ(encodings, (QStringList{QStringLiteral("utf8"), QStringLiteral("baltic"),
                                          QStringLiteral("western")}));
        const Rows atEnd = RowsOf({kEkss, kOs, {u"Lõpus", u"western", u"http://127.0.0.1/end?w="}});
        EXPECT_EQ(RowsOf(List()), atEnd);
        EXPECT_TRUE(SelectedRowsOf(List()).empty());

        ClickRow(List(), 0);
        WithEntryDialog([&] { Button(IDC_ADD)->click(); },
                        [&](QWidget* pDlg) {
                            Enter(pDlg, QStringLiteral("Teine"), 1, QStringLiteral("http://2/"));
                        });
        EXPECT_EQ(RowsOf(List()), RowsOf({kEkss,
                                          {u"Teine", u"baltic", u"http://2/"},
                                          kOs,
                                          {u"Lõpus", u"western", u"http://127.0.0.1/end?w="}}));
        EXPECT_EQ(SelectedRowsOf(List()), std::vector<int>{0});

        const Rows before = RowsOf(List());
        WithEntryDialog([&] { Button(IDC_ADD)->click(); },
                        [&](QWidget* pDlg) {
                            Control<QLineEdit>(pDlg, 1008)->setText(QStringLiteral("x"));
                            Cancel(pDlg);
                        });
        EXPECT_EQ(RowsOf(List()), before);
    });
    EXPECT_EQ(m_dict.GetCount(), 4);
}

TEST_F(DictPageTest, ModifyShowsTheRowAndWritesItBack)
{
    Fill(m_dict, {kEkss, kOdd, kOs});
    Run([&] {
        ClickRow(List(), 2);
        QString strName, strProgram, strEncoding, strOk;
        EXPECT_TRUE(WithEntryDialog([&] { Button(IDC_MODIFY)->click(); },
                                    [&](QWidget* pDlg) {
                                        strName = Control<QLineEdit>(pDlg, 1008)->text();
                                        strProgram = Control<QLineEdit>(pDlg, 1009)->text();
                                        strEncoding = Control<QComboBox>(pDlg, 1015)->currentText();
                                        strOk = Control<QPushButton>(pDlg, IDOK)->text();
                                        Enter(pDlg, QStringLiteral("ÕS 2018"), 0,
                                              QStringLiteral("http://127.0.0.1/os2018?w="));
                                    }));
        EXPECT_EQ(strName, QStringLiteral("ÕS"));
        EXPECT_EQ(strProgram, QStringLiteral("http://127.0.0.1/os?w="));
        EXPECT_EQ(strEncoding, QStringLiteral("baltic"));
        EXPECT_EQ(strOk, QStringLiteral("Muuda"));
        EXPECT_EQ(RowsOf(List()),
                  RowsOf({kEkss, kOdd, {u"ÕS 2018", u"utf8", u"http://127.0.0.1/os2018?w="}}));
        EXPECT_EQ(SelectedRowsOf(List()), std::vector<int>{2});

        // An encoding the list does not know is offered, and kept, as utf8.
        ClickRow(List(), 1);
        WithEntryDialog([&] { Button(IDC_MODIFY)->click(); },
                        [&](QWidget* pDlg) {
                            strEncoding = Control<QComboBox>(pDlg, 1015)->currentText();
                            Control<QPushButton>(pDlg, IDOK)->click();
                        });
        EXPECT_EQ(strEncoding, QStringLiteral("utf8"));
        EXPECT_EQ(RowsOf(List())[1],
                  (std::vector<QString>{QStringLiteral("Vana"), QStringLiteral("utf8"),
                                        QStringLiteral("http://127.0.0.1/vana?w=")}));

        const Rows before = RowsOf(List());
        WithEntryDialog([&] { Button(IDC_MODIFY)->click(); },
                        [&](QWidget* pDlg) {
                            Control<QLineEdit>(pDlg, 1008)->setText(QStringLiteral("muudetud"));
                            QTest::keyClick(pDlg, Qt::Key_Escape);
                        });
        EXPECT_EQ(RowsOf(List()), before);
    });
}

TEST_F(DictPageTest, EnterAndDoubleClickModifyOnlyTheSelectedRow)
{
    Fill(m_dict, {kEkss, kOs});
    Run([&] {
        List()->setFocus();
        // Nothing selected: neither opens a dialog.
        EXPECT_FALSE(WithEntryDialog([&] { QTest::keyClick(List(), Qt::Key_Return); },
                                     [&](QWidget* pDlg) { Cancel(pDlg); }));
        EXPECT_FALSE(WithEntryDialog(
            [&] {
                const QPoint below(10, List()->viewport()->height() - 5);
                QTest::mouseDClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, below);
            },
            [&](QWidget* pDlg) { Cancel(pDlg); }));
        EXPECT_TRUE(SelectedRowsOf(List()).empty());

        ClickRow(List(), 1);
        QString strShown;
        EXPECT_TRUE(WithEntryDialog([&] { QTest::keyClick(List(), Qt::Key_Return); },
                                    [&](QWidget* pDlg) {
                                        strShown = Control<QLineEdit>(pDlg, 1008)->text();
                                        Cancel(pDlg);
                                    }));
        EXPECT_EQ(strShown, QStringLiteral("ÕS"));

        // The first click of a double click selects the row.
        const QPoint row0 = List()->visualItemRect(List()->topLevelItem(0)).center();
        EXPECT_TRUE(WithEntryDialog(
            [&] {
                QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, row0);
                QTest::mouseDClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, row0);
            },
            [&](QWidget* pDlg) {
                strShown = Control<QLineEdit>(pDlg, 1008)->text();
                Cancel(pDlg);
            }));
        EXPECT_EQ(strShown, QStringLiteral("EKSS"));
    });
}

TEST_F(DictPageTest, DeleteRemovesTheRowAtOnceAndAsksNothing)
{
    MessageBoxRecorder boxes;
    Fill(m_dict, {kEkss, kOs, kVene});
    Run([&] {
        ClickRow(List(), 1);
        Button(IDC_DELETE)->click();
        EXPECT_EQ(RowsOf(List()), RowsOf({kEkss, kVene}));
        // The catalogue changes only when the page is left.
        EXPECT_EQ(m_dict.GetCount(), 3);
    });
    EXPECT_EQ(boxes.Count(), 0);
    EXPECT_EQ(RowsOf(m_dict.entries), RowsOf({kEkss, kVene}));
}

TEST_F(DictPageTest, RowCommandsDoNothingWithoutASelectedRow)
{
    Fill(m_dict, {kEkss, kOs, kVene});
    Run([&] {
        // As when a button is still enabled after its row went away.
        for (int nID : {IDC_DELETE, IDC_MOVE_UP, IDC_MOVE_DOWN})
            m_dictPage.SendCommand(nID, ToHandle(Button(nID)));
        EXPECT_FALSE(WithEntryDialog([&] { m_dictPage.SendCommand(IDC_MODIFY, nullptr); },
                                     [&](QWidget* pDlg) { Cancel(pDlg); }));
        EXPECT_EQ(RowsOf(List()), kThree);
        EXPECT_TRUE(SelectedRowsOf(List()).empty());
    });
    EXPECT_EQ(RowsOf(m_dict.entries), kThree);
}

TEST_F(DictPageTest, MovesCarryTheSelectionAndStopAtTheEdges)
{
    Fill(m_dict, {kEkss, kOs, kVene});
    Run([&] {
        ClickRow(List(), 2);
        Button(IDC_MOVE_UP)->click();
        EXPECT_EQ(RowsOf(List()), RowsOf({kEkss, kVene, kOs}));
        EXPECT_EQ(SelectedRowsOf(List()), std::vector<int>{1});
        EXPECT_EQ(List()->currentItem(), List()->topLevelItem(1));
        EXPECT_EQ(Buttons(), (CDictButtonStates{true, true, true, true}));

        Button(IDC_MOVE_UP)->click();
        EXPECT_EQ(RowsOf(List()), RowsOf({kVene, kEkss, kOs}));
        EXPECT_EQ(SelectedRowsOf(List()), std::vector<int>{0});
        EXPECT_EQ(Buttons(), (CDictButtonStates{true, true, false, true}));
        m_dictPage.SendCommand(IDC_MOVE_UP, nullptr);
        EXPECT_EQ(RowsOf(List()), RowsOf({kVene, kEkss, kOs}));

        Button(IDC_MOVE_DOWN)->click();
        Button(IDC_MOVE_DOWN)->click();
        EXPECT_EQ(RowsOf(List()), RowsOf({kEkss, kOs, kVene}));
        EXPECT_EQ(SelectedRowsOf(List()), std::vector<int>{2});
        EXPECT_EQ(Buttons(), (CDictButtonStates{true, true, true, false}));
        m_dictPage.SendCommand(IDC_MOVE_DOWN, nullptr);
        EXPECT_EQ(RowsOf(List()), RowsOf({kEkss, kOs, kVene}));
    });
    EXPECT_EQ(RowsOf(m_dict.entries), kThree);
}

TEST_F(DictPageTest, EditsReachTheCatalogueWhenTheTabIsLeftAndOnEsc)
{
    Fill(m_dict, {kEkss, kOs});
    Fill(m_predict, {kVene});
    Run([&] {
        ClickRow(List(), 1);
        Button(IDC_MOVE_UP)->click();
        m_sheet.SetActivePage(1);
        EXPECT_EQ(RowsOf(m_dict.entries), RowsOf({kOs, kEkss}));

        ClickRow(List(), 0);
        Button(IDC_DELETE)->click();
        m_sheet.SetActivePage(0);
        EXPECT_EQ(RowsOf(m_predict.entries), RowsOf({{u" --- ", u"utf8", u""}}));

        // The page keeps its rows when shown again; it does not refill.
        m_dict.entries.clear();
        EXPECT_EQ(RowsOf(List()), RowsOf({kOs, kEkss}));
        WithEntryDialog([&] { Button(IDC_ADD)->click(); },
                        [&](QWidget* pDlg) {
                            Enter(pDlg, QStringLiteral("Uus"), 1, QStringLiteral("http://uus/"));
                        });
    });
    // Esc on the sheet: both created pages wrote back once more.
    // ÕS was still selected, so the new row went below it.
    EXPECT_EQ(RowsOf(m_dict.entries), RowsOf({kOs, {u"Uus", u"baltic", u"http://uus/"}, kEkss}));
    EXPECT_EQ(RowsOf(m_predict.entries), RowsOf({{u" --- ", u"utf8", u""}}));
}

TEST_F(DictPageTest, APageNeverShownLeavesItsCatalogueAlone)
{
    Fill(m_predict, {kVene});
    m_predict.selection = 9;
    Run([] {});
    EXPECT_EQ(RowsOf(m_predict.entries), RowsOf({{u" --- ", u"utf8", u""}, kVene}));
    EXPECT_EQ(m_predict.selection, 9);
}

TEST_F(DictPageTest, LoadAppendsTheChosenEntriesWhichReachTheCatalogueWhenTheTabIsLeft)
{
    TestHttpServer server;
    const SiteBaseOverride site(server.Url("/quillbridge/").toString());
    TestHttpServer::Reply reply;
    reply.body = PublishedBody({kEkss, kOs, kVene});
    server.Serve("/quillbridge/predict.kvd", reply);
    Fill(m_predict, {kOs});
    QString strCaption;
    Run(
        [&] {
            ClickRow(List(), 0);
            OnNextModal answer(
                [&](QWidget* pDlg) {
                    strCaption = pDlg->windowTitle();
                    Control<QPushButton>(pDlg, IDOK)->click();
                },
                // The dialog shows before its download; it waits for the
                // user once the download is over.
                m_pSheetWindow, [&] { return !server.Requests().isEmpty() && !FindWaitWindow(); });
            Button(IDC_DOWNLOAD)->click();
            EXPECT_TRUE(answer.Ran());
            EXPECT_EQ(RowsOf(List()), RowsOf({kOs, kEkss, kVene}));
            EXPECT_EQ(SelectedRowsOf(List()), std::vector<int>{0});
            // The only row has rows below it now.
            EXPECT_EQ(Buttons(), (CDictButtonStates{true, true, false, true}));
            EXPECT_EQ(m_predict.GetCount(), 2);
            m_sheet.SetActivePage(0);
            EXPECT_EQ(RowsOf(m_predict.entries),
                      RowsOf({{u" --- ", u"utf8", u""}, kOs, kEkss, kVene}));
        },
        1);
    EXPECT_EQ(strCaption, QStringLiteral("Eelsõnastikud: laadimine"));
}
