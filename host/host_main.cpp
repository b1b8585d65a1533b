// quillbridge: opens the lookup window of quillbridge.so, which lies in the
// plug-in folder of the installed tree, or in the build tree beside this program.
#include "browser_switches.h"
#include "catalogue_location.h"
#include "command_line.h"
#include "debug_output.h"
#include "display_check.h"
#include "first_word.h"
#include "quillbridge.h"
#include "read_selection.h"
#include "site_address.h"
#include "system_call.h"
#include "user_folders.h"
#include "utf_text.h"
#include "window_socket.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace
{

using VersionFn = decltype(&QuillbridgeVersion);
using RunFn = decltype(&QuillbridgeRun);

constexpr const char* kUsage =
    "usage: quillbridge [--] [WORD]  open the lookup window, looking up WORD (after --,\n"
    "                                also a word that starts with -)\n"
    "       quillbridge --selection  look up the first word of the selected text\n"
    "       quillbridge --clipboard  look up the first word of the clipboard's text\n"
    "       quillbridge --version    print the library's version and the catalogue files in use\n"
    "       quillbridge --help       print this text\n"
    "A window that is open already looks the word up instead of a second one.\n"
    "QUILLBRIDGE_DEBUG=1 shows what Qt and the browser report; see quillbridge(1).\n";

// How long a later run waits for the open window, which may still be starting.
constexpr int kForwardTimeoutMs = 30000;

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

// The word of the selection or the clipboard; empty when there is none, so
// that the window opens with an empty word.
std::u16string SelectedWord(const std::filesystem::path& pathLibrary, bool bClipboard)
{
    std::string strError;
    const auto text =
        ReadSelection(pathLibrary.parent_path() / "quillbridge-selection", bClipboard, strError);
    if (!text && !strError.empty())
        std::fprintf(stderr, "quillbridge: the %s could not be read: %s\n",
                     bClipboard ? "clipboard" : "selection", strError.c_str());
    return text ? FirstWordOf(Utf8ToUtf16(*text)) : std::u16string();
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
    const auto location = CCatalogueLocation::ForLibrary(strLibraryFolder, InstalledSiteFolder());
    for (const char* pszName : {"dict.kvd", "predict.kvd"}) {
        const std::string strRead = location.ReadPath(pszName);
        const std::string strSave = location.SavePath(pszName);
        if (strRead == strSave)
            std::printf("%s: %s\n", pszName, strRead.c_str());
        else
            std::printf("%s: read from %s, saved to %s\n", pszName, strRead.c_str(),
                        strSave.c_str());
    }
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
        if (!BrowserSwitchesDisableGpu(strFlags)) {
            strFlags += strFlags.empty() ? "--disable-gpu" : " --disable-gpu";
            ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", strFlags.c_str(), 1);
            if (IsDebugOutputOn())
                std::fputs("quillbridge: no GPU found: the browser draws without one "
                           "(QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu)\n",
                           stderr);
        }
    }
}

void WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t nWritten =
            CSystemCall::Retry([&] { return ::write(fd, text.data(), text.size()); });
        if (nWritten <= 0)
            return;
        text.remove_prefix(static_cast<std::size_t>(nWritten));
    }
}

// The browser's sandboxed helper processes cannot read the font configuration
// that the program itself has read, and each says so on the standard error it
// inherits; the line tells a user nothing.
bool IsBrowserNoise(std::string_view line)
{
    return line.starts_with("Fontconfig error: Cannot load default config file");
}

// Standard error, which the browser's processes inherit, goes through a filter
// process that leaves out their noise and passes on everything else. Done before
// anything else is open, so that the filter holds nothing of this run but its
// standard error.
void FilterBrowserNoise()
{
    if (IsDebugOutputOn() || ::fcntl(STDERR_FILENO, F_GETFD) < 0)
        return;
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return;
    }
    if (pid == 0) {
        // It outlives a signal that ends the program, to pass on its last lines.
        for (int nSignal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            ::signal(nSignal, SIG_IGN);
        ::dup2(fds[0], STDIN_FILENO);
        const int nNull = ::open("/dev/null", O_WRONLY);
        if (nNull >= 0)
            ::dup2(nNull, STDOUT_FILENO);
        ::close_range(3, ~0U, 0);
        std::string strHeld;
        char buffer[4096];
        for (;;) {
            const ssize_t nRead =
                CSystemCall::Retry([&] { return ::read(STDIN_FILENO, buffer, sizeof buffer); });
            if (nRead <= 0)
                break;
            strHeld.append(buffer, static_cast<std::size_t>(nRead));
            std::size_t nEnd;
            while ((nEnd = strHeld.find('\n')) != std::string::npos) {
                if (!IsBrowserNoise(std::string_view(strHeld).substr(0, nEnd)))
                    WriteAll(STDERR_FILENO, std::string_view(strHeld).substr(0, nEnd + 1));
                strHeld.erase(0, nEnd + 1);
            }
        }
        if (!strHeld.empty() && !IsBrowserNoise(strHeld))
            WriteAll(STDERR_FILENO, strHeld);
        ::_exit(0);
    }
    ::close(fds[0]);
    ::dup2(fds[1], STDERR_FILENO);
    ::close(fds[1]);
}

} // namespace

int main(int argc, char** argv)
{
    const auto line = CCommandLine::Parse(argc, argv);
    if (!line) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (line->mode == CCommandLine::EMode::Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool bVersion = line->mode == CCommandLine::EMode::Version;
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
        FilterBrowserNoise();

    const auto path = LibraryPath();
    // The selection is read before anything else can take it over.
    std::optional<std::u16string> word;
    if (line->mode == CCommandLine::EMode::Selection ||
        line->mode == CCommandLine::EMode::Clipboard)
        word = SelectedWord(path, line->mode == CCommandLine::EMode::Clipboard);
    else if (line->word)
        word = Utf8ToUtf16(*line->word);

    CWindowSocket socket;
    const std::string strRuntimeFolder = CUserFolders::Folder(CUserFolders::kindRuntime);
    if (!bVersion) {
        // A window that is starting or closing may not answer; then this run
        // tries once more, and else opens a window of its own.
        for (int nTry = 0; nTry < 2; ++nTry) {
            const auto claim = socket.Claim(strRuntimeFolder.c_str());
            if (claim != CWindowSocket::EClaim::Connected)
                break;
            const std::string strWord = Utf16ToUtf8(word.value_or(std::u16string()));
            const auto answer = socket.Forward(strWord, kForwardTimeoutMs);
            if (answer == CWindowSocket::EForward::LookedUp)
                return 0;
            if (answer == CWindowSocket::EForward::Busy) {
                // The window keeps the word; the user sees it looked up there.
                if (!strWord.empty())
                    std::fprintf(stderr,
                                 "quillbridge: aken ootab vastust ühes oma dialoogis; sõna "
                                 "„%s“ otsitakse, kui see dialoog on suletud\n",
                                 strWord.c_str());
                return 0;
            }
        }
        const int nListener = socket.TakeListener();
        if (nListener >= 0)
            CWindowSocket::PassListener(nListener);
        PrepareBrowserEnvironment();
    }

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
        nExit = pRun(word ? word->c_str() : nullptr) == 0 ? 0 : 1;
    }
    ::dlclose(pLibrary);
    return nExit;
}
