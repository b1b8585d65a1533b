#include "property_page.h"

#include "dialog_template.h"
#include "exception_report.h"
#include "page_layout.h"
#include "wnd_platform.h"

CPropertyPage::CPropertyPage(int nIDTemplate) : CDialog(nIDTemplate) {}

CString CPropertyPage::GetTitle() const
{
    if (!m_strTitle.empty())
        return m_strTitle;
    const CDialogTemplate* pTemplate = GetTemplate();
    return pTemplate ? pTemplate->m_strCaption : CString();
}

bool CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = false;
    else
        UpdateData(false);
    return true;
}

bool CPropertyPage::OnKillActive()
{
    return UpdateData(true);
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

void CPropertyPage::OnReset()
{
    OnCancel();
}

// The sheet has made the page's window from its template: the wrapper takes
// it (the sheet destroys it), fills the combo boxes' lists and initialises.
bool CPropertyPage::CreatePage(HWND hPage)
{
    const CDialogTemplate* pTemplate = GetTemplate();
    if (!pTemplate || !hPage)
        return false;
    Attach(hPage, false);
    for (const CDialogTemplate::Item& item : pTemplate->m_items)
        for (const CString& strItem : item.initItems)
            SendDlgItemMessageW(hPage, item.nID, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(strItem.c_str()));
    GetPlatform().pLayout = std::make_shared<CPageLayout>(hPage, *pTemplate);
    m_bFirstSetActive = true;
    AfxCallHandler(hPage, [this] { OnInitDialog(); });
    return true;
}
