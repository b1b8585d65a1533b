#include "list_columns.h"

#include "list_ctrl.h"
#include "win_defs.h"

#include <algorithm>

void InsertListColumns(CListCtrl& list)
{
    list.InsertColumn(0, u"Nimi", LVCFMT_LEFT);
    list.InsertColumn(1, u"Kodeering", LVCFMT_LEFT);
    list.InsertColumn(2, u"Sõnastikuprogramm", LVCFMT_LEFT);
}

void SizeListColumns(CListCtrl& list)
{
    const int nWidth = list.GetClientRect().Width();
    if (list.GetItemCount() > 0) {
        // Fitted to the texts and to the heading, so that a column of short
        // texts ("utf8") does not cut its heading ("Kodeering") off.
        list.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
        list.SetColumnWidth(1, LVSCW_AUTOSIZE_USEHEADER);
        if (list.GetColumnWidth(0) > nWidth / 2)
            list.SetColumnWidth(0, nWidth / 2);
    } else {
        list.SetColumnWidth(0, nWidth / 3);
        list.SetColumnWidth(1, nWidth / 4);
    }
    // When the first two already fill the width the last one shrinks to
    // nothing; a width of -1 or -2 would be read as "fit the texts".
    const int nRest = nWidth - list.GetColumnWidth(0) - list.GetColumnWidth(1);
    list.SetColumnWidth(2, std::max(0, nRest));
}
