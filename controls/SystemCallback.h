#pragma once
// The bodies of the functions Windows calls back: window procedures, timer
// procedures and enumeration callbacks. Nothing they raise may unwind into the
// system, which a 32-bit program cannot unwind through; what escapes goes to
// the application's error display as a message handler's error does, and the
// system is answered as if the callback had failed.

#include <exception>

namespace velbrin {

class TWinControl;

// Hands an exception raised where Windows called the library to the installed
// exception reporter (the standard error stream without one). `control` is the
// control whose message it was, or null. Never throws.
void ReportRaisedException(TWinControl* control, std::exception_ptr error) noexcept;

// Runs `body` and returns its result, or `failure` when it raised.
template <class Result, class Body> Result GuardedCallback(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        ReportRaisedException(nullptr, std::current_exception());
        return failure;
    }
}

// Runs `body`, whose result the system does not read.
template <class Body> void GuardedCallback(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        ReportRaisedException(nullptr, std::current_exception());
    }
}

} // namespace velbrin
