#pragma once

#include <QObject>

#include <functional>

class QEvent;

// Lets window code that is no QObject watch the events of one object: the
// handler sees each event first and returns true for one it has dealt with.
// The hook is a child of the watched object and goes with it.
class CEventHook : public QObject
{
public:
    using Handler = std::function<bool(QEvent* pEvent)>;
    CEventHook(QObject* pWatched, Handler handler);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    Handler m_handler;
};
