// twice_host: a host that loads quillbridge.dll from its own folder and calls
// QuillbridgeRun twice in one process, by ordinal as the library's hosts do,
// so that a test can see what the second window gets from the first. Prints
// each call's result on a line of its own as soon as the call returns, then
// unloads the library.
//
//   twice_host WORD
#include "quillbridge.h"

#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: twice_host WORD\n", stderr);
        return 2;
    }
    wchar_t szPath[MAX_PATH] = {};
    const DWORD nLength = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring strPath(szPath, nLength);
    strPath.erase(strPath.find_last_of(L'\\') + 1);
    HMODULE hLibrary = LoadLibraryW((strPath + L"quillbridge.dll").c_str());
    if (!hLibrary) {
        std::fprintf(stderr, "twice_host: cannot load quillbridge.dll (%lu)\n", GetLastError());
        return 1;
    }
    using RunFn = decltype(&QuillbridgeRun);
    const auto pRun = reinterpret_cast<RunFn>(
        reinterpret_cast<void*>(GetProcAddress(hLibrary, MAKEINTRESOURCEA(102))));
    if (!pRun) {
        std::fputs("twice_host: the library has no ordinal 102\n", stderr);
        return 1;
    }
    for (int nCall = 1; nCall <= 2; ++nCall) {
        const int nResult = pRun(reinterpret_cast<const char16_t*>(argv[1]));
        std::printf("run %d: %d\n", nCall, nResult);
        std::fflush(stdout);
    }
    FreeLibrary(hLibrary);
    return 0;
}
