#pragma once

#include <string>

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
    // A locked temporary file beside the target; -1 with errno when none can be made.
    int CreateTemporary();

    bool OpenInPlace(CDiskFile& file, int* pError);

    std::string m_strPath;
    std::string m_endMark;
    std::string m_strTarget; // m_strPath with its symbolic links followed
    std::string m_strTemp;   // empty when writing in place
    int m_lockFd = -1;       // keeps the temporary file locked until it is renamed
    int m_nError = 0;
};
