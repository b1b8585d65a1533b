#include "wnd.h"

#include "exception_report.h"
#include "message_box.h"
#include "win_defs.h"

bool CWnd::SubclassDlgItem(int nID, CWnd* pParent)
{
    CWnd* pControl = pParent ? pParent->GetDlgItem(nID) : nullptr;
    if (!pControl)
        return false;
    Attach(pControl->GetSafeHwnd(), false);
    return true;
}

void CWnd::SetDlgItemText(int nID, const CString& strText)
{
    if (CWnd* pControl = GetDlgItem(nID))
        pControl->SetWindowText(strText);
}

CString CWnd::GetDlgItemText(int nID) const
{
    const CWnd* pControl = GetDlgItem(nID);
    return pControl ? pControl->GetWindowText() : CString();
}

int CWnd::MessageBox(const CString& strText, const CString& strCaption, unsigned nType)
{
    return AfxMessageBox(GetSafeHwnd(), strText, strCaption, nType);
}

void CWnd::SendCommand(int nID, HWND hSource)
{
    AfxCallHandler(GetSafeHwnd(), [&] { OnCommand(nID, hSource); });
}

void CWnd::BeginModalState()
{
    m_bContinueModal = true;
    m_nModalResult = -1;
}

bool CWnd::OnCommand(int nID, HWND /*hSource*/)
{
    const auto it = m_commandMap.find(nID);
    if (it == m_commandMap.end())
        return false;
    // The handler may remap commands; run a copy.
    const std::function<void()> handler = it->second;
    handler();
    return true;
}

void CWnd::MapCommand(int nID, std::function<void()> handler)
{
    m_commandMap[nID] = std::move(handler);
}
