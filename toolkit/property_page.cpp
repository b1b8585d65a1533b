#include "property_page.h"

#include "dialog_template.h"

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
