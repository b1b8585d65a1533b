#include "system_call.h"

#include <algorithm>
#include <thread>

namespace
{

struct SInjection {
    bool bActive = false;
    int nError = 0;
    int nSkip = 0;
    int nCount = 0;
    int nFailed = 0;
};

// Each thread its own: a test's failure never reaches a thread it did not mean.
thread_local SInjection g_injection;

} // namespace

CSystemCall::CInjectedFailure::CInjectedFailure(int nError, int nSkip, int nCount)
{
    g_injection = {true, nError, nSkip, nCount, 0};
}

CSystemCall::CInjectedFailure::~CInjectedFailure()
{
    g_injection = {};
}

int CSystemCall::CInjectedFailure::Failed() const
{
    return g_injection.nFailed;
}

bool CSystemCall::InjectedFailure()
{
    SInjection& injection = g_injection;
    if (!injection.bActive)
        return false;
    if (injection.nSkip > 0) {
        --injection.nSkip;
        return false;
    }
    if (injection.nFailed >= injection.nCount)
        return false;
    ++injection.nFailed;
    errno = injection.nError;
    return true;
}

int CSystemCall::WaitUntil(Clock::time_point end, const std::function<int(int nMs)>& wait)
{
    for (;;) {
        // Rounded up, so that a wait never ends just before its deadline and
        // spins through the last millisecond.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0)
            return 0;
        const int nMs = static_cast<int>(std::min<long long>(left.count(), 1 << 30));
        const int nReady = InjectedFailure() ? -1 : wait(nMs);
        if (nReady < 0 && errno == EINTR)
            continue;
        if (nReady != 0)
            return nReady < 0 ? -1 : nReady;
    }
}

bool CSystemCall::TryUntil(Clock::time_point end, Clock::duration step,
                           const std::function<bool()>& attempt)
{
    for (;;) {
        if (attempt())
            return true;
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(step);
    }
}
