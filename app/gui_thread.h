#pragma once

#include <functional>
#include <memory>

// The thread that owns the library's application when the host has none. The
// browser engine cannot start twice in a process, so the application is
// created once, on first use, and never destroyed; the thread ends its event
// loop only when the process ends.
class CGuiThread
{
public:
    CGuiThread();
    CGuiThread(const CGuiThread&) = delete;
    CGuiThread& operator=(const CGuiThread&) = delete;
    ~CGuiThread();

    // Runs fn on the thread of the application, starting the library's own
    // application first when there is none, and waits for it. Returns false
    // when no application can run windows here (no display, or the host's
    // application has no windows).
    bool Call(const std::function<void()>& fn);

    // Ends the event loop of the library's own application and waits for its thread.
    void Stop();

    // On the application's thread, after a run: what the run's windows left
    // to be deleted at the next turn of the event loop goes now, so that
    // nothing of the run is left behind when the host goes on, or ends the
    // process.
    static void FinishRun();

private:
    struct SState;
    std::unique_ptr<SState> m_pState;
};
