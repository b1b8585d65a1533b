#include "main_dialog.h"

#include "win_defs.h"

// The system's own texts (its buttons, an edit box's menu) are in the user's
// language already. What the window keeps: its size right after it was made,
// before the user or a kept size changed it, which is the least its pages allow.
struct CMainDialog::SPlatform {
    CSize leastSize;
};

namespace
{

CSize SizeOf(const RECT& rect)
{
    return {rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

CMainDialog::SPlatform* CMainDialog::MakePlatform()
{
    return new SPlatform;
}

void CMainDialog::DeletePlatform(SPlatform* pPlatform)
{
    delete pPlatform;
}

void CMainDialog::MakeOkNotDefault()
{
    // The dialog manager draws a default button with a thick frame and would
    // press it on Enter; the hidden OK button is neither.
    if (CWnd* pOK = GetDlgItem(IDOK))
        ::SendMessageW(pOK->GetSafeHwnd(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
}

CSize CMainDialog::LeastSize() const
{
    // First asked as the window opens, before anything resized it: the sheet
    // has just been cut at its hidden button row.
    if (m_pPlatform->leastSize == CSize{}) {
        RECT rect{};
        if (::GetWindowRect(GetSafeHwnd(), &rect))
            m_pPlatform->leastSize = SizeOf(rect);
    }
    return m_pPlatform->leastSize;
}

CSize CMainDialog::ScreenRoom() const
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromWindow(GetSafeHwnd(), MONITOR_DEFAULTTONEAREST), &info))
        return {};
    return SizeOf(info.rcWork);
}

CSize CMainDialog::NormalSize() const
{
    // The placement's normal position is the size the window has, or had
    // before it was maximized.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!::GetWindowPlacement(GetSafeHwnd(), &placement))
        return {};
    return SizeOf(placement.rcNormalPosition);
}

bool CMainDialog::IsMaximized() const
{
    return ::IsZoomed(GetSafeHwnd()) != FALSE;
}

void CMainDialog::Resize(const CSize& size)
{
    ::SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainDialog::Maximize()
{
    ::ShowWindow(GetSafeHwnd(), SW_MAXIMIZE);
}
