#pragma once

#include "gui_thread.h"

#include <mutex>
#include <string>

// The library's application object: it ties the two catalogues to the life of
// the library, loading them when the library is loaded and saving them when it
// is unloaded or the process ends.
class CQuillbridgeApp
{
public:
    CQuillbridgeApp();
    ~CQuillbridgeApp();

    // One modal run of the main window; -1 when it cannot be shown, else 0.
    int Run(const std::u16string& strWord);

private:
    void InitInstance();
    void ExitInstance();

    std::recursive_mutex m_runMutex;
    CGuiThread m_guiThread;
};
