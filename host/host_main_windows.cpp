// quillbridge.exe: opens the lookup window of quillbridge.dll, which lies
// beside this program, as the library's hosts do: loaded by its path, its
// entry point found by ordinal.
#include "command_line.h"
#include "quillbridge.h"
#include "utf_text.h"

#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

namespace
{

using VersionFn = decltype(&QuillbridgeVersion);
using RunFn = decltype(&QuillbridgeRun);

// The entry points' fixed ordinals.
constexpr WORD kVersionOrdinal = 101;
constexpr WORD kRunOrdinal = 102;

constexpr const char* kUsage =
    "usage: quillbridge [--] [WORD]  open the lookup window, looking up WORD (after --,\n"
    "                                also a word that starts with -)\n"
    "       quillbridge --version    print the library's version\n"
    "       quillbridge --help       print this text\n";

std::string Utf8(const wchar_t* psz)
{
    return Utf16ToUtf8(reinterpret_cast<const char16_t*>(psz));
}

std::string SystemText(DWORD dwError)
{
    wchar_t* pszText = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, dwError, 0, reinterpret_cast<wchar_t*>(&pszText), 0, nullptr);
    std::string strText = pszText ? Utf8(pszText) : "error " + std::to_string(dwError);
    ::LocalFree(pszText);
    while (!strText.empty() && (strText.back() == '\n' || strText.back() == '\r'))
        strText.pop_back();
    return strText;
}

// The library beside this program, by its full path: never one found on the
// system's search path.
std::wstring LibraryPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD nLength =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (nLength == 0)
            return L"quillbridge.dll";
        if (nLength < path.size()) {
            path.resize(nLength);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + L"quillbridge.dll";
}

// The file version of the library's version record.
std::string FileVersion(const std::wstring& path)
{
    DWORD dwHandle = 0;
    const DWORD nSize = ::GetFileVersionInfoSizeW(path.c_str(), &dwHandle);
    std::vector<char> data(nSize);
    VS_FIXEDFILEINFO* pInfo = nullptr;
    UINT nInfo = 0;
    if (nSize == 0 || !::GetFileVersionInfoW(path.c_str(), 0, nSize, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&pInfo), &nInfo) || !pInfo)
        return "unknown";
    return std::to_string(HIWORD(pInfo->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(pInfo->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(pInfo->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(pInfo->dwFileVersionLS));
}

// The entry point of that ordinal, as a function of no particular type, to
// be turned into its own.
using GenericFn = void (*)();
GenericFn EntryPoint(HMODULE hLibrary, WORD nOrdinal)
{
    return reinterpret_cast<GenericFn>(::GetProcAddress(hLibrary, MAKEINTRESOURCEA(nOrdinal)));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // The program's name too: the command line's reader skips it.
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(Utf8(argv[i]));
    std::vector<const char*> argPointers;
    for (const std::string& arg : args)
        argPointers.push_back(arg.c_str());
    const auto line = CCommandLine::Parse(static_cast<int>(argPointers.size()), argPointers.data());
    if (!line || line->mode == CCommandLine::EMode::Selection ||
        line->mode == CCommandLine::EMode::Clipboard) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (line->mode == CCommandLine::EMode::Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    const std::wstring path = LibraryPath();
    const HMODULE hLibrary = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!hLibrary) {
        const DWORD dwError = ::GetLastError();
        std::fprintf(stderr, "quillbridge: cannot load %s: %s\n", Utf8(path.c_str()).c_str(),
                     SystemText(dwError).c_str());
        return 1;
    }
    const auto pVersion = reinterpret_cast<VersionFn>(EntryPoint(hLibrary, kVersionOrdinal));
    const auto pRun = reinterpret_cast<RunFn>(EntryPoint(hLibrary, kRunOrdinal));
    if (!pVersion || !pRun) {
        std::fprintf(stderr, "quillbridge: %s is not a Quillbridge library\n",
                     Utf8(path.c_str()).c_str());
        ::FreeLibrary(hLibrary);
        return 1;
    }

    int nResult = 0;
    if (line->mode == CCommandLine::EMode::Version) {
        const int32_t nWord = pVersion();
        std::printf("quillbridge.dll: version word %d (%d.%d), file version %s\n", nWord,
                    nWord >> 16, nWord & 0xFFFF, FileVersion(path).c_str());
        std::printf("library: %s\n", Utf8(path.c_str()).c_str());
    } else {
        const std::u16string word = line->word ? Utf8ToUtf16(*line->word) : std::u16string();
        nResult = pRun(line->word ? word.c_str() : nullptr);
    }
    // Unloading saves the catalogues, as every host's unload does.
    ::FreeLibrary(hLibrary);
    return nResult;
}
