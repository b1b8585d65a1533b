#include "combo_box.h"

#include <QComboBox>

QComboBox* CComboBox::Combo() const
{
    return qobject_cast<QComboBox*>(GetSafeHwnd());
}

void CComboBox::ResetContent()
{
    if (QComboBox* pCombo = Combo())
        pCombo->clear();
}

int CComboBox::AddString(const QString& strText)
{
    QComboBox* pCombo = Combo();
    if (!pCombo)
        return -1;
    const int nCurrent = pCombo->currentIndex();
    pCombo->addItem(strText);
    // Qt makes the first item of an empty list current; the list control does not.
    if (nCurrent < 0)
        pCombo->setCurrentIndex(-1);
    return pCombo->count() - 1;
}

int CComboBox::SetCurSel(int nSelect)
{
    QComboBox* pCombo = Combo();
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
    QComboBox* pCombo = Combo();
    return pCombo ? pCombo->currentIndex() : -1;
}

int CComboBox::GetCount() const
{
    QComboBox* pCombo = Combo();
    return pCombo ? pCombo->count() : 0;
}

QString CComboBox::GetLBText(int nIndex) const
{
    QComboBox* pCombo = Combo();
    return pCombo && nIndex >= 0 && nIndex < pCombo->count() ? pCombo->itemText(nIndex) : QString();
}
