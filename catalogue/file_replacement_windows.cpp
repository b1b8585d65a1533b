#include "file_replacement.h"

#include "disk_file.h"
#include "system_call.h"
#include "windows_path.h"

#include <cerrno>
#include <chrono>
#include <random>
#include <windows.h>

namespace
{

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// How long a replacement waits for a reader that holds the file (Windows
// replaces no file that is open), before the save goes elsewhere.
constexpr auto kSharingWait = std::chrono::seconds(2);
constexpr auto kSharingPoll = std::chrono::milliseconds(20);

std::string RandomLetters(std::size_t nCount)
{
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random(std::random_device{}() ^ ::GetCurrentProcessId());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string strLetters;
    for (std::size_t i = 0; i < nCount; ++i)
        strLetters.push_back(kLetters[pick(random)]);
    return strLetters;
}

} // namespace

// A link where the catalogue should be is not followed: StatusOf refuses it.
std::optional<std::string> CFileReplacement::ResolveTarget(const std::string& strPath)
{
    return strPath;
}

CFileReplacement::Status CFileReplacement::StatusOf(const std::string& strPath)
{
    // The name itself, also when it is a link; a device or a pipe is no file.
    const HANDLE file =
        ::CreateFileW(WidePath(strPath).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD nError = ::GetLastError();
        const bool bMissing = nError == ERROR_FILE_NOT_FOUND || nError == ERROR_PATH_NOT_FOUND;
        return bMissing ? Status{} : Status{true, false, false, false, 0};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    Status status{true, false, false, false, 0};
    if (::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &info)) {
        status.bDirectory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        status.bRegular =
            !status.bDirectory && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        status.bReadOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        status.nLinks = info.nNumberOfLinks;
    }
    ::CloseHandle(file);
    return status;
}

std::vector<std::string> CFileReplacement::NamesIn(const std::string& strDir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE find = ::FindFirstFileExW(WidePath(strDir + "*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(Utf8Path(found.cFileName));
    while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return names;
}

// A running save holds its temporary file open, which keeps anyone from
// opening it alone; one that was killed no longer does. A link under such a
// name is removed itself, never what it points to.
void CFileReplacement::RemoveIfAbandoned(const std::string& strPath)
{
    const HANDLE file =
        ::CreateFileW(WidePath(strPath).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                      FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
}

int CFileReplacement::OpenTemporary(CDiskFile& file, bool /*bTargetExists*/)
{
    // The new file takes the folder's permissions, as any new file there does.
    for (int nAttempt = 0; nAttempt < 10; ++nAttempt) {
        std::string strTemp =
            m_strTarget + std::string(kTemporaryInfix) + RandomLetters(kTemporaryLetters);
        const std::wstring temp = WidePath(strTemp);
        const HANDLE written =
            ::CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (written == INVALID_HANDLE_VALUE) {
            if (::GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return ErrnoFromWindowsError(::GetLastError());
        }
        // A second handle holds the file from its creation until it is renamed,
        // after the written one is closed; the rename itself may pass it.
        const HANDLE held = ::CreateFileW(temp.c_str(), GENERIC_READ, kShareAll, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        if (held == INVALID_HANDLE_VALUE) {
            const int nError = ErrnoFromWindowsError(::GetLastError());
            ::CloseHandle(written);
            ::DeleteFileW(temp.c_str());
            return nError;
        }
        m_lock = reinterpret_cast<std::intptr_t>(held);
        m_strTemp = std::move(strTemp);
        file.AttachForWriting(reinterpret_cast<CDiskFile::Handle>(written));
        return 0;
    }
    return EEXIST;
}

int CFileReplacement::ReplaceTarget()
{
    // The written file was flushed to the disk when it was closed; the rename
    // goes through to the disk too. A file that someone holds open cannot be
    // replaced: a reader is waited for a moment.
    const std::wstring temp = WidePath(m_strTemp);
    const std::wstring target = WidePath(m_strTarget);
    DWORD nError = ERROR_SUCCESS;
    const bool bSettled =
        CSystemCall::TryUntil(CSystemCall::Clock::now() + kSharingWait, kSharingPoll, [&] {
            nError = ::MoveFileExW(temp.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                         ? ERROR_SUCCESS
                         : ::GetLastError();
            return nError != ERROR_SHARING_VIOLATION && nError != ERROR_ACCESS_DENIED;
        });
    if (!bSettled)
        return EBUSY;
    if (nError != ERROR_SUCCESS)
        return ErrnoFromWindowsError(nError);
    ::CloseHandle(reinterpret_cast<HANDLE>(m_lock));
    m_lock = -1;
    return 0;
}

void CFileReplacement::Discard()
{
    if (m_lock != -1)
        ::CloseHandle(reinterpret_cast<HANDLE>(m_lock));
    m_lock = -1;
    if (!m_strTemp.empty())
        ::DeleteFileW(WidePath(m_strTemp).c_str());
}
