#include "read_selection.h"

#include "system_call.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{

// The program that owns the selection has to answer; one that does not must
// not keep the window from opening for long.
constexpr auto kDeadline = std::chrono::seconds(8);
// The first word lies near the start; a selection of a whole book need not
// be read to its end.
constexpr std::size_t kMaxText = 64 * 1024;

} // namespace

std::optional<std::string> ReadSelection(const std::filesystem::path& pathHelper, bool bClipboard,
                                         std::string& strError)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        strError = "no pipe to the helper";
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    const std::string strHelper = pathHelper.string();
    char szMode[] = "--selection";
    char szClipboard[] = "--clipboard";
    char* argv[] = {const_cast<char*>(strHelper.c_str()), bClipboard ? szClipboard : szMode,
                    nullptr};
    pid_t pid = -1;
    const int nSpawn = ::posix_spawn(&pid, strHelper.c_str(), &actions, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (nSpawn != 0) {
        ::close(pipeFds[0]);
        strError = "cannot start " + strHelper;
        return std::nullopt;
    }

    std::string strText;
    bool bComplete = false;
    bool bTimedOut = false;
    const auto end = CSystemCall::Clock::now() + kDeadline;
    while (strText.size() < kMaxText) {
        pollfd poller{pipeFds[0], POLLIN, 0};
        const int nReady =
            CSystemCall::WaitUntil(end, [&](int nMs) { return ::poll(&poller, 1, nMs); });
        if (nReady == 0)
            bTimedOut = true;
        if (nReady <= 0)
            break;
        char buffer[4096];
        const ssize_t n =
            CSystemCall::Retry([&] { return ::read(pipeFds[0], buffer, sizeof(buffer)); });
        if (n <= 0) {
            bComplete = n == 0;
            break;
        }
        strText.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    const bool bEnough = strText.size() >= kMaxText;
    if (!bComplete)
        ::kill(pid, SIGKILL);
    int nStatus = 0;
    CSystemCall::Retry([&] { return ::waitpid(pid, &nStatus, 0); });
    if (bEnough)
        return strText;
    if (bTimedOut) {
        strError = "the program that holds it did not hand it over in time";
        return std::nullopt;
    }
    if (!WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0) {
        if (!WIFEXITED(nStatus) || WEXITSTATUS(nStatus) == 127)
            strError = "its helper " + strHelper + " failed";
        return std::nullopt;
    }
    return strText;
}
