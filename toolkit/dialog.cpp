#include "dialog.h"

#include "data_exchange.h"
#include "dialog_template.h"
#include "win_defs.h"

CDialog::CDialog(int nIDTemplate, CWnd* pParentWnd)
    : m_pParentWnd(pParentWnd), m_nIDTemplate(nIDTemplate)
{
}

CDialog::~CDialog()
{
    EndModalLoop(IDCANCEL);
    DestroyWindow();
}

const CDialogTemplate* CDialog::GetTemplate() const
{
    return CDialogTemplate::Find(m_nIDTemplate);
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return true;
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

bool CDialog::OnCommand(int nID, HWND hSource)
{
    if (CWnd::OnCommand(nID, hSource))
        return true;
    switch (nID) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

void CDialog::OnEnterKey()
{
    // As the dialog manager: a disabled default button takes no Enter.
    CWnd* pControl = GetDlgItem(m_nDefID);
    if (pControl && !pControl->IsWindowEnabled())
        return;
    SendCommand(m_nDefID, pControl ? pControl->GetSafeHwnd() : nullptr);
}

void CDialog::OnEscapeKey()
{
    CWnd* pCancel = GetDlgItem(IDCANCEL);
    SendCommand(IDCANCEL, pCancel ? pCancel->GetSafeHwnd() : nullptr);
}

void CDialog::OnCloseBox()
{
    // The close box works only while Cancel, if there is one, is enabled.
    CWnd* pCancel = GetDlgItem(IDCANCEL);
    if (pCancel && !pCancel->IsWindowEnabled())
        return;
    SendCommand(IDCANCEL, pCancel ? pCancel->GetSafeHwnd() : nullptr);
}
