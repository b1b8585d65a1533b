#pragma once

#include "rect.h"
#include "text.h"
#include "win_defs.h"

#include <functional>
#include <map>
#include <memory>

// The window system's side of a CWnd; each platform's toolkit defines it.
struct CWndPlatform;

// A window of the program: wraps one window, which it may or may not own.
// Controls are found by their numeric id, commands arrive at OnCommand.
class CWnd
{
public:
    CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    // The window, or null while there is none (not created, failed, or destroyed).
    HWND GetSafeHwnd() const;
    bool IsWindow() const { return GetSafeHwnd() != nullptr; }

    // Wraps a window; an owned one is destroyed with the wrapper or by DestroyWindow.
    void Attach(HWND hWnd, bool bOwn = false);
    HWND Detach();
    // Wraps the control with id nID of pParent's window; false when there is none.
    bool SubclassDlgItem(int nID, CWnd* pParent);
    void DestroyWindow();

    void SetWindowText(const CString& strText);
    CString GetWindowText() const;
    // SW_SHOW or SW_HIDE; returns whether the window was visible before.
    bool ShowWindow(int nCmdShow);
    // Returns whether the window was disabled before.
    bool EnableWindow(bool bEnable = true);
    bool IsWindowEnabled() const;
    bool IsWindowVisible() const;
    // Gives the window the keyboard focus.
    void SetFocus();
    // Centres a top-level window on its owner (or on pAlternateOwner, or on the
    // screen when the owner is not shown), a child window on its parent.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    // Paints the window now, waiting first for the window system to put a
    // freshly shown window on the screen, so that it is seen before the
    // caller blocks.
    void UpdateWindow();
    // With false, the window is not repainted until SetRedraw(true), which
    // repaints it: for filling a control with many rows at once.
    void SetRedraw(bool bRedraw = true);
    // The client area; for a list or other scrolled control the part inside
    // the frame and the scroll bars that the rows can use.
    CRect GetClientRect() const;

    // The control with id nID among the window's direct children, or null.
    // The wrapper returned belongs to this window and lasts as long as it.
    CWnd* GetDlgItem(int nID) const;
    void SetDlgItemText(int nID, const CString& strText);
    CString GetDlgItemText(int nID) const;

    // A message box owned by this window; an empty caption is the application name.
    int MessageBox(const CString& strText, const CString& strCaption = CString(),
                   unsigned nType = 0);

    // Gives the focus to the first enabled control that Tab can reach, as the
    // window system does when a dialog's initialisation asks it to.
    void GotoFirstTabStop();

    void BeginWaitCursor();
    void EndWaitCursor();

    // A key pressed while the window has the focus goes first to the handler,
    // with its virtual key code (VK_...) and the modifiers held (MOD_...);
    // when it returns true the window does not see the key. An empty handler
    // removes it.
    using KeyHandler = std::function<bool(unsigned nVirtKey, unsigned nModifiers)>;
    void SetKeyHandler(KeyHandler handler);

    // Delivers a command as the window system does: to OnCommand, with any
    // failure it raises going to the general report. hSource is the control
    // or window the command comes from.
    void SendCommand(int nID, HWND hSource);

    // The nested message loop of a modal window: shows the window and runs
    // until EndModalLoop; returns at once if EndModalLoop came first.
    int RunModalLoop();
    void EndModalLoop(int nResult);
    bool ContinueModal() const { return m_bContinueModal; }

    // The id a control was given by its template or its creator; 0 for none.
    static int GetDlgCtrlID(HWND hWnd);
    static void SetDlgCtrlID(HWND hWnd, int nID);

    // The platform's state of the window, for the toolkit's implementation.
    CWndPlatform& GetPlatform() const { return *m_pPlatform; }

protected:
    // Runs the command handler mapped to nID; true when there was one.
    virtual bool OnCommand(int nID, HWND hSource);
    // The message-map entry for a command or a button click.
    void MapCommand(int nID, std::function<void()> handler);
    // Called once a window is attached; wrappers connect to its events here.
    virtual void PreSubclassWindow() {}
    // Makes the next RunModalLoop run (modal windows call it before creation).
    void BeginModalState();

private:
    std::unique_ptr<CWndPlatform> m_pPlatform;
    std::map<int, std::function<void()>> m_commandMap;
    mutable std::map<int, std::unique_ptr<CWnd>> m_dlgItems;
    bool m_bContinueModal = false;
    int m_nModalResult = -1;
};
