#include "disk_file.h"

#include "system_call.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

int Fd(CDiskFile::Handle file)
{
    return static_cast<int>(file);
}

// 0 when fd is a regular file, made blocking again, with its length in nLength;
// else the error to report.
int RegularFileError(int fd, std::size_t& nLength)
{
    struct stat st {
    };
    if (::fstat(fd, &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    nLength = static_cast<std::size_t>(st.st_size);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return errno;
    return 0;
}

} // namespace

CDiskFile::Handle CDiskFile::OpenHandle(const std::string& strPath, OpenMode mode,
                                        std::size_t& nLength, int& nError)
{
    // Opened without blocking, so that a FIFO or a device under the catalogue's
    // name cannot hang the host; anything but a regular file is refused.
    const int flags = mode == modeRead ? O_RDONLY : O_WRONLY | O_CREAT;
    const int fd = ::open(strPath.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    nError = fd < 0 ? errno : RegularFileError(fd, nLength);
    if (nError == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return kNoHandle;
}

std::size_t CDiskFile::ReadSome(unsigned char* pTarget, std::size_t nCount)
{
    const ssize_t n = CSystemCall::Retry([&] {
        ++m_nSystemCalls;
        return ::read(Fd(m_fd), pTarget, nCount);
    });
    if (n < 0)
        Fail(errno);
    return static_cast<std::size_t>(n);
}

// Written bytes after which the disk is set writing them.
constexpr std::size_t kWritebackStep = 1024 * 1024;

void CDiskFile::WriteAll(const unsigned char* pData, std::size_t nCount)
{
    std::size_t nDone = 0;
    while (nDone < nCount) {
        const ssize_t n = CSystemCall::Retry([&] {
            ++m_nSystemCalls;
            return ::write(Fd(m_fd), pData + nDone, nCount - nDone);
        });
        if (n <= 0)
            Fail(n < 0 ? errno : ENOSPC);
        nDone += static_cast<std::size_t>(n);
    }
    // Each MiB written is set going to the disk while the rest is still being
    // made, so that the closing fsync, which alone makes the data safe, finds
    // most of it there already. A failure here shows again at that fsync.
    m_nWritten += nCount;
    if (m_nWritten - m_nWritebackFrom >= kWritebackStep) {
        ::sync_file_range(Fd(m_fd), static_cast<off_t>(m_nWritebackFrom),
                          static_cast<off_t>(m_nWritten - m_nWritebackFrom), SYNC_FILE_RANGE_WRITE);
        ++m_nSystemCalls;
        m_nWritebackFrom = m_nWritten;
    }
}

std::uint64_t CDiskFile::Position()
{
    const off_t nAt = ::lseek(Fd(m_fd), 0, SEEK_CUR);
    ++m_nSystemCalls;
    if (nAt < 0)
        Fail(errno);
    return static_cast<std::uint64_t>(nAt);
}

void CDiskFile::CutAt(std::uint64_t nEnd)
{
    const int nResult = CSystemCall::Retry([&] {
        ++m_nSystemCalls;
        return ::ftruncate(Fd(m_fd), static_cast<off_t>(nEnd));
    });
    if (nResult != 0 || ::lseek(Fd(m_fd), static_cast<off_t>(nEnd), SEEK_SET) < 0)
        Fail(errno);
}

void CDiskFile::Sync()
{
    if (::fsync(Fd(m_fd)) != 0)
        Fail(errno);
}

int CDiskFile::CloseNative(Handle file)
{
    return ::close(Fd(file)) == 0 ? 0 : errno;
}
