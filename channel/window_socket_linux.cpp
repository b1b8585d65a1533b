#include "window_socket.h"

#include "file_lock.h"
#include "system_call.h"
#include "window_channel.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

// Only a folder of this user's own, which nobody else may enter, holds the
// socket: anyone who could reach it would see the words looked up.
bool IsPrivateFolder(const std::string& strFolder)
{
    struct stat info {
    };
    return !strFolder.empty() && strFolder[0] == '/' && ::stat(strFolder.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

bool MakeAddress(const std::string& strPath, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (strPath.size() >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, strPath.c_str(), strPath.size() + 1);
    return true;
}

const sockaddr* AsAddress(const sockaddr_un& address)
{
    return reinterpret_cast<const sockaddr*>(&address);
}

} // namespace

CWindowSocket::~CWindowSocket()
{
    Close();
}

void CWindowSocket::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

CWindowSocket::EClaim CWindowSocket::Claim(const char* pszRuntimeFolder, int nLockWaitMs)
{
    Close();
    const std::string strFolder = pszRuntimeFolder ? pszRuntimeFolder : "";
    sockaddr_un address;
    // The folder may come with its closing slash, as the user's folders do.
    const std::string strBase = strFolder.ends_with('/') ? strFolder : strFolder + "/";
    if (!IsPrivateFolder(strFolder) || !MakeAddress(strBase + "quillbridge-window", address))
        return EClaim::None;
    // Between the failed connect and the listen another run could do the same;
    // the lock makes the two steps one.
    const CFileLock lock(strBase + "quillbridge-window.lock",
                         std::chrono::milliseconds(nLockWaitMs));
    EClaim result = EClaim::None;
    if (lock.IsLocked()) {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_fd >= 0 && ::connect(m_fd, AsAddress(address), sizeof(address)) == 0) {
            result = EClaim::Connected;
        } else if (m_fd >= 0 && (errno == ECONNREFUSED || errno == ENOENT)) {
            // Nobody listens: what is left there is from a run that ended
            // without closing it.
            ::unlink(address.sun_path);
            Close();
            m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (m_fd >= 0 && ::bind(m_fd, AsAddress(address), sizeof(address)) == 0 &&
                ::listen(m_fd, 16) == 0)
                result = EClaim::Serving;
        }
    }
    if (result == EClaim::None)
        Close();
    return result;
}

int CWindowSocket::TakeListener()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void CWindowSocket::PassListener(int nListener)
{
    ::setenv(CWindowChannel::kEnvironmentName, std::to_string(nListener).c_str(), 1);
}

int CWindowSocket::TakeListenerFromEnvironment()
{
    const char* pszValue = std::getenv(CWindowChannel::kEnvironmentName);
    if (!pszValue)
        return -1;
    char* pszEnd = nullptr;
    const long nValue = std::strtol(pszValue, &pszEnd, 10);
    ::unsetenv(CWindowChannel::kEnvironmentName);
    struct stat info {
    };
    int nListening = 0;
    socklen_t nSize = sizeof(nListening);
    if (pszEnd == pszValue || *pszEnd || nValue < 0 || nValue > 65535 ||
        ::fstat(static_cast<int>(nValue), &info) != 0 || !S_ISSOCK(info.st_mode) ||
        ::getsockopt(static_cast<int>(nValue), SOL_SOCKET, SO_ACCEPTCONN, &nListening, &nSize) !=
            0 ||
        !nListening)
        return -1;
    return static_cast<int>(nValue);
}

void CWindowSocket::CloseListener(int nListener)
{
    if (nListener >= 0)
        ::close(nListener);
}

CWindowSocket::EForward CWindowSocket::Forward(std::string_view strWordUtf8, int nTimeoutMs)
{
    const std::string strRequest = CWindowChannel::Request(strWordUtf8);
    for (std::size_t nSent = 0; nSent < strRequest.size();) {
        const ssize_t n = CSystemCall::Retry([&] {
            return ::send(m_fd, strRequest.data() + nSent, strRequest.size() - nSent, MSG_NOSIGNAL);
        });
        if (n <= 0)
            return EForward::NoAnswer;
        nSent += static_cast<std::size_t>(n);
    }
    // The window may still be starting: the answer comes once it is up.
    const auto end = CSystemCall::Clock::now() + std::chrono::milliseconds(nTimeoutMs);
    std::string strAnswer;
    for (;;) {
        pollfd poller{m_fd, POLLIN, 0};
        if (CSystemCall::WaitUntil(end, [&](int nMs) { return ::poll(&poller, 1, nMs); }) <= 0)
            return EForward::NoAnswer;
        char buffer[16];
        const ssize_t n =
            CSystemCall::Retry([&] { return ::recv(m_fd, buffer, sizeof(buffer), 0); });
        if (n <= 0)
            return EForward::NoAnswer;
        strAnswer.append(buffer, static_cast<std::size_t>(n));
        switch (CWindowChannel::ReadAnswer(strAnswer)) {
        case CWindowChannel::EAnswer::LookedUp:
            return EForward::LookedUp;
        case CWindowChannel::EAnswer::Busy:
            return EForward::Busy;
        case CWindowChannel::EAnswer::Invalid:
            return EForward::NoAnswer;
        case CWindowChannel::EAnswer::Incomplete:
            break;
        }
    }
}
