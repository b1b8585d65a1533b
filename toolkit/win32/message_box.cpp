#include "message_box.h"

#include "application.h"

#include <windows.h>

#include <utility>

namespace
{

MessageBoxHook& Hook()
{
    static MessageBoxHook s_hook;
    return s_hook;
}

// The button names of the box being opened on this thread, and the hook
// that gives them to its buttons as it is activated.
thread_local const std::vector<CString>* t_pButtonTexts = nullptr;
thread_local HHOOK t_hCbtHook = nullptr;
thread_local bool t_bRetryCancel = false;

LRESULT CALLBACK NameButtons(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_ACTIVATE && t_pButtonTexts) {
        const auto hBox = reinterpret_cast<HWND>(wParam);
        wchar_t szClass[8] = {};
        // Only the box itself: the dialog class.
        if (GetClassNameW(hBox, szClass, 8) && lstrcmpW(szClass, L"#32770") == 0) {
            const std::vector<CString>& texts = *t_pButtonTexts;
            t_pButtonTexts = nullptr;
            const bool bRetry = t_bRetryCancel;
            std::size_t nIndex = 0;
            for (const int nID : {bRetry ? IDRETRY : IDOK, bRetry ? IDCANCEL : 0}) {
                HWND hButton = nID ? GetDlgItem(hBox, nID) : nullptr;
                if (hButton && nIndex < texts.size())
                    SetWindowTextW(hButton,
                                   reinterpret_cast<const wchar_t*>(texts[nIndex].c_str()));
                ++nIndex;
            }
        }
    }
    return CallNextHookEx(t_hCbtHook, nCode, wParam, lParam);
}

} // namespace

int AfxMessageBox(HWND hOwner, const CString& strText, const CString& strCaption, unsigned nType,
                  const std::vector<CString>& buttonTexts)
{
    MessageBoxRequest request{hOwner, strText, strCaption.empty() ? AfxGetAppName() : strCaption,
                              nType, buttonTexts};
    if (Hook())
        return Hook()(request);

    HWND hParent = hOwner ? GetAncestor(hOwner, GA_ROOT) : GetActiveWindow();
    // A hidden owner would hide the box with it; such a box stands alone.
    if (hParent && !IsWindowVisible(hParent))
        hParent = nullptr;
    const unsigned nStyle = (nType & (MB_TYPEMASK | MB_ICONMASK)) | (hParent ? 0 : MB_TASKMODAL);
    HHOOK hPrevious = t_hCbtHook;
    const std::vector<CString>* pPreviousTexts = t_pButtonTexts;
    if (!buttonTexts.empty()) {
        t_pButtonTexts = &buttonTexts;
        t_bRetryCancel = (nType & MB_TYPEMASK) == MB_RETRYCANCEL;
        t_hCbtHook = SetWindowsHookExW(WH_CBT, NameButtons, nullptr, GetCurrentThreadId());
    }
    // The text is plain text: a message box shows every character as it is.
    const int nResult =
        MessageBoxW(hParent, reinterpret_cast<const wchar_t*>(strText.c_str()),
                    reinterpret_cast<const wchar_t*>(request.strCaption.c_str()), nStyle);
    if (!buttonTexts.empty()) {
        if (t_hCbtHook)
            UnhookWindowsHookEx(t_hCbtHook);
        t_hCbtHook = hPrevious;
        t_pButtonTexts = pPreviousTexts;
    }
    if (nResult == 0)
        return (nType & MB_TYPEMASK) == MB_RETRYCANCEL ? IDCANCEL : IDOK;
    return nResult;
}

MessageBoxHook AfxSetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
