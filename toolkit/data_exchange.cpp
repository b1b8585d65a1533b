#include "data_exchange.h"

#include "combo_box.h"
#include "wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.IsWindow())
        rControl.SubclassDlgItem(nIDC, pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    CWnd* pEdit = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (!pEdit)
        return;
    if (pDX->m_bSaveAndValidate)
        value = pEdit->GetWindowText();
    else
        pEdit->SetWindowText(value);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    CComboBox combo;
    if (!combo.SubclassDlgItem(nIDC, pDX->m_pDlgWnd))
        return;
    if (pDX->m_bSaveAndValidate)
        index = combo.GetCurSel();
    else
        combo.SetCurSel(index);
}
