#include "session_end.h"

#include "main_dialog.h"

#include <windows.h>

// Windows asks every top-level window whether the session may end
// (WM_QUERYENDSESSION) and then tells it that it ends (WM_ENDSESSION); the
// process may be ended as soon as the answer to the second is given. The
// question saves the window's edits, the window staying open; the end closes
// it as Esc does, before the answer. The system ends the host itself, after
// the host's own windows have had their say.
struct CSessionEnd::SState {
    explicit SState(CMainDialog& dialog);
    ~SState();
    static LRESULT CALLBACK OnMessage(int nCode, WPARAM wParam, LPARAM lParam);

    CMainDialog& m_dialog;
    HHOOK m_hHook = nullptr;
};

namespace
{

// The run whose window is open, on the window's thread; runs come one at a time.
CSessionEnd::SState* g_pCurrent = nullptr;

} // namespace

CSessionEnd::SState::SState(CMainDialog& dialog) : m_dialog(dialog)
{
    g_pCurrent = this;
    // The window is made only once the run starts: the hook sees every message
    // sent to the thread's windows and picks the window's own.
    m_hHook =
        ::SetWindowsHookExW(WH_CALLWNDPROC, &SState::OnMessage, nullptr, ::GetCurrentThreadId());
}

CSessionEnd::SState::~SState()
{
    if (m_hHook)
        ::UnhookWindowsHookEx(m_hHook);
    g_pCurrent = nullptr;
}

LRESULT CALLBACK CSessionEnd::SState::OnMessage(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto* pMessage = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && g_pCurrent && pMessage &&
        pMessage->hwnd == g_pCurrent->m_dialog.GetSafeHwnd()) {
        if (pMessage->message == WM_QUERYENDSESSION)
            g_pCurrent->m_dialog.SaveEdits();
        else if (pMessage->message == WM_ENDSESSION && pMessage->wParam)
            g_pCurrent->m_dialog.EndSession();
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

CSessionEnd::CSessionEnd(CMainDialog& dialog) : m_pState(std::make_unique<SState>(dialog)) {}

CSessionEnd::~CSessionEnd() = default;

// The host is not ended by the library: the system ends it once every window
// of the session has answered.
bool CSessionEnd::HasEnded()
{
    return false;
}
