#include "dialog_template.h"
#include "list_ctrl.h"
#include "list_host.h"
#include "message_box_recorder.h"
#include "win_defs.h"

#include "dialog_controls.h"
#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <vector>

TEST(ListCtrl, FindsWholeTextsIgnoringCaseOfEstonianLetters)
{
    ListHost h(131);
    for (const char* pszName :
         {"Õigekeelsus", "ŠOKK", "žanr", "Äädikas", "Ökonoomika", "ÜLEVAADE", "EKSS", "eks"})
        h.Add(QString::fromUtf8(pszName));
    ASSERT_TRUE(h.list.SetItemText(1, 1, u"baltic"));

    EXPECT_EQ(h.list.FindItem(u"õigekeelsus"), 0);
    EXPECT_EQ(h.list.FindItem(u"šokk"), 1);
    EXPECT_EQ(h.list.FindItem(u"ŽANR"), 2);
    EXPECT_EQ(h.list.FindItem(u"ÄÄDIKAS"), 3);
    EXPECT_EQ(h.list.FindItem(u"öKONOOMIKA"), 4);
    EXPECT_EQ(h.list.FindItem(u"ülevaade"), 5);
    // Whole text only: neither a prefix nor a longer text matches.
    EXPECT_EQ(h.list.FindItem(u"Õige"), -1);
    EXPECT_EQ(h.list.FindItem(u"Õigekeelsus "), -1);
    EXPECT_EQ(h.list.FindItem(u"EKS"), 7);
    // Only column 0 is searched, starting after nStart, without wrapping.
    EXPECT_EQ(h.list.FindItem(u"baltic"), -1);
    EXPECT_EQ(h.list.FindItem(u"õigekeelsus", 0), -1);
    EXPECT_EQ(h.list.FindItem(u"šokk", 0), 1);
    // An accented letter is not its plain base letter.
    EXPECT_EQ(h.list.FindItem(u"Oigekeelsus"), -1);
}

TEST(ListCtrl, RowsAreInsertedWhereAskedAndReadBackByColumn)
{
    ListHost h(131);
    EXPECT_EQ(h.list.InsertItem(0, u"b"), 0);
    EXPECT_EQ(h.list.InsertItem(0, u"a"), 0);
    EXPECT_EQ(h.list.InsertItem(99, u"d"), 2); // past the end: at the end
    EXPECT_EQ(h.list.InsertItem(2, u"c"), 2);
    EXPECT_EQ(h.list.InsertItem(-1, u"x"), -1);
    ASSERT_EQ(h.list.GetItemCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(h.list.GetItemText(i, 0), QString(QChar(u'a' + i)));

    EXPECT_TRUE(h.list.SetItemText(2, 2, u"http://c"));
    EXPECT_EQ(h.list.GetItemText(2, 2), QStringLiteral("http://c"));
    EXPECT_EQ(h.list.GetItemText(2, 1), QString());
    EXPECT_FALSE(h.list.SetItemText(4, 0, u"none"));
    EXPECT_EQ(h.list.GetItemText(9, 0), QString());
    // New rows are not selected.
    EXPECT_EQ(h.list.GetSelectedCount(), 0u);

    EXPECT_TRUE(h.list.DeleteItem(1));
    EXPECT_EQ(h.list.GetItemText(1, 0), QStringLiteral("c"));
    EXPECT_FALSE(h.list.DeleteItem(3));
    EXPECT_TRUE(h.list.DeleteAllItems());
    EXPECT_EQ(h.list.GetItemCount(), 0);
}

TEST(ListCtrl, ItemStatesAndTheirNotifications)
{
    ListHost h(131); // single selection
    for (const char* pszName : {"a", "b", "c", "d"})
        h.Add(QString::fromLatin1(pszName));
    std::vector<int> changed;
    h.list.SetItemChangedHandler([&](int nItem) { changed.push_back(nItem); });

    EXPECT_EQ(h.list.GetNextItem(-1, LVNI_SELECTED), -1);
    ASSERT_TRUE(h.list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(h.list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(h.list.GetItemState(1, LVIS_SELECTED | LVIS_FOCUSED),
              static_cast<unsigned>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(changed, std::vector<int>({1}));

    // Selecting another row of a single-selection list clears the first.
    changed.clear();
    h.list.SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(h.list.GetSelectedCount(), 1u);
    EXPECT_EQ(h.list.GetNextItem(-1, LVNI_SELECTED), 3);
    EXPECT_EQ(h.list.GetNextItem(-1, LVNI_FOCUSED), 3);
    EXPECT_EQ(h.list.GetItemState(1, LVIS_SELECTED | LVIS_FOCUSED), 0u);
    EXPECT_NE(std::find(changed.begin(), changed.end(), 1), changed.end());
    EXPECT_NE(std::find(changed.begin(), changed.end(), 3), changed.end());

    // Only the masked bits change.
    h.list.SetItemState(3, 0, LVIS_FOCUSED);
    EXPECT_EQ(h.list.GetItemState(3, LVIS_SELECTED | LVIS_FOCUSED),
              static_cast<unsigned>(LVIS_SELECTED));
    EXPECT_EQ(h.list.GetNextItem(-1, LVNI_ALL), 0);
    EXPECT_EQ(h.list.GetNextItem(2, LVNI_ALL), 3);
    EXPECT_EQ(h.list.GetNextItem(3, LVNI_ALL), -1);

    // Deleting the selected row tells nobody.
    changed.clear();
    h.list.DeleteItem(3);
    EXPECT_TRUE(changed.empty());
    EXPECT_EQ(h.list.GetSelectedCount(), 0u);
    // Nor does the selection move on to the row that takes its place.
    h.list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    changed.clear();
    h.list.DeleteItem(1);
    EXPECT_TRUE(changed.empty());
    EXPECT_EQ(h.list.GetSelectedCount(), 0u);
    EXPECT_EQ(h.list.GetNextItem(-1, LVNI_SELECTED), -1);

    // A failing handler is reported; the list goes on.
    MessageBoxRecorder boxes;
    h.list.SetItemChangedHandler([](int) { throw std::runtime_error("handler failed"); });
    h.list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(h.list.GetSelectedCount(), 1u);
    ASSERT_GE(boxes.Count(), 1);
    EXPECT_EQ(boxes.Boxes()[0].strText, QStringLiteral("handler failed"));
}

TEST(ListCtrl, SeveralRowsInAMultipleSelectionList)
{
    ListHost h(136);
    for (const char* pszName : {"a", "b", "c", "d", "e"})
        h.Add(QString::fromLatin1(pszName));
    for (int nRow : {0, 2, 4})
        h.list.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(h.list.GetSelectedCount(), 3u);
    std::vector<int> rows;
    for (int nRow = h.list.GetNextItem(-1, LVNI_SELECTED); nRow != -1;
         nRow = h.list.GetNextItem(nRow, LVNI_SELECTED))
        rows.push_back(nRow);
    EXPECT_EQ(rows, std::vector<int>({0, 2, 4}));
    // Focus is one row only.
    EXPECT_EQ(h.list.GetNextItem(-1, LVNI_FOCUSED), 4);
    h.list.SetItemState(2, 0, LVIS_SELECTED);
    EXPECT_EQ(h.list.GetSelectedCount(), 2u);
}

TEST(ListCtrl, ColumnWidthsFitTextsAndTheClientArea)
{
    ListHost h(131);
    h.host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.host));
    const QString strLong = QStringLiteral("Eesti keele seletav sõnaraamat");
    h.Add(strLong);
    h.Add(QStringLiteral("ÕS"), QStringLiteral("western"));

    const QFontMetrics metrics(h.Tree()->font());
    // 0xFFFF in the low 16 bits is the fit-to-contents code.
    ASSERT_TRUE(h.list.SetColumnWidth(0, 0xFFFF));
    ASSERT_TRUE(h.list.SetColumnWidth(1, LVSCW_AUTOSIZE));
    const int w0 = h.list.GetColumnWidth(0);
    const int w1 = h.list.GetColumnWidth(1);
    EXPECT_GE(w0, metrics.horizontalAdvance(strLong));
    EXPECT_LT(w0, metrics.horizontalAdvance(strLong) + 40);
    EXPECT_GE(w1, metrics.horizontalAdvance(QStringLiteral("western")));
    EXPECT_LT(w1, w0);

    // Widths that add up to the client width leave no horizontal scrolling.
    const int W = h.list.GetClientRect().Width();
    EXPECT_EQ(W, h.Tree()->viewport()->width());
    h.list.SetColumnWidth(2, W - w0 - w1);
    EXPECT_EQ(h.list.GetColumnWidth(2), W - w0 - w1);
    QTest::qWait(50);
    EXPECT_FALSE(h.Tree()->horizontalScrollBar()->isVisible());

    EXPECT_TRUE(h.list.SetColumnWidth(2, -40));
    EXPECT_EQ(h.list.GetColumnWidth(2), 0);
    EXPECT_FALSE(h.list.SetColumnWidth(3, 10));
}

TEST(ListCtrl, TheClientAreaLosesTheScrollBarOnceRowsOverflow)
{
    // Measured before the list was ever shown, as a dialog does while it
    // initialises.
    ListHost h(136);
    const int nEmpty = h.list.GetClientRect().Width();
    EXPECT_EQ(nEmpty, h.Tree()->contentsRect().width());
    for (int i = 0; i < 200; ++i)
        h.Add(QStringLiteral("rida %1").arg(i));
    const int nFull = h.list.GetClientRect().Width();
    EXPECT_EQ(nFull, nEmpty - h.Tree()->verticalScrollBar()->sizeHint().width());
}

TEST(ListCtrl, DoubleClicksAnywhereInTheList)
{
    ListHost h(131);
    h.Add(QStringLiteral("a"));
    h.host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.host));
    int nClicks = 0;
    h.list.SetDblClkHandler([&] { ++nClicks; });
    QWidget* pViewport = h.Tree()->viewport();
    const QRect row = h.Tree()->visualItemRect(h.Tree()->topLevelItem(0));
    QTest::mouseDClick(pViewport, Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(pViewport, Qt::LeftButton, {}, QPoint(5, pViewport->height() - 5));
    EXPECT_EQ(nClicks, 2);
}
