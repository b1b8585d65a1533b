#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class QEventLoop;
class QObject;

// A window of the program: wraps one widget, which it may or may not own.
// Controls are found by their numeric id, commands arrive at OnCommand.
class CWnd
{
public:
    CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    // The window, or null while there is none (not created, failed, or destroyed).
    QWidget* GetSafeHwnd() const { return m_pWidget.data(); }
    bool IsWindow() const { return !m_pWidget.isNull(); }

    // Wraps a widget; an owned one is destroyed with the wrapper or by DestroyWindow.
    void Attach(QWidget* pWidget, bool bOwn = false);
    QWidget* Detach();
    // Wraps the control with id nID of pParent's window; false when there is none.
    bool SubclassDlgItem(int nID, CWnd* pParent);
    void DestroyWindow();

    void SetWindowText(const QString& strText);
    QString GetWindowText() const;
    // SW_SHOW or SW_HIDE; returns whether the window was visible before.
    bool ShowWindow(int nCmdShow);
    // Returns whether the window was disabled before.
    bool EnableWindow(bool bEnable = true);
    bool IsWindowEnabled() const;
    bool IsWindowVisible() const;
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
    QRect GetClientRect() const;

    // The control with id nID among the window's direct children, or null.
    QWidget* GetDlgItem(int nID) const;
    void SetDlgItemText(int nID, const QString& strText);
    QString GetDlgItemText(int nID) const;

    // A message box owned by this window; an empty caption is the application name.
    int MessageBox(const QString& strText, const QString& strCaption = QString(),
                   unsigned nType = 0);

    // Gives the focus to the first enabled control that Tab can reach, as the
    // window system does when a dialog's initialisation asks it to.
    void GotoFirstTabStop();

    void BeginWaitCursor();
    void EndWaitCursor();

    // Delivers a command as the window system does: to OnCommand, with any
    // failure it raises going to the general report. pSource is the control
    // or window the command comes from.
    void SendCommand(int nID, QWidget* pSource);

    // The nested message loop of a modal window: shows the window and runs
    // until EndModalLoop; returns at once if EndModalLoop came first.
    int RunModalLoop();
    void EndModalLoop(int nResult);
    bool ContinueModal() const { return m_bContinueModal; }

    // The id a control was given by its template or its creator; 0 for none.
    static int GetDlgCtrlID(const QWidget* pWidget);
    static void SetDlgCtrlID(QWidget* pWidget, int nID);

protected:
    // Runs the command handler mapped to nID; true when there was one.
    virtual bool OnCommand(int nID, QWidget* pSource);
    // The message-map entry for a command or a button click.
    void MapCommand(int nID, std::function<void()> handler);
    // Called once a widget is attached; wrappers connect to its signals here.
    virtual void PreSubclassWindow() {}
    // Context object for signal connections to the attached widget: they end
    // when the widget is detached or the wrapper goes away.
    QObject* Receiver() const { return m_pReceiver.get(); }
    // Makes the next RunModalLoop run (modal windows call it before creation).
    void BeginModalState();

private:
    QPointer<QWidget> m_pWidget;
    bool m_bOwnsWidget = false;
    std::unique_ptr<QObject> m_pReceiver;
    std::map<int, std::function<void()>> m_commandMap;
    QEventLoop* m_pModalLoop = nullptr;
    bool m_bContinueModal = false;
    int m_nModalResult = -1;
};
