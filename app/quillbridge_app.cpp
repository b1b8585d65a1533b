#include "quillbridge_app.h"

#include "dict_catalogue.h"
#include "main_dialog.h"
#include "web_browser.h"
#include "window_server.h"

#include <QCoreApplication>
#include <QEvent>

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace
{

CQuillbridgeApp* g_pApp = nullptr;

} // namespace

CQuillbridgeApp::CQuillbridgeApp()
{
    g_pApp = this;
    InitInstance();
}

CQuillbridgeApp::~CQuillbridgeApp()
{
    ExitInstance();
}

void CQuillbridgeApp::InitInstance()
{
    // The lookup and help pages hold the browser control.
    CWebBrowser::RegisterControlClass();
    // A missing or unreadable catalogue never keeps the library from loading.
    g_dictCatalogue.Load();
    g_predictCatalogue.Load();
}

void CQuillbridgeApp::ExitInstance()
{
    if (m_bExited)
        return;
    m_bExited = true;
    g_dictCatalogue.Save();
    g_predictCatalogue.Save();
    m_guiThread.Stop();
}

int CQuillbridgeApp::Run(const std::u16string& strWord)
{
    // Runs come one at a time: every window works on the same two catalogues.
    std::lock_guard lock(m_runMutex);
    // Only the quillbridge program hands over its window socket, for its own
    // run; every other call stays one window of its own.
    const qintptr nListener = CWindowServer::TakeListenerFromEnvironment();
    int nResult = -1;
    const bool bRan = m_guiThread.Call([&] {
        {
            CMainDialog dialog(u"KV Quillbridge", strWord, nullptr, 0);
            std::unique_ptr<CWindowServer> pServer;
            if (nListener >= 0)
                pServer = std::make_unique<CWindowServer>(dialog, nListener);
            nResult = dialog.DoModal() == -1 ? -1 : 0;
        }
        // The browsers leave pieces to be deleted at the next turn of the event
        // loop; they go now, so that nothing of this run is left behind when
        // the host goes on, or ends the process.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The library stays mapped until the process ends, so this is the last
        // moment at which a host that later crashes still keeps the edits.
        g_dictCatalogue.Save();
        g_predictCatalogue.Save();
    });
    // Exit handlers run in reverse order of registration, and Qt registers its
    // own while windows run. Registering after every run puts the library's
    // shutdown first at process exit, while all of Qt is still there.
    if (bRan)
        std::atexit([] { g_pApp->ExitInstance(); });
    else if (nListener >= 0)
        ::close(static_cast<int>(nListener));
    return bRan ? nResult : -1;
}
