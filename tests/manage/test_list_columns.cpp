#include "list_columns.h"
#include "manage_test.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace
{

// A list whose client area is exactly nClientWidth pixels wide.
void SetClientWidth(ListHost& h, int nClientWidth)
{
    QTreeWidget* pTree = h.Tree();
    pTree->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int nFrame = pTree->width() - pTree->contentsRect().width();
    pTree->resize(nClientWidth + nFrame, pTree->height());
    ASSERT_EQ(h.list.GetClientRect().Width(), nClientWidth);
}

std::vector<int> Widths(const ListHost& h)
{
    return {h.list.GetColumnWidth(0), h.list.GetColumnWidth(1), h.list.GetColumnWidth(2)};
}

} // namespace

TEST(ListColumns, HeadingsInOrderLeftAligned)
{
    QTreeWidget tree;
    // As the templates create their lists: without columns.
    tree.setColumnCount(0);
    CListCtrl list;
    list.Attach(ToHandle(&tree));
    InsertListColumns(list);
    ASSERT_EQ(tree.columnCount(), 3);
    EXPECT_EQ(tree.headerItem()->text(0), QStringLiteral("Nimi"));
    EXPECT_EQ(tree.headerItem()->text(1), QStringLiteral("Kodeering"));
    EXPECT_EQ(tree.headerItem()->text(2), QStringLiteral("Sõnastikuprogramm"));
    for (int c = 0; c < 3; ++c)
        EXPECT_TRUE(Qt::Alignment::fromInt(tree.headerItem()->textAlignment(c)) & Qt::AlignLeft);
    list.Detach();
}

TEST(ListColumns, EmptyListGetsAThirdAQuarterAndTheRest)
{
    ListHost h(131);
    SetClientWidth(h, 300);
    SizeListColumns(h.list);
    EXPECT_EQ(Widths(h), (std::vector<int>{100, 75, 125}));

    // Truncating divisions, and the last column still closes the gap.
    SetClientWidth(h, 301);
    SizeListColumns(h.list);
    EXPECT_EQ(Widths(h), (std::vector<int>{100, 75, 126}));
}

TEST(ListColumns, RowsFitTheFirstTwoAndCapTheNameAtHalfTheWidth)
{
    ListHost h(131);
    SetClientWidth(h, 301);
    h.Add(QStringLiteral("ÕS"), QStringLiteral("baltic"), QStringLiteral("http://a/"));
    SizeListColumns(h.list);
    const QFontMetrics metrics(h.Tree()->font());
    const std::vector<int> fitted = Widths(h);
    // Fitted to texts and headings, not to a share of the width.
    EXPECT_GE(fitted[0], metrics.horizontalAdvance(QStringLiteral("Nimi")));
    EXPECT_LT(fitted[0], 100);
    EXPECT_GE(fitted[1], metrics.horizontalAdvance(QStringLiteral("Kodeering")));
    EXPECT_LT(fitted[1], 75);
    EXPECT_EQ(fitted[0] + fitted[1] + fitted[2], 301);

    h.Add(QString(80, QChar(u'õ')), QStringLiteral("western"), QStringLiteral("http://b/"));
    SizeListColumns(h.list);
    const std::vector<int> capped = Widths(h);
    EXPECT_EQ(capped[0], 150);
    EXPECT_GE(capped[1], metrics.horizontalAdvance(QStringLiteral("western")));
    EXPECT_EQ(capped[2], 301 - 150 - capped[1]);
}

TEST(ListColumns, TheThreeFillTheClientWidthWhateverTheTexts)
{
    ListHost h(136);
    for (int nWidth : {257, 400, 613}) {
        SetClientWidth(h, nWidth);
        SizeListColumns(h.list);
        std::vector<int> w = Widths(h);
        EXPECT_EQ(w[0] + w[1] + w[2], nWidth) << nWidth;
        h.Add(QStringLiteral("Eesti keele seletav sõnaraamat"), QStringLiteral("utf8"),
              QStringLiteral("http://127.0.0.1/eki/ekss?q="));
        SizeListColumns(h.list);
        w = Widths(h);
        EXPECT_EQ(w[0] + w[1] + w[2], nWidth) << nWidth;
    }
}

TEST(ListColumns, FirstTwoWiderThanTheListLeaveTheLastColumnEmpty)
{
    ListHost h(131);
    // The encoding column is not capped, so a long one alone overflows.
    h.Add(QStringLiteral("a"), QString(40, QChar(u'w')), QStringLiteral("http://127.0.0.1/a"));
    SetClientWidth(h, 1000);
    SizeListColumns(h.list);
    const int nFitted = h.list.GetColumnWidth(0) + h.list.GetColumnWidth(1);
    // Overflowing by one or two pixels must not read as "fit the texts".
    for (int nOver : {1, 2, 30}) {
        SetClientWidth(h, nFitted - nOver);
        SizeListColumns(h.list);
        EXPECT_EQ(h.list.GetColumnWidth(0) + h.list.GetColumnWidth(1), nFitted) << nOver;
        EXPECT_EQ(h.list.GetColumnWidth(2), 0) << nOver;
    }
}
