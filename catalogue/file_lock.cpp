#include "file_lock.h"

#include "system_call.h"

namespace
{

constexpr auto kWait = std::chrono::seconds(10);
constexpr auto kPoll = std::chrono::milliseconds(5);

} // namespace

CFileLock::CFileLock(const std::string& strPath) : CFileLock(strPath, kWait) {}

CFileLock::CFileLock(const std::string& strPath, std::chrono::milliseconds wait)
    : m_file(OpenLockFile(strPath))
{
    if (m_file == -1)
        return;
    CSystemCall::TryUntil(CSystemCall::Clock::now() + wait, kPoll, [this] {
        const Attempt attempt = TryLock(m_file);
        m_bLocked = attempt == attemptLocked;
        return attempt != attemptBusy;
    });
}

CFileLock::~CFileLock()
{
    // Closing the file releases the lock.
    if (m_file != -1)
        CloseLockFile(m_file);
}
