#pragma once

#include <QTimer>

#include <memory>
#include <vector>

class CMainDialog;
class QSocketNotifier;

// Closes the open window as Esc does, so that its edits are saved the same
// way, when the user's session ends under it: on SIGTERM, SIGHUP or SIGINT,
// and when the display's connection is lost; a run that ended so ends the
// process afterwards, with status 0. The session manager's request to save
// saves the window's edits, the window staying open.
//
// The signals are answered only while a window is open and only where their
// handling is the default: a host's own handlers, and signals the host
// ignores (nohup), stay as they are. The handler only writes to a pipe; the
// window closes from the event loop.
class CSessionEnd
{
public:
    // For the run of dialog, made on the window's thread before the run.
    explicit CSessionEnd(CMainDialog& dialog);
    CSessionEnd(const CSessionEnd&) = delete;
    CSessionEnd& operator=(const CSessionEnd&) = delete;
    ~CSessionEnd();

    // Whether a run ended because the session ended.
    static bool HasEnded();

private:
    void InstallSignalHandlers();
    void RestoreSignalHandlers();
    void OnSignal();
    void End();
    void CloseOneWindow();
    static void OnDisplayLost();

    CMainDialog& m_dialog;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
    // Dialogs and message boxes over the window are closed one at a time
    // until the window's own run is over.
    QTimer m_closer;
    std::vector<int> m_installed;
};
