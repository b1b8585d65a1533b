#include "tool_bar_ctrl.h"

#include "exception_report.h"
#include "wide_text.h"
#include "wnd_platform.h"

#include <algorithm>

namespace
{

LRESULT CALLBACK ToolBarProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR nID,
                             DWORD_PTR pToolBar);

} // namespace

// Answers the tooltip's need-text requests, which the tooltip sends to the
// toolbar with the button's command id as the tool's id, from the toolbar's
// own OnNeedToolTipText, in either form the tooltip asks in.
class ToolTipFilter
{
public:
    static bool Answer(CToolBarCtrl& toolBar, NMHDR& header)
    {
        CString strText;
        const int nID = static_cast<int>(header.idFrom);
        if (!AfxCallHandler(toolBar.GetSafeHwnd(),
                            [&] { strText = toolBar.OnNeedToolTipText(nID); }) ||
            strText.empty())
            return false;
        if (header.code == TTN_GETDISPINFOW) {
            auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
            const std::size_t nLength = std::min(strText.size(), std::size(info.szText) - 1);
            std::copy_n(WideText(strText), nLength, info.szText);
            info.szText[nLength] = L'\0';
            info.lpszText = info.szText;
            info.hinst = nullptr;
        } else {
            auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
            const int nBytes = ::WideCharToMultiByte(
                CP_ACP, 0, WideText(strText), static_cast<int>(strText.size()), info.szText,
                static_cast<int>(std::size(info.szText)) - 1, nullptr, nullptr);
            info.szText[std::max(0, nBytes)] = '\0';
            info.lpszText = info.szText;
            info.hinst = nullptr;
        }
        return true;
    }
};

namespace
{

LRESULT CALLBACK ToolBarProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR nID,
                             DWORD_PTR pToolBar)
{
    if (nMsg == WM_NOTIFY && lParam) {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if ((header.code == TTN_GETDISPINFOW || header.code == TTN_GETDISPINFOA) &&
            ToolTipFilter::Answer(*reinterpret_cast<CToolBarCtrl*>(pToolBar), header))
            return 0;
    } else if (nMsg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hWnd, ToolBarProc, nID);
    }
    return ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
}

} // namespace

CToolBarCtrl::~CToolBarCtrl()
{
    if (const HWND hBar = GetSafeHwnd())
        ::RemoveWindowSubclass(hBar, ToolBarProc, reinterpret_cast<UINT_PTR>(this));
}

bool CToolBarCtrl::Create(unsigned dwStyle, const CRect& rect, CWnd* pParentWnd, int nID)
{
    const HWND hParent = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    if (!hParent || IsWindow())
        return false;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    m_dwStyle = dwStyle;
    const HWND hBar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, dwStyle | WS_CHILD,
                                        rect.left, rect.top, rect.Width(), rect.Height(), hParent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(nID)),
                                        AfxGetResourceHandle(), nullptr);
    if (!hBar)
        return false;
    ::SendMessageW(hBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(hBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(kImageSize.cx, kImageSize.cy));
    ::SetWindowSubclass(hBar, ToolBarProc, reinterpret_cast<UINT_PTR>(this),
                        reinterpret_cast<DWORD_PTR>(this));
    Attach(hBar, true);
    if (m_pOwner)
        SetOwner(m_pOwner);
    return true;
}

int CToolBarCtrl::AddBitmap(int nNumButtons, int nBitmapID)
{
    const HWND hBar = GetSafeHwnd();
    if (!hBar || nNumButtons <= 0)
        return -1;
    // The toolbar takes whatever the resource holds; a strip too narrow for
    // the cells asked for would give buttons without images.
    const HINSTANCE hModule = AfxGetResourceHandle();
    const auto hStrip = static_cast<HBITMAP>(
        ::LoadImageW(hModule, MAKEINTRESOURCEW(nBitmapID), IMAGE_BITMAP, 0, 0, 0));
    if (!hStrip)
        return -1;
    BITMAP strip{};
    const bool bFits = ::GetObjectW(hStrip, sizeof(strip), &strip) == sizeof(strip) &&
                       strip.bmHeight >= kImageSize.cy &&
                       strip.bmWidth >= nNumButtons * kImageSize.cx;
    ::DeleteObject(hStrip);
    if (!bFits)
        return -1;
    // Loaded by the toolbar itself, which shows the strip's light grey as
    // the buttons' face.
    TBADDBITMAP bitmap{hModule, static_cast<UINT_PTR>(nBitmapID)};
    const LRESULT nFirst = ::SendMessageW(hBar, TB_ADDBITMAP, static_cast<WPARAM>(nNumButtons),
                                          reinterpret_cast<LPARAM>(&bitmap));
    return nFirst < 0 ? -1 : static_cast<int>(nFirst);
}

bool CToolBarCtrl::AddButtons(int nNumButtons, const TBBUTTON* pButtons)
{
    const HWND hBar = GetSafeHwnd();
    if (!hBar || !pButtons || nNumButtons < 0)
        return false;
    return ::SendMessageW(hBar, TB_ADDBUTTONSW, static_cast<WPARAM>(nNumButtons),
                          reinterpret_cast<LPARAM>(pButtons)) != FALSE;
}

void CToolBarCtrl::AutoSize()
{
    if (const HWND hBar = GetSafeHwnd())
        ::SendMessageW(hBar, TB_AUTOSIZE, 0, 0);
}

void CToolBarCtrl::SetOwner(CWnd* pOwner)
{
    m_pOwner = pOwner;
    if (const HWND hBar = GetSafeHwnd())
        ::SendMessageW(hBar, TB_SETPARENT,
                       reinterpret_cast<WPARAM>(pOwner ? pOwner->GetSafeHwnd() : nullptr), 0);
}

bool CToolBarCtrl::EnableButton(int nID, bool bEnable)
{
    const HWND hBar = GetSafeHwnd();
    return hBar && ::SendMessageW(hBar, TB_ENABLEBUTTON, static_cast<WPARAM>(nID),
                                  MAKELPARAM(bEnable ? TRUE : FALSE, 0)) != FALSE;
}

bool CToolBarCtrl::IsButtonEnabled(int nID) const
{
    const HWND hBar = GetSafeHwnd();
    // -1 for a button the toolbar does not have.
    const LRESULT nState =
        hBar ? ::SendMessageW(hBar, TB_GETSTATE, static_cast<WPARAM>(nID), 0) : -1;
    return nState != -1 && (nState & TBSTATE_ENABLED);
}

int CToolBarCtrl::GetButtonCount() const
{
    const HWND hBar = GetSafeHwnd();
    return hBar ? static_cast<int>(::SendMessageW(hBar, TB_BUTTONCOUNT, 0, 0)) : 0;
}

HWND CToolBarCtrl::GetButton(int /*nID*/) const
{
    // The buttons are drawn parts of the toolbar's one window.
    return nullptr;
}

CString CToolBarCtrl::OnNeedToolTipText(int /*nID*/)
{
    return CString();
}
