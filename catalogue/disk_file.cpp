#include "disk_file.h"

#include "file_exception.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr std::size_t kBufferSize = 64 * 1024;

CFileException::Cause CauseFromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return CFileException::fileNotFound;
    case EACCES:
    case EPERM:
        return CFileException::accessDenied;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return CFileException::diskFull;
    default:
        return CFileException::generic;
    }
}

// 0 when fd is a regular file, made blocking again; else the error to report.
int RegularFileError(int fd)
{
    struct stat st {
    };
    if (::fstat(fd, &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return errno;
    return 0;
}

} // namespace

CDiskFile::~CDiskFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CDiskFile::Open(const std::string& strPath, OpenMode mode, int* pError)
{
    // Opened without blocking, so that a FIFO or a device under the catalogue's
    // name cannot hang the host; anything but a regular file is refused.
    const int flags = mode == modeRead ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC;
    const int fd = ::open(strPath.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    ++m_nSystemCalls;
    const int err = fd < 0 ? errno : RegularFileError(fd);
    if (err != 0) {
        if (fd >= 0)
            ::close(fd);
        if (pError)
            *pError = err;
        return false;
    }
    m_fd = fd;
    m_bWriting = mode != modeRead;
    m_buffer.resize(kBufferSize);
    m_nPos = m_nEnd = 0;
    return true;
}

void CDiskFile::AttachForWriting(int fd)
{
    m_fd = fd;
    m_bWriting = true;
    m_buffer.resize(kBufferSize);
    m_nPos = m_nEnd = 0;
}

std::size_t CDiskFile::Read(void* pBuffer, std::size_t nCount)
{
    auto* pOut = static_cast<unsigned char*>(pBuffer);
    std::size_t nDone = 0;
    while (nDone < nCount) {
        if (m_nPos == m_nEnd) {
            ssize_t n;
            do {
                n = ::read(m_fd, m_buffer.data(), m_buffer.size());
                ++m_nSystemCalls;
            } while (n < 0 && errno == EINTR);
            if (n < 0)
                throw CFileException(CauseFromErrno(errno), errno);
            if (n == 0)
                break;
            m_nPos = 0;
            m_nEnd = static_cast<std::size_t>(n);
        }
        const std::size_t nTake = std::min(nCount - nDone, m_nEnd - m_nPos);
        std::memcpy(pOut + nDone, m_buffer.data() + m_nPos, nTake);
        m_nPos += nTake;
        nDone += nTake;
    }
    return nDone;
}

void CDiskFile::Write(const void* pBuffer, std::size_t nCount)
{
    const auto* pIn = static_cast<const unsigned char*>(pBuffer);
    while (nCount > 0) {
        if (m_nEnd == m_buffer.size())
            WriteBuffer();
        const std::size_t nTake = std::min(nCount, m_buffer.size() - m_nEnd);
        std::memcpy(m_buffer.data() + m_nEnd, pIn, nTake);
        m_nEnd += nTake;
        pIn += nTake;
        nCount -= nTake;
    }
}

void CDiskFile::WriteBuffer()
{
    std::size_t nDone = 0;
    while (nDone < m_nEnd) {
        const ssize_t n = ::write(m_fd, m_buffer.data() + nDone, m_nEnd - nDone);
        ++m_nSystemCalls;
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            throw CFileException(CauseFromErrno(err), err);
        }
        nDone += static_cast<std::size_t>(n);
    }
    m_nEnd = 0;
}

void CDiskFile::Flush()
{
    WriteBuffer();
    if (::fsync(m_fd) != 0)
        throw CFileException(CauseFromErrno(errno), errno);
    ++m_nSystemCalls;
}

void CDiskFile::Close()
{
    if (m_fd < 0)
        return;
    if (m_bWriting)
        Flush();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && m_bWriting)
        throw CFileException(CauseFromErrno(errno), errno);
}
