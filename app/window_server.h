#pragma once

#include <memory>

class CMainDialog;

// Serves the user's window socket while the window is up, for the
// quillbridge program, which hands its listening socket over: a later run of
// the program sends its word and is answered once the window has taken it
// (CWindowChannel). While a dialog of the window waits for the user, the
// window keeps the word and looks it up as soon as that dialog closes.
//
// Where the system has no such channel (Windows: every call opens a window of
// its own, as the hosts there expect), no socket is ever handed over and no
// run has a server.
class CWindowServer
{
public:
    // The listening socket the quillbridge program handed over for its own
    // run, taken so that programs the window starts do not inherit it; -1 for
    // every other call.
    static int TakeListener();
    // Closes a listening socket that is not served after all.
    static void CloseListener(int nListener);

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
