#include "dialog.h"

#include "dialog_template.h"
#include "exception_report.h"
#include "wnd_platform.h"

namespace
{

// A dialog's window procedure: the wrapper is in DWLP_USER from WM_INITDIALOG on.
INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_INITDIALOG) {
        auto* pDialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        pDialog->Attach(hWnd, true);
        // The wrapper's initialisation runs once the window exists.
        return FALSE;
    }
    auto* pDialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    if (!pDialog || pDialog->GetSafeHwnd() != hWnd)
        return FALSE;
    LRESULT lResult = 0;
    if (!AfxDialogCommand(pDialog, uMsg, wParam, lParam, &lResult))
        return FALSE;
    SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}

} // namespace

int CDialog::DoModal()
{
    if (IsWindow())
        return -1;
    // Without a parent the active window owns the dialog, as the toolkit's
    // dialogs are owned; the owner waits disabled while the dialog runs.
    HWND hOwner = m_pParentWnd && m_pParentWnd->GetSafeHwnd()
                      ? GetAncestor(m_pParentWnd->GetSafeHwnd(), GA_ROOT)
                      : GetActiveWindow();
    BeginModalState();
    if (!CreateDlgWindow(hOwner, false)) {
        EndModalLoop(-1);
        return -1;
    }
    const bool bDisableOwner = hOwner && ::IsWindowEnabled(hOwner);
    if (bDisableOwner)
        ::EnableWindow(hOwner, FALSE);
    RECT rcBefore{};
    GetWindowRect(GetSafeHwnd(), &rcBefore);
    bool bFocus = false;
    AfxCallHandler(GetSafeHwnd(), [this, &bFocus] { bFocus = OnInitDialog(); });
    // A template places the dialog at its owner's corner; one that its
    // initialisation left there opens centred over the owner instead.
    RECT rcAfter{};
    if (IsWindow() && GetWindowRect(GetSafeHwnd(), &rcAfter) && EqualRect(&rcBefore, &rcAfter))
        CenterWindow();
    if (bFocus)
        GotoFirstTabStop();
    const int nResult = RunModalLoop();
    // The owner is enabled before the dialog goes, so that it is activated again.
    if (bDisableOwner)
        ::EnableWindow(hOwner, TRUE);
    DestroyWindow();
    return nResult;
}

bool CDialog::Create(int nIDTemplate, CWnd* pParentWnd)
{
    if (IsWindow())
        return false;
    if (nIDTemplate != 0)
        m_nIDTemplate = nIDTemplate;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    const HWND hOwner = m_pParentWnd && m_pParentWnd->GetSafeHwnd()
                            ? GetAncestor(m_pParentWnd->GetSafeHwnd(), GA_ROOT)
                            : nullptr;
    if (!CreateDlgWindow(hOwner, false))
        return false;
    AfxCallHandler(GetSafeHwnd(), [this] { OnInitDialog(); });
    return IsWindow();
}

void CDialog::EndDialog(int nResult)
{
    EndModalLoop(nResult);
    if (HWND hWnd = GetSafeHwnd(); hWnd && !(GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD))
        ::ShowWindow(hWnd, SW_HIDE);
}

void CDialog::SetDefID(int nID)
{
    m_nDefID = nID;
    if (HWND hWnd = GetSafeHwnd())
        SendMessageW(hWnd, DM_SETDEFID, static_cast<WPARAM>(nID), 0);
}

bool CDialog::CreateDlgWindow(HWND hParent, bool bAsChild)
{
    const CDialogTemplate* pTemplate = GetTemplate();
    if (!pTemplate || (bAsChild && !hParent))
        return false;
    const HWND hWnd = CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                                         hParent, DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hWnd)
        return false;
    if (GetSafeHwnd() != hWnd)
        Attach(hWnd, true);
    // The combo boxes' initialisation data, as the template lists it.
    for (const CDialogTemplate::Item& item : pTemplate->m_items)
        for (const CString& strItem : item.initItems)
            SendDlgItemMessageW(hWnd, item.nID, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(strItem.c_str()));
    m_nDefID = IDOK;
    for (const CDialogTemplate::Item& item : pTemplate->m_items)
        if (item.strKind == u"button" && item.HasStyle(u"default"))
            m_nDefID = item.nID;
    return true;
}
