#include "history_file.h"

#include "user_folders.h"
#include "windows_path.h"

#include <windows.h>

namespace
{

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The path with every link followed, without the "\\?\" the system puts in
// front; empty when that fails.
std::wstring FinalPath(const std::wstring& path)
{
    const HANDLE file = ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::wstring finalPath(MAX_PATH, L'\0');
    DWORD nLength = ::GetFinalPathNameByHandleW(file, finalPath.data(),
                                                static_cast<DWORD>(finalPath.size()), 0);
    if (nLength >= finalPath.size()) {
        finalPath.resize(nLength);
        nLength = ::GetFinalPathNameByHandleW(file, finalPath.data(),
                                              static_cast<DWORD>(finalPath.size()), 0);
    }
    ::CloseHandle(file);
    if (nLength == 0 || nLength >= finalPath.size())
        return {};
    finalPath.resize(nLength);
    if (finalPath.starts_with(L"\\\\?\\"))
        finalPath.erase(0, 4);
    return finalPath;
}

// Paths compare without regard to case, as the file system compares them.
bool StartsWithFolder(const std::wstring& path, const std::wstring& folder)
{
    return folder.size() > 1 && path.size() > folder.size() &&
           ::CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                  static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

// A regular file with one name; the user's own by the place it lies in.
bool IsSingleRegularFile(const std::wstring& path)
{
    const HANDLE file = ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool bOk = ::GetFileInformationByHandle(file, &info) &&
                     !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                     info.nNumberOfLinks == 1;
    ::CloseHandle(file);
    return bOk;
}

} // namespace

bool CHistoryFile::IsWritable(const std::string& strPath)
{
    const std::wstring path = WidePath(strPath);
    const DWORD nAttributes = ::GetFileAttributesW(path.c_str());
    if (nAttributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD dwError = ::GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
    }
    if (nAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    if (!(nAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return IsSingleRegularFile(path);
    // A link the user made to keep the history elsewhere in the profile is
    // followed; one out of it is not.
    const std::string strHome = CUserFolders::HomeFolder();
    const std::wstring home = strHome.empty() ? std::wstring() : FinalPath(WidePath(strHome));
    const std::wstring target = FinalPath(path);
    return !home.empty() && !target.empty() && StartsWithFolder(target, home + L"\\") &&
           IsSingleRegularFile(target);
}

bool CHistoryFile::Remove(const std::string& strPath)
{
    // A link is removed as itself: DeleteFileW does not follow it.
    return ::DeleteFileW(WidePath(strPath).c_str()) != FALSE;
}
