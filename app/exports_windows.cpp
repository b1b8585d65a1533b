#include "quillbridge.h"

#include "quillbridge_app.h"

#include <windows.h>

// Constructed while the library is attached, after the two catalogues, which
// have an earlier initialisation priority: the catalogues are loaded then.
// Destroyed after the detach below, before the catalogues.
static CQuillbridgeApp theApp;

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        // Threads the host starts and ends need nothing of the library.
        ::DisableThreadLibraryCalls(hInstance);
        break;
    case DLL_PROCESS_DETACH:
        // At FreeLibrary and at the end of the process alike: the edits of
        // every window since the last save go to the files.
        theApp.ExitInstance();
        break;
    default:
        break;
    }
    return TRUE;
}

extern "C" int32_t QUILLBRIDGE_CALL QuillbridgeVersion(void)
{
    return 65538;
}

extern "C" int32_t QUILLBRIDGE_CALL QuillbridgeRun(const char16_t* pszWord)
{
    return theApp.Run(pszWord ? std::u16string(pszWord) : std::u16string());
}
