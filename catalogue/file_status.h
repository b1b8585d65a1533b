#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// What the rules of where catalogues lie and when they were saved need to
// know of a path, as the system tells it (links followed).
class CFileStatus
{
public:
    // Nothing when the path names nothing.
    static std::optional<CFileStatus> Of(const std::string& strPath);
    // Whether the user may write the file, and whether new files can be made
    // in the folder (strFolder ends in a separator); neither changes anything.
    static bool CanWriteFile(const std::string& strPath);
    static bool CanWriteFolder(const std::string& strFolder);

    // Which file it is, its size and when its content and its record last
    // changed: two states of one path with the same signature are the same save.
    std::array<std::int64_t, 7> Signature() const
    {
        return {m_nDevice,
                m_nFile,
                m_nSize,
                m_nModifiedSeconds,
                m_nModifiedNanoseconds,
                m_nChangedSeconds,
                m_nChangedNanoseconds};
    }
    // Whether the content changed later than other's.
    bool IsNewerThan(const CFileStatus& other) const
    {
        return m_nModifiedSeconds != other.m_nModifiedSeconds
                   ? m_nModifiedSeconds > other.m_nModifiedSeconds
                   : m_nModifiedNanoseconds > other.m_nModifiedNanoseconds;
    }

private:
    std::int64_t m_nDevice = 0;
    std::int64_t m_nFile = 0;
    std::int64_t m_nSize = 0;
    std::int64_t m_nModifiedSeconds = 0;
    std::int64_t m_nModifiedNanoseconds = 0;
    std::int64_t m_nChangedSeconds = 0;
    std::int64_t m_nChangedNanoseconds = 0;
};
