#include "dict_entry_dialog.h"
#include "manage_test.h"
#include "message_box_recorder.h"
#include "win_defs.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

// What the dialog shows when it opens.
struct Shown {
    QString strCaption, strName, strProgram, strEncoding, strOk;
    QStringList encodings;
    bool bNameHasFocus = false;
};

Shown Look(QWidget* pDlg)
{
    Shown shown;
    shown.strCaption = pDlg->windowTitle();
    shown.strName = Control<QLineEdit>(pDlg, 1008)->text();
    shown.strProgram = Control<QLineEdit>(pDlg, 1009)->text();
    auto* pCombo = Control<QComboBox>(pDlg, 1015);
    shown.strEncoding = pCombo->currentText();
    for (int i = 0; i < pCombo->count(); ++i)
        shown.encodings << pCombo->itemText(i);
    shown.strOk = Control<QPushButton>(pDlg, IDOK)->text();
    shown.bNameHasFocus = QApplication::focusWidget() == Control<QLineEdit>(pDlg, 1008);
    return shown;
}

void Type(QWidget* pDlg, int nID, const QString& strText)
{
    auto* pEdit = Control<QLineEdit>(pDlg, nID);
    pEdit->setFocus();
    pEdit->selectAll();
    // As typed; the test's key clicks know only ASCII.
    pEdit->insert(strText);
}

void PressOk(QWidget* pDlg)
{
    Control<QPushButton>(pDlg, IDOK)->click();
}

} // namespace

TEST(DictEntryDialog, AddAndModifyModesShowTheirValues)
{
    ModalWatchdog watchdog;
    CDictEntryDialog add(QString(), QStringLiteral("utf8"), QStringLiteral("http://"));
    Shown shown;
    OnNextModal look([&](QWidget* pDlg) {
        shown = Look(pDlg);
        Control<QPushButton>(pDlg, IDCANCEL)->click();
    });
    EXPECT_EQ(add.DoModal(), IDCANCEL);
    EXPECT_EQ(shown.strCaption, QStringLiteral("Sõnastik"));
    EXPECT_EQ(shown.strName, QString());
    EXPECT_EQ(shown.strProgram, QStringLiteral("http://"));
    EXPECT_EQ(shown.strEncoding, QStringLiteral("utf8"));
    EXPECT_EQ(shown.encodings, (QStringList{QStringLiteral("utf8"), QStringLiteral("baltic"),
                                            QStringLiteral("western")}));
    EXPECT_EQ(shown.strOk, QStringLiteral("Lisa"));
    EXPECT_TRUE(shown.bNameHasFocus);

    CDictEntryDialog modify(QStringLiteral("Vene-eesti"), QStringLiteral("baltic"),
                            QStringLiteral("http://127.0.0.1/ru?w="));
    modify.m_strOkText = QStringLiteral("Muuda");
    OnNextModal look2([&](QWidget* pDlg) {
        shown = Look(pDlg);
        Control<QPushButton>(pDlg, IDCANCEL)->click();
    });
    EXPECT_EQ(modify.DoModal(), IDCANCEL);
    EXPECT_EQ(shown.strCaption, QStringLiteral("Sõnastik"));
    EXPECT_EQ(shown.strName, QStringLiteral("Vene-eesti"));
    EXPECT_EQ(shown.strProgram, QStringLiteral("http://127.0.0.1/ru?w="));
    EXPECT_EQ(shown.strEncoding, QStringLiteral("baltic"));
    EXPECT_EQ(shown.strOk, QStringLiteral("Muuda"));
}

TEST(DictEntryDialog, AnEncodingOutsideTheListIsShownAsUtf8)
{
    ModalWatchdog watchdog;
    for (const QString& strEncoding :
         {QStringLiteral("koi8-r"), QStringLiteral("UTF8"), QString()}) {
        CDictEntryDialog dlg(QStringLiteral("x"), strEncoding, QStringLiteral("http://x/"));
        EXPECT_EQ(dlg.m_nEncoding, 0);
        QString strShown;
        OnNextModal ok([&](QWidget* pDlg) {
            strShown = Look(pDlg).strEncoding;
            PressOk(pDlg);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(strShown, QStringLiteral("utf8")) << strEncoding.toStdString();
        EXPECT_EQ(dlg.m_nEncoding, 0);
    }
}

TEST(DictEntryDialog, OkReturnsExactlyWhatWasTypedCancelKeepsTheCallersValues)
{
    ModalWatchdog watchdog;
    CDictEntryDialog dlg(QStringLiteral("vana"), QStringLiteral("utf8"), QStringLiteral("http://"));
    OnNextModal edit([&](QWidget* pDlg) {
        Type(pDlg, 1008, QStringLiteral("  Õigekeelsus  "));
        Type(pDlg, 1009, QStringLiteral(" http://127.0.0.1/õs?w= "));
        Control<QComboBox>(pDlg, 1015)->setCurrentIndex(2);
        PressOk(pDlg);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strName, QStringLiteral("  Õigekeelsus  "));
    EXPECT_EQ(dlg.m_strProgram, QStringLiteral(" http://127.0.0.1/õs?w= "));
    EXPECT_EQ(dlg.m_nEncoding, 2);

    CDictEntryDialog cancelled(QStringLiteral("vana"), QStringLiteral("baltic"),
                               QStringLiteral("http://vana/"));
    OnNextModal escape([&](QWidget* pDlg) {
        Type(pDlg, 1008, QStringLiteral("uus"));
        Control<QComboBox>(pDlg, 1015)->setCurrentIndex(2);
        QTest::keyClick(pDlg, Qt::Key_Escape);
    });
    ASSERT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_strName, QStringLiteral("vana"));
    EXPECT_EQ(cancelled.m_strProgram, QStringLiteral("http://vana/"));
    EXPECT_EQ(cancelled.m_nEncoding, 1);
}

TEST(DictEntryDialog, MissingNameOrProgramIsNamedInTheMessage)
{
    const QString strNone = MissingEntryFields(QString(), QString());
    const QString strNoName = MissingEntryFields(QString(), QStringLiteral("http://"));
    const QString strNoProgram = MissingEntryFields(QStringLiteral("ÕS"), QString());
    EXPECT_TRUE(strNone.contains(QStringLiteral("nimi")) &&
                strNone.contains(QStringLiteral("aadress")));
    EXPECT_TRUE(strNoName.contains(QStringLiteral("nimi")));
    EXPECT_FALSE(strNoName.contains(QStringLiteral("aadress")));
    EXPECT_TRUE(strNoProgram.contains(QStringLiteral("aadress")));
    EXPECT_FALSE(strNoProgram.contains(QStringLiteral("nimi")));
    // Blanks are a name like any other: the file keeps them.
    EXPECT_EQ(MissingEntryFields(QStringLiteral(" "), QStringLiteral(" ")), QString());
}

TEST(DictEntryDialog, OkIsRefusedWhileNameOrProgramIsEmptyAndKeepsWhatWasTyped)
{
    ModalWatchdog watchdog;
    MessageBoxRecorder boxes;
    CDictEntryDialog dlg(QString(), QStringLiteral("utf8"), QStringLiteral("http://"));
    struct Step {
        Step(QString name, QString program)
            : strName(std::move(name)), strProgram(std::move(program))
        {
        }
        QString strName, strProgram;
        bool bStillOpen = false;
        QString strNameAfter, strProgramAfter;
        int nFocusId = 0;
    };
    std::vector<Step> steps = {{QString(), QStringLiteral("http://127.0.0.1/x")},
                               {QStringLiteral("Õigekeelsus"), QString()},
                               {QString(), QString()}};
    OnNextModal script([&](QWidget* pDlg) {
        Control<QComboBox>(pDlg, 1015)->setCurrentIndex(1);
        for (Step& step : steps) {
            Control<QLineEdit>(pDlg, 1008)->setText(step.strName);
            Control<QLineEdit>(pDlg, 1009)->setText(step.strProgram);
            PressOk(pDlg);
            step.bStillOpen = pDlg->isVisible();
            step.strNameAfter = Control<QLineEdit>(pDlg, 1008)->text();
            step.strProgramAfter = Control<QLineEdit>(pDlg, 1009)->text();
            step.nFocusId = CWnd::GetDlgCtrlID(QApplication::focusWidget());
        }
        Control<QLineEdit>(pDlg, 1009)->setText(QStringLiteral("http://127.0.0.1/y"));
        Control<QLineEdit>(pDlg, 1008)->setText(QStringLiteral("Y"));
        PressOk(pDlg);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);

    ASSERT_EQ(boxes.Count(), 3);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        EXPECT_TRUE(step.bStillOpen) << i;
        EXPECT_EQ(step.strNameAfter, step.strName) << i;
        EXPECT_EQ(step.strProgramAfter, step.strProgram) << i;
        EXPECT_EQ(step.nFocusId, step.strName.isEmpty() ? 1008 : 1009) << i;
        const MessageBoxRequest& box = boxes.Boxes()[static_cast<int>(i)];
        EXPECT_EQ(box.strText, MissingEntryFields(step.strName, step.strProgram)) << i;
        EXPECT_EQ(box.strCaption, QStringLiteral("Viga"));
        EXPECT_EQ(box.nType & MB_ICONMASK, static_cast<unsigned>(MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(dlg.m_strName, QStringLiteral("Y"));
    EXPECT_EQ(dlg.m_strProgram, QStringLiteral("http://127.0.0.1/y"));
    EXPECT_EQ(dlg.m_nEncoding, 1);
}
