#include "list_ctrl.h"

#include "exception_report.h"
#include "wide_text.h"

#include <algorithm>
#include <climits>

namespace
{

// The list's own window: tells the parent's hook to go when the list goes.
// Its reference data is the parent the list was hooked into.
LRESULT CALLBACK ListProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR nID,
                          DWORD_PTR nParent);

// The list's parent, which the list view tells of its changes and clicks.
LRESULT CALLBACK ParentProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR nID,
                            DWORD_PTR pList);

void Unhook(HWND hList, UINT_PTR nID)
{
    DWORD_PTR nParent = 0;
    if (!::GetWindowSubclass(hList, ListProc, nID, &nParent))
        return;
    ::RemoveWindowSubclass(reinterpret_cast<HWND>(nParent), ParentProc, nID);
    ::RemoveWindowSubclass(hList, ListProc, nID);
}

LRESULT CALLBACK ListProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR nID,
                          DWORD_PTR /*nParent*/)
{
    if (nMsg == WM_NCDESTROY)
        Unhook(hWnd, nID);
    return ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
}

LVITEMW TextItem(int nItem, int nSubItem, const CString& strText)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPWSTR>(WideText(strText));
    return item;
}

} // namespace

// Friend of CListCtrl through its notification routine: the parent's hook
// hands the list's own notifications to the wrapper.
class CListCtrlNotifications
{
public:
    static void Notify(CListCtrl& list, const NMHDR& header)
    {
        if (header.code == LVN_ITEMCHANGED) {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            const UINT nWatched = LVIS_SELECTED | LVIS_FOCUSED;
            if ((change.uChanged & LVIF_STATE) &&
                ((change.uOldState ^ change.uNewState) & nWatched) && change.iItem >= 0)
                list.NotifyItemChanged(change.iItem);
        } else if (header.code == NM_DBLCLK && list.m_onDblClk) {
            AfxCallHandler(list.GetSafeHwnd(), list.m_onDblClk);
        }
    }
};

namespace
{

LRESULT CALLBACK ParentProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR /*nID*/,
                            DWORD_PTR pList)
{
    if (nMsg == WM_NOTIFY) {
        auto& list = *reinterpret_cast<CListCtrl*>(pList);
        const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (pHeader && pHeader->hwndFrom == list.GetSafeHwnd())
            CListCtrlNotifications::Notify(list, *pHeader);
    }
    return ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
}

} // namespace

CListCtrl::~CListCtrl()
{
    if (HWND hList = GetSafeHwnd())
        Unhook(hList, reinterpret_cast<UINT_PTR>(this));
}

void CListCtrl::PreSubclassWindow()
{
    const HWND hList = GetSafeHwnd();
    const HWND hParent = hList ? ::GetParent(hList) : nullptr;
    if (!hParent)
        return;
    const auto nID = reinterpret_cast<UINT_PTR>(this);
    Unhook(hList, nID);
    ::SetWindowSubclass(hList, ListProc, nID, reinterpret_cast<DWORD_PTR>(hParent));
    ::SetWindowSubclass(hParent, ParentProc, nID, reinterpret_cast<DWORD_PTR>(this));
    // A row is picked by a click anywhere in it, as the entry lists need.
    ListView_SetExtendedListViewStyleEx(hList, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void CListCtrl::NotifyItemChanged(int nItem)
{
    if (m_nQuiet > 0 || !m_onItemChanged)
        return;
    AfxCallHandler(GetSafeHwnd(), [this, nItem] { m_onItemChanged(nItem); });
}

int CListCtrl::InsertColumn(int nCol, const CString& strHeading, int nFormat, int nWidth,
                            int nSubItem)
{
    const HWND hList = GetSafeHwnd();
    if (!hList || nCol < 0)
        return -1;
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = nFormat;
    column.pszText = const_cast<LPWSTR>(WideText(strHeading));
    if (nWidth >= 0) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem >= 0) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return static_cast<int>(::SendMessageW(hList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(nCol),
                                           reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::GetColumnCount() const
{
    const HWND hList = GetSafeHwnd();
    const HWND hHeader = hList ? ListView_GetHeader(hList) : nullptr;
    return hHeader ? std::max(0, Header_GetItemCount(hHeader)) : 0;
}

bool CListCtrl::SetColumnWidth(int nCol, int cx)
{
    const HWND hList = GetSafeHwnd();
    if (!hList || nCol < 0 || nCol >= GetColumnCount())
        return false;
    int nWidth = static_cast<short>(cx & 0xFFFF);
    if (nWidth < 0 && nWidth != LVSCW_AUTOSIZE && nWidth != LVSCW_AUTOSIZE_USEHEADER)
        nWidth = 0;
    return ListView_SetColumnWidth(hList, nCol, nWidth) != FALSE;
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    const HWND hList = GetSafeHwnd();
    if (!hList || nCol < 0 || nCol >= GetColumnCount())
        return 0;
    return ListView_GetColumnWidth(hList, nCol);
}

int CListCtrl::InsertItem(int nItem, const CString& strText)
{
    const HWND hList = GetSafeHwnd();
    if (!hList || nItem < 0)
        return -1;
    LVITEMW item = TextItem(std::min(nItem, GetItemCount()), 0, strText);
    return static_cast<int>(
        ::SendMessageW(hList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int nItem, int nSubItem, const CString& strText)
{
    const HWND hList = GetSafeHwnd();
    if (!hList || nItem < 0 || nItem >= GetItemCount() || nSubItem < 0)
        return false;
    LVITEMW item = TextItem(nItem, nSubItem, strText);
    return ::SendMessageW(hList, LVM_SETITEMTEXTW, static_cast<WPARAM>(nItem),
                          reinterpret_cast<LPARAM>(&item)) != FALSE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    const HWND hList = GetSafeHwnd();
    if (!hList || nItem < 0 || nItem >= GetItemCount() || nSubItem < 0)
        return CString();
    // The list copies at most the buffer's length and tells how much it
    // copied: a buffer it filled up may have been too short.
    CString strText(255, u'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = nSubItem;
        item.pszText = reinterpret_cast<LPWSTR>(strText.data());
        item.cchTextMax = static_cast<int>(strText.size()) + 1;
        const auto nCopied = static_cast<std::size_t>(::SendMessageW(
            hList, LVM_GETITEMTEXTW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
        if (nCopied < strText.size() || strText.size() >= INT_MAX / 4) {
            strText.resize(std::min(nCopied, strText.size()));
            return strText;
        }
        strText.assign(strText.size() * 4 + 3, u'\0');
    }
}

bool CListCtrl::DeleteItem(int nItem)
{
    const HWND hList = GetSafeHwnd();
    if (!hList || nItem < 0)
        return false;
    // A row goes without a word, even the focused or selected one.
    ++m_nQuiet;
    const bool bDone = ListView_DeleteItem(hList, nItem) != FALSE;
    --m_nQuiet;
    return bDone;
}

bool CListCtrl::DeleteAllItems()
{
    const HWND hList = GetSafeHwnd();
    if (!hList)
        return false;
    // The list may tell of the focus and the selection it drops with them.
    ++m_nQuiet;
    const bool bDone = ListView_DeleteAllItems(hList) != FALSE;
    --m_nQuiet;
    return bDone;
}

int CListCtrl::GetItemCount() const
{
    const HWND hList = GetSafeHwnd();
    return hList ? ListView_GetItemCount(hList) : 0;
}

bool CListCtrl::SetItemState(int nItem, unsigned nState, unsigned nMask)
{
    const HWND hList = GetSafeHwnd();
    if (!hList || nItem < 0 || nItem >= GetItemCount())
        return false;
    LVITEMW item{};
    item.stateMask = nMask;
    item.state = nState;
    return ::SendMessageW(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(nItem),
                          reinterpret_cast<LPARAM>(&item)) != FALSE;
}

bool CListCtrl::SelectItems(const std::vector<int>& items)
{
    const HWND hList = GetSafeHwnd();
    const int nCount = GetItemCount();
    if (!hList || !std::is_sorted(items.begin(), items.end()) ||
        (!items.empty() && (items.front() < 0 || items.back() >= nCount)))
        return false;
    if (items.empty())
        return true;
    if (::GetWindowLongPtrW(hList, GWL_STYLE) & LVS_SINGLESEL)
        return SetItemState(items.back(), LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
    ++m_nQuiet;
    for (const int nItem : items)
        ListView_SetItemState(hList, nItem, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(hList, items.back(), LVIS_FOCUSED, LVIS_FOCUSED);
    --m_nQuiet;
    NotifyItemChanged(items.back());
    return true;
}

unsigned CListCtrl::GetItemState(int nItem, unsigned nMask) const
{
    const HWND hList = GetSafeHwnd();
    if (!hList || nItem < 0 || nItem >= GetItemCount())
        return 0;
    return ListView_GetItemState(hList, nItem, nMask) & nMask;
}

int CListCtrl::GetNextItem(int nItem, unsigned nFlags) const
{
    const HWND hList = GetSafeHwnd();
    return hList ? ListView_GetNextItem(hList, std::max(-1, nItem), nFlags) : -1;
}

unsigned CListCtrl::GetSelectedCount() const
{
    const HWND hList = GetSafeHwnd();
    return hList ? ListView_GetSelectedCount(hList) : 0;
}

int CListCtrl::FindItem(const CString& strText, int nStart) const
{
    const HWND hList = GetSafeHwnd();
    if (!hList)
        return -1;
    // The list's own search compares as the system sorts words, where a
    // hyphen or an apostrophe counts for nothing; a name is compared whole.
    const CString strWanted = FoldCase(strText);
    const int nCount = GetItemCount();
    for (int i = std::max(-1, nStart) + 1; i < nCount; ++i)
        if (FoldCase(GetItemText(i, 0)) == strWanted)
            return i;
    return -1;
}

void CListCtrl::SetItemChangedHandler(std::function<void(int)> handler)
{
    m_onItemChanged = std::move(handler);
}

void CListCtrl::SetDblClkHandler(std::function<void()> handler)
{
    m_onDblClk = std::move(handler);
}
