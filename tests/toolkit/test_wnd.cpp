#include "gui_test.h"
#include "menu.h"
#include "text.h"
#include "win_defs.h"
#include "wnd.h"

#include "qt_text.h"
#include "wnd_platform.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

TEST(Text, FormatFoldAndNumbers)
{
    EXPECT_EQ(FormatCString(u"Sõna on liiga pikk: kuni %1 märki, mitte %2.", {u"255", u"300"}),
              u"Sõna on liiga pikk: kuni 255 märki, mitte 300.");
    // An argument is put in as it is, even one that looks like a place.
    EXPECT_EQ(FormatCString(u"%2-%1", {u"%2", u"b"}), u"b-%2");
    // A place without its argument, and a lone %, stay.
    EXPECT_EQ(FormatCString(u"%1 %3 %", {u"a"}), u"a %3 %");
    EXPECT_EQ(FoldCase(u"ÕUN Šokk ŽŪRI Äär ÖÖ ÜÜ"), FoldCase(u"õun šokk žūri äär öö üü"));
    EXPECT_NE(FoldCase(u"õun"), FoldCase(u"oun"));
    EXPECT_EQ(FoldCase(u"\U00010400"), u"\U00010428"); // a pair of surrogates folds whole
    EXPECT_EQ(IntToCString(-4194304), u"-4194304");
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("sõna \xF0\x9F\x93\x96")), "sõna \xF0\x9F\x93\x96");
    EXPECT_EQ(Utf8ToUtf16("a\xFFz"), u"a\uFFFDz");
}

namespace
{

// Records the commands it is sent.
class CommandSink : public CWnd
{
public:
    std::vector<int> m_commands;

protected:
    bool OnCommand(int nID, HWND /*hSource*/) override
    {
        m_commands.push_back(nID);
        return true;
    }
};

} // namespace

TEST(Wnd, ControlsAndKeys)
{
    QWidget host;
    auto* pEdit = new QLineEdit(&host);
    CWnd::SetDlgCtrlID(ToHandle(pEdit), 1002);
    CommandSink hostWnd;
    hostWnd.Attach(ToHandle(&host));

    // The wrapper of a control is the window's own: the same one each time,
    // following the control when another takes its id.
    CWnd* pWord = hostWnd.GetDlgItem(1002);
    ASSERT_NE(pWord, nullptr);
    EXPECT_EQ(WidgetOf(*pWord), pEdit);
    EXPECT_EQ(hostWnd.GetDlgItem(1002), pWord);
    EXPECT_EQ(hostWnd.GetDlgItem(1003), nullptr);
    delete pEdit;
    EXPECT_EQ(hostWnd.GetDlgItem(1002), nullptr);
    EXPECT_FALSE(pWord->IsWindow());
    pEdit = new QLineEdit(&host);
    CWnd::SetDlgCtrlID(ToHandle(pEdit), 1002);
    EXPECT_EQ(hostWnd.GetDlgItem(1002), pWord);
    EXPECT_EQ(WidgetOf(*pWord), pEdit);

    // A key handler sees virtual keys and modifiers first, and a key it takes
    // never reaches the control.
    std::vector<std::pair<unsigned, unsigned>> keys;
    pWord->SetKeyHandler([&](unsigned nVirtKey, unsigned nModifiers) {
        keys.emplace_back(nVirtKey, nModifiers);
        return nVirtKey == 'K';
    });
    QTest::keyClick(pEdit, Qt::Key_Up);
    QTest::keyClick(pEdit, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::keyClick(pEdit, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(pEdit, Qt::Key_F6, Qt::AltModifier);
    QTest::keyClicks(pEdit, QStringLiteral("kas"));
    QTest::keyClick(pEdit, Qt::Key_K, Qt::ShiftModifier);
    EXPECT_EQ(keys, (std::vector<std::pair<unsigned, unsigned>>{{VK_UP, 0u},
                                                                {VK_ADD, MOD_CONTROL},
                                                                {'L', MOD_CONTROL | MOD_SHIFT},
                                                                {VK_F6, MOD_ALT},
                                                                {'K', 0u},
                                                                {'A', 0u},
                                                                {'S', 0u},
                                                                {'K', MOD_SHIFT}}));
    EXPECT_EQ(pEdit->text(), QStringLiteral("+as"));
    pWord->SetKeyHandler({});
    QTest::keyClicks(pEdit, QStringLiteral("k"));
    EXPECT_EQ(pEdit->text(), QStringLiteral("+ask"));

    hostWnd.Detach();
}

TEST(Menu, TheChosenCommandIsReturnedOrSentAndAGreyedOneCannotBeChosen)
{
    QWidget host;
    CommandSink owner;
    owner.Attach(ToHandle(&host));
    const auto fill = [](CMenu& menu) {
        EXPECT_TRUE(menu.CreatePopupMenu());
        menu.AppendMenu(MF_STRING, 11, u"Üks");
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING | MF_GRAYED, 12, u"Kaks");
        menu.AppendMenu(MF_STRING, 13, u"Kolm");
        EXPECT_EQ(menu.GetMenuItemCount(), 4u);
    };

    // Waiting for the choice: the id comes back; a greyed item gives none.
    for (const auto& [strText, nExpected] :
         {std::pair{QStringLiteral("Kolm"), 13}, std::pair{QStringLiteral("Kaks"), 0}}) {
        CMenu menu;
        fill(menu);
        QTimer::singleShot(0, [strText] {
            WaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 5000);
            auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(pMenu, nullptr);
            for (QAction* pAction : pMenu->actions())
                if (pAction->text() == strText)
                    pMenu->setActiveAction(pAction);
            QTest::keyClick(pMenu, Qt::Key_Return);
            if (pMenu->isVisible())
                QTest::keyClick(pMenu, Qt::Key_Escape);
        });
        EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 10, 10, &owner), nExpected);
        EXPECT_EQ(menu.GetMenuItemCount(), 0u); // used up
    }
    EXPECT_TRUE(owner.m_commands.empty());

    // Without waiting: the call returns at once, the choice comes as a command.
    CMenu menu;
    fill(menu);
    EXPECT_EQ(menu.TrackPopupMenu(TPM_LEFTALIGN, 10, 10, &owner), 0);
    ASSERT_TRUE(WaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
    auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    pMenu->actions().first()->trigger();
    pMenu->close();
    EXPECT_EQ(owner.m_commands, std::vector<int>{11});
    owner.Detach();
}
