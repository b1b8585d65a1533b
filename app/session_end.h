#pragma once

#include <memory>

class CMainDialog;

// Closes the open window as Esc does, so that its edits are saved the same
// way, when the user's session ends under it. The session manager's request
// to save saves the window's edits, the window staying open.
//
// On Linux also on SIGTERM, SIGHUP or SIGINT, and when the display's
// connection is lost; a run that ended so ends the process afterwards, with
// status 0. The signals are answered only while a window is open and only where their
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

    // The platform's side of a run.
    struct SState;

private:
    std::unique_ptr<SState> m_pState;
};
