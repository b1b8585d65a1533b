#pragma once

#include <string>

// An advisory lock (flock) on a file of its own, so that the read, merge and
// write of two saves of one catalogue never interleave. The lock file is never
// removed: removing it would let a third save lock a new file while the second
// still holds the old one.
class CFileLock
{
public:
    // Waits up to a few seconds for the lock; a save that cannot have it in
    // that time (the lock file cannot be made, or another process hangs with
    // it) goes on without, rather than hang the host or lose its edits.
    explicit CFileLock(const std::string& strPath);
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    ~CFileLock();

private:
    int m_fd = -1;
};
