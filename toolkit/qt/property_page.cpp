#include "property_page.h"

#include "dialog_template.h"
#include "exception_report.h"
#include "qt_text.h"

#include <QLayout>

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

bool CPropertyPage::CreatePage(HWND hSlot)
{
    if (!CreateDlgWindow(hSlot, true))
        return false;
    m_bFirstSetActive = true;
    QWidget* pSlot = FromHandle(hSlot);
    QWidget* pWindow = FromHandle(GetSafeHwnd());
    if (QLayout* pSlotLayout = pSlot->layout()) {
        pSlotLayout->addWidget(pWindow);
        // A page made after the window has been sized starts at its tab's
        // size, so that what it measures in its initialisation is what the
        // user sees.
        if (pSlot->isVisible()) {
            pSlotLayout->activate();
            pWindow->layout()->activate();
        }
    }
    pWindow->show();
    AfxCallHandler(GetSafeHwnd(), [this] { OnInitDialog(); });
    return true;
}
