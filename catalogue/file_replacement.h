#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CDiskFile;

// Rewrites one catalogue file whole so that a failed or killed save never costs
// the old content: the new content goes to a temporary file beside the file and
// replaces it only when complete. A symbolic link is written through to its
// target, whose permission bits and owner are kept. A file with several hard
// links, and a file in a folder where no temporary file can be made, are
// rewritten in place instead, which keeps the links and the edits: the new
// content is complete in memory before the file is touched and goes over the
// old one in a single write, followed by the end mark; the file is cut to its
// new length after that. Only a kill inside that one write can leave a mixture.
class CFileReplacement
{
public:
    // strPath in the system's own bytes; endMark, bytes at which the file's
    // reader stops, guards an in-place rewrite until the old tail is cut off.
    explicit CFileReplacement(std::string strPath, std::string endMark = {});
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;
    // Removes the temporary file of a replacement that was not committed.
    ~CFileReplacement();

    // Opens file for the new content; false when the file cannot be written
    // (then nothing has changed on disk, and GetError() tells why).
    bool Open(CDiskFile& file);
    // Closes file (raises when its data did not reach the disk) and puts the new
    // content in place; false when that last step fails.
    bool Commit(CDiskFile& file);
    // The system's error number of the Open or Commit that returned false.
    int GetError() const { return m_nError; }

    // Removes the temporary files that killed saves left beside the file that
    // strPath names (through its links). Only names of the form
    // "<name>.quillbridge-save-XXXXXX" that no running save holds are removed.
    static void RemoveLeftovers(const std::string& strPath);

private:
    // Temporary files are named "<name>" + kTemporaryInfix + kTemporaryLetters
    // letters and digits.
    static constexpr std::string_view kTemporaryInfix = ".quillbridge-save-";
    static constexpr std::size_t kTemporaryLetters = 6;

    struct Status {
        bool bExists = false;
        bool bRegular = false;
        bool bDirectory = false;
        // Marked not to be changed (Windows' read-only attribute).
        bool bReadOnly = false;
        unsigned long nLinks = 0;
    };

    bool OpenInPlace(CDiskFile& file, int* pError);
    static void RemoveLeftoversBeside(const std::string& strTarget);
    static bool IsTemporaryName(std::string_view name, std::string_view prefix);
    static std::string DirectoryOf(const std::string& strPath);

    // Each platform's side; errors are the system's error numbers.
    // The file a write to strPath reaches; nothing for a loop of links.
    static std::optional<std::string> ResolveTarget(const std::string& strPath);
    static Status StatusOf(const std::string& strPath);
    static std::vector<std::string> NamesIn(const std::string& strDir);
    // Removes a temporary file that no running save holds.
    static void RemoveIfAbandoned(const std::string& strPath);
    // Makes a temporary file beside the target, held against other saves'
    // clean-up until it is renamed, and attaches file to it; 0 or the error.
    int OpenTemporary(CDiskFile& file, bool bTargetExists);
    // Puts the written temporary file in the target's place; 0 or the error.
    int ReplaceTarget();
    // Removes a temporary file that was not put in place, and lets go of it.
    void Discard();

    std::string m_strPath;
    std::string m_endMark;
    std::string m_strTarget;   // m_strPath with its symbolic links followed
    std::string m_strTemp;     // empty when writing in place
    std::intptr_t m_lock = -1; // holds the temporary file until it is renamed
    int m_nError = 0;
};
