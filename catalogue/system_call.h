#pragma once

#include <cerrno>
#include <chrono>
#include <functional>

// The one place that waits out what the system does between a call and its
// answer: a call a signal interrupts is made again, a wait for a file or a
// socket stops at its deadline with the time left recomputed after each
// interruption, and an attempt that finds something busy is tried again
// until a deadline. Every call made through here can be made to fail in a
// test (CInjectedFailure), so that the callers' handling of a failure is
// tested and not only read.
class CSystemCall
{
public:
    using Clock = std::chrono::steady_clock;

    // call(), made again for as long as it fails with EINTR; its result
    // otherwise, with errno as the call left it.
    template <class Call> static auto Retry(Call call) -> decltype(call())
    {
        for (;;) {
            const auto result = InjectedFailure() ? decltype(call())(-1) : call();
            if (result != -1 || errno != EINTR)
                return result;
        }
    }

    // Waits through wait(nMs), a wait of at most nMs milliseconds that returns
    // above 0 when ready, 0 when nothing came, -1 with errno when it failed
    // (::poll, say), until it is ready or end has passed. Its result: above 0
    // ready, 0 end passed, -1 failed with errno.
    static int WaitUntil(Clock::time_point end, const std::function<int(int nMs)>& wait);

    // Makes attempts (each returning false while what it wants is busy) every
    // step until one is not busy or end has passed; whether one was not busy.
    static bool TryUntil(Clock::time_point end, Clock::duration step,
                         const std::function<bool()>& attempt);

    // While one lives, calls through Retry and WaitUntil on its thread fail
    // with nError without reaching the system: nCount of them, after the
    // first nSkip. An EINTR so given is retried like a real one.
    class CInjectedFailure
    {
    public:
        CInjectedFailure(int nError, int nSkip = 0, int nCount = 1);
        CInjectedFailure(const CInjectedFailure&) = delete;
        CInjectedFailure& operator=(const CInjectedFailure&) = delete;
        ~CInjectedFailure();
        // The calls that were made to fail so far.
        int Failed() const;
    };

private:
    // Whether the next call is to fail; sets errno for it.
    static bool InjectedFailure();
};
