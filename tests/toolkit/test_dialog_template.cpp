#include "dialog.h"
#include "dialog_template.h"
#include "win_defs.h"

#include "dialog_controls.h"
#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace
{

const CDialogTemplate& Template(int nID)
{
    const CDialogTemplate* pTemplate = CDialogTemplate::Find(nID);
    if (!pTemplate)
        throw std::runtime_error("template missing");
    return *pTemplate;
}

} // namespace

TEST(DialogTemplate, BuiltInTableReadsWhole)
{
    for (int nID : {129, 130, 131, 135, 136, 139})
        EXPECT_NE(CDialogTemplate::Find(nID), nullptr) << nID;
    EXPECT_EQ(CDialogTemplate::Find(128), nullptr);
    // Spot checks of what the windows rely on.
    EXPECT_EQ(Template(129).m_strCaption, QStringLiteral("Päring"));
    EXPECT_EQ(Template(129).FindItem(1006)->strText,
              QStringLiteral("{EAB22AC3-30C1-11CF-A7EB-0000C05BAE0B}"));
    EXPECT_EQ(Template(129).m_items[1].nID, 1002); // tab order is template order
    EXPECT_EQ(Template(135).FindItem(1015)->initItems,
              std::vector<CString>({u"utf8", u"baltic", u"western"}));
    EXPECT_EQ(Template(139).FindItem(1013)->strText,
              QStringLiteral("Laadin infot sõnastike kohta.\nPalun oodake..."));
}

TEST(DialogTemplate, MalformedTablesAreRefusedWithTheLine)
{
    std::vector<CDialogTemplate> templates;
    CString strError;
    EXPECT_TRUE(CDialogTemplate::Parse(u"# none\n", templates, &strError));
    EXPECT_TRUE(templates.empty());

    const struct {
        const char* pszText;
        const char* pszLine;
    } bad[] = {
        {"dialog 1 10 10 \"a\"\n  5 button 1 1 1 1 \"x\"\n", "line 1"},     // no end
        {"dialog 1 10 10 \"a\"\n  5 knob 1 1 1 1 \"x\"\nend\n", "line 2"},  // unknown kind
        {"dialog 1 10 10 \"a\"\n  5 button 1 1 1 \"x\"\nend\n", "line 2"},  // short
        {"dialog 1 10 10 \"a\nend\n", "line 1"},                            // open string
        {"dialog 1 10 10 \"a\"\nend\ndialog 1 5 5 \"b\"\nend\n", "line 3"}, // id twice
        {"dialog 1 10 10 \"a\"\n 5 edit 1 1 1 1 \"\"\n items 5 \"x\"\nend\n", "line 3"},
        {"end\n", "line 1"},
    };
    for (const auto& test : bad) {
        templates.clear();
        strError.clear();
        EXPECT_FALSE(CDialogTemplate::Parse(Utf8ToUtf16(test.pszText), templates, &strError))
            << test.pszText;
        EXPECT_TRUE(strError.starts_with(Utf8ToUtf16(test.pszLine))) << Utf16ToUtf8(strError);
    }

    templates.clear();
    ASSERT_TRUE(
        CDialogTemplate::Parse(u"dialog 7 20 30 \"q \\\"x\\\"\" popup\n -1 static 1 2 3 4 \"\"\n"
                               u" -1 static 1 2 3 4 \"b\\\\c\" right\nend\n",
                               templates, &strError))
        << Utf16ToUtf8(strError);
    ASSERT_EQ(templates.size(), 1u);
    EXPECT_EQ(templates[0].m_strCaption, QStringLiteral("q \"x\""));
    EXPECT_EQ(templates[0].m_items.size(), 2u); // id -1 may repeat
    EXPECT_EQ(templates[0].m_items[1].strText, QStringLiteral("b\\c"));
}

TEST(DialogTemplate, DialogUnitsFollowTheFontsBaseUnits)
{
    // Quarters and eighths of the base units, rounded as the system rounds.
    EXPECT_EQ(CDialogControls::MapDialogRect(CRect(CPoint(7, 44), CSize(286, 174)), QSize(6, 13)),
              QRect(11, 72, 429, 283));
    EXPECT_EQ(CDialogControls::MapDialogRect(CRect(0, 0, 2, 4), QSize(6, 13)), QRect(0, 0, 3, 7));

    // The base units are the dialog font's own.
    const QFont font = CDialogControls::DialogFont();
    const QFontMetrics metrics(font);
    EXPECT_EQ(CDialogControls::GetBaseUnits(font).height(), metrics.height());
    EXPECT_NEAR(CDialogControls::GetBaseUnits(font).width(), metrics.averageCharWidth(), 1);
}

TEST(DialogTemplate, BuildsNamedControlsAtTheirPlaces)
{
    QWidget host;
    host.setFont(CDialogControls::DialogFont());
    CDialogControls::Create(Template(135), &host);
    const QSize base = CDialogControls::GetBaseUnits(host.font());

    auto* pName = host.findChild<QLineEdit*>(QStringLiteral("ctl1008"));
    ASSERT_NE(pName, nullptr);
    EXPECT_EQ(pName->geometry(),
              CDialogControls::MapDialogRect(CRect(CPoint(85, 23), CSize(198, 12)), base));
    EXPECT_EQ(pName->focusPolicy(), Qt::StrongFocus);

    auto* pCombo = host.findChild<QComboBox*>(QStringLiteral("ctl1015"));
    ASSERT_NE(pCombo, nullptr);
    EXPECT_FALSE(pCombo->isEditable());
    EXPECT_EQ(pCombo->count(), 3);
    EXPECT_EQ(pCombo->currentIndex(), -1);
    // The closed box is much lower than the template's height with its list.
    EXPECT_LT(pCombo->height(), CDialogControls::MapDialogRect(CRect(0, 0, 1, 113), base).height());

    auto* pOk = host.findChild<QPushButton*>(QStringLiteral("ctl1"));
    ASSERT_NE(pOk, nullptr);
    EXPECT_EQ(pOk->text(), QStringLiteral("Lisa"));
    auto* pLabel = host.findChild<QLabel*>(QStringLiteral("static7"));
    ASSERT_NE(pLabel, nullptr);
    EXPECT_EQ(pLabel->text(), QStringLiteral("Parameetri kodeering:"));
    EXPECT_TRUE(pLabel->alignment() & Qt::AlignRight);

    QWidget lists;
    CDialogControls::Create(Template(136), &lists);
    auto* pList = lists.findChild<QTreeWidget*>(QStringLiteral("ctl1007"));
    ASSERT_NE(pList, nullptr);
    EXPECT_EQ(pList->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(lists.findChild<QPushButton*>(QStringLiteral("ctl1"))->isEnabled());
}
