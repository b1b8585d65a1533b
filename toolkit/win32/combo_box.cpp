#include "combo_box.h"

#include "wide_text.h"

#include <windows.h>

#include <algorithm>

namespace
{

// The width the open list needs for the text to show whole beside its scroll bar.
int ListWidthFor(HWND hCombo, const CString& strText)
{
    const HDC hDC = ::GetDC(hCombo);
    if (!hDC)
        return 0;
    const auto hFont = reinterpret_cast<HFONT>(::SendMessageW(hCombo, WM_GETFONT, 0, 0));
    const HGDIOBJ hOldFont = hFont ? ::SelectObject(hDC, hFont) : nullptr;
    SIZE extent{};
    ::GetTextExtentPoint32W(hDC, WideText(strText), static_cast<int>(strText.size()), &extent);
    if (hOldFont)
        ::SelectObject(hDC, hOldFont);
    ::ReleaseDC(hCombo, hDC);
    return extent.cx + ::GetSystemMetrics(SM_CXVSCROLL) + 4 * ::GetSystemMetrics(SM_CXEDGE);
}

} // namespace

void CComboBox::ResetContent()
{
    if (const HWND hCombo = GetSafeHwnd()) {
        ::SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
        ::SendMessageW(hCombo, CB_SETDROPPEDWIDTH, 0, 0);
    }
}

int CComboBox::AddString(const CString& strText)
{
    const HWND hCombo = GetSafeHwnd();
    if (!hCombo)
        return -1;
    const LRESULT nIndex =
        ::SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(strText)));
    // The open list grows to the longest name instead of cutting it; it is
    // never narrower than the box.
    const int nWidth = ListWidthFor(hCombo, strText);
    if (nWidth > ::SendMessageW(hCombo, CB_GETDROPPEDWIDTH, 0, 0))
        ::SendMessageW(hCombo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(nWidth), 0);
    return nIndex < 0 ? -1 : static_cast<int>(nIndex);
}

int CComboBox::SetCurSel(int nSelect)
{
    const HWND hCombo = GetSafeHwnd();
    if (!hCombo)
        return -1;
    // The box keeps its current item when told of one it does not have.
    if (nSelect < 0 || nSelect >= GetCount()) {
        ::SendMessageW(hCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return -1;
    }
    const LRESULT nIndex = ::SendMessageW(hCombo, CB_SETCURSEL, static_cast<WPARAM>(nSelect), 0);
    return nIndex < 0 ? -1 : static_cast<int>(nIndex);
}

int CComboBox::GetCurSel() const
{
    const HWND hCombo = GetSafeHwnd();
    const LRESULT nIndex = hCombo ? ::SendMessageW(hCombo, CB_GETCURSEL, 0, 0) : CB_ERR;
    return nIndex < 0 ? -1 : static_cast<int>(nIndex);
}

int CComboBox::GetCount() const
{
    const HWND hCombo = GetSafeHwnd();
    const LRESULT nCount = hCombo ? ::SendMessageW(hCombo, CB_GETCOUNT, 0, 0) : 0;
    return nCount < 0 ? 0 : static_cast<int>(nCount);
}

CString CComboBox::GetLBText(int nIndex) const
{
    const HWND hCombo = GetSafeHwnd();
    if (!hCombo || nIndex < 0 || nIndex >= GetCount())
        return CString();
    const LRESULT nLength = ::SendMessageW(hCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    if (nLength <= 0)
        return CString();
    CString strText(static_cast<std::size_t>(nLength) + 1, u'\0');
    const LRESULT nCopied = ::SendMessageW(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(nIndex),
                                           reinterpret_cast<LPARAM>(strText.data()));
    strText.resize(nCopied < 0 ? 0 : std::min(static_cast<std::size_t>(nCopied), strText.size()));
    return strText;
}
