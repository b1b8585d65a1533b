#include "word_box.h"

#include "event_hook.h"
#include "qt_text.h"
#include "wnd_platform.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QStringListModel>

struct CWordBoxPlatform {
    QPointer<QLineEdit> pEdit;
    QStringListModel* pWords = nullptr;
    QCompleter* pCompleter = nullptr;
    // Ends the connections when the box's wrapper goes.
    QObject receiver;
    std::function<void()> onLookUp;
    std::function<bool(bool)> onUpDown;
    std::u16string strCommand;
    std::function<bool()> isCommandEnabled;
    std::function<void()> onCommand;
};

CWordBox::CWordBox() = default;
CWordBox::~CWordBox() = default;

bool CWordBox::Create(CWnd& page, int nID)
{
    auto* pEdit = qobject_cast<QLineEdit*>(DlgItemWidget(page, nID));
    if (!pEdit || m_pPlatform)
        return false;
    m_pPlatform = std::make_unique<CWordBoxPlatform>();
    CWordBoxPlatform* p = m_pPlatform.get();
    p->pEdit = pEdit;
    p->pWords = new QStringListModel(pEdit);
    p->pCompleter = new QCompleter(p->pWords, pEdit);
    p->pCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    p->pCompleter->setCompletionMode(QCompleter::PopupCompletion);
    p->pCompleter->popup()->setObjectName(QStringLiteral("wordCompletion"));
    pEdit->setCompleter(p->pCompleter);
    // A word chosen from the list is looked up, as Enter on a typed one is.
    QObject::connect(
        p->pCompleter, qOverload<const QString&>(&QCompleter::activated), &p->receiver,
        [p](const QString& strWord) {
            if (!p->pEdit)
                return;
            p->pEdit->setText(strWord);
            if (p->onLookUp)
                p->onLookUp();
        },
        Qt::QueuedConnection);
    // Enter with the list open but no word of it chosen looks up what was
    // typed; the list would only close.
    new CEventHook(p->pCompleter->popup(), [p](QEvent* pEvent) {
        if (pEvent->type() != QEvent::KeyPress)
            return false;
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if ((nKey != Qt::Key_Return && nKey != Qt::Key_Enter) ||
            p->pCompleter->popup()->currentIndex().isValid())
            return false;
        p->pCompleter->popup()->hide();
        QMetaObject::invokeMethod(
            &p->receiver,
            [p] {
                if (p->onLookUp)
                    p->onLookUp();
            },
            Qt::QueuedConnection);
        return true;
    });
    new CEventHook(pEdit, [p](QEvent* pEvent) {
        if (pEvent->type() != QEvent::KeyPress || !p->onUpDown)
            return false;
        const auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if ((pKey->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier ||
            (pKey->key() != Qt::Key_Up && pKey->key() != Qt::Key_Down))
            return false;
        return p->onUpDown(pKey->key() == Qt::Key_Up);
    });
    pEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(pEdit, &QWidget::customContextMenuRequested, &p->receiver,
                     [p](const QPoint& pos) {
                         QMenu* pMenu = p->pEdit->createStandardContextMenu();
                         pMenu->setObjectName(QStringLiteral("wordBoxMenu"));
                         pMenu->setAttribute(Qt::WA_DeleteOnClose);
                         if (p->onCommand) {
                             pMenu->addSeparator();
                             QAction* pCommand = pMenu->addAction(ToQString(p->strCommand));
                             pCommand->setObjectName(QStringLiteral("wordBoxCommand"));
                             pCommand->setEnabled(!p->isCommandEnabled || p->isCommandEnabled());
                             QObject::connect(pCommand, &QAction::triggered, &p->receiver,
                                              [p] { p->onCommand(); });
                         }
                         pMenu->popup(p->pEdit->mapToGlobal(pos));
                     });
    return true;
}

void CWordBox::SetWords(const std::vector<std::u16string>& words)
{
    if (!m_pPlatform)
        return;
    QStringList list;
    for (const std::u16string& word : words)
        list << ToQString(word);
    m_pPlatform->pWords->setStringList(list);
}

bool CWordBox::IsListOpen() const
{
    return m_pPlatform && m_pPlatform->pEdit && m_pPlatform->pCompleter->popup()->isVisible();
}

void CWordBox::ListAllWords()
{
    if (!m_pPlatform || !m_pPlatform->pEdit)
        return;
    m_pPlatform->pCompleter->setCompletionPrefix(QString());
    m_pPlatform->pCompleter->complete();
}

void CWordBox::FocusAndSelect()
{
    if (!m_pPlatform || !m_pPlatform->pEdit)
        return;
    m_pPlatform->pEdit->setFocus(Qt::ShortcutFocusReason);
    m_pPlatform->pEdit->selectAll();
}

void CWordBox::SetLookUpHandler(std::function<void()> handler)
{
    if (m_pPlatform)
        m_pPlatform->onLookUp = std::move(handler);
}

void CWordBox::SetUpDownHandler(std::function<bool(bool)> handler)
{
    if (m_pPlatform)
        m_pPlatform->onUpDown = std::move(handler);
}

void CWordBox::SetMenuCommand(const std::u16string& strText, std::function<bool()> isEnabled,
                              std::function<void()> onChosen)
{
    if (!m_pPlatform)
        return;
    m_pPlatform->strCommand = strText;
    m_pPlatform->isCommandEnabled = std::move(isEnabled);
    m_pPlatform->onCommand = std::move(onChosen);
}
