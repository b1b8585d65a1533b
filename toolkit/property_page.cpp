#include "property_page.h"

#include "dialog_template.h"
#include "exception_report.h"

#include <QLayout>

CPropertyPage::CPropertyPage(int nIDTemplate) : CDialog(nIDTemplate) {}

QString CPropertyPage::GetTitle() const
{
    if (!m_strTitle.isEmpty())
        return m_strTitle;
    const CDialogTemplate* pTemplate = GetTemplate();
    return pTemplate ? pTemplate->m_strCaption : QString();
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

bool CPropertyPage::CreatePage(QWidget* pSlot)
{
    if (!CreateDlgWindow(pSlot, true))
        return false;
    m_bFirstSetActive = true;
    QWidget* pWindow = GetSafeHwnd();
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
