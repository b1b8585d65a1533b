#include "file_lock.h"

#include <chrono>
#include <thread>

namespace
{

constexpr auto kWait = std::chrono::seconds(10);
constexpr auto kPoll = std::chrono::milliseconds(5);

} // namespace

CFileLock::CFileLock(const std::string& strPath) : m_file(OpenLockFile(strPath))
{
    if (m_file == -1)
        return;
    const auto end = std::chrono::steady_clock::now() + kWait;
    for (;;) {
        const Attempt attempt = TryLock(m_file);
        if (attempt != attemptBusy || std::chrono::steady_clock::now() >= end)
            return;
        std::this_thread::sleep_for(kPoll);
    }
}

CFileLock::~CFileLock()
{
    // Closing the file releases the lock.
    if (m_file != -1)
        CloseLockFile(m_file);
}
