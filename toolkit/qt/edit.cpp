#include "edit.h"

#include "event_hook.h"
#include "exception_report.h"
#include "menu.h"
#include "menu_platform.h"
#include "qt_text.h"
#include "wnd_platform.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>

namespace
{

QLineEdit* LineEdit(const CEdit& edit)
{
    return qobject_cast<QLineEdit*>(WidgetOf(edit));
}

} // namespace

CEdit::~CEdit() = default;

void CEdit::SetSel(int nStartChar, int nEndChar)
{
    QLineEdit* pEdit = LineEdit(*this);
    if (!pEdit)
        return;
    if (nStartChar < 0) {
        pEdit->deselect();
        return;
    }
    const int nEnd = nEndChar < 0 ? static_cast<int>(pEdit->text().size()) : nEndChar;
    pEdit->setSelection(nStartChar, nEnd - nStartChar);
}

void CEdit::SetCompletionWords(const std::vector<CString>& words)
{
    QLineEdit* pEdit = LineEdit(*this);
    if (!pEdit)
        return;
    QStringList list;
    list.reserve(static_cast<qsizetype>(words.size()));
    for (const CString& strWord : words)
        list << ToQString(strWord);
    if (QCompleter* pCompleter = pEdit->completer()) {
        if (auto* pModel = qobject_cast<QStringListModel*>(pCompleter->model())) {
            pModel->setStringList(list);
            return;
        }
    }
    auto* pModel = new QStringListModel(list, pEdit);
    auto* pCompleter = new QCompleter(pModel, pEdit);
    pCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    pCompleter->setCompletionMode(QCompleter::PopupCompletion);
    pCompleter->popup()->setObjectName(QStringLiteral("completion"));
    pEdit->setCompleter(pCompleter);
    QObject* pReceiver = GetPlatform().pReceiver.get();
    // Handled once the list has closed and the box holds the word.
    QObject::connect(
        pCompleter, qOverload<const QString&>(&QCompleter::activated), pReceiver,
        [this](const QString& strWord) {
            if (m_onCompletion)
                AfxCallHandler(GetSafeHwnd(), [&] { m_onCompletion(FromQString(strWord)); });
        },
        Qt::QueuedConnection);
    // Enter with the list open but no word of it chosen means what was typed;
    // the list would only close.
    const QPointer<QObject> pAlive(pReceiver);
    new CEventHook(pCompleter->popup(), [this, pAlive, pCompleter, pEdit](QEvent* pEvent) {
        if (!pAlive || pEvent->type() != QEvent::KeyPress)
            return false;
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if ((nKey != Qt::Key_Return && nKey != Qt::Key_Enter) ||
            pCompleter->popup()->currentIndex().isValid())
            return false;
        pCompleter->popup()->hide();
        QMetaObject::invokeMethod(
            pAlive.data(),
            [this, pEdit] {
                if (m_onCompletion)
                    AfxCallHandler(GetSafeHwnd(),
                                   [&] { m_onCompletion(FromQString(pEdit->text())); });
            },
            Qt::QueuedConnection);
        return true;
    });
}

void CEdit::ShowAllCompletions()
{
    QLineEdit* pEdit = LineEdit(*this);
    QCompleter* pCompleter = pEdit ? pEdit->completer() : nullptr;
    if (!pCompleter)
        return;
    pCompleter->setCompletionPrefix(QString());
    pCompleter->complete();
}

bool CEdit::IsCompletionShown() const
{
    QLineEdit* pEdit = LineEdit(*this);
    return pEdit && pEdit->completer() && pEdit->completer()->popup()->isVisible();
}

void CEdit::SetCompletionHandler(std::function<void(const CString&)> handler)
{
    m_onCompletion = std::move(handler);
}

void CEdit::SetContextMenuHandler(std::function<void(CMenu&)> onMenu,
                                  std::function<void(unsigned)> onCommand)
{
    QLineEdit* pEdit = LineEdit(*this);
    if (!pEdit)
        return;
    const bool bFirst = !m_onMenu;
    m_onMenu = std::move(onMenu);
    m_onMenuCommand = std::move(onCommand);
    if (!bFirst)
        return;
    pEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(pEdit, &QWidget::customContextMenuRequested, GetPlatform().pReceiver.get(),
                     [this, pEdit](const QPoint& pos) {
                         CMenu menu;
                         QMenu* pMenu = pEdit->createStandardContextMenu();
                         pMenu->setObjectName(QStringLiteral("contextMenu"));
                         pMenu->addSeparator();
                         menu.GetPlatform().pMenu = pMenu;
                         AfxCallHandler(GetSafeHwnd(), [&] { m_onMenu(menu); });
                         const QPoint at = pEdit->mapToGlobal(pos);
                         menu.TrackPopupMenu(TPM_LEFTALIGN, at.x(), at.y(), this);
                     });
}

bool CEdit::OnCommand(int nID, HWND hSource)
{
    if (CWnd::OnCommand(nID, hSource))
        return true;
    if (!m_onMenuCommand)
        return false;
    m_onMenuCommand(static_cast<unsigned>(nID));
    return true;
}
