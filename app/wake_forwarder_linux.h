#pragma once

#include <QAbstractEventDispatcher>
#include <QPointer>

// Stands in as the event dispatcher of the thread that loaded the library.
// Qt takes that thread for its main thread, because Qt's own libraries touch
// it while they load, and the window system wakes "the main thread's"
// dispatcher when input arrives. The library's application runs on a thread
// of its own, so the wake-up is passed on to that thread's dispatcher;
// without it, key presses would wait until something else woke the loop.
class CWakeForwarder : public QAbstractEventDispatcher
{
public:
    explicit CWakeForwarder(QAbstractEventDispatcher* pTarget) : m_pTarget(pTarget) {}

    void wakeUp() override;
    void interrupt() override;

    // The loading thread runs no Qt event loop of its own.
    bool processEvents(QEventLoop::ProcessEventsFlags) override { return false; }
    void registerSocketNotifier(QSocketNotifier*) override {}
    void unregisterSocketNotifier(QSocketNotifier*) override {}
    void registerTimer(int, qint64, Qt::TimerType, QObject*) override {}
    bool unregisterTimer(int) override { return false; }
    bool unregisterTimers(QObject*) override { return false; }
    QList<TimerInfo> registeredTimers(QObject*) const override { return {}; }
    int remainingTime(int) override { return -1; }

private:
    QPointer<QAbstractEventDispatcher> m_pTarget;
};
