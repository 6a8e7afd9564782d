// The framework's failure reporting. Every operation that calls the platform
// passes the result to one of the two checks below, which turn a failed call
// into an exception naming the call and the framework operation. Besides the
// exception tree, this module holds the two kinds of programming error
// (a broken precondition, an index out of range), which are deliberately not
// WivelExceptions, and the one way a destructor reports a failed release.
#pragma once

#include <windows.h>

#include <concepts>
#include <cstddef>
#include <source_location>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wivel {

class WivelException : public std::runtime_error {
public:
    explicit WivelException(const std::string& message);
};

class UnknownAPIException : public WivelException {
public:
    UnknownAPIException(std::string_view call, std::string_view operation);
};

class DefinedAPIException : public WivelException {
public:
    DefinedAPIException(DWORD code, std::string_view call, std::string_view operation);

    DWORD errorCode() const { return m_errorCode; }

private:
    DWORD m_errorCode;
};

namespace detail {
// Reads the thread's last-error code and throws DefinedAPIException unless
// the code is zero.
void failDefinedAPI(std::string_view call, std::string_view operation);
}

// Both checks take a platform result in which zero (false, a null handle)
// means failure. A call that signals failure some other way is passed as the
// outcome of the caller's own comparison. The last-error code must still be
// the one the failed call set: nothing may call the platform in between.
template<std::integral Result>
void checkDefinedAPI(Result result, std::string_view call, std::string_view operation)
{
    if (result == 0)
        detail::failDefinedAPI(call, operation);
}

inline void checkDefinedAPI(const void* result, std::string_view call, std::string_view operation)
{
    if (result == nullptr)
        detail::failDefinedAPI(call, operation);
}

template<std::integral Result>
void checkUnknownAPI(Result result, std::string_view call, std::string_view operation)
{
    if (result == 0)
        throw UnknownAPIException(call, operation);
}

inline void checkUnknownAPI(const void* result, std::string_view call, std::string_view operation)
{
    if (result == nullptr)
        throw UnknownAPIException(call, operation);
}

// ---- Programming errors ------------------------------------------------
// A broken precondition and an index outside its range are faults of the
// calling code, not of the platform. They throw rather than abort so that,
// inside message handling, they reach the window procedure's recovery like
// any other exception; they are not WivelExceptions, so that nothing that
// handles platform failures swallows them by accident.

class AssertionFailure : public std::logic_error {
public:
    explicit AssertionFailure(const std::string& message);
};

class RangeError : public std::out_of_range {
public:
    explicit RangeError(const std::string& message);
};

[[noreturn]] void failAssertion(std::string_view condition, std::source_location where);
[[noreturn]] void failRange(std::string_view condition, std::source_location where);

// `condition` describes what must hold, in the caller's words.
inline void require(bool holds, std::string_view condition,
    std::source_location where = std::source_location::current())
{
    if (!holds)
        failAssertion(condition, where);
}

inline void requireInRange(bool holds, std::string_view condition,
    std::source_location where = std::source_location::current())
{
    if (!holds)
        failRange(condition, where);
}

// ---- Failed releases ---------------------------------------------------
// A destructor cannot throw, so a platform release that fails there is
// passed to checkRelease instead of a check. checkRelease never throws and
// never calls the platform beyond reading the last-error code: it counts
// the failure process-wide and keeps it as the calling thread's latest
// report, where a test or a diagnostic can look. The program writes no log,
// so nothing is printed. The texts must outlive the report (string literals).

struct ReleaseFailure {
    DWORD errorCode = 0;
    const char* call = "";
    const char* operation = "";
};

void checkRelease(bool released, const char* call, const char* operation) noexcept;
// Failed releases reported so far by all threads.
std::size_t releaseFailureCount() noexcept;
// The calling thread's most recent report; empty texts when it has none.
ReleaseFailure lastReleaseFailure() noexcept;

}
