#include "event_hook.h"

CEventHook::CEventHook(QObject* pWatched, Handler handler)
    : QObject(pWatched), m_handler(std::move(handler))
{
    pWatched->installEventFilter(this);
}

bool CEventHook::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    return pWatched == parent() && m_handler(pEvent);
}
