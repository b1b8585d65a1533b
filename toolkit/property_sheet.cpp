#include "property_sheet.h"

#include "exception_report.h"
#include "property_page.h"
#include "win_defs.h"

CPropertySheet::CPropertySheet(CString strCaption, CWnd* pParentWnd, int iSelectPage)
    : m_strCaption(std::move(strCaption)), m_pParentWnd(pParentWnd), m_nStartPage(iSelectPage)
{
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage)
        return;
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<std::size_t>(nPage)]
                                                : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const
{
    for (int i = 0; i < GetPageCount(); ++i)
        if (m_pages[static_cast<std::size_t>(i)] == pPage)
            return i;
    return -1;
}

bool CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    return SetActivePage(GetPageIndex(pPage));
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return GetPage(m_nActive);
}

void CPropertySheet::PressOK()
{
    if (CPropertyPage* pActive = GetActivePage()) {
        bool bLeave = false;
        AfxCallHandler(GetSafeHwnd(), [&] { bLeave = pActive->OnKillActive(); });
        if (!bLeave)
            return;
    }
    for (CPropertyPage* pPage : m_pages)
        if (pPage->IsWindow())
            AfxCallHandler(GetSafeHwnd(), [pPage] { pPage->OnOK(); });
    AfxCallHandler(GetSafeHwnd(), [this] { OnClosing(); });
    EndDialog(IDOK);
}

void CPropertySheet::PressCancel()
{
    for (CPropertyPage* pPage : m_pages)
        if (pPage->IsWindow())
            AfxCallHandler(GetSafeHwnd(), [pPage] { pPage->OnReset(); });
    AfxCallHandler(GetSafeHwnd(), [this] { OnClosing(); });
    EndDialog(IDCANCEL);
}

bool CPropertySheet::OnCommand(int nID, HWND hSource)
{
    if (CWnd::OnCommand(nID, hSource))
        return true;
    switch (nID) {
    case IDOK:
        PressOK();
        return true;
    case IDCANCEL:
        PressCancel();
        return true;
    case ID_APPLY_NOW:
    case IDHELP:
        return true;
    default:
        // Commands the sheet does not know belong to the page on show; Enter
        // does nothing there when that page's control is disabled (Windows'
        // dialog manager sends the default id's command all the same).
        if (CPropertyPage* pPage = GetActivePage()) {
            const CWnd* pControl = pPage->GetDlgItem(nID);
            if (!pControl || pControl->IsWindowEnabled())
                pPage->SendCommand(nID, hSource);
            return true;
        }
        return false;
    }
}
