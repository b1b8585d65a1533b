#include "quillbridge_app.h"

#include "dict_catalogue.h"
#include "main_dialog.h"
#include "web_browser.h"

CQuillbridgeApp::CQuillbridgeApp()
{
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
    g_dictCatalogue.Save();
    g_predictCatalogue.Save();
    m_guiThread.Stop();
}

int CQuillbridgeApp::Run(const std::u16string& strWord)
{
    // Runs come one at a time: every window works on the same two catalogues.
    std::lock_guard lock(m_runMutex);
    int nResult = -1;
    const bool bRan = m_guiThread.Call([&] {
        CMainDialog dialog(u"KV Quillbridge", strWord, nullptr, 0);
        nResult = dialog.DoModal() == -1 ? -1 : 0;
        // The library stays mapped until the process ends, so this is the last
        // moment at which a host that later crashes still keeps the edits.
        g_dictCatalogue.Save();
        g_predictCatalogue.Save();
    });
    return bRan ? nResult : -1;
}
