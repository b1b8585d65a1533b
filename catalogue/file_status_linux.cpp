#include "file_status.h"

#include <sys/stat.h>
#include <unistd.h>

std::optional<CFileStatus> CFileStatus::Of(const std::string& strPath)
{
    struct stat st {
    };
    if (strPath.empty() || ::stat(strPath.c_str(), &st) != 0)
        return std::nullopt;
    CFileStatus status;
    status.m_nDevice = static_cast<std::int64_t>(st.st_dev);
    status.m_nFile = static_cast<std::int64_t>(st.st_ino);
    status.m_nSize = static_cast<std::int64_t>(st.st_size);
    status.m_nModifiedSeconds = st.st_mtim.tv_sec;
    status.m_nModifiedNanoseconds = st.st_mtim.tv_nsec;
    status.m_nChangedSeconds = st.st_ctim.tv_sec;
    status.m_nChangedNanoseconds = st.st_ctim.tv_nsec;
    return status;
}

bool CFileStatus::CanWriteFile(const std::string& strPath)
{
    return ::access(strPath.c_str(), W_OK) == 0;
}

bool CFileStatus::CanWriteFolder(const std::string& strFolder)
{
    return ::access(strFolder.c_str(), W_OK | X_OK) == 0;
}
