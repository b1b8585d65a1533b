#include "message_box.h"

#include "application.h"
#include "win_defs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

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

int AfxMessageBox(QWidget* pOwner, const QString& strText, const QString& strCaption,
                  unsigned nType)
{
    MessageBoxRequest request{pOwner, strText, strCaption.isEmpty() ? AfxGetAppName() : strCaption,
                              nType};
    if (Hook())
        return Hook()(request);

    QWidget* pParent = pOwner ? pOwner->window() : QApplication::activeWindow();
    // A hidden owner would hide the box with it; such a box stands alone.
    if (pParent && !pParent->isVisible())
        pParent = nullptr;
    QPointer<QMessageBox> pBox =
        new QMessageBox(IconOf(nType), request.strCaption, strText, QMessageBox::Ok, pParent);
    pBox->setObjectName(QStringLiteral("messageBox"));
    // Messages name addresses and entries from catalogues and downloaded
    // lists; such text is shown as it is, never taken for markup.
    pBox->setTextFormat(Qt::PlainText);
    pBox->exec();
    delete pBox;
    return IDOK;
}

MessageBoxHook AfxSetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
