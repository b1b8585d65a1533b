#include "gui_thread.h"

#include "application.h"

#include <windows.h>

#include <ole2.h>

// On Windows the window runs on the caller's thread, in its own modal message
// loop, as the hosts there expect: nothing is handed to another thread.
struct CGuiThread::SState {
};

CGuiThread::CGuiThread() : m_pState(std::make_unique<SState>()) {}

CGuiThread::~CGuiThread() = default;

bool CGuiThread::Call(const std::function<void()>& fn)
{
    if (!AfxEnsureApplication())
        return false;
    // The browser control is an OLE control: it needs OLE on this thread, in a
    // single-threaded apartment. A thread the host already set up keeps its
    // set-up (the call only counts up); one the host made multi-threaded
    // cannot hold the control, which the lookup page then reports.
    const HRESULT hrOle = ::OleInitialize(nullptr);
    fn();
    if (SUCCEEDED(hrOle))
        ::OleUninitialize();
    return true;
}

void CGuiThread::Stop() {}

// The run's windows are destroyed when it ends, and whatever was posted to
// them is dropped by the system; the rest of the thread's queue is the host's.
void CGuiThread::FinishRun() {}
