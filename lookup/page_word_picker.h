#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QWebEngineView;

// Looks up from the answer page: a double click on a word there hands that
// word on, as the engine selected it. The word is read from the engine's own
// record of the page's selection, so nothing runs inside the page, whose
// content is the dictionary program's and not ours.
class CPageWordPicker : public QObject
{
public:
    CPageWordPicker(QWebEngineView* pView, std::function<void(const QString& strWord)> onWord);

    // A selected text as a word to look up: white space at its ends dropped,
    // every run of it inside (line breaks too) one space. Empty when nothing
    // is left.
    static QString WordFromSelection(const QString& strSelection);
    // The page menu's command for strWord, "Otsi „WORD“", a long word cut
    // short with "…" (the command still looks up the whole of it).
    static QString LookUpCommandText(const QString& strWord);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void Watch(QObject* pChild);
    void OnSelectionChanged();
    void OnSettleTimeout();
    void Pick(const QString& strWord);

    QWebEngineView* m_pView;
    std::function<void(const QString&)> m_onWord;
    // From a double click until the engine reports the word it selected.
    QDeadlineTimer m_waiting{QDeadlineTimer::Forever};
    bool m_bWaiting = false;
    QTimer m_settle;
};
