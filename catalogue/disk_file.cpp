#include "disk_file.h"

#include "file_exception.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

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
#ifdef EDQUOT
    case EDQUOT:
#endif
        return CFileException::diskFull;
    default:
        return CFileException::generic;
    }
}

} // namespace

CDiskFile::~CDiskFile()
{
    if (m_fd != kNoHandle)
        CloseNative(m_fd);
}

bool CDiskFile::Open(const std::string& strPath, OpenMode mode, int* pError)
{
    std::size_t nLength = 0;
    int nError = 0;
    const Handle file = OpenHandle(strPath, mode, nLength, nError);
    ++m_nSystemCalls;
    if (file == kNoHandle) {
        if (pError)
            *pError = nError;
        return false;
    }
    m_fd = file;
    m_bWriting = mode != modeRead;
    m_bHoldAll = mode == modeOverwrite;
    m_nLength = m_bWriting ? 0 : nLength;
    m_buffer.resize(kBufferSize);
    m_nPos = m_nEnd = 0;
    m_nWritten = m_nWritebackFrom = 0;
    return true;
}

void CDiskFile::AttachForWriting(Handle file)
{
    m_fd = file;
    m_bWriting = true;
    m_bHoldAll = false;
    m_buffer.resize(kBufferSize);
    m_nPos = m_nEnd = 0;
    m_nWritten = m_nWritebackFrom = 0;
}

void CDiskFile::Fail(int nError)
{
    throw CFileException(CauseFromErrno(nError), nError);
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

void CDiskFile::OverwriteHeld()
{
    // The old content stays whole until the one write that replaces it; the
    // end mark after the new content hides an old tail from the reader until
    // the cut, which comes last.
    const std::size_t nContent = m_nEnd;
    m_buffer.resize(std::max(m_buffer.size(), nContent + m_endMark.size()));
    std::copy(m_endMark.begin(), m_endMark.end(), m_buffer.begin() + static_cast<long>(nContent));
    const std::uint64_t nAt = Position();
    WriteAll(m_buffer.data(), nContent + m_endMark.size());
    CutAt(nAt + nContent);
    m_nEnd = 0;
}

void CDiskFile::Flush()
{
    if (m_bHoldAll)
        OverwriteHeld();
    else
        WriteBuffer();
    Sync();
    ++m_nSystemCalls;
}

void CDiskFile::Close()
{
    if (m_fd == kNoHandle)
        return;
    if (m_bWriting)
        Flush();
    const Handle file = m_fd;
    m_fd = kNoHandle;
    const int nError = CloseNative(file);
    if (nError != 0 && m_bWriting)
        Fail(nError);
}
