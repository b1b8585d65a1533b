#include "application.h"
#include "data_exchange.h"
#include "dialog.h"
#include "exception.h"
#include "gui_test.h"
#include "message_box_recorder.h"
#include "win_defs.h"

#include "dialog_controls.h"
#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace
{

// A dialog on the entry template, exchanging its two edits and its list.
class EntryDialog : public CDialog
{
public:
    EntryDialog() : CDialog(135) {}

    bool OnInitDialog() override
    {
        ++m_nInit;
        CDialog::OnInitDialog();
        if (m_onInit)
            m_onInit(*this);
        return true;
    }

    using CWnd::MapCommand;

    CString m_strName;
    CString m_strProgram;
    int m_nEncoding = 0;
    int m_nInit = 0;
    std::function<void(EntryDialog&)> m_onInit;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, 1008, m_strName);
        DDX_Text(pDX, 1009, m_strProgram);
        DDX_CBIndex(pDX, 1015, m_nEncoding);
    }
};

// Ends a modal run that the test failed to end, so a failure cannot hang.
void Watchdog(QObject* pContext, CDialog& dlg)
{
    QTimer::singleShot(15000, pContext, [&dlg] { dlg.EndDialog(-99); });
}

} // namespace

TEST(Dialog, OkExchangesTheControlsIntoTheMembers)
{
    QObject context;
    EntryDialog dlg;
    dlg.m_strName = u"ÕS";
    dlg.m_strProgram = u"http://";
    dlg.m_nEncoding = 1;
    QString strShownName;
    int nShownEncoding = -2;
    WhenModal([&](QWidget* pModal) {
        strShownName = ToQString(dlg.GetDlgItemText(1008));
        nShownEncoding = static_cast<QComboBox*>(DlgItemWidget(dlg, 1015))->currentIndex();
        auto* pName = static_cast<QLineEdit*>(DlgItemWidget(dlg, 1008));
        pName->clear();
        QTest::keyClicks(pName, QStringLiteral(" Õigekeelsus "));
        static_cast<QComboBox*>(DlgItemWidget(dlg, 1015))->setCurrentIndex(2);
        EXPECT_EQ(pModal, WidgetOf(dlg));
        static_cast<QPushButton*>(DlgItemWidget(dlg, IDOK))->click();
    });
    Watchdog(&context, dlg);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nInit, 1);
    EXPECT_EQ(strShownName, QStringLiteral("ÕS"));
    EXPECT_EQ(nShownEncoding, 1);
    EXPECT_EQ(dlg.m_strName, u" Õigekeelsus ");
    EXPECT_EQ(dlg.m_nEncoding, 2);
    EXPECT_FALSE(dlg.IsWindow());
}

TEST(Dialog, EscCloseBoxAndCancelEndWithCancelAndKeepTheMembers)
{
    QObject context;
    const std::function<void(EntryDialog&)> ends[] = {
        [](EntryDialog& dlg) { PressKey(WidgetOf(dlg), Qt::Key_Escape); },
        [](EntryDialog& dlg) { WidgetOf(dlg)->close(); },
        [](EntryDialog& dlg) { static_cast<QPushButton*>(DlgItemWidget(dlg, IDCANCEL))->click(); },
    };
    for (const auto& end : ends) {
        EntryDialog dlg;
        dlg.m_strName = u"vana";
        WhenModal([&](QWidget*) {
            dlg.SetDlgItemText(1008, u"uus");
            end(dlg);
        });
        Watchdog(&context, dlg);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_strName, u"vana");
    }
    // The close box is dead while Cancel is disabled.
    EntryDialog dlg;
    WhenModal([&](QWidget*) {
        DlgItemWidget(dlg, IDCANCEL)->setEnabled(false);
        WidgetOf(dlg)->close();
        EXPECT_TRUE(WidgetOf(dlg)->isVisible());
        dlg.EndDialog(5);
    });
    Watchdog(&context, dlg);
    EXPECT_EQ(dlg.DoModal(), 5);
}

TEST(Dialog, EnterSendsTheDefaultIdUnlessItsButtonIsDisabled)
{
    QObject context;
    {
        EntryDialog dlg; // "Lisa" (IDOK) is the default button
        WhenModal([&](QWidget*) {
            DlgItemWidget(dlg, 1008)->setFocus();
            PressKey(WidgetOf(dlg), Qt::Key_Return);
        });
        Watchdog(&context, dlg);
        EXPECT_EQ(dlg.DoModal(), IDOK);
    }
    {
        CDialog dlg(136); // "Lisa" starts disabled
        bool bStillOpen = false;
        WhenModal([&](QWidget* pModal) {
            PressKey(pModal, Qt::Key_Return);
            bStillOpen = WidgetOf(dlg)->isVisible();
            DlgItemWidget(dlg, IDOK)->setEnabled(true);
            PressKey(pModal, Qt::Key_Return);
        });
        Watchdog(&context, dlg);
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(bStillOpen);
    }
}

TEST(Dialog, EndingDuringInitialisationSkipsTheRun)
{
    EntryDialog dlg;
    bool bShown = false;
    dlg.m_onInit = [](EntryDialog& self) { self.EndDialog(7); };
    WhenModal([&](QWidget*) { bShown = true; }, nullptr, 300);
    EXPECT_EQ(dlg.DoModal(), 7);
    QTest::qWait(400);
    EXPECT_FALSE(bShown);

    CDialog missing(4711);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(Dialog, FailuresInHandlersAreReportedAndTheDialogGoesOn)
{
    QObject context;
    MessageBoxRecorder boxes;
    EntryDialog dlg;
    dlg.m_onInit = [](EntryDialog& self) {
        self.MapCommand(IDOK, [] { throw std::runtime_error("jõud otsas"); });
        throw CException(u"Algväärtustamine ebaõnnestus");
    };
    bool bShown = false;
    WhenModal([&](QWidget*) {
        bShown = true;
        static_cast<QPushButton*>(DlgItemWidget(dlg, IDOK))->click();
        PressKey(WidgetOf(dlg), Qt::Key_Escape);
    });
    Watchdog(&context, dlg);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(bShown);
    ASSERT_EQ(boxes.Count(), 2);
    EXPECT_EQ(boxes.Boxes()[0].strText, QStringLiteral("Algväärtustamine ebaõnnestus"));
    EXPECT_EQ(boxes.Boxes()[1].strText, QStringLiteral("jõud otsas"));
    for (const MessageBoxRequest& box : boxes.Boxes()) {
        EXPECT_EQ(box.nType & MB_ICONMASK, static_cast<unsigned>(MB_ICONSTOP));
        EXPECT_EQ(box.strCaption, AfxGetAppName());
    }
}

TEST(Dialog, ModelessWindowShowsCentredOverItsOwner)
{
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    CWnd ownerWnd;
    ownerWnd.Attach(ToHandle(&owner));

    CDialog wait;
    ASSERT_TRUE(wait.Create(139, &ownerWnd));
    EXPECT_FALSE(wait.IsWindowVisible()); // the template is not visible
    auto* pText = qobject_cast<QLabel*>(DlgItemWidget(wait, 1013));
    ASSERT_NE(pText, nullptr);
    EXPECT_EQ(pText->text(), QStringLiteral("Laadin infot sõnastike kohta.\nPalun oodake..."));

    wait.CenterWindow();
    wait.ShowWindow(SW_SHOW);
    wait.UpdateWindow();
    ASSERT_NE(WidgetOf(wait)->windowHandle(), nullptr);
    EXPECT_TRUE(WidgetOf(wait)->windowHandle()->isExposed());
    const QPoint offset = WidgetOf(wait)->frameGeometry().center() - owner.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);

    wait.DestroyWindow();
    EXPECT_FALSE(wait.IsWindow());
    ownerWnd.Detach();
}
