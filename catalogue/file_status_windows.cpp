#include "file_status.h"

#include "windows_path.h"

#include <random>
#include <windows.h>

namespace
{

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows counts time in 100 ns steps.
void SplitTime(LONGLONG nTicks, std::int64_t& nSeconds, std::int64_t& nNanoseconds)
{
    nSeconds = nTicks / 10000000;
    nNanoseconds = (nTicks % 10000000) * 100;
}

} // namespace

std::optional<CFileStatus> CFileStatus::Of(const std::string& strPath)
{
    if (strPath.empty())
        return std::nullopt;
    const HANDLE file = ::CreateFileW(WidePath(strPath).c_str(), 0, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    const bool bOk = ::GetFileInformationByHandle(file, &info) &&
                     ::GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times);
    ::CloseHandle(file);
    if (!bOk)
        return std::nullopt;
    CFileStatus status;
    status.m_nDevice = info.dwVolumeSerialNumber;
    status.m_nFile = (static_cast<std::int64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    status.m_nSize = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    SplitTime(times.LastWriteTime.QuadPart, status.m_nModifiedSeconds,
              status.m_nModifiedNanoseconds);
    SplitTime(times.ChangeTime.QuadPart, status.m_nChangedSeconds, status.m_nChangedNanoseconds);
    return status;
}

bool CFileStatus::CanWriteFile(const std::string& strPath)
{
    // Opened for writing and closed again, its content untouched.
    const HANDLE file = ::CreateFileW(WidePath(strPath).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

bool CFileStatus::CanWriteFolder(const std::string& strFolder)
{
    // Windows' permissions are only known by trying: a file of a name no one
    // else uses, made there and gone when it is closed.
    std::random_device random;
    const std::string strProbe = strFolder + ".quillbridge-probe-" + std::to_string(random()) +
                                 std::to_string(::GetCurrentProcessId());
    const HANDLE file =
        ::CreateFileW(WidePath(strProbe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}
