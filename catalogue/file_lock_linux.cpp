#include "file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

std::intptr_t CFileLock::OpenLockFile(const std::string& strPath)
{
    // Never through a link, never blocking on a FIFO in its place; a lock file
    // that another user made can still be locked read-only.
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(strPath.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        fd = ::open(strPath.c_str(), O_RDONLY | kFlags);
    struct stat st {
    };
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        fd = -1;
    }
    return fd;
}

CFileLock::Attempt CFileLock::TryLock(std::intptr_t file)
{
    if (::flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0)
        return attemptLocked;
    return errno == EWOULDBLOCK || errno == EINTR ? attemptBusy : attemptFailed;
}

void CFileLock::CloseLockFile(std::intptr_t file)
{
    ::close(static_cast<int>(file));
}
