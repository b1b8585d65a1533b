#include "window_server.h"

// Windows has no user's one window: each call of the library opens a window
// of its own and no program hands a socket over.

struct CWindowServer::SState {
};

int CWindowServer::TakeListener()
{
    return -1;
}

void CWindowServer::CloseListener(int) {}

CWindowServer::CWindowServer(CMainDialog&, int) {}

CWindowServer::~CWindowServer() = default;
