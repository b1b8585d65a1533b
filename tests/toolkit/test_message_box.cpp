#include "application.h"
#include "exception.h"
#include "exception_report.h"
#include "gui_test.h"
#include "message_box.h"
#include "message_box_recorder.h"
#include "wait_cursor.h"
#include "win_defs.h"
#include "wnd.h"

#include "dialog_controls.h"
#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

struct ShownBox {
    QString strText;
    QString strTitle;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* pParent = nullptr;
    QString strRead; // the text as the box shows it to the reader
};

// Answers the next real message box and tells what it showed.
ShownBox AnswerNextBox(const std::function<void()>& show)
{
    ShownBox shown;
    WhenModal([&](QWidget* pModal) {
        auto* pBox = qobject_cast<QMessageBox*>(pModal);
        if (!pBox)
            return;
        shown = {pBox->text(), pBox->windowTitle(), pBox->icon(), pBox->parentWidget(), {}};
        if (auto* pLabel = pBox->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            pLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
            pLabel->setSelection(0, static_cast<int>(pBox->text().size()));
            shown.strRead = pLabel->selectedText();
        }
        pBox->button(QMessageBox::Ok)->click();
    });
    show();
    return shown;
}

} // namespace

TEST(MessageBox, StopAndExclamationIconsWithTheirCaption)
{
    QWidget owner;
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    CWnd wnd;
    wnd.Attach(ToHandle(&owner));

    ShownBox stop = AnswerNextBox([&] {
        EXPECT_EQ(wnd.MessageBox(u"Viga IE initsialiseerimisel", u"Viga", MB_ICONERROR), IDOK);
    });
    EXPECT_EQ(stop.strText, QStringLiteral("Viga IE initsialiseerimisel"));
    EXPECT_EQ(stop.strTitle, QStringLiteral("Viga"));
    EXPECT_EQ(stop.icon, QMessageBox::Critical);
    EXPECT_EQ(stop.pParent, &owner);

    ShownBox warn = AnswerNextBox([&] {
        wnd.MessageBox(u"Palun sisestage sõna ja valige sõnastik!", u"Viga", MB_ICONEXCLAMATION);
    });
    EXPECT_EQ(warn.icon, QMessageBox::Warning);
    EXPECT_EQ(warn.strText, QStringLiteral("Palun sisestage sõna ja valige sõnastik!"));

    // Without a caption the box is captioned with the application name.
    ShownBox plain = AnswerNextBox([&] { wnd.MessageBox(u"x"); });
    EXPECT_EQ(plain.strTitle, AfxGetAppName());
    EXPECT_EQ(plain.icon, QMessageBox::NoIcon);
    wnd.Detach();
}

TEST(MessageBox, RetryOrCancelUnderTheNamesGivenEscIsTheLast)
{
    const QStringList names = {QStringLiteral("Proovi uuesti"),
                               QStringLiteral("Sulge salvestamata")};
    for (const bool bRetry : {true, false}) {
        QStringList shown;
        WhenModal([&](QWidget* pModal) {
            auto* pBox = qobject_cast<QMessageBox*>(pModal);
            if (!pBox)
                return;
            for (QAbstractButton* pButton : pBox->buttons())
                shown << pButton->text();
            if (bRetry)
                pBox->buttons().first()->click();
            else
                QTest::keyClick(pBox, Qt::Key_Escape);
        });
        EXPECT_EQ(AfxMessageBox(nullptr, u"x", u"Viga", MB_ICONSTOP | MB_RETRYCANCEL,
                                {u"Proovi uuesti", u"Sulge salvestamata"}),
                  bRetry ? IDRETRY : IDCANCEL);
        EXPECT_EQ(shown, names);
    }
}

TEST(MessageBox, TextIsShownAsItIsNeverAsMarkup)
{
    // An address from a catalogue, as "Seda aadressi ei avata" names it.
    const QString strText =
        QStringLiteral("Seda aadressi ei avata: data:text/html,<script>x</script><b>y</b><!--\n"
                       "Avada saab ainult http- ja https-aadresse.");
    ShownBox shown =
        AnswerNextBox([&] { AfxMessageBox(nullptr, FromQString(strText), u"Viga", MB_ICONERROR); });
    EXPECT_EQ(shown.strRead,
              QString(strText).replace(QLatin1Char('\n'), QChar::ParagraphSeparator));
}

TEST(MessageBox, TheApplicationNameIsTheModuleFileName)
{
    const QString strExpected = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    ASSERT_FALSE(strExpected.isEmpty());
    EXPECT_EQ(AfxGetAppName(), strExpected);
}

TEST(MessageBox, EscapedFailuresGoToTheGeneralReport)
{
    MessageBoxRecorder boxes;
    EXPECT_TRUE(AfxCallHandler(nullptr, [] {}));
    EXPECT_FALSE(AfxCallHandler(nullptr, [] { throw CException(u"Ühendus katkes"); }));
    EXPECT_FALSE(AfxCallHandler(nullptr, [] { throw std::runtime_error("plain"); }));
    EXPECT_FALSE(AfxCallHandler(nullptr, [] { throw CException(); }));
    EXPECT_FALSE(AfxCallHandler(nullptr, [] { throw 42; }));
    EXPECT_FALSE(AfxCallHandler(nullptr, [] { throw std::bad_alloc(); }));
    ASSERT_EQ(boxes.Count(), 5);
    const QStringList texts = {QStringLiteral("Ühendus katkes"), QStringLiteral("plain"),
                               QStringLiteral("Internal application error."),
                               QStringLiteral("Internal application error."),
                               QStringLiteral("Out of memory.")};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(boxes.Boxes()[i].strText, texts[i]);
        EXPECT_EQ(boxes.Boxes()[i].strCaption, AfxGetAppName());
        EXPECT_EQ(boxes.Boxes()[i].nType, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
    }
}

TEST(MessageBox, TheBusyCursorComesAndGoes)
{
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    CWnd wnd;
    wnd.BeginWaitCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    wnd.EndWaitCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    wnd.EndWaitCursor(); // one too many does no harm
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    try {
        CWaitCursor wait;
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        throw std::runtime_error("download failed");
    } catch (const std::exception&) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
