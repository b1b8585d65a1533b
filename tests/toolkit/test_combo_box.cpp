#include "combo_box.h"
#include "dialog_template.h"
#include "list_host.h"

#include "dialog_controls.h"
#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QToolTip>
#include <QTreeWidget>

#include <gtest/gtest.h>

TEST(ComboBox, AddingKeepsTheCurrentItemAndIndexesStayInOrder)
{
    QWidget host;
    CDialogControls::Create(*CDialogTemplate::Find(129), &host);
    CWnd hostWnd;
    hostWnd.Attach(ToHandle(&host));
    CComboBox combo;
    ASSERT_TRUE(combo.SubclassDlgItem(1007, &hostWnd));

    EXPECT_EQ(combo.GetCurSel(), -1);
    // Not sorted: item i is the i-th string added.
    for (const char* pszName : {"ÕS", "EKSS", "Arvutisõnastik"})
        combo.AddString(Utf8ToUtf16(pszName));
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetLBText(0), QStringLiteral("ÕS"));
    EXPECT_EQ(combo.GetLBText(2), QStringLiteral("Arvutisõnastik"));
    EXPECT_EQ(combo.GetLBText(3), QString());
    EXPECT_EQ(combo.GetCurSel(), -1);

    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.AddString(u"Uus"), 3);
    EXPECT_EQ(combo.GetCurSel(), 1);

    // Outside the items: none current.
    EXPECT_EQ(combo.SetCurSel(7), -1);
    EXPECT_EQ(combo.GetCurSel(), -1);
    combo.SetCurSel(0);
    EXPECT_EQ(combo.SetCurSel(-1), -1);
    EXPECT_EQ(combo.GetCurSel(), -1);

    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetCurSel(), -1);
    combo.AddString(u"üks");
    EXPECT_EQ(combo.GetCurSel(), -1);

    combo.Detach();
    hostWnd.Detach();
    // Without a window nothing is there.
    EXPECT_EQ(combo.AddString(u"x"), -1);
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetCurSel(), -1);
}

namespace
{

// The tip that a hover at pos of pWidget brings, if any is on show.
QString TipAt(QWidget* pWidget, const QPoint& pos)
{
    QHelpEvent hover(QEvent::ToolTip, pos, pWidget->mapToGlobal(pos));
    QApplication::sendEvent(pWidget, &hover);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

} // namespace

// An 80-character name is wider than the closed drop-down list and than its
// list view column; where it is cut, its tip shows it whole. (The open list
// widens itself to its longest name.)
TEST(CutTextToolTip, ACutNameShowsWholeAsATipAndOneThatFitsShowsNone)
{
    const QString strLong = QStringLiteral("Eesti keele seletav sõnaraamat, kuues, parandatud ja "
                                           "täiendatud väljaanne (2009)");
    ASSERT_GE(strLong.size(), 70);
    const QString strOther = QStringLiteral("Õigekeelsussõnaraamat ÕS 2018, Eesti Keele Instituudi "
                                            "veebiväljaanne koos lisadega");
    ListHost h(131);
    h.host.show();
    h.Add(QStringLiteral("ÕS"));
    h.Add(strOther + QStringLiteral(" (nimekirjas)"));
    h.list.SetColumnWidth(0, 120);
    QTreeWidget* pTree = h.Tree();
    const QRect shortCell = pTree->visualItemRect(pTree->topLevelItem(0));
    EXPECT_EQ(TipAt(pTree->viewport(), QPoint(10, shortCell.center().y())), QString());

    QWidget host;
    host.setFont(CDialogControls::DialogFont());
    CDialogControls::Create(*CDialogTemplate::Find(129), &host);
    host.show();
    auto* pCombo = host.findChild<QComboBox*>(QStringLiteral("ctl1007"));
    for (const QString& strName : {QStringLiteral("EKSS"), strLong, strOther})
        pCombo->addItem(strName);
    pCombo->setCurrentIndex(0);
    EXPECT_EQ(TipAt(pCombo, pCombo->rect().center()), QString());
    pCombo->setCurrentIndex(1);
    EXPECT_EQ(TipAt(pCombo, pCombo->rect().center()), strLong);

    const QRect longCell = pTree->visualItemRect(pTree->topLevelItem(1));
    EXPECT_EQ(TipAt(pTree->viewport(), QPoint(10, longCell.center().y())),
              strOther + QStringLiteral(" (nimekirjas)"));
}
