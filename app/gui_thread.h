#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class QEventLoop;
class QThread;

// The thread that owns the library's Qt application when the host has none.
// Qt WebEngine cannot start twice in a process, so the application is created
// once, on first use, and never destroyed; the thread ends its event loop only
// when the process ends.
class CGuiThread
{
public:
    CGuiThread();
    CGuiThread(const CGuiThread&) = delete;
    CGuiThread& operator=(const CGuiThread&) = delete;
    ~CGuiThread();

    // Runs fn on the thread of the Qt application, starting the library's own
    // application first when there is none, and waits for it. Returns false
    // when no application can run widgets here (no display, or the host's
    // application has no widgets).
    bool Call(const std::function<void()>& fn);

    // Ends the event loop of the library's own application and waits for its thread.
    void Stop();

private:
    bool Start();
    void ThreadMain();
    void WakeIdleLoop();

    // The thread that loaded the library, which Qt takes for its main thread.
    QThread* m_pLoadThread;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    QEventLoop* m_pIdleLoop = nullptr;
    const std::function<void()>* m_pRequest = nullptr;
    bool m_bStarted = false;
    bool m_bDone = false;
    bool m_bStopping = false;
    bool m_bEnginePrepared = false;
};
