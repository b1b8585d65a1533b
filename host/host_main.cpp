// quillbridge: opens the lookup window of quillbridge.so, which lies in the
// plug-in folder of the installed tree, or in the build tree beside this program.
#include "catalogue_location.h"
#include "quillbridge.h"
#include "utf_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace
{

using VersionFn = decltype(&QuillbridgeVersion);
using RunFn = decltype(&QuillbridgeRun);

constexpr const char* kUsage =
    "usage: quillbridge [WORD]     open the lookup window, looking up WORD\n"
    "       quillbridge --version  print the library's version and the catalogue files in use\n"
    "       quillbridge --help     print this text\n"
    "QUILLBRIDGE_DEBUG=1 shows what Qt and the browser report; see quillbridge(1).\n";

std::filesystem::path LibraryPath()
{
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto folder = ec ? std::filesystem::path(".") : self.parent_path();
    const auto installed = folder / QUILLBRIDGE_PLUGIN_FROM_BINDIR / "quillbridge.so";
    if (std::filesystem::exists(installed, ec))
        return installed.lexically_normal();
    return folder / "quillbridge.so";
}

// The file version stamped into the library, read without loading it.
std::string FileVersion(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(in), {}};
    const std::string marker = "QUILLBRIDGE_FILE_VERSION=";
    const auto pos = data.find(marker);
    if (pos == std::string::npos)
        return "unknown";
    return data.substr(pos + marker.size()).c_str();
}

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

// Qt ends the process when the X display it is given does not answer, so
// the program asks first. libxcb is what Qt's own X connection uses; without
// it there is nothing to ask with, and Qt is left to decide.
bool XDisplayAnswers()
{
    const char* pszPlatform = std::getenv("QT_QPA_PLATFORM");
    const char* pszDisplay = std::getenv("DISPLAY");
    const bool bXcb = pszPlatform && *pszPlatform ? std::strncmp(pszPlatform, "xcb", 3) == 0
                                                  : !std::getenv("WAYLAND_DISPLAY");
    if (!bXcb || !pszDisplay || !*pszDisplay)
        return true;
    void* pXcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!pXcb)
        return true;
    using ConnectFn = void* (*)(const char*, int*);
    using HasErrorFn = int (*)(void*);
    using DisconnectFn = void (*)(void*);
    const auto pConnect = reinterpret_cast<ConnectFn>(::dlsym(pXcb, "xcb_connect"));
    const auto pHasError = reinterpret_cast<HasErrorFn>(::dlsym(pXcb, "xcb_connection_has_error"));
    const auto pDisconnect = reinterpret_cast<DisconnectFn>(::dlsym(pXcb, "xcb_disconnect"));
    bool bAnswers = true;
    if (pConnect && pHasError && pDisconnect) {
        void* pConnection = pConnect(pszDisplay, nullptr);
        bAnswers = pHasError(pConnection) == 0;
        pDisconnect(pConnection);
    }
    ::dlclose(pXcb);
    return bAnswers;
}

bool HasGpu()
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", ec)) {
        if (entry.path().filename().string().rfind("renderD", 0) == 0)
            return true;
    }
    return false;
}

// Which catalogue files the library reads and where its saves go.
void PrintCatalogueFiles(const std::string& strLibraryFolder)
{
    const auto location = CCatalogueLocation::ForLibrary(strLibraryFolder);
    for (const char* pszName : {"dict.kvd", "predict.kvd"}) {
        const std::string strRead = location.ReadPath(pszName);
        const std::string strSave = location.IsLibraryFolderWritable()
                                        ? location.BesideLibrary(pszName)
                                        : location.InUserFolder(pszName);
        if (strRead == strSave)
            std::printf("%s: %s\n", pszName, strRead.c_str());
        else
            std::printf("%s: read from %s, saved to %s\n", pszName, strRead.c_str(),
                        strSave.c_str());
    }
}

bool IsDebugOutputOn()
{
    const char* value = std::getenv("QUILLBRIDGE_DEBUG");
    return value && *value && std::strcmp(value, "0") != 0;
}

// Chromium inside Qt WebEngine refuses to run as root with its sandbox, and
// without a GPU it needs to be told not to look for one. Only the sandbox is
// the user's concern; the rest is said when asked for.
void PrepareBrowserEnvironment()
{
    if (::geteuid() == 0 && !std::getenv("QTWEBENGINE_DISABLE_SANDBOX")) {
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
        std::fputs("quillbridge: running as root: the browser's sandbox is switched off "
                   "(QTWEBENGINE_DISABLE_SANDBOX=1)\n",
                   stderr);
    }
    if (!HasGpu()) {
        const char* flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
        std::string strFlags = flags ? flags : "";
        if (strFlags.find("--disable-gpu") == std::string::npos) {
            strFlags += strFlags.empty() ? "--disable-gpu" : " --disable-gpu";
            ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", strFlags.c_str(), 1);
            if (IsDebugOutputOn())
                std::fputs("quillbridge: no GPU found: the browser draws without one "
                           "(QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu)\n",
                           stderr);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && argv[1][0] == '-' && std::strcmp(argv[1], "--help") != 0 &&
                     std::strcmp(argv[1], "--version") != 0)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool bVersion = argc == 2 && std::strcmp(argv[1], "--version") == 0;
    if (!bVersion && !HasDisplay()) {
        std::fputs("quillbridge: no display to open the window on (DISPLAY is not set)\n", stderr);
        return 1;
    }
    if (!bVersion && !XDisplayAnswers()) {
        std::fprintf(stderr,
                     "quillbridge: the display %s does not answer (is its X server running, "
                     "and may this user connect to it?)\n",
                     std::getenv("DISPLAY"));
        return 1;
    }
    if (!bVersion)
        PrepareBrowserEnvironment();

    const auto path = LibraryPath();
    void* pLibrary = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!pLibrary) {
        std::fprintf(stderr, "quillbridge: cannot load the library: %s\n", ::dlerror());
        return 1;
    }
    const auto pVersion = reinterpret_cast<VersionFn>(::dlsym(pLibrary, "QuillbridgeVersion"));
    const auto pRun = reinterpret_cast<RunFn>(::dlsym(pLibrary, "QuillbridgeRun"));
    if (!pVersion || !pRun) {
        std::fprintf(stderr, "quillbridge: %s is not a Quillbridge library\n", path.c_str());
        ::dlclose(pLibrary);
        return 1;
    }

    int nExit = 0;
    if (bVersion) {
        const int32_t nWord = pVersion();
        std::printf("quillbridge.so: version word %d (%d.%d), file version %s\n", nWord,
                    nWord >> 16, nWord & 0xFFFF, FileVersion(path).c_str());
        std::printf("library: %s\n", path.c_str());
        PrintCatalogueFiles(path.parent_path().string() + "/");
    } else {
        const std::u16string strWord = argc == 2 ? Utf8ToUtf16(argv[1]) : std::u16string();
        nExit = pRun(argc == 2 ? strWord.c_str() : nullptr) == 0 ? 0 : 1;
    }
    ::dlclose(pLibrary);
    return nExit;
}
