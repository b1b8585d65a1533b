#include "dict_entry_dialog.h"
#include "manage_test.h"
#include "message_box_recorder.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// How the dialog opens in add and modify mode is tested through the page
// that opens it; here what it hands back.

TEST(DictEntryDialog, OkReturnsExactlyWhatWasTypedCancelKeepsTheCallersValues)
{
    ModalWatchdog watchdog;
    CDictEntryDialog dlg(u"vana", u"utf8", u"http://");
    OnNextModal edit([&](QWidget* pDlg) {
        EXPECT_EQ(pDlg->windowTitle(), QStringLiteral("Sõnastik"));
        Control<QLineEdit>(pDlg, 1008)->setText(QStringLiteral("  Õigekeelsus  "));
        Control<QLineEdit>(pDlg, 1009)->setText(QStringLiteral(" http://127.0.0.1/õs?w= "));
        Control<QComboBox>(pDlg, 1015)->setCurrentIndex(2);
        Control<QPushButton>(pDlg, IDOK)->click();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strName, u"  Õigekeelsus  ");
    EXPECT_EQ(dlg.m_strProgram, u" http://127.0.0.1/õs?w= ");
    EXPECT_EQ(dlg.m_nEncoding, 2);

    CDictEntryDialog cancelled(u"vana", u"baltic", u"http://vana/");
    OnNextModal escape([&](QWidget* pDlg) {
        Control<QLineEdit>(pDlg, 1008)->setText(QStringLiteral("uus"));
        Control<QComboBox>(pDlg, 1015)->setCurrentIndex(2);
        QTest::keyClick(pDlg, Qt::Key_Escape);
    });
    ASSERT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_strName, QStringLiteral("vana"));
    EXPECT_EQ(cancelled.m_strProgram, QStringLiteral("http://vana/"));
    EXPECT_EQ(cancelled.m_nEncoding, 1);
}

TEST(DictEntryDialog, OkIsRefusedWhileNameOrProgramIsEmptyOrNotAWebAddressAndKeepsWhatWasTyped)
{
    ModalWatchdog watchdog;
    MessageBoxRecorder boxes;
    CDictEntryDialog dlg(CString(), u"utf8", u"http://");
    struct Step {
        QString strName, strProgram, strSays, strNotSays;
    };
    struct Seen {
        bool bStillOpen;
        QString strName, strProgram;
        int nFocusId;
    };
    std::vector<Seen> seen;
    const std::vector<Step> steps = {
        {QString(), QStringLiteral("http://127.0.0.1/x"), QStringLiteral("nimi"),
         QStringLiteral("aadress")},
        {QStringLiteral("Õigekeelsus"), QString(), QStringLiteral("aadress"),
         QStringLiteral("nimi")},
        {QString(), QString(), QStringLiteral("nimi ja sõnastikuprogrammi aadress"), QString()},
        // Only web addresses are opened by the lookup page.
        {QStringLiteral("Skript"), QStringLiteral("javascript:document.title=1;//"),
         QStringLiteral("http- või https-aadress"), QStringLiteral("nimi")},
        {QStringLiteral("Fail"), QStringLiteral("/etc/passwd?w="),
         QStringLiteral("http- või https-aadress"), QStringLiteral("nimi")},
        {QStringLiteral("Serverita"), QStringLiteral("http://"),
         QStringLiteral("http- või https-aadress"), QStringLiteral("nimi")}};
    OnNextModal script([&](QWidget* pDlg) {
        Control<QComboBox>(pDlg, 1015)->setCurrentIndex(1);
        for (const Step& step : steps) {
            Control<QLineEdit>(pDlg, 1008)->setText(step.strName);
            Control<QLineEdit>(pDlg, 1009)->setText(step.strProgram);
            Control<QPushButton>(pDlg, IDOK)->click();
            // The dialog's own focus widget: where the caret is once the
            // window is active, which on a display without a window manager
            // comes later, at the display's pace.
            seen.push_back({pDlg->isVisible(), Control<QLineEdit>(pDlg, 1008)->text(),
                            Control<QLineEdit>(pDlg, 1009)->text(),
                            CWnd::GetDlgCtrlID(ToHandle(pDlg->focusWidget()))});
        }
        // Blanks are a name like any other: the file keeps them.
        Control<QLineEdit>(pDlg, 1008)->setText(QStringLiteral(" "));
        Control<QLineEdit>(pDlg, 1009)->setText(QStringLiteral("http://127.0.0.1/y"));
        Control<QPushButton>(pDlg, IDOK)->click();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);

    ASSERT_EQ(boxes.Count(), static_cast<int>(steps.size()));
    ASSERT_EQ(seen.size(), steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE(i);
        EXPECT_TRUE(seen[i].bStillOpen);
        EXPECT_EQ(seen[i].strName, step.strName);
        EXPECT_EQ(seen[i].strProgram, step.strProgram);
        // The caret waits where the user has to type.
        EXPECT_EQ(seen[i].nFocusId, step.strName.isEmpty() ? 1008 : 1009);
        const MessageBoxRequest& box = boxes.Boxes()[static_cast<int>(i)];
        const QString strText = ToQString(box.strText);
        EXPECT_TRUE(strText.contains(step.strSays)) << strText.toStdString();
        if (!step.strNotSays.isEmpty()) {
            EXPECT_FALSE(strText.contains(step.strNotSays)) << strText.toStdString();
        }
        EXPECT_EQ(box.strCaption, QStringLiteral("Viga"));
        EXPECT_EQ(box.nType & MB_ICONMASK, static_cast<unsigned>(MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(dlg.m_strName, u" ");
    EXPECT_EQ(dlg.m_strProgram, u"http://127.0.0.1/y");
    EXPECT_EQ(dlg.m_nEncoding, 1);
}
