#include "combo_box.h"

#include "qt_text.h"

#include <QComboBox>

namespace
{

QComboBox* Combo(const CComboBox& combo)
{
    return qobject_cast<QComboBox*>(FromHandle(combo.GetSafeHwnd()));
}

} // namespace

void CComboBox::ResetContent()
{
    if (QComboBox* pCombo = Combo(*this))
        pCombo->clear();
}

int CComboBox::AddString(const CString& strText)
{
    QComboBox* pCombo = Combo(*this);
    if (!pCombo)
        return -1;
    const int nCurrent = pCombo->currentIndex();
    pCombo->addItem(ToQString(strText));
    // Qt makes the first item of an empty list current; the list control does not.
    if (nCurrent < 0)
        pCombo->setCurrentIndex(-1);
    return pCombo->count() - 1;
}

int CComboBox::SetCurSel(int nSelect)
{
    QComboBox* pCombo = Combo(*this);
    if (!pCombo)
        return -1;
    if (nSelect < 0 || nSelect >= pCombo->count()) {
        pCombo->setCurrentIndex(-1);
        return -1;
    }
    pCombo->setCurrentIndex(nSelect);
    return nSelect;
}

int CComboBox::GetCurSel() const
{
    QComboBox* pCombo = Combo(*this);
    return pCombo ? pCombo->currentIndex() : -1;
}

int CComboBox::GetCount() const
{
    QComboBox* pCombo = Combo(*this);
    return pCombo ? pCombo->count() : 0;
}

CString CComboBox::GetLBText(int nIndex) const
{
    QComboBox* pCombo = Combo(*this);
    return pCombo && nIndex >= 0 && nIndex < pCombo->count() ? FromQString(pCombo->itemText(nIndex))
                                                             : CString();
}
