#include "resource_loader.h"
#include "tool_bar_ctrl.h"
#include "win_defs.h"

#include "dialog_controls.h"
#include "qt_text.h"
#include "resource_bitmap.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QImage>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{

// Receives the toolbar's commands.
class Receiver : public CWnd
{
public:
    std::vector<std::pair<int, HWND>> m_commands;

protected:
    bool OnCommand(int nID, HWND hSource) override
    {
        m_commands.emplace_back(nID, hSource);
        return true;
    }
};

const TBBUTTON kButtons[] = {
    {0, 1, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {1, 2, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {2, 3, 0, TBSTYLE_BUTTON, 0, 0},
};

} // namespace

TEST(ToolBarCtrl, BitmapCellsBecomeButtonImagesOnTheButtonFace)
{
    const QImage strip = AfxLoadBitmap(138).toImage();
    ASSERT_EQ(strip.size(), QSize(144, 15));
    EXPECT_EQ(strip.pixelColor(0, 0), QColor(192, 192, 192));
    EXPECT_EQ(strip.pixelColor(32 + 2, 7), QColor(255, 0, 0));     // stop: red disc
    EXPECT_EQ(strip.pixelColor(32 + 7, 7), QColor(255, 255, 255)); // with a white cross
    EXPECT_EQ(strip.pixelColor(48 + 5, 5), QColor(255, 255, 255)); // reload: the paper
    for (int x = 64; x < 144; ++x)                                 // the rest is blank
        ASSERT_EQ(strip.pixelColor(x, 7), QColor(192, 192, 192)) << x;
    EXPECT_TRUE(AfxLoadBitmap(137).isNull());

    QWidget parent;
    CWnd parentWnd;
    parentWnd.Attach(ToHandle(&parent));
    CToolBarCtrl bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(), &parentWnd, 1));
    EXPECT_EQ(bar.AddBitmap(10, 138), -1); // the strip holds nine cells
    EXPECT_EQ(bar.AddBitmap(4, 137), -1);
    EXPECT_EQ(bar.AddBitmap(3, 138), 0);
    EXPECT_EQ(bar.AddBitmap(1, 138), 3);
    ASSERT_TRUE(bar.AddButtons(3, kButtons));
    const QSize imageSize(CToolBarCtrl::kImageSize.cx, CToolBarCtrl::kImageSize.cy);
    const QImage stop = static_cast<QToolButton*>(FromHandle(bar.GetButton(3)))
                            ->icon()
                            .pixmap(imageSize)
                            .toImage()
                            .convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(stop.size(), imageSize);
    EXPECT_EQ(qAlpha(stop.pixel(0, 0)), 0); // the grey is the button face
    EXPECT_EQ(QColor(stop.pixel(2, 7)), QColor(255, 0, 0));
}

TEST(ToolBarCtrl, ClicksReachTheOwnerAsCommandsFromTheToolbar)
{
    QWidget parent;
    parent.resize(200, 60);
    CWnd parentWnd;
    parentWnd.Attach(ToHandle(&parent));
    Receiver receiver;
    CToolBarCtrl bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | CCS_BOTTOM, CRect(), &parentWnd, 1));
    bar.AddBitmap(3, 138);
    bar.AddButtons(3, kButtons);
    EXPECT_EQ(bar.GetButtonCount(), 3);
    EXPECT_EQ(parent.findChild<QToolButton*>(QStringLiteral("button2")),
              FromHandle(bar.GetButton(2)));
    EXPECT_TRUE(bar.IsButtonEnabled(1));
    EXPECT_FALSE(bar.IsButtonEnabled(3));
    EXPECT_FALSE(bar.EnableButton(9, true));

    // Without an owner a click goes nowhere.
    static_cast<QToolButton*>(FromHandle(bar.GetButton(1)))->click();
    EXPECT_TRUE(receiver.m_commands.empty());

    bar.SetOwner(&receiver);
    static_cast<QToolButton*>(FromHandle(bar.GetButton(2)))->click();
    static_cast<QToolButton*>(FromHandle(bar.GetButton(3)))->click(); // disabled
    bar.EnableButton(3, true);
    static_cast<QToolButton*>(FromHandle(bar.GetButton(3)))->click();
    ASSERT_EQ(receiver.m_commands.size(), 2u);
    EXPECT_EQ(receiver.m_commands[0], std::make_pair(2, bar.GetSafeHwnd()));
    EXPECT_EQ(receiver.m_commands[1], std::make_pair(3, bar.GetSafeHwnd()));

    // At the bottom of its parent, as wide as the parent.
    bar.AutoSize();
    const QRect rect = WidgetOf(bar)->geometry();
    EXPECT_EQ(rect.bottom(), parent.rect().bottom());
    EXPECT_EQ(rect.width(), parent.width());
    EXPECT_GE(rect.height(), CToolBarCtrl::kButtonSize.cy);
    EXPECT_FALSE(bar.Create(WS_VISIBLE, CRect(), &parentWnd, 1)); // once only
    CToolBarCtrl orphan;
    EXPECT_FALSE(orphan.Create(WS_VISIBLE, CRect(), nullptr, 1));
}
