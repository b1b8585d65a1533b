#include "page_word_picker.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

namespace
{

// A word longer than this is cut short in the menu's command text.
constexpr qsizetype kCommandWordLength = 30;

// How long after a double click its word may still be reported: the engine
// selects it in its own process, which on a loaded machine takes a while.
constexpr int kWaitMs = 5000;

// A double click on the word that is selected already changes no selection,
// so nothing is reported; by then the selection stands as the click left it.
constexpr int kSettleMs = 1500;

} // namespace

CPageWordPicker::CPageWordPicker(QWebEngineView* pView, std::function<void(const QString&)> onWord)
    : QObject(pView), m_pView(pView), m_onWord(std::move(onWord))
{
    // The view takes its input through widgets it puts inside itself, which
    // come and go with the page.
    pView->installEventFilter(this);
    for (QWidget* pChild : pView->findChildren<QWidget*>())
        Watch(pChild);
    connect(pView->page(), &QWebEnginePage::selectionChanged, this,
            &CPageWordPicker::OnSelectionChanged);
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &CPageWordPicker::OnSettleTimeout);
}

QString CPageWordPicker::WordFromSelection(const QString& strSelection)
{
    return strSelection.simplified();
}

QString CPageWordPicker::LookUpCommandText(const QString& strWord)
{
    QString strShown = strWord.size() > kCommandWordLength
                           ? strWord.left(kCommandWordLength - 1) + QChar(0x2026)
                           : strWord;
    // An ampersand would mark the menu's access key instead of showing.
    strShown.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("Otsi „%1“").arg(strShown);
}

void CPageWordPicker::Watch(QObject* pChild)
{
    if (pChild->isWidgetType())
        pChild->installEventFilter(this);
}

bool CPageWordPicker::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pView) {
        if (pEvent->type() == QEvent::ChildAdded)
            Watch(static_cast<QChildEvent*>(pEvent)->child());
        return false;
    }
    if (pEvent->type() != QEvent::MouseButtonDblClick)
        return false;
    const auto* pMouse = static_cast<QMouseEvent*>(pEvent);
    // Shift or Ctrl with a double click extend or add to a selection.
    if (pMouse->button() != Qt::LeftButton || pMouse->modifiers() != Qt::NoModifier)
        return false;
    m_bWaiting = true;
    m_waiting.setRemainingTime(kWaitMs);
    m_settle.start();
    // The engine goes on to select the word as it always does.
    return false;
}

void CPageWordPicker::OnSelectionChanged()
{
    if (!m_bWaiting)
        return;
    if (m_waiting.hasExpired()) {
        m_bWaiting = false;
        return;
    }
    // The first click of the pair may clear the old selection first.
    const QString strWord = WordFromSelection(m_pView->page()->selectedText());
    if (!strWord.isEmpty())
        Pick(strWord);
}

void CPageWordPicker::OnSettleTimeout()
{
    if (!m_bWaiting)
        return;
    const QString strWord = WordFromSelection(m_pView->page()->selectedText());
    if (!strWord.isEmpty())
        Pick(strWord);
}

void CPageWordPicker::Pick(const QString& strWord)
{
    m_bWaiting = false;
    m_settle.stop();
    if (m_onWord)
        m_onWord(strWord);
}
