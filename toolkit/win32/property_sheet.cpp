#include "property_sheet.h"

#include "exception_report.h"
#include "page_layout.h"
#include "property_page.h"
#include "wnd_platform.h"

#include <commctrl.h>
#include <prsht.h>

namespace
{

// The sheet being made by PropertySheetW, for its callback, which has no
// context of its own.
thread_local bool t_bResizable = false;

int CALLBACK SheetCallback(HWND /*hWnd*/, UINT uMsg, LPARAM lParam)
{
    if (uMsg != PSCB_PRECREATE || !t_bResizable || !lParam)
        return 0;
    // A resizable sheet gets a sizing frame and a maximize box: in the
    // extended template the style follows the version, signature, help id
    // and extended style.
    auto* pWords = reinterpret_cast<WORD*>(lParam);
    DWORD* pStyle = pWords[1] == 0xFFFF ? reinterpret_cast<DWORD*>(pWords + 6)
                                        : reinterpret_cast<DWORD*>(pWords);
    *pStyle |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    return 0;
}

INT_PTR CALLBACK PageProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CPropertyPage* pPage = nullptr;
    if (uMsg == WM_INITDIALOG) {
        const auto* pSheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        pPage = reinterpret_cast<CPropertyPage*>(pSheetPage->lParam);
        SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(pPage));
    } else {
        pPage = reinterpret_cast<CPropertyPage*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    }
    CPropertySheet* pSheet = pPage ? pPage->GetParentSheet() : nullptr;
    if (!pSheet || !pSheet->GetPlatform().pageProc)
        return FALSE;
    // A copy: the sheet may go on to change its handlers.
    const auto pageProc = pSheet->GetPlatform().pageProc;
    LRESULT lResult = 0;
    if (!pageProc(pPage, hWnd, uMsg, wParam, lParam, &lResult))
        return FALSE;
    if (uMsg == WM_INITDIALOG)
        return lResult;
    SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}

// The standard buttons tell the sheet when one of them is hidden.
LRESULT CALLBACK ButtonRowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                               UINT_PTR uIdSubclass, DWORD_PTR dwRefData)
{
    if (uMsg == WM_NCDESTROY) {
        RemoveWindowSubclass(hWnd, ButtonRowProc, uIdSubclass);
    } else if (uMsg == WM_WINDOWPOSCHANGED &&
               (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW)) {
        const LRESULT lResult = DefSubclassProc(hWnd, uMsg, wParam, lParam);
        auto* pPlatform = reinterpret_cast<CWndPlatform*>(dwRefData);
        if (pPlatform->settleLayout && pPlatform->hWnd == GetParent(hWnd)) {
            const auto settleLayout = pPlatform->settleLayout;
            settleLayout(false);
        }
        return lResult;
    }
    return DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

RECT ClientRectIn(HWND hWnd, HWND hParent)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void Grow(HWND hWnd, RECT rc, int dx, int dy)
{
    SetWindowPos(hWnd, nullptr, rc.left, rc.top, rc.right - rc.left + dx, rc.bottom - rc.top + dy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

CPropertySheet::~CPropertySheet()
{
    EndModalLoop(IDCANCEL);
    if (GetPlatform().hDisabledOwner)
        ::EnableWindow(GetPlatform().hDisabledOwner, TRUE);
    DestroyWindow();
}

int CPropertySheet::DoModal()
{
    if (IsWindow() || m_pages.empty())
        return -1;
    BeginModalState();
    if (!CreateSheetWindow()) {
        EndModalLoop(-1);
        return -1;
    }
    CWndPlatform& platform = GetPlatform();
    const HWND hOwner = GetWindow(GetSafeHwnd(), GW_OWNER);
    if (hOwner && ::IsWindowEnabled(hOwner)) {
        ::EnableWindow(hOwner, FALSE);
        platform.hDisabledOwner = hOwner;
    }
    AfxCallHandler(GetSafeHwnd(), [this] { OnInitDialog(); });
    // A sheet that kept its buttons is measured as its initialisation left it.
    if (platform.settleLayout)
        platform.settleLayout(true);
    // The window opens with the focus in the first page's first control.
    if (CPropertyPage* pPage = GetActivePage())
        pPage->GotoFirstTabStop();
    const int nResult = RunModalLoop();
    AfxCallHandler(GetSafeHwnd(), [this] { OnDestroy(); });
    // The owner is enabled before the sheet goes, so that it is activated again.
    if (platform.hDisabledOwner) {
        ::EnableWindow(platform.hDisabledOwner, TRUE);
        platform.hDisabledOwner = nullptr;
    }
    // The pages' windows go with the sheet's.
    for (CPropertyPage* pPage : m_pages)
        pPage->DestroyWindow();
    DestroyWindow();
    platform.bHasBaseLayout = false;
    platform.settleLayout = nullptr;
    m_nActive = -1;
    return nResult;
}

bool CPropertySheet::OnInitDialog()
{
    // The sheet has made and activated its first page already.
    if (m_nActive < 0)
        SetActivePage(m_nStartPage >= 0 && m_nStartPage < GetPageCount() ? m_nStartPage : 0);
    return true;
}

void CPropertySheet::EndDialog(int nEndID)
{
    EndModalLoop(nEndID);
    if (HWND hWnd = GetSafeHwnd())
        ::ShowWindow(hWnd, SW_HIDE);
}

bool CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return false;
    if (!IsWindow()) {
        m_nStartPage = nPage;
        return true;
    }
    if (m_nActive != nPage)
        PropSheet_SetCurSel(GetSafeHwnd(), nullptr, nPage);
    return m_nActive == nPage;
}

void CPropertySheet::SetDefID(int nID)
{
    if (HWND hWnd = GetSafeHwnd())
        SendMessageW(hWnd, DM_SETDEFID, static_cast<WPARAM>(nID), 0);
    else
        AfxCallHandler(nullptr, [this, nID] { OnSetDefId(nID); });
}

HWND CPropertySheet::GetTabControl() const
{
    return IsWindow() ? PropSheet_GetTabControl(GetSafeHwnd()) : nullptr;
}

bool CPropertySheet::OnSetDefId(int nID)
{
    m_nDefID = nID;
    // The dialog manager records it too: Enter asks it for the id.
    GetPlatform().bPassDefId = true;
    return true;
}

bool CPropertySheet::CreateSheetWindow()
{
    const HWND hOwner = m_pParentWnd && m_pParentWnd->GetSafeHwnd()
                            ? GetAncestor(m_pParentWnd->GetSafeHwnd(), GA_ROOT)
                            : GetActiveWindow();
    CWndPlatform& platform = GetPlatform();
    platform.pageProc = [this](CPropertyPage* pPage, HWND hPage, UINT uMsg, WPARAM wParam,
                               LPARAM lParam, LRESULT* pResult) {
        if (uMsg == WM_INITDIALOG) {
            pPage->CreatePage(hPage);
            *pResult = TRUE;
            return true;
        }
        if (pPage->GetSafeHwnd() != hPage)
            return false;
        if (uMsg == WM_SIZE) {
            if (const auto& pLayout = pPage->GetPlatform().pLayout)
                pLayout->Resize(LOWORD(lParam), HIWORD(lParam));
            return false;
        }
        const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (uMsg == WM_NOTIFY && pHeader && pHeader->hwndFrom == GetParent(hPage)) {
            *pResult = 0;
            switch (pHeader->code) {
            case PSN_SETACTIVE: {
                m_nActive = GetPageIndex(pPage);
                // A page made after the window grew is as large as the others.
                const CWndPlatform& sheet = GetPlatform();
                if (m_bResizable && sheet.bHasBaseLayout) {
                    RECT rcClient;
                    ::GetClientRect(pHeader->hwndFrom, &rcClient);
                    Grow(hPage, sheet.basePage, rcClient.right - sheet.baseClient.cx,
                         rcClient.bottom - sheet.baseClient.cy);
                }
                bool bActive = false;
                AfxCallHandler(pHeader->hwndFrom, [&] { bActive = pPage->OnSetActive(); });
                *pResult = bActive ? 0 : -1;
                return true;
            }
            case PSN_KILLACTIVE: {
                bool bLeave = false;
                AfxCallHandler(pHeader->hwndFrom, [&] { bLeave = pPage->OnKillActive(); });
                *pResult = bLeave ? FALSE : TRUE;
                return true;
            }
            default:
                // OK and Cancel are the sheet's own (PressOK, PressCancel).
                return true;
            }
        }
        return AfxDialogCommand(pPage, uMsg, wParam, lParam, pResult);
    };

    std::vector<PROPSHEETPAGEW> sheetPages(m_pages.size());
    std::vector<CString> titles(m_pages.size());
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        PROPSHEETPAGEW& page = sheetPages[i];
        page.dwSize = sizeof(page);
        page.dwFlags = PSP_DEFAULT;
        page.hInstance = AfxGetResourceHandle();
        page.pszTemplate = MAKEINTRESOURCEW(m_pages[i]->GetTemplateID());
        page.pfnDlgProc = PageProc;
        page.lParam = reinterpret_cast<LPARAM>(m_pages[i]);
        titles[i] = m_pages[i]->GetTitle();
        if (!titles[i].empty()) {
            page.dwFlags |= PSP_USETITLE;
            page.pszTitle = reinterpret_cast<const wchar_t*>(titles[i].c_str());
        }
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
    header.hwndParent = hOwner;
    header.hInstance = AfxGetResourceHandle();
    header.pszCaption = reinterpret_cast<const wchar_t*>(m_strCaption.c_str());
    header.nPages = static_cast<UINT>(sheetPages.size());
    header.nStartPage =
        static_cast<UINT>(m_nStartPage >= 0 && m_nStartPage < GetPageCount() ? m_nStartPage : 0);
    header.ppsp = sheetPages.data();
    header.pfnCallback = SheetCallback;

    m_nActive = -1;
    m_nDefID = IDOK;
    t_bResizable = m_bResizable;
    const INT_PTR nResult = PropertySheetW(&header);
    t_bResizable = false;
    const auto hWnd = reinterpret_cast<HWND>(nResult);
    if (nResult == 0 || nResult == -1 || !::IsWindow(hWnd)) {
        platform.pageProc = nullptr;
        for (CPropertyPage* pPage : m_pages)
            pPage->DestroyWindow();
        return false;
    }
    Attach(hWnd, true);
    platform.bHasBaseLayout = false;
    platform.settleLayout = [this, hWnd](bool bFinal) {
        CWndPlatform& sheet = GetPlatform();
        if (sheet.bHasBaseLayout)
            return;
        // A row whose buttons are all hidden takes no room: the window ends
        // where the row began, the top of the OK button. That happens as the
        // last button goes, so that what the initialisation measures next is
        // the window without its row.
        bool bRowShown = false;
        for (const int nID : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP})
            if (HWND hButton = ::GetDlgItem(hWnd, nID);
                hButton && (GetWindowLongPtrW(hButton, GWL_STYLE) & WS_VISIBLE))
                bRowShown = true;
        const HWND hOK = ::GetDlgItem(hWnd, IDOK);
        if (hOK && !bRowShown) {
            RECT rcSheet, rcOK;
            GetWindowRect(hWnd, &rcSheet);
            GetWindowRect(hOK, &rcOK);
            SetWindowPos(hWnd, nullptr, rcSheet.left, rcSheet.top, rcSheet.right - rcSheet.left,
                         rcOK.top - rcSheet.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
            RedrawWindow(hWnd, nullptr, nullptr,
                         RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        } else if (!bFinal) {
            return;
        }
        // What a larger window is measured against, and never goes below.
        RECT rcWindow, rcClient;
        GetWindowRect(hWnd, &rcWindow);
        ::GetClientRect(hWnd, &rcClient);
        sheet.minTrack = {rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top};
        sheet.baseClient = {rcClient.right, rcClient.bottom};
        if (HWND hTabs = GetTabControl())
            sheet.baseTabs = ClientRectIn(hTabs, hWnd);
        if (HWND hPage = PropSheet_GetCurrentPageHwnd(hWnd))
            sheet.basePage = ClientRectIn(hPage, hWnd);
        sheet.bHasBaseLayout = true;
    };
    for (const int nID : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP})
        if (HWND hButton = ::GetDlgItem(hWnd, nID))
            SetWindowSubclass(hButton, ButtonRowProc, reinterpret_cast<UINT_PTR>(&platform),
                              reinterpret_cast<DWORD_PTR>(&platform));
    platform.isDialogMessage = [hWnd](MSG* pMsg) { return PropSheet_IsDialogMessage(hWnd, pMsg); };
    platform.onMessage = [this, hWnd](UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
        CWndPlatform& sheet = GetPlatform();
        switch (uMsg) {
        case WM_COMMAND: {
            const auto hControl = reinterpret_cast<HWND>(lParam);
            if (hControl && HIWORD(wParam) != BN_CLICKED)
                return false;
            SendCommand(static_cast<short>(LOWORD(wParam)), hControl);
            *pResult = 0;
            return true;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE)
                return false;
            [[fallthrough]];
        case WM_CLOSE: {
            // The close box works only while Cancel, if there is one, is enabled.
            const HWND hCancel = ::GetDlgItem(hWnd, IDCANCEL);
            if (!hCancel || ::IsWindowEnabled(hCancel))
                SendCommand(IDCANCEL, hCancel);
            *pResult = 0;
            return true;
        }
        case DM_SETDEFID: {
            const bool bOuter = sheet.bPassDefId;
            sheet.bPassDefId = false;
            AfxCallHandler(hWnd, [&] { OnSetDefId(static_cast<int>(wParam)); });
            const bool bPass = sheet.bPassDefId;
            sheet.bPassDefId = bOuter;
            if (bPass)
                return false;
            *pResult = TRUE;
            return true;
        }
        case WM_GETMINMAXINFO:
            if (!m_bResizable || !sheet.bHasBaseLayout)
                return false;
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {sheet.minTrack.cx,
                                                                     sheet.minTrack.cy};
            *pResult = 0;
            return true;
        case WM_SIZE: {
            if (!m_bResizable || !sheet.bHasBaseLayout || wParam == SIZE_MINIMIZED)
                return false;
            const int dx = LOWORD(lParam) - sheet.baseClient.cx;
            const int dy = HIWORD(lParam) - sheet.baseClient.cy;
            if (HWND hTabs = GetTabControl())
                Grow(hTabs, sheet.baseTabs, dx, dy);
            for (CPropertyPage* pPage : m_pages)
                if (HWND hPage = pPage->GetSafeHwnd())
                    Grow(hPage, sheet.basePage, dx, dy);
            return false;
        }
        default:
            return false;
        }
    };
    return true;
}
