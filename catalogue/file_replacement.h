#pragma once

#include <string>

class CDiskFile;

// Rewrites one catalogue file whole so that a failed or killed save never costs
// the old content: the new content goes to a temporary file beside the file and
// replaces it only when complete. A symbolic link is written through to its
// target, whose permission bits and owner are kept. A file with several hard
// links, and a file in a folder where no temporary file can be made, are
// rewritten in place instead (truncated, written, flushed and synced), which
// keeps the links and the edits at the price of a short window in which a
// killed save leaves only the records written so far.
class CFileReplacement
{
public:
    // strPath in the system's own bytes.
    explicit CFileReplacement(std::string strPath);
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
    // A locked temporary file beside the target; -1 with errno when none can be made.
    int CreateTemporary();

    std::string m_strPath;
    std::string m_strTarget; // m_strPath with its symbolic links followed
    std::string m_strTemp;   // empty when writing in place
    int m_lockFd = -1;       // keeps the temporary file locked until it is renamed
    int m_nError = 0;
};
