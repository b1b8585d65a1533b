#include "combo_box.h"
#include "dialog_template.h"

#include <QComboBox>

#include <gtest/gtest.h>

TEST(ComboBox, AddingKeepsTheCurrentItemAndIndexesStayInOrder)
{
    QWidget host;
    CDialogTemplate::Find(129)->CreateControls(&host);
    CWnd hostWnd;
    hostWnd.Attach(&host);
    CComboBox combo;
    ASSERT_TRUE(combo.SubclassDlgItem(1007, &hostWnd));

    EXPECT_EQ(combo.GetCurSel(), -1);
    // Not sorted: item i is the i-th string added.
    for (const char* pszName : {"ÕS", "EKSS", "Arvutisõnastik"})
        combo.AddString(QString::fromUtf8(pszName));
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetLBText(0), QStringLiteral("ÕS"));
    EXPECT_EQ(combo.GetLBText(2), QStringLiteral("Arvutisõnastik"));
    EXPECT_EQ(combo.GetLBText(3), QString());
    EXPECT_EQ(combo.GetCurSel(), -1);

    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.AddString(QStringLiteral("Uus")), 3);
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
    combo.AddString(QStringLiteral("üks"));
    EXPECT_EQ(combo.GetCurSel(), -1);

    combo.Detach();
    hostWnd.Detach();
    // Without a window nothing is there.
    EXPECT_EQ(combo.AddString(QStringLiteral("x")), -1);
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetCurSel(), -1);
}
