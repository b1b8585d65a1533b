#include "browser_keys.h"

#include "wnd_platform.h"

#include <QKeySequence>
#include <QList>
#include <QShortcut>

void CBrowserKeys::AddKeys(CWnd& page, ECommand command, std::function<void()> action)
{
    QList<QKeySequence> keys;
    switch (command) {
    case ECommand::Back:
        keys = {QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_Back)};
        break;
    case ECommand::Forward:
        keys = {QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::Key_Forward)};
        break;
    case ECommand::Reload:
        keys = {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)};
        break;
    case ECommand::Find:
        keys = {QKeySequence(Qt::CTRL | Qt::Key_F)};
        break;
    case ECommand::ZoomIn:
        keys = {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal)};
        break;
    case ECommand::ZoomOut:
        keys = {QKeySequence(Qt::CTRL | Qt::Key_Minus)};
        break;
    case ECommand::ZoomReset:
        keys = {QKeySequence(Qt::CTRL | Qt::Key_0)};
        break;
    case ECommand::WordBox:
        keys = {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::Key_F6)};
        break;
    }
    QWidget* pPage = WidgetOf(page);
    auto* pShortcut = new QShortcut(pPage);
    pShortcut->setKeys(keys);
    // Only while the focus is on this page: each browser page has its own.
    pShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(pShortcut, &QShortcut::activated, pPage, std::move(action));
}
