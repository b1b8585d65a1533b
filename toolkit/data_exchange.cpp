#include "data_exchange.h"

#include "wnd.h"

#include <QComboBox>
#include <QLineEdit>

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.IsWindow())
        rControl.SubclassDlgItem(nIDC, pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int nIDC, QString& value)
{
    auto* pEdit = qobject_cast<QLineEdit*>(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    if (!pEdit)
        return;
    if (pDX->m_bSaveAndValidate)
        value = pEdit->text();
    else
        pEdit->setText(value);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    auto* pCombo = qobject_cast<QComboBox*>(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    if (!pCombo)
        return;
    if (pDX->m_bSaveAndValidate)
        index = pCombo->currentIndex();
    else
        pCombo->setCurrentIndex(index >= 0 && index < pCombo->count() ? index : -1);
}
