#include "quillbridge_app.h"

#include "dict_catalogue.h"
#include "main_dialog.h"
#include "message_box.h"
#include "save_failure.h"
#include "session_end.h"
#include "site_address.h"
#include "utf_text.h"
#include "web_browser.h"
#include "win_defs.h"
#include "window_server.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

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
    // A missing or unreadable catalogue never keeps the library from loading.
    // A user without catalogue files starts from the installed published lists.
    const std::string strSeedFolder = InstalledSiteFolder();
    g_dictCatalogue.Load(strSeedFolder);
    g_predictCatalogue.Load(strSeedFolder);
}

void CQuillbridgeApp::ExitInstance()
{
    if (m_bExited)
        return;
    m_bExited = true;
    SaveCatalogues(false);
    m_guiThread.Stop();
}

void CQuillbridgeApp::SaveCatalogues(bool bWindowSystem)
{
    for (CDictCatalogue* pCatalogue : {&g_dictCatalogue, &g_predictCatalogue}) {
        if (pCatalogue->Save() == 0)
            continue;
        const CString strText = CSaveFailure::Text(*pCatalogue);
        if (bWindowSystem)
            AfxMessageBox(nullptr, strText, u"Viga", MB_ICONSTOP);
        else
            std::fprintf(stderr, "quillbridge: %s\n", Utf16ToUtf8(strText).c_str());
    }
}

void CQuillbridgeApp::SaveAtClose(CMainDialog& dialog)
{
    for (CDictCatalogue* pCatalogue : {&g_dictCatalogue, &g_predictCatalogue}) {
        while (pCatalogue->Save() != 0) {
            // At the end of a session nobody answers; the line on standard
            // error is all there is, and the save is tried once more at exit.
            if (dialog.IsSessionEnding()) {
                std::fprintf(stderr, "quillbridge: %s\n",
                             Utf16ToUtf8(CSaveFailure::Text(*pCatalogue)).c_str());
                break;
            }
            const int nAnswer = AfxMessageBox(
                dialog.GetSafeHwnd(), CSaveFailure::Question(*pCatalogue), u"Viga",
                MB_ICONSTOP | MB_RETRYCANCEL, {u"Proovi uuesti", u"Sulge salvestamata"});
            if (nAnswer != IDRETRY)
                break;
        }
    }
}

int CQuillbridgeApp::Run(const std::u16string& strWord)
{
    // Runs come one at a time: every window works on the same two catalogues.
    std::lock_guard lock(m_runMutex);
    // Only the quillbridge program hands over its window socket, for its own
    // run; every other call stays one window of its own.
    const int nListener = CWindowServer::TakeListener();
    int nResult = -1;
    const bool bRan = m_guiThread.Call([&] {
        // The lookup and help pages hold the browser control. Its hosting is
        // set up on the window's thread, never while the library is being
        // loaded: on Windows it starts OLE, which must not be done then.
        CWebBrowser::RegisterControlClass();
        bool bSavedAtClose = false;
        {
            CMainDialog dialog(u"KV Quillbridge", strWord, nullptr, 0);
            dialog.m_saveEdits = [this, &dialog] { SaveAtClose(dialog); };
            std::unique_ptr<CWindowServer> pServer;
            if (nListener >= 0)
                pServer = std::make_unique<CWindowServer>(dialog, nListener);
            {
                const CSessionEnd sessionEnd(dialog);
                nResult = dialog.DoModal() == -1 ? -1 : 0;
            }
            bSavedAtClose = dialog.IsClosing();
        }
        // The browsers leave pieces to be deleted at the next turn of the event
        // loop; they go now, so that nothing of this run is left behind when
        // the host goes on, or ends the process.
        CGuiThread::FinishRun();
        // A window that ended otherwise than by closing (its browser could not
        // be made, say) has not saved yet. The library stays mapped until the
        // process ends, so this is the last moment at which a host that later
        // crashes still keeps the edits, and the last at which a failed save
        // can be shown.
        if (!bSavedAtClose)
            SaveCatalogues(true);
    });
    // Exit handlers run in reverse order of registration, and the toolkit registers its
    // own while windows run. Registering after every run puts the library's
    // shutdown first at process exit, while all of the toolkit is still there.
    if (bRan)
        std::atexit([] { g_pApp->ExitInstance(); });
    else if (nListener >= 0)
        CWindowServer::CloseListener(nListener);
    // The session's end would have ended the process; it does now, its
    // edits saved, as a normal end.
    if (bRan && CSessionEnd::HasEnded())
        std::exit(0);
    return bRan ? nResult : -1;
}
