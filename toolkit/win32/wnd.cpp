#include "wnd.h"

#include "exception_report.h"
#include "wnd_platform.h"

#include <commctrl.h>

#include <map>

namespace
{

// The windows whose wrappers asked for their keys or messages before they
// are dispatched; one wrapper per window.
std::map<HWND, CWndPlatform*>& KeyHandlers()
{
    static std::map<HWND, CWndPlatform*> s_handlers;
    return s_handlers;
}

void ForgetKeyHandler(CWndPlatform& platform)
{
    auto& handlers = KeyHandlers();
    const auto it = handlers.find(platform.hWnd);
    if (it != handlers.end() && it->second == &platform)
        handlers.erase(it);
}

// A message for the focused window goes first to the handlers of that window
// and of the windows around it, nearest first, up to the window whose loop
// runs: the raw message (a hosted control translates its own keys), then,
// for a key, the key handler.
bool PreTranslate(MSG& msg, HWND hLoopWnd)
{
    const bool bKey = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (!bKey && (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) &&
        (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST))
        return false;
    for (HWND hWnd = msg.hwnd; hWnd; hWnd = GetParent(hWnd)) {
        const auto it = KeyHandlers().find(hWnd);
        if (it != KeyHandlers().end()) {
            // Copies: a handler may replace itself.
            const auto preTranslate = it->second->preTranslateMessage;
            bool bHandled = false;
            if (preTranslate)
                AfxCallHandler(hWnd, [&] { bHandled = preTranslate(&msg); });
            const CWnd::KeyHandler handler = bKey ? it->second->keyHandler : nullptr;
            if (!bHandled && handler)
                AfxCallHandler(hWnd, [&] {
                    bHandled = handler(static_cast<unsigned>(msg.wParam), HeldModifiers());
                });
            if (bHandled)
                return true;
        }
        if (hWnd == hLoopWnd || !(GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    return false;
}

LRESULT CALLBACK SubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              UINT_PTR /*uIdSubclass*/, DWORD_PTR dwRefData)
{
    auto* pPlatform = reinterpret_cast<CWndPlatform*>(dwRefData);
    if (uMsg == WM_NCDESTROY) {
        // The window is gone, whoever destroyed it: the wrapper has none now.
        ForgetKeyHandler(*pPlatform);
        RemoveWindowSubclass(hWnd, SubclassProc, reinterpret_cast<UINT_PTR>(pPlatform));
        pPlatform->hWnd = nullptr;
        pPlatform->bOwnsWindow = false;
        return DefSubclassProc(hWnd, uMsg, wParam, lParam);
    }
    if (uMsg == WM_SETCURSOR && AfxIsWaitCursorShown()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    }
    if (pPlatform->onMessage) {
        // A copy: the handler may replace itself or end the wrapper's hold.
        const CWndPlatform::MessageHandler handler = pPlatform->onMessage;
        LRESULT lResult = 0;
        if (handler(uMsg, wParam, lParam, &lResult))
            return lResult;
    }
    return DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

} // namespace

unsigned HeldModifiers()
{
    unsigned nModifiers = 0;
    if (GetKeyState(VK_MENU) < 0)
        nModifiers |= MOD_ALT;
    if (GetKeyState(VK_CONTROL) < 0)
        nModifiers |= MOD_CONTROL;
    if (GetKeyState(VK_SHIFT) < 0)
        nModifiers |= MOD_SHIFT;
    if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0)
        nModifiers |= MOD_WIN;
    return nModifiers;
}

bool AfxDialogCommand(CWnd* pWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    *pResult = 0;
    if (uMsg == WM_NOTIFY) {
        const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (pHeader && pHeader->hwndFrom)
            *pResult = SendMessageW(pHeader->hwndFrom, OCM_NOTIFY, wParam, lParam);
        return true;
    }
    if (uMsg != WM_COMMAND)
        return false;
    const auto hControl = reinterpret_cast<HWND>(lParam);
    if (hControl && HIWORD(wParam) != BN_CLICKED) {
        SendMessageW(hControl, OCM_COMMAND, wParam, lParam);
        return true;
    }
    pWnd->SendCommand(static_cast<short>(LOWORD(wParam)), hControl);
    return true;
}

CWnd::CWnd() : m_pPlatform(std::make_unique<CWndPlatform>()) {}

CWnd::~CWnd()
{
    EndModalLoop(m_nModalResult);
    m_dlgItems.clear();
    const bool bOwned = m_pPlatform->bOwnsWindow;
    if (HWND hWnd = Detach(); bOwned && hWnd)
        ::DestroyWindow(hWnd);
}

HWND CWnd::GetSafeHwnd() const
{
    return m_pPlatform->hWnd;
}

void CWnd::Attach(HWND hWnd, bool bOwn)
{
    Detach();
    if (!hWnd || !::IsWindow(hWnd))
        return;
    m_pPlatform->hWnd = hWnd;
    m_pPlatform->bOwnsWindow = bOwn;
    SetWindowSubclass(hWnd, SubclassProc, reinterpret_cast<UINT_PTR>(m_pPlatform.get()),
                      reinterpret_cast<DWORD_PTR>(m_pPlatform.get()));
    PreSubclassWindow();
}

HWND CWnd::Detach()
{
    const HWND hWnd = m_pPlatform->hWnd;
    if (hWnd) {
        ForgetKeyHandler(*m_pPlatform);
        RemoveWindowSubclass(hWnd, SubclassProc, reinterpret_cast<UINT_PTR>(m_pPlatform.get()));
    }
    m_pPlatform->hWnd = nullptr;
    m_pPlatform->bOwnsWindow = false;
    m_pPlatform->keyHandler = nullptr;
    m_pPlatform->preTranslateMessage = nullptr;
    m_pPlatform->onMessage = nullptr;
    return hWnd;
}

void CWnd::DestroyWindow()
{
    const bool bOwned = m_pPlatform->bOwnsWindow;
    const HWND hWnd = Detach();
    if (bOwned && hWnd)
        ::DestroyWindow(hWnd);
}

void CWnd::SetWindowText(const CString& strText)
{
    if (HWND hWnd = GetSafeHwnd())
        ::SetWindowTextW(hWnd, reinterpret_cast<const wchar_t*>(strText.c_str()));
}

CString CWnd::GetWindowText() const
{
    const HWND hWnd = GetSafeHwnd();
    if (!hWnd)
        return CString();
    CString strText(static_cast<std::size_t>(GetWindowTextLengthW(hWnd)) + 1, u'\0');
    const int nLength = ::GetWindowTextW(hWnd, reinterpret_cast<wchar_t*>(strText.data()),
                                         static_cast<int>(strText.size()));
    strText.resize(static_cast<std::size_t>(nLength > 0 ? nLength : 0));
    return strText;
}

bool CWnd::ShowWindow(int nCmdShow)
{
    const HWND hWnd = GetSafeHwnd();
    return hWnd && ::ShowWindow(hWnd, nCmdShow) != 0;
}

bool CWnd::EnableWindow(bool bEnable)
{
    const HWND hWnd = GetSafeHwnd();
    return hWnd && ::EnableWindow(hWnd, bEnable ? TRUE : FALSE) != 0;
}

bool CWnd::IsWindowEnabled() const
{
    const HWND hWnd = GetSafeHwnd();
    return hWnd && ::IsWindowEnabled(hWnd);
}

bool CWnd::IsWindowVisible() const
{
    const HWND hWnd = GetSafeHwnd();
    return hWnd && ::IsWindowVisible(hWnd);
}

void CWnd::SetFocus()
{
    if (HWND hWnd = GetSafeHwnd())
        ::SetFocus(hWnd);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    const HWND hWnd = GetSafeHwnd();
    if (!hWnd)
        return;
    RECT rcWindow;
    GetWindowRect(hWnd, &rcWindow);
    const int cx = rcWindow.right - rcWindow.left;
    const int cy = rcWindow.bottom - rcWindow.top;
    if (GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) {
        const HWND hParent = GetParent(hWnd);
        RECT rcParent;
        if (!hParent || !::GetClientRect(hParent, &rcParent))
            return;
        SetWindowPos(hWnd, nullptr, (rcParent.right - cx) / 2, (rcParent.bottom - cy) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    HWND hOwner = pAlternateOwner ? pAlternateOwner->GetSafeHwnd() : GetWindow(hWnd, GW_OWNER);
    if (hOwner)
        hOwner = GetAncestor(hOwner, GA_ROOT);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hOwner ? hOwner : hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& rcWork = monitor.rcWork;
    RECT rcArea = rcWork;
    if (hOwner && ::IsWindowVisible(hOwner) && !IsIconic(hOwner))
        GetWindowRect(hOwner, &rcArea);
    int x = (rcArea.left + rcArea.right - cx) / 2;
    int y = (rcArea.top + rcArea.bottom - cy) / 2;
    // Not off the screen, whatever the owner's place.
    if (x + cx > rcWork.right)
        x = rcWork.right - cx;
    if (x < rcWork.left)
        x = rcWork.left;
    if (y + cy > rcWork.bottom)
        y = rcWork.bottom - cy;
    if (y < rcWork.top)
        y = rcWork.top;
    SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::SetRedraw(bool bRedraw)
{
    const HWND hWnd = GetSafeHwnd();
    if (!hWnd)
        return;
    SendMessageW(hWnd, WM_SETREDRAW, bRedraw ? TRUE : FALSE, 0);
    if (bRedraw)
        RedrawWindow(hWnd, nullptr, nullptr,
                     RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CWnd::UpdateWindow()
{
    // The window and its controls are painted now, before the caller blocks.
    if (HWND hWnd = GetSafeHwnd(); hWnd && ::IsWindowVisible(hWnd))
        RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

CRect CWnd::GetClientRect() const
{
    RECT rc{};
    if (HWND hWnd = GetSafeHwnd())
        ::GetClientRect(hWnd, &rc);
    return CRect(rc.left, rc.top, rc.right, rc.bottom);
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    const HWND hWnd = GetSafeHwnd();
    const HWND hControl = hWnd ? ::GetDlgItem(hWnd, nID) : nullptr;
    if (!hControl)
        return nullptr;
    // One wrapper per id, kept: callers may hold on to it.
    std::unique_ptr<CWnd>& pItem = m_dlgItems[nID];
    if (!pItem)
        pItem = std::make_unique<CWnd>();
    if (pItem->GetSafeHwnd() != hControl)
        pItem->Attach(hControl, false);
    return pItem.get();
}

void CWnd::BeginWaitCursor()
{
    AfxDoWaitCursor(1);
}

void CWnd::EndWaitCursor()
{
    AfxDoWaitCursor(-1);
}

void CWnd::SetKeyHandler(KeyHandler handler)
{
    const HWND hWnd = GetSafeHwnd();
    if (!hWnd)
        return;
    ForgetKeyHandler(*m_pPlatform);
    m_pPlatform->keyHandler = std::move(handler);
    if (m_pPlatform->keyHandler || m_pPlatform->preTranslateMessage)
        KeyHandlers()[hWnd] = m_pPlatform.get();
}

void AfxSetPreTranslateMessage(CWnd& wnd, std::function<bool(MSG* pMsg)> handler)
{
    CWndPlatform& platform = wnd.GetPlatform();
    if (!platform.hWnd)
        return;
    ForgetKeyHandler(platform);
    platform.preTranslateMessage = std::move(handler);
    if (platform.keyHandler || platform.preTranslateMessage)
        KeyHandlers()[platform.hWnd] = &platform;
}

int CWnd::RunModalLoop()
{
    const HWND hWnd = GetSafeHwnd();
    if (!m_bContinueModal || !hWnd)
        return m_nModalResult;
    if (!::IsWindowVisible(hWnd))
        ::ShowWindow(hWnd, SW_SHOW);
    MSG msg;
    while (m_bContinueModal) {
        const BOOL bGot = GetMessageW(&msg, nullptr, 0, 0);
        if (bGot == 0 || bGot == -1) {
            // The thread is asked to end: the loop ends as a failure, and
            // the request stays for the loop around this one.
            if (bGot == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            EndModalLoop(-1);
            break;
        }
        const HWND hLoopWnd = GetSafeHwnd();
        if (!hLoopWnd) {
            // The window went away under the loop (its owner was destroyed).
            EndModalLoop(-1);
            break;
        }
        if (PreTranslate(msg, hLoopWnd))
            continue;
        const auto isDialogMessage = m_pPlatform->isDialogMessage;
        if (isDialogMessage ? isDialogMessage(&msg) : IsDialogMessageW(hLoopWnd, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult)
{
    if (!m_bContinueModal)
        return;
    m_bContinueModal = false;
    m_nModalResult = nResult;
    // Wakes the loop if it waits for a message.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

int CWnd::GetDlgCtrlID(HWND hWnd)
{
    return hWnd ? ::GetDlgCtrlID(hWnd) : 0;
}

void CWnd::SetDlgCtrlID(HWND hWnd, int nID)
{
    if (hWnd)
        SetWindowLongPtrW(hWnd, GWLP_ID, nID);
}

void CWnd::GotoFirstTabStop()
{
    const HWND hWnd = GetSafeHwnd();
    if (!hWnd)
        return;
    if (HWND hControl = GetNextDlgTabItem(hWnd, nullptr, FALSE)) {
        // As the dialog manager does: the text of an edit box is selected.
        if (SendMessageW(hControl, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            SendMessageW(hControl, EM_SETSEL, 0, -1);
        ::SetFocus(hControl);
    }
}
