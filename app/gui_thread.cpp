#include "gui_thread.h"

#include "browser_switches.h"
#include "display_check.h"
#include "message_filter.h"
#include "module_directory.h"
#include "wake_forwarder.h"

#include <QApplication>
#include <QEventLoop>
#include <QQuickWindow>
#include <QThread>

#include <cstdlib>

namespace
{

// QApplication keeps argc and argv for its whole life, and Chromium refuses an
// empty argument list.
int g_argc = 1;
char g_argv0[] = "quillbridge";
char* g_argv[] = {g_argv0, nullptr};

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

CGuiThread::CGuiThread() : m_pLoadThread(QThread::currentThread()) {}

CGuiThread::~CGuiThread()
{
    Stop();
}

bool CGuiThread::Start()
{
    if (m_thread.joinable())
        return true;
    // Without a display Qt would end the host's process instead of failing.
    if (!HasDisplay())
        return false;
    m_thread = std::thread([this] { ThreadMain(); });
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bStarted; });
    return true;
}

void CGuiThread::ThreadMain()
{
    CMessageFilter::Install();
    const bool bWithoutOpenGl = PrepareBrowserEngine(true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto* pApp = new QApplication(g_argc, g_argv);
    // The window system has taken it in; programs that the host starts later
    // must not inherit it.
    if (bWithoutOpenGl)
        qunsetenv("QT_XCB_GL_INTEGRATION");
    if (!QCoreApplication::eventDispatcher() && m_pLoadThread != QThread::currentThread() &&
        !m_pLoadThread->eventDispatcher())
        m_pLoadThread->setEventDispatcher(
            new CWakeForwarder(QAbstractEventDispatcher::instance(QThread::currentThread())));
    QCoreApplication::setApplicationName(QString::fromStdString(ModuleBaseName()));
    // Every run ends with its window closed; that must not end the loop.
    QApplication::setQuitOnLastWindowClosed(false);

    for (;;) {
        // Between runs the thread only keeps the browser engine's events
        // going. A run starts from here, outside any event handler, because
        // windows opened from inside a posted event get no keyboard input.
        QEventLoop idle;
        {
            std::lock_guard lock(m_mutex);
            m_pIdleLoop = &idle;
            m_bStarted = true;
        }
        m_changed.notify_all();
        bool bWork = false;
        {
            std::lock_guard lock(m_mutex);
            bWork = m_pRequest || m_bStopping;
        }
        if (!bWork)
            idle.exec();

        std::unique_lock lock(m_mutex);
        m_pIdleLoop = nullptr;
        if (m_bStopping) {
            lock.unlock();
            // The process is ending: the application goes now, on its own
            // thread, so that its window-system and browser threads are gone
            // before the rest of the process is torn down around them.
            delete pApp;
            return;
        }
        if (!m_pRequest)
            continue;
        const std::function<void()>* pRequest = m_pRequest;
        lock.unlock();
        (*pRequest)();
        lock.lock();
        m_pRequest = nullptr;
        m_bDone = true;
        lock.unlock();
        m_changed.notify_all();
    }
}

void CGuiThread::WakeIdleLoop()
{
    if (m_pIdleLoop)
        QMetaObject::invokeMethod(m_pIdleLoop, &QEventLoop::quit, Qt::QueuedConnection);
}

bool CGuiThread::Call(const std::function<void()>& fn)
{
    QCoreApplication* pApp = QCoreApplication::instance();
    if (!pApp || m_thread.joinable()) {
        if (!Start())
            return false;
        std::unique_lock lock(m_mutex);
        m_pRequest = &fn;
        m_bDone = false;
        WakeIdleLoop();
        m_changed.wait(lock, [this] { return m_bDone; });
        return true;
    }
    // The host has a Qt application of its own: the run belongs on its thread.
    if (!qobject_cast<QApplication*>(pApp))
        return false;
    if (!m_bEnginePrepared) {
        m_bEnginePrepared = true;
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
    if (!m_thread.joinable() || m_thread.get_id() == std::this_thread::get_id())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_bStopping = true;
        WakeIdleLoop();
    }
    m_thread.join();
}
