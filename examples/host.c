/* A host program in C: loads the Quillbridge library and opens the lookup
 * window with the word on the command line.
 *
 * On Linux, by the path its pkg-config package gives:
 *
 *   cc host.c -o host $(pkg-config --cflags --libs quillbridge) \
 *       -DQUILLBRIDGE_PLUGIN="\"$(pkg-config --variable=plugin quillbridge)\""
 *   ./host maja
 *
 * On Windows, quillbridge.dll beside the program, its entry points by their
 * ordinals (101 and 102) as every host there finds them:
 *
 *   i686-w64-mingw32-gcc -municode -I include host.c -o host.exe
 *   host.exe maja
 */
#ifdef _WIN32

#include <quillbridge.h>

#include <stdio.h>
#include <wchar.h>
#include <windows.h>

typedef int32_t(QUILLBRIDGE_CALL* VersionFn)(void);
typedef int32_t(QUILLBRIDGE_CALL* RunFn)(const char16_t*);

int wmain(int argc, wchar_t** argv)
{
    wchar_t szPath[MAX_PATH];
    wchar_t* pSlash;
    DWORD nLength;
    HMODULE hLibrary;
    VersionFn pVersion;
    RunFn pRun;
    int32_t nVersion, nResult;

    if (argc > 2) {
        fputs("usage: host [WORD]\n", stderr);
        return 2;
    }

    /* The library beside this program, by its full path: never one that the
     * system's search path would find first. */
    nLength = GetModuleFileNameW(NULL, szPath, MAX_PATH);
    pSlash = wcsrchr(szPath, L'\\');
    if (nLength == 0 || nLength >= MAX_PATH || !pSlash ||
        (size_t)(pSlash + 1 - szPath) + wcslen(L"quillbridge.dll") >= MAX_PATH) {
        fputs("host: cannot find the program's own folder\n", stderr);
        return 1;
    }
    wcscpy(pSlash + 1, L"quillbridge.dll");
    hLibrary = LoadLibraryW(szPath);
    if (!hLibrary) {
        fprintf(stderr, "host: cannot load quillbridge.dll (error %lu)\n", GetLastError());
        return 1;
    }
    /* By ordinal; through a generic function type, as GetProcAddress's
     * answer is turned into the real one. */
    pVersion = (VersionFn)(void (*)(void))GetProcAddress(hLibrary, MAKEINTRESOURCEA(101));
    pRun = (RunFn)(void (*)(void))GetProcAddress(hLibrary, MAKEINTRESOURCEA(102));
    if (!pVersion || !pRun) {
        fputs("host: quillbridge.dll is not a Quillbridge library\n", stderr);
        FreeLibrary(hLibrary);
        return 1;
    }

    nVersion = pVersion();
    printf("Quillbridge %d.%d\n", (int)(nVersion >> 16), (int)(nVersion & 0xFFFF));
    fflush(stdout);

    /* Blocks until the user closes the window, on this thread: 0, or -1 when
     * it could not be shown. wchar_t is UTF-16 on Windows. */
    nResult = pRun(argc == 2 ? (const char16_t*)argv[1] : NULL);
    printf("QuillbridgeRun: %d\n", (int)nResult);

    /* Unloading saves the catalogues. */
    FreeLibrary(hLibrary);
    return nResult == 0 ? 0 : 1;
}

#else

/* setenv and the folder functions are POSIX, not ISO C. */
#define _POSIX_C_SOURCE 200809L

#include <quillbridge.h>

#include <dirent.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef QUILLBRIDGE_PLUGIN
#error "define QUILLBRIDGE_PLUGIN as the library path: pkg-config --variable=plugin quillbridge"
#endif

typedef int32_t(QUILLBRIDGE_CALL* VersionFn)(void);
typedef int32_t(QUILLBRIDGE_CALL* RunFn)(const char16_t*);

/* The word as the library takes it: NUL-terminated UTF-16. NULL when the text
 * is not UTF-8. */
static char16_t* Utf8ToUtf16(const char* psz)
{
    const unsigned char* p = (const unsigned char*)psz;
    char16_t* pWide = malloc((strlen(psz) + 1) * sizeof(char16_t));
    size_t n = 0;
    if (!pWide)
        return NULL;
    while (*p) {
        unsigned long c;
        int nMore;
        if (*p < 0x80) {
            c = *p;
            nMore = 0;
        } else if ((*p & 0xE0) == 0xC0) {
            c = *p & 0x1F;
            nMore = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            c = *p & 0x0F;
            nMore = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            c = *p & 0x07;
            nMore = 3;
        } else {
            break;
        }
        ++p;
        for (; nMore > 0 && (*p & 0xC0) == 0x80; --nMore)
            c = (c << 6) | (*p++ & 0x3F);
        if (nMore > 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            break;
        if (c >= 0x10000) {
            /* A character beyond the first plane is a surrogate pair. */
            c -= 0x10000;
            pWide[n++] = (char16_t)(0xD800 + (c >> 10));
            pWide[n++] = (char16_t)(0xDC00 + (c & 0x3FF));
        } else {
            pWide[n++] = (char16_t)c;
        }
    }
    if (*p) {
        free(pWide);
        return NULL;
    }
    pWide[n] = 0;
    return pWide;
}

/* Whether the machine has a GPU that the browser engine can draw with: a
 * render node of the kernel's graphics drivers. */
static int HasGpu(void)
{
    DIR* pDir = opendir("/dev/dri");
    struct dirent* pEntry;
    int bFound = 0;
    if (!pDir)
        return 0;
    while (!bFound && (pEntry = readdir(pDir)) != NULL)
        bFound = strncmp(pEntry->d_name, "renderD", 7) == 0;
    closedir(pDir);
    return bFound;
}

int main(int argc, char** argv)
{
    char16_t* pszWord = NULL;
    void* pLibrary;
    VersionFn pVersion;
    RunFn pRun;
    int32_t nVersion, nResult;

    if (argc > 2) {
        fputs("usage: host [WORD]\n", stderr);
        return 2;
    }
    if (argc == 2 && !(pszWord = Utf8ToUtf16(argv[1]))) {
        fputs("host: the word is not UTF-8\n", stderr);
        return 2;
    }

    /* Without a GPU the browser engine must be told not to look for one
     * before the first window, or it says on standard error that it failed. */
    if (!getenv("QTWEBENGINE_CHROMIUM_FLAGS") && !HasGpu())
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 1);

    /* A plug-in: loaded by its full path, never from the linker's path. */
    pLibrary = dlopen(QUILLBRIDGE_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    if (!pLibrary) {
        fprintf(stderr, "host: %s\n", dlerror());
        free(pszWord);
        return 1;
    }
    /* POSIX's way of turning dlsym's answer into a function pointer. */
    *(void**)&pVersion = dlsym(pLibrary, "QuillbridgeVersion");
    *(void**)&pRun = dlsym(pLibrary, "QuillbridgeRun");
    if (!pVersion || !pRun) {
        fprintf(stderr, "host: %s is not a Quillbridge library\n", QUILLBRIDGE_PLUGIN);
        dlclose(pLibrary);
        free(pszWord);
        return 1;
    }

    nVersion = pVersion();
    printf("Quillbridge %d.%d\n", (int)(nVersion >> 16), (int)(nVersion & 0xFFFF));
    fflush(stdout);

    /* Blocks until the user closes the window: 0, or -1 when it could not be
     * shown (no display, for one). */
    nResult = pRun(pszWord);
    printf("QuillbridgeRun: %d\n", (int)nResult);

    /* The library stays in memory until the process ends, and saves the
     * catalogues then too. */
    dlclose(pLibrary);
    free(pszWord);
    return nResult == 0 ? 0 : 1;
}

#endif
