// The catalogue's operations on window controls. They are built with the
// window code, so that the rest of the catalogue stays free of it.
#include "dict_catalogue.h"

#include "combo_box.h"
#include "list_ctrl.h"

void CDictCatalogue::FillComboBox(CComboBox& combo)
{
    combo.ResetContent();
    for (const CDictEntry& entry : entries)
        combo.AddString(entry.name);
    if (entries.empty())
        selection = -1;
    else if (selection < 0)
        selection = 0;
    combo.SetCurSel(selection);
}

int CDictCatalogue::FillListCtrl(CListCtrl& list)
{
    list.DeleteAllItems();
    for (int i = fixedCount; i < GetCount(); ++i) {
        const CDictEntry& entry = GetEntry(i);
        const int nRow = list.InsertItem(i - fixedCount, entry.name);
        list.SetItemText(nRow, 1, entry.encoding);
        list.SetItemText(nRow, 2, entry.programUrl);
    }
    return 0;
}

int CDictCatalogue::UpdateFromListCtrl(CListCtrl& list)
{
    Reset();
    for (int nRow = 0; nRow < list.GetItemCount(); ++nRow)
        AddEntry(CDictEntry(list.GetItemText(nRow, 0), list.GetItemText(nRow, 1),
                            list.GetItemText(nRow, 2)));
    if (selection >= GetCount())
        selection = 0;
    return 0;
}
