#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// An advisory lock (flock on Linux, LockFileEx on Windows) on a file of its own, so that the read,
// merge and write of two saves of one catalogue never interleave. The lock file is never removed:
// removing it would let a third save lock a new file while the second still holds the old one.
class CFileLock
{
public:
    // Waits up to a few seconds for the lock; a save that cannot have it in
    // that time (the lock file cannot be made, or another process hangs with
    // it) goes on without, rather than hang the host or lose its edits.
    explicit CFileLock(const std::string& strPath);
    // Waits up to wait for the lock.
    CFileLock(const std::string& strPath, std::chrono::milliseconds wait);
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    ~CFileLock();

    // Whether the lock is held.
    bool IsLocked() const { return m_bLocked; }

private:
    // Each platform's side: the lock file opened (never through a link, never
    // anything but a file), or -1; one attempt at the lock; closing it.
    enum Attempt { attemptLocked, attemptBusy, attemptFailed };
    static std::intptr_t OpenLockFile(const std::string& strPath);
    static Attempt TryLock(std::intptr_t file);
    static void CloseLockFile(std::intptr_t file);

    std::intptr_t m_file = -1;
    bool m_bLocked = false;
};
