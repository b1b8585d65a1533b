#pragma once

#include "wnd.h"

#include <windows.h>

#include <functional>
#include <memory>

class CPageLayout;
class CPropertyPage;

// The Win32 side of a CWnd: the window, whether the wrapper owns it, and the
// key handler the modal loop calls first.
//
// Every attached wrapper subclasses its window (SetWindowSubclass, with the
// wrapper as id), so several wrappers of one window each see its messages.
// A dialog or page passes its controls' notifications back to them as
// reflected messages, OCM_COMMAND (WM_COMMAND of any code but BN_CLICKED) and
// OCM_NOTIFY (WM_NOTIFY); a control's wrapper takes them in onMessage.
struct CWndPlatform {
    HWND hWnd = nullptr;
    bool bOwnsWindow = false;
    CWnd::KeyHandler keyHandler;
    // Sees the keyboard and mouse messages for the window and the windows in
    // it before they are dispatched, ahead of the key handler; true drops the
    // message. Set through AfxSetPreTranslateMessage.
    std::function<bool(MSG* pMsg)> preTranslateMessage;

    // Sees every message of the window first; true means handled, with the
    // result in *pResult. Set by the toolkit's own classes and by controls.
    using MessageHandler =
        std::function<bool(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)>;
    MessageHandler onMessage;

    // The modal loop's translation of dialog keys (Tab, Enter, Esc) for the
    // window whose loop runs; IsDialogMessageW when empty.
    std::function<bool(MSG* pMsg)> isDialogMessage;

    // A property sheet: its pages' window procedure (true when handled, with
    // the answer in *pResult), the window its modal run disabled, whether the
    // last DM_SETDEFID goes on to the dialog manager, and what a larger
    // window is measured against (sizes before the user resized it).
    std::function<bool(CPropertyPage* pPage, HWND hPage, UINT uMsg, WPARAM wParam, LPARAM lParam,
                       LRESULT* pResult)>
        pageProc;
    HWND hDisabledOwner = nullptr;
    bool bPassDefId = false;
    // Cuts the sheet when its last standard button is hidden and takes the
    // measures below; bFinal: measure now, cut or not (after initialisation).
    std::function<void(bool bFinal)> settleLayout;
    bool bHasBaseLayout = false;
    SIZE baseClient{};
    RECT baseTabs{};
    RECT basePage{};
    SIZE minTrack{};

    // A page: how its controls follow a page made larger than its template.
    std::shared_ptr<CPageLayout> pLayout;
};

// Gives a window's keyboard and mouse messages, and those of the windows in
// it, to handler before the modal loop dispatches them (a hosted control
// translates its accelerators there). An empty handler removes it.
void AfxSetPreTranslateMessage(CWnd& wnd, std::function<bool(MSG* pMsg)> handler);

// Reflected notifications, as ActiveX control hosts number them.
#ifndef OCM__BASE
#define OCM__BASE (WM_USER + 0x1c00)
#endif
#ifndef OCM_COMMAND
#define OCM_COMMAND (OCM__BASE + WM_COMMAND)
#endif
#ifndef OCM_NOTIFY
#define OCM_NOTIFY (OCM__BASE + WM_NOTIFY)
#endif

// The module that holds the toolkit's code and the program's resources.
HINSTANCE AfxGetResourceHandle();

// The modifier keys held now, as MOD_ALT, MOD_CONTROL, MOD_SHIFT and MOD_WIN,
// for the key handlers.
unsigned HeldModifiers();

// The busy cursor's count: while above 0 the program's windows show it.
void AfxDoWaitCursor(int nCode);
bool AfxIsWaitCursorShown();

// Reflects a dialog's WM_COMMAND and WM_NOTIFY to the control they come from,
// or, for a click, a menu or an accelerator, delivers the command to pWnd.
// True when the message was one of those; *pResult is the dialog's answer.
bool AfxDialogCommand(CWnd* pWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
