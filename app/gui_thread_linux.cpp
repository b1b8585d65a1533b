#include "gui_thread.h"

#include "application.h"
#include "browser_switches.h"
#include "display_check.h"
#include "message_filter_linux.h"
#include "module_directory.h"
#include "wake_forwarder_linux.h"

#include <QApplication>
#include <QEventLoop>
#include <QQuickWindow>
#include <QThread>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace
{

// Before the first browser is made, which reads the engine's switches once.
// bOwnApplication: the library is about to create the application itself, so
// it also chooses how the window draws the browser's pages. Returns whether
// it switched off the window system's OpenGL for the application's start.
bool PrepareBrowserEngine(bool bOwnApplication)
{
    const std::string strSwitches =
        WithLibraryBrowserSwitches(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").toStdString());
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", QByteArray::fromStdString(strSwitches));
    if (!bOwnApplication || !BrowserSwitchesDisableGpu(strSwitches) ||
        qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
        qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        return false;
    // Without a GPU the engine draws its pages in software anyway. Handing
    // them on through OpenGL would only bring in an emulated OpenGL, which
    // costs more memory than the rest of the window and a tenth of a second
    // at start, and every later window pays for it again.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    if (qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        return false;
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    return true;
}

} // namespace

struct CGuiThread::SState {
    bool Start();
    void ThreadMain();
    void WakeIdleLoop();

    // The thread that loaded the library, which Qt takes for its main thread.
    QThread* pLoadThread = QThread::currentThread();
    std::thread thread;
    std::mutex mutex;
    std::condition_variable changed;
    QEventLoop* pIdleLoop = nullptr;
    const std::function<void()>* pRequest = nullptr;
    bool bStarted = false;
    bool bDone = false;
    bool bStopping = false;
    bool bEnginePrepared = false;
};

CGuiThread::CGuiThread() : m_pState(std::make_unique<SState>()) {}

CGuiThread::~CGuiThread()
{
    Stop();
}

bool CGuiThread::SState::Start()
{
    if (thread.joinable())
        return true;
    // Without a display Qt would end the host's process instead of failing.
    if (!HasDisplay())
        return false;
    thread = std::thread([this] { ThreadMain(); });
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return bStarted; });
    return true;
}

void CGuiThread::SState::ThreadMain()
{
    CMessageFilter::Install();
    const bool bWithoutOpenGl = PrepareBrowserEngine(true);
    AfxEnsureApplication();
    // The window system has taken it in; programs that the host starts later
    // must not inherit it.
    if (bWithoutOpenGl)
        qunsetenv("QT_XCB_GL_INTEGRATION");
    if (!QCoreApplication::eventDispatcher() && pLoadThread != QThread::currentThread() &&
        !pLoadThread->eventDispatcher())
        pLoadThread->setEventDispatcher(
            new CWakeForwarder(QAbstractEventDispatcher::instance(QThread::currentThread())));

    for (;;) {
        // Between runs the thread only keeps the browser engine's events
        // going. A run starts from here, outside any event handler, because
        // windows opened from inside a posted event get no keyboard input.
        QEventLoop idle;
        {
            std::lock_guard lock(mutex);
            pIdleLoop = &idle;
            bStarted = true;
        }
        changed.notify_all();
        bool bWork = false;
        {
            std::lock_guard lock(mutex);
            bWork = pRequest || bStopping;
        }
        if (!bWork)
            idle.exec();

        std::unique_lock lock(mutex);
        pIdleLoop = nullptr;
        if (bStopping) {
            lock.unlock();
            // The process is ending: the application goes now, on its own
            // thread, so that its window-system and browser threads are gone
            // before the rest of the process is torn down around them.
            delete QCoreApplication::instance();
            return;
        }
        if (!pRequest)
            continue;
        const std::function<void()>* pWork = pRequest;
        lock.unlock();
        (*pWork)();
        lock.lock();
        pRequest = nullptr;
        bDone = true;
        lock.unlock();
        changed.notify_all();
    }
}

void CGuiThread::SState::WakeIdleLoop()
{
    if (pIdleLoop)
        QMetaObject::invokeMethod(pIdleLoop, &QEventLoop::quit, Qt::QueuedConnection);
}

bool CGuiThread::Call(const std::function<void()>& fn)
{
    SState& state = *m_pState;
    QCoreApplication* pApp = QCoreApplication::instance();
    if (!pApp || state.thread.joinable()) {
        if (!state.Start())
            return false;
        std::unique_lock lock(state.mutex);
        state.pRequest = &fn;
        state.bDone = false;
        state.WakeIdleLoop();
        state.changed.wait(lock, [&state] { return state.bDone; });
        return true;
    }
    // The host has a Qt application of its own: the run belongs on its thread.
    if (!qobject_cast<QApplication*>(pApp))
        return false;
    if (!state.bEnginePrepared) {
        state.bEnginePrepared = true;
        PrepareBrowserEngine(false);
    }
    if (QThread::currentThread() == pApp->thread())
        fn();
    else
        QMetaObject::invokeMethod(pApp, fn, Qt::BlockingQueuedConnection);
    return true;
}

void CGuiThread::Stop()
{
    // The process may end from the application's own thread (the display's
    // connection lost); that thread cannot wait for itself.
    SState& state = *m_pState;
    if (!state.thread.joinable() || state.thread.get_id() == std::this_thread::get_id())
        return;
    {
        std::lock_guard lock(state.mutex);
        state.bStopping = true;
        state.WakeIdleLoop();
    }
    state.thread.join();
}

void CGuiThread::FinishRun()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
