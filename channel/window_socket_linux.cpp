#include "window_socket.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
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

bool LockWithin(int fd, int nWaitMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(nWaitMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
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
    const std::string strLock = strBase + "quillbridge-window.lock";
    const int nLock = ::open(strLock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (nLock < 0)
        return EClaim::None;
    EClaim result = EClaim::None;
    if (LockWithin(nLock, nLockWaitMs)) {
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
    ::close(nLock);
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

CWindowSocket::EForward CWindowSocket::Forward(std::string_view strWordUtf8, int nTimeoutMs)
{
    std::string strMessage(strWordUtf8);
    strMessage.push_back('\0');
    for (std::size_t nSent = 0; nSent < strMessage.size();) {
        const ssize_t n =
            ::send(m_fd, strMessage.data() + nSent, strMessage.size() - nSent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return EForward::NoAnswer;
        nSent += static_cast<std::size_t>(n);
    }
    // The window may still be starting: the answer comes once it is up.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    std::string strAnswer;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd poller{m_fd, POLLIN, 0};
        const int nReady =
            left.count() > 0 ? ::poll(&poller, 1, static_cast<int>(left.count())) : 0;
        if (nReady < 0 && errno == EINTR)
            continue;
        if (nReady <= 0)
            return EForward::NoAnswer;
        char buffer[16];
        const ssize_t n = ::recv(m_fd, buffer, sizeof(buffer), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return EForward::NoAnswer;
        strAnswer.append(buffer, static_cast<std::size_t>(n));
        if (strAnswer == kLookedUpAnswer)
            return EForward::LookedUp;
        if (strAnswer == kBusyAnswer)
            return EForward::Busy;
        if (strAnswer.size() >= kBusyAnswer.size())
            return EForward::NoAnswer;
    }
}
