#include "list_ctrl.h"

#include "exception_report.h"
#include "wide_text.h"

#include <algorithm>
#include <climits>

namespace
{

LVITEMW TextItem(int nItem, int nSubItem, const CString& strText)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPWSTR>(WideText(strText));
    return item;
}

// The space the list leaves between a cell's edges and its text.
const int kCellPadding = 12;

} // namespace

// The list's hooks: its parent, which the list view tells of its changes and
// clicks, and the list itself, for the tip of a text its cell cuts short.
class CListCtrlNotifications
{
public:
    static void Hook(CListCtrl& list)
    {
        const HWND hList = list.GetSafeHwnd();
        const HWND hParent = hList ? ::GetParent(hList) : nullptr;
        if (!hParent)
            return;
        Unhook(list);
        ::SetWindowSubclass(hList, ListProc, Id(list), reinterpret_cast<DWORD_PTR>(&list));
        ::SetWindowSubclass(hParent, ParentProc, Id(list), reinterpret_cast<DWORD_PTR>(&list));
        list.m_hCutTextTip = ::CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
            0, 0, hList, nullptr,
            reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hList, GWLP_HINSTANCE)), nullptr);
        if (list.m_hCutTextTip) {
            // One tool, the cell under the mouse while its text is cut; an
            // empty rectangle otherwise, which shows nothing.
            TOOLINFOW tool = Tool(list);
            tool.lpszText = LPSTR_TEXTCALLBACKW;
            ::SendMessageW(list.m_hCutTextTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            // Long names and addresses on lines of their own, not one across the screen.
            ::SendMessageW(list.m_hCutTextTip, TTM_SETMAXTIPWIDTH, 0, 600);
        }
    }

    static void Unhook(CListCtrl& list)
    {
        if (list.m_hCutTextTip) {
            ::DestroyWindow(list.m_hCutTextTip);
            list.m_hCutTextTip = nullptr;
        }
        // Either hook may be missing; removing a missing one does nothing.
        const HWND hList = list.GetSafeHwnd();
        if (!hList)
            return;
        ::RemoveWindowSubclass(::GetParent(hList), ParentProc, Id(list));
        ::RemoveWindowSubclass(hList, ListProc, Id(list));
    }

private:
    static UINT_PTR Id(const CListCtrl& list) { return reinterpret_cast<UINT_PTR>(&list); }

    static TOOLINFOW Tool(const CListCtrl& list)
    {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = list.GetSafeHwnd();
        tool.uId = 1;
        return tool;
    }

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

    // The mouse went to another cell: the tip covers it if its text is cut.
    static void FollowMouse(CListCtrl& list, LPARAM lParam)
    {
        const HWND hList = list.GetSafeHwnd();
        LVHITTESTINFO hit{};
        hit.pt = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::SendMessageW(hList, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        const bool bOnText = hit.iItem >= 0 && (hit.flags & LVHT_ONITEM);
        const int nItem = bOnText ? hit.iItem : -1;
        const int nSubItem = bOnText ? hit.iSubItem : -1;
        if (nItem == list.m_nTipItem && nSubItem == list.m_nTipSubItem)
            return;
        list.m_nTipItem = nItem;
        list.m_nTipSubItem = nSubItem;
        list.m_strTip.clear();
        TOOLINFOW tool = Tool(list);
        if (bOnText) {
            RECT cell{};
            cell.top = nSubItem;
            cell.left = LVIR_LABEL;
            ::SendMessageW(hList, LVM_GETSUBITEMRECT, static_cast<WPARAM>(nItem),
                           reinterpret_cast<LPARAM>(&cell));
            // Column 0's label rectangle of a row is the whole row's.
            if (nSubItem == 0)
                cell.right = cell.left + ListView_GetColumnWidth(hList, 0);
            const CString strText = list.GetItemText(nItem, nSubItem);
            const int nTextWidth = static_cast<int>(::SendMessageW(
                hList, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(WideText(strText))));
            if (!strText.empty() && nTextWidth + kCellPadding > cell.right - cell.left) {
                list.m_strTip = strText;
                tool.rect = cell;
            }
        }
        ::SendMessageW(list.m_hCutTextTip, TTM_POP, 0, 0);
        ::SendMessageW(list.m_hCutTextTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }

    static LRESULT CALLBACK ListProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR /*nID*/, DWORD_PTR pList)
    {
        CListCtrl& list = *reinterpret_cast<CListCtrl*>(pList);
        if (nMsg == WM_NCDESTROY) {
            Unhook(list);
        } else if (nMsg == WM_NOTIFY && list.m_hCutTextTip &&
                   reinterpret_cast<const NMHDR*>(lParam)->hwndFrom == list.m_hCutTextTip &&
                   reinterpret_cast<const NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
            auto& info = *reinterpret_cast<NMTTDISPINFOW*>(lParam);
            info.lpszText = const_cast<LPWSTR>(WideText(list.m_strTip));
            return 0;
        } else if (list.m_hCutTextTip && nMsg >= WM_MOUSEFIRST && nMsg <= WM_MOUSELAST) {
            if (nMsg == WM_MOUSEMOVE)
                FollowMouse(list, lParam);
            MSG msg{hWnd, nMsg, wParam, lParam, 0, {}};
            ::SendMessageW(list.m_hCutTextTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        }
        return ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
    }

    static LRESULT CALLBACK ParentProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR /*nID*/, DWORD_PTR pList)
    {
        if (nMsg == WM_NOTIFY) {
            auto& list = *reinterpret_cast<CListCtrl*>(pList);
            const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
            if (pHeader && pHeader->hwndFrom == list.GetSafeHwnd())
                Notify(list, *pHeader);
        }
        return ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
    }
};

CListCtrl::~CListCtrl()
{
    CListCtrlNotifications::Unhook(*this);
}

void CListCtrl::PreSubclassWindow()
{
    CListCtrlNotifications::Hook(*this);
    // A row is picked by a click anywhere in it, as the entry lists need.
    if (const HWND hList = GetSafeHwnd())
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
