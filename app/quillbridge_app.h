#pragma once

#include "gui_thread.h"

#include <mutex>
#include <string>

class CDictCatalogue;
class CMainDialog;

// The library's application object: it ties the two catalogues to the life of
// the library, loading them when the library is loaded and saving them when it
// is unloaded, or when the process ends if that comes first (on Linux the
// library, once it has run its windows, is never unloaded before).
class CQuillbridgeApp
{
public:
    CQuillbridgeApp();
    ~CQuillbridgeApp();

    // One modal run of the main window; -1 when it cannot be shown, else 0.
    int Run(const std::u16string& strWord);

    // Saves both catalogues, once: where the library is unloaded, at the
    // unload; else at the process's end. The destructor calls it too.
    void ExitInstance();

private:
    void InitInstance();
    // Saves both catalogues; a save that fails is told in a message box while
    // the window system runs, else on standard error at process exit.
    void SaveCatalogues(bool bWindowSystem);
    // Saves both catalogues as the window closes, still on show: a save that
    // fails is asked about, to try again or to close without saving.
    void SaveAtClose(CMainDialog& dialog);

    bool m_bExited = false;
    std::recursive_mutex m_runMutex;
    CGuiThread m_guiThread;
};
