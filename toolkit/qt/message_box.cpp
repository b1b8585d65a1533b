#include "message_box.h"

#include "application.h"
#include "qt_text.h"
#include "win_defs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <utility>
#include <vector>

namespace
{

MessageBoxHook& Hook()
{
    static MessageBoxHook s_hook;
    return s_hook;
}

QMessageBox::Icon IconOf(unsigned nType)
{
    switch (nType & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int AfxMessageBox(HWND hOwner, const CString& strText, const CString& strCaption, unsigned nType,
                  const std::vector<CString>& buttonTexts)
{
    MessageBoxRequest request{hOwner, strText, strCaption.empty() ? AfxGetAppName() : strCaption,
                              nType, buttonTexts};
    if (Hook())
        return Hook()(request);

    QWidget* pOwner = FromHandle(hOwner);
    QWidget* pParent = pOwner ? pOwner->window() : QApplication::activeWindow();
    // A hidden owner would hide the box with it; such a box stands alone.
    if (pParent && !pParent->isVisible())
        pParent = nullptr;
    QPointer<QMessageBox> pBox =
        new QMessageBox(IconOf(nType), ToQString(request.strCaption), ToQString(strText),
                        QMessageBox::NoButton, pParent);
    pBox->setObjectName(QStringLiteral("messageBox"));
    // Messages name addresses and entries from catalogues and downloaded
    // lists; such text is shown as it is, never taken for markup.
    pBox->setTextFormat(Qt::PlainText);
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    const auto addButton = [&](QMessageBox::StandardButton standard, int nID) {
        QAbstractButton* pButton = pBox->addButton(standard);
        const std::size_t nIndex = buttons.size();
        if (nIndex < buttonTexts.size())
            pButton->setText(ToQString(buttonTexts[nIndex]));
        buttons.emplace_back(pButton, nID);
    };
    if ((nType & MB_TYPEMASK) == MB_RETRYCANCEL) {
        addButton(QMessageBox::Retry, IDRETRY);
        addButton(QMessageBox::Cancel, IDCANCEL);
    } else {
        addButton(QMessageBox::Ok, IDOK);
    }
    pBox->setDefaultButton(qobject_cast<QPushButton*>(buttons.front().first));
    pBox->setEscapeButton(buttons.back().first);
    pBox->exec();
    int nResult = buttons.back().second;
    for (const auto& [pButton, nID] : buttons)
        if (pBox && pBox->clickedButton() == pButton)
            nResult = nID;
    delete pBox;
    return nResult;
}

MessageBoxHook AfxSetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
