#include "file_lock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{

constexpr auto kWait = std::chrono::seconds(10);
constexpr auto kPoll = std::chrono::milliseconds(5);

} // namespace

CFileLock::CFileLock(const std::string& strPath)
{
    // Never through a link, never blocking on a FIFO in its place; a lock file
    // that another user made can still be locked read-only.
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    m_fd = ::open(strPath.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
    if (m_fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        m_fd = ::open(strPath.c_str(), O_RDONLY | kFlags);
    struct stat st {
    };
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        return;
    const auto end = std::chrono::steady_clock::now() + kWait;
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return;
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= end)
            return;
        std::this_thread::sleep_for(kPoll);
    }
}

CFileLock::~CFileLock()
{
    // Closing the file releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}
