#include "disk_file.h"

#include "windows_path.h"

#include <algorithm>
#include <cerrno>
#include <windows.h>

namespace
{

HANDLE Native(CDiskFile::Handle file)
{
    return reinterpret_cast<HANDLE>(file);
}

int LastError()
{
    return ErrnoFromWindowsError(::GetLastError());
}

// The most one call reads or writes.
constexpr std::size_t kMaxTransfer = 1u << 30;

} // namespace

CDiskFile::Handle CDiskFile::OpenHandle(const std::string& strPath, OpenMode mode,
                                        std::size_t& nLength, int& nError)
{
    const std::wstring path = WidePath(strPath);
    const DWORD nAttributes = ::GetFileAttributesW(path.c_str());
    if (nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        nError = EISDIR;
        return kNoHandle;
    }
    // Shared with every other opener, also one that deletes or replaces the
    // file: a save of another process must never fail because this one reads.
    const HANDLE file = ::CreateFileW(path.c_str(), mode == modeRead ? GENERIC_READ : GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, mode == modeRead ? OPEN_EXISTING : OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        nError = LastError();
        return kNoHandle;
    }
    // A device or a pipe under the catalogue's name is refused, as is
    // anything but a file on a disk.
    LARGE_INTEGER size{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &size)) {
        ::CloseHandle(file);
        nError = EINVAL;
        return kNoHandle;
    }
    nLength = static_cast<std::size_t>(size.QuadPart);
    return reinterpret_cast<Handle>(file);
}

std::size_t CDiskFile::ReadSome(unsigned char* pTarget, std::size_t nCount)
{
    DWORD nRead = 0;
    const BOOL bOk = ::ReadFile(
        Native(m_fd), pTarget, static_cast<DWORD>(std::min(nCount, kMaxTransfer)), &nRead, nullptr);
    ++m_nSystemCalls;
    if (!bOk)
        Fail(LastError());
    return nRead;
}

void CDiskFile::WriteAll(const unsigned char* pData, std::size_t nCount)
{
    std::size_t nDone = 0;
    while (nDone < nCount) {
        DWORD nWritten = 0;
        const BOOL bOk = ::WriteFile(Native(m_fd), pData + nDone,
                                     static_cast<DWORD>(std::min(nCount - nDone, kMaxTransfer)),
                                     &nWritten, nullptr);
        ++m_nSystemCalls;
        if (!bOk)
            Fail(LastError());
        if (nWritten == 0)
            Fail(ENOSPC);
        nDone += nWritten;
    }
}

std::uint64_t CDiskFile::Position()
{
    LARGE_INTEGER zero{}, at{};
    ++m_nSystemCalls;
    if (!::SetFilePointerEx(Native(m_fd), zero, &at, FILE_CURRENT))
        Fail(LastError());
    return static_cast<std::uint64_t>(at.QuadPart);
}

void CDiskFile::CutAt(std::uint64_t nEnd)
{
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(nEnd);
    ++m_nSystemCalls;
    if (!::SetFilePointerEx(Native(m_fd), end, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(Native(m_fd)))
        Fail(LastError());
}

void CDiskFile::Sync()
{
    if (!::FlushFileBuffers(Native(m_fd)))
        Fail(LastError());
}

int CDiskFile::CloseNative(Handle file)
{
    return ::CloseHandle(Native(file)) ? 0 : LastError();
}
