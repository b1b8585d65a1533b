#include "file_lock.h"

#include "windows_path.h"

#include <windows.h>

std::intptr_t CFileLock::OpenLockFile(const std::string& strPath)
{
    // Never through a link (the link itself is opened, then refused); a lock
    // file that another user made can still be locked read-only.
    const std::wstring path = WidePath(strPath);
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr,
                                OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
        file = ::CreateFileW(path.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        ::CloseHandle(file);
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(file);
}

CFileLock::Attempt CFileLock::TryLock(std::intptr_t file)
{
    OVERLAPPED at{};
    if (::LockFileEx(reinterpret_cast<HANDLE>(file),
                     LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                     &at))
        return attemptLocked;
    return ::GetLastError() == ERROR_LOCK_VIOLATION ? attemptBusy : attemptFailed;
}

void CFileLock::CloseLockFile(std::intptr_t file)
{
    // Unlocked first: closing releases a lock only some time later.
    OVERLAPPED at{};
    ::UnlockFileEx(reinterpret_cast<HANDLE>(file), 0, MAXDWORD, MAXDWORD, &at);
    ::CloseHandle(reinterpret_cast<HANDLE>(file));
}
