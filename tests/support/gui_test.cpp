#include "gui_test.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

void WhenModal(std::function<void(QWidget*)> fn, QWidget* pExcept, int timeoutMs)
{
    auto pTimer = new QTimer;
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    QPointer<QWidget> pGuard(pExcept);
    pTimer->setInterval(10);
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, fn, pGuard, deadline] {
        QWidget* pModal = QApplication::activeModalWidget();
        if (pModal && pModal != pGuard.data() && pModal->isVisible()) {
            pTimer->stop();
            pTimer->deleteLater();
            fn(pModal);
        } else if (deadline->hasExpired()) {
            pTimer->stop();
            pTimer->deleteLater();
        }
    });
    pTimer->start();
}

bool WaitFor(const std::function<bool()>& pred, int timeoutMs)
{
    if (pred())
        return true;
    // A real event loop that sleeps in the window system's wait: the browser
    // drives its work through Qt's loop, and polling with pauses slows every
    // page load down to seconds.
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pred())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return pred();
}

void PressKey(QWidget* pWindow, int nKey)
{
    QWidget* pTarget = pWindow->focusWidget() ? pWindow->focusWidget() : pWindow;
    QTest::keyClick(pTarget, static_cast<Qt::Key>(nKey));
}

bool RightClickPage(QWidget* pView, const QPoint& pos)
{
    QWidget* pTop = pView->window();
    QWindow* pWindow = pTop->windowHandle();
    const QPoint at = pView->mapTo(pTop, pos);
    for (int nTry = 0; nTry < 30 && !QApplication::activePopupWidget(); ++nTry) {
        QTest::mouseMove(pWindow, at);
        QTest::mousePress(pWindow, Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseRelease(pWindow, Qt::RightButton, Qt::NoModifier, at);
        WaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 1000);
    }
    return QApplication::activePopupWidget() != nullptr;
}
