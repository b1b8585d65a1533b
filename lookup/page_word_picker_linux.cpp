#include "page_word_picker.h"

#include "qt_text.h"
#include "web_browser_linux.h"

#include <QChildEvent>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

namespace
{

// How long after a double click its word may still be reported: the engine
// selects it in its own process, which on a loaded machine takes a while.
constexpr int kWaitMs = 5000;

// A double click on the word that is selected already changes no selection,
// so nothing is reported; by then the selection stands as the click left it.
constexpr int kSettleMs = 1500;

// Watches the view's double clicks and the selections the engine reports
// after them; a child of the view, it goes with it.
class CDoubleClickWatch : public QObject
{
public:
    CDoubleClickWatch(QWebEngineView* pView, std::function<void(const std::u16string&)> onWord)
        : QObject(pView), m_pView(pView), m_onWord(std::move(onWord))
    {
        // The view takes its input through widgets it puts inside itself,
        // which come and go with the page.
        pView->installEventFilter(this);
        for (QWidget* pChild : pView->findChildren<QWidget*>())
            Watch(pChild);
        connect(pView->page(), &QWebEnginePage::selectionChanged, this,
                [this] { OnSelectionChanged(); });
        m_settle.setSingleShot(true);
        m_settle.setInterval(kSettleMs);
        connect(&m_settle, &QTimer::timeout, this, [this] { OnSettleTimeout(); });
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
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

private:
    void Watch(QObject* pChild)
    {
        if (pChild->isWidgetType())
            pChild->installEventFilter(this);
    }

    std::u16string SelectedWord() const
    {
        return CPageWordPicker::WordFromSelection(FromQString(m_pView->page()->selectedText()));
    }

    void OnSelectionChanged()
    {
        if (!m_bWaiting)
            return;
        if (m_waiting.hasExpired()) {
            m_bWaiting = false;
            return;
        }
        // The first click of the pair may clear the old selection first.
        if (const std::u16string strWord = SelectedWord(); !strWord.empty())
            Pick(strWord);
    }

    void OnSettleTimeout()
    {
        if (!m_bWaiting)
            return;
        if (const std::u16string strWord = SelectedWord(); !strWord.empty())
            Pick(strWord);
    }

    void Pick(const std::u16string& strWord)
    {
        m_bWaiting = false;
        m_settle.stop();
        if (m_onWord)
            m_onWord(strWord);
    }

    QWebEngineView* m_pView;
    std::function<void(const std::u16string&)> m_onWord;
    // From a double click until the engine reports the word it selected.
    QDeadlineTimer m_waiting{QDeadlineTimer::Forever};
    bool m_bWaiting = false;
    QTimer m_settle;
};

} // namespace

void CPageWordPicker::Watch(CWebBrowser& browser, std::function<void(const std::u16string&)> onWord)
{
    if (QWebEngineView* pView = BrowserView(browser))
        new CDoubleClickWatch(pView, std::move(onWord));
}
