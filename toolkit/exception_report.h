#pragma once

#include <exception>
#include <utility>

#include "win_defs.h"

// The general report of a failure that escaped a message handler: a message
// box with the stop icon, captioned with the application name, telling the
// exception's own text ("Internal application error." when it has none).
void AfxReportException(const std::exception_ptr& pException, HWND hOwner = nullptr) noexcept;

// Runs a handler the way the window system calls one: whatever it raises ends
// the handler and goes to the general report, and the window goes on.
// Returns false when the handler raised.
template <class Handler> bool AfxCallHandler(HWND hOwner, Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (...) {
        AfxReportException(std::current_exception(), hOwner);
        return false;
    }
}
