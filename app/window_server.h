#pragma once

#include <memory>

class CMainDialog;

// Serves the user's window socket while the window is up, for the
// quillbridge program, which hands its listening socket over: a later run of
// the program sends its word and is answered once the window has taken it
// (CWindowChannel). While a dialog of the window waits for the user, the
// window keeps the word and looks it up as soon as that dialog closes.
class CWindowServer
{
public:
    // Takes over nListener, a listening local socket; closes it when it
    // cannot be served.
    CWindowServer(CMainDialog& dialog, int nListener);
    CWindowServer(const CWindowServer&) = delete;
    CWindowServer& operator=(const CWindowServer&) = delete;
    ~CWindowServer();

private:
    struct SState;
    std::unique_ptr<SState> m_pState;
};
