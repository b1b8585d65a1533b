#pragma once

#include "win_defs.h"
#include "wnd.h"

#include <functional>
#include <vector>

// A list view in report view: rows of texts by column, each row selected
// and/or focused. Rows are never sorted.
class CListCtrl : public CWnd
{
public:
    CListCtrl() = default;
    // Stops listening to the list and its parent; the list itself stays.
    ~CListCtrl() override;

    // Inserts a heading at column nCol (the texts of later columns move right).
    // nWidth -1 keeps the default width. Returns the column's index, -1 on failure.
    int InsertColumn(int nCol, const CString& strHeading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1, int nSubItem = -1);
    int GetColumnCount() const;
    // cx in pixels, passed in its low 16 bits like the list's own message:
    // LVSCW_AUTOSIZE fits the column to its texts, LVSCW_AUTOSIZE_USEHEADER to
    // its texts and heading; any other negative width becomes 0.
    bool SetColumnWidth(int nCol, int cx);
    int GetColumnWidth(int nCol) const;

    // Inserts a row, not selected, with the text of column 0 at nItem (past
    // the end: at the end). Returns the row's index, -1 on failure.
    int InsertItem(int nItem, const CString& strText);
    bool SetItemText(int nItem, int nSubItem, const CString& strText);
    CString GetItemText(int nItem, int nSubItem) const;
    bool DeleteItem(int nItem);
    bool DeleteAllItems();
    int GetItemCount() const;

    // Sets the bits of nMask (LVIS_SELECTED, LVIS_FOCUSED) to those of nState.
    // In a single-selection list, selecting a row clears the others.
    bool SetItemState(int nItem, unsigned nState, unsigned nMask);
    unsigned GetItemState(int nItem, unsigned nMask) const;
    // Selects the rows of items (ascending), keeping those selected before,
    // and focuses the last: what SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED,
    // LVIS_SELECTED | LVIS_FOCUSED) does row after row, in time linear in the
    // rows however many there are. Sends one notification, for the focused
    // row, instead of one per row.
    bool SelectItems(const std::vector<int>& items);
    // The next row after nItem (-1: from the start) with all of nFlags
    // (LVNI_SELECTED, LVNI_FOCUSED; LVNI_ALL any row), or -1.
    int GetNextItem(int nItem, unsigned nFlags) const;
    unsigned GetSelectedCount() const;
    // The first row after nStart whose column-0 text equals strText as a
    // whole, ignoring letter case (all letters, Estonian ones included),
    // without wrapping round; -1 if none (LVFI_STRING).
    int FindItem(const CString& strText, int nStart = -1) const;

    // LVN_ITEMCHANGED: a row's selected or focused state changed, by the user
    // or by SetItemState. Deleting rows sends none.
    void SetItemChangedHandler(std::function<void(int nItem)> handler);
    // NM_DBLCLK: a double click anywhere in the list, rows or not.
    void SetDblClkHandler(std::function<void()> handler);

protected:
    void PreSubclassWindow() override;

private:
    // The platform's relay of the list's notifications to the handlers.
    friend class CListCtrlNotifications;
    void NotifyItemChanged(int nItem);
    // The rows whose state SetItemState(nItem, ..., nMask) may change.
    std::vector<int> RowsTouchedBy(int nItem, unsigned nMask) const;

    std::function<void(int)> m_onItemChanged;
    std::function<void()> m_onDblClk;
    int m_nQuiet = 0;
    // Where the platform shows a cell's text that the cell cuts short: the
    // tip's window, the cell under the mouse and its text.
    HWND m_hCutTextTip = nullptr;
    int m_nTipItem = -1;
    int m_nTipSubItem = -1;
    CString m_strTip;
};
