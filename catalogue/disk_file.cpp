#include "disk_file.h"

#include "file_exception.h"

#include <algorithm>
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

CDiskFile::~CDiskFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CDiskFile::Open(const std::string& strPath, OpenMode mode, int* pError)
{
    // Opened without blocking, so that a FIFO or a device under the catalogue's
    // name cannot hang the host; anything but a regular file is refused.
    const int flags = mode == modeRead ? O_RDONLY : O_WRONLY | O_CREAT;
    const int fd = ::open(strPath.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    ++m_nSystemCalls;
    std::size_t nLength = 0;
    const int err = fd < 0 ? errno : RegularFileError(fd, nLength);
    if (err != 0) {
        if (fd >= 0)
            ::close(fd);
        if (pError)
            *pError = err;
        return false;
    }
    m_fd = fd;
    m_bWriting = mode != modeRead;
    m_bHoldAll = mode == modeOverwrite;
    m_nLength = m_bWriting ? 0 : nLength;
    m_buffer.resize(kBufferSize);
    m_nPos = m_nEnd = 0;
    return true;
}

void CDiskFile::AttachForWriting(int fd)
{
    m_fd = fd;
    m_bWriting = true;
    m_bHoldAll = false;
    m_buffer.resize(kBufferSize);
    m_nPos = m_nEnd = 0;
}

std::size_t CDiskFile::Read(void* pBuffer, std::size_t nCount)
{
    auto* pOut = static_cast<unsigned char*>(pBuffer);
    // What the buffer holds first; a small read is served from it alone.
    std::size_t nDone = std::min(nCount, m_nEnd - m_nPos);
    std::memcpy(pOut, m_buffer.data() + m_nPos, nDone);
    m_nPos += nDone;
    while (nDone < nCount) {
        // A large request goes straight into the caller's memory, a small one
        // refills the buffer.
        const bool bDirect = nCount - nDone >= m_buffer.size();
        unsigned char* pTarget = bDirect ? pOut + nDone : m_buffer.data();
        const std::size_t nAsk = bDirect ? nCount - nDone : m_buffer.size();
        const std::size_t n = ReadSome(pTarget, nAsk);
        if (n == 0)
            break;
        if (bDirect) {
            nDone += n;
            continue;
        }
        m_nPos = 0;
        m_nEnd = n;
        const std::size_t nTake = std::min(nCount - nDone, m_nEnd);
        std::memcpy(pOut + nDone, m_buffer.data(), nTake);
        m_nPos = nTake;
        nDone += nTake;
    }
    return nDone;
}

std::size_t CDiskFile::ReadSome(unsigned char* pTarget, std::size_t nCount)
{
    ssize_t n;
    do {
        n = ::read(m_fd, pTarget, nCount);
        ++m_nSystemCalls;
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        throw CFileException(CauseFromErrno(errno), errno);
    return static_cast<std::size_t>(n);
}

void CDiskFile::Write(const void* pBuffer, std::size_t nCount)
{
    const auto* pIn = static_cast<const unsigned char*>(pBuffer);
    if (m_bHoldAll && nCount > m_buffer.size() - m_nEnd)
        m_buffer.resize(std::max(m_nEnd + nCount, 2 * m_buffer.size()));
    if (nCount > m_buffer.size() - m_nEnd) {
        // What does not fit goes out after the buffered bytes, the large rest
        // straight from the caller's memory.
        WriteBuffer();
        if (nCount >= m_buffer.size()) {
            WriteAll(pIn, nCount);
            return;
        }
    }
    std::memcpy(m_buffer.data() + m_nEnd, pIn, nCount);
    m_nEnd += nCount;
}

void CDiskFile::WriteBuffer()
{
    WriteAll(m_buffer.data(), m_nEnd);
    m_nEnd = 0;
}

void CDiskFile::WriteAll(const unsigned char* pData, std::size_t nCount)
{
    std::size_t nDone = 0;
    while (nDone < nCount) {
        const ssize_t n = ::write(m_fd, pData + nDone, nCount - nDone);
        ++m_nSystemCalls;
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            throw CFileException(CauseFromErrno(err), err);
        }
        nDone += static_cast<std::size_t>(n);
    }
}
void CDiskFile::OverwriteHeld()
{
    // The old content stays whole until the one write that replaces it; the
    // end mark after the new content hides an old tail from the reader until
    // the cut, which comes last.
    const std::size_t nContent = m_nEnd;
    m_buffer.resize(std::max(m_buffer.size(), nContent + m_endMark.size()));
    std::copy(m_endMark.begin(), m_endMark.end(), m_buffer.begin() + static_cast<long>(nContent));
    const off_t nAt = ::lseek(m_fd, 0, SEEK_CUR);
    ++m_nSystemCalls;
    if (nAt < 0)
        throw CFileException(CauseFromErrno(errno), errno);
    WriteAll(m_buffer.data(), nContent + m_endMark.size());
    const off_t nNewEnd = nAt + static_cast<off_t>(nContent);
    int nResult;
    do {
        nResult = ::ftruncate(m_fd, nNewEnd);
        ++m_nSystemCalls;
    } while (nResult != 0 && errno == EINTR);
    if (nResult != 0 || ::lseek(m_fd, nNewEnd, SEEK_SET) < 0)
        throw CFileException(CauseFromErrno(errno), errno);
    m_nEnd = 0;
}

void CDiskFile::Flush()
{
    if (m_bHoldAll)
        OverwriteHeld();
    else
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
