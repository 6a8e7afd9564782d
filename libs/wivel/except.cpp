// The exception tree's constructors, the message of a failed platform call
// with the system's own text for its code, and the record of failed releases.
#include "except.h"

#include <atomic>
#include <memory>

namespace wivel {
namespace {

struct LocalBufferFree {
    void operator()(char* buffer) const { LocalFree(buffer); }
};

std::string definedMessage(DWORD code, std::string_view call, std::string_view operation)
{
    // Inserts are ignored: some system texts contain %1-style inserts, and
    // without arguments to fill them the platform would read arguments that
    // were never passed. The text then keeps its inserts literally.
    char* raw = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER
            | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&raw), 0, nullptr);
    const std::unique_ptr<char, LocalBufferFree> buffer(raw);
    const std::string_view systemText = length != 0 && buffer ? std::string_view(buffer.get(), length) : "";

    std::string message = "Exception ";
    message += std::to_string(code);
    message += " in Windows API call ";
    message += call;
    message += " in ";
    message += operation;
    message += ":\n";
    message += systemText;
    return message;
}

std::string withPlace(std::string_view kind, std::string_view condition, const std::source_location& where)
{
    std::string_view file = where.file_name();
    if (const auto slash = file.find_last_of("/\\"); slash != std::string_view::npos)
        file.remove_prefix(slash + 1);
    std::string message(kind);
    message += condition;
    message += " (";
    message += file;
    message += ':';
    message += std::to_string(where.line());
    message += ')';
    return message;
}

std::atomic<std::size_t> releaseFailures { 0 };
thread_local ReleaseFailure latestReleaseFailure;

}

WivelException::WivelException(const std::string& message)
    : std::runtime_error(message)
{
}

UnknownAPIException::UnknownAPIException(std::string_view call, std::string_view operation)
    : WivelException("Unknown exception in Windows API call " + std::string(call) + " in " + std::string(operation))
{
}

DefinedAPIException::DefinedAPIException(DWORD code, std::string_view call, std::string_view operation)
    : WivelException(definedMessage(code, call, operation))
    , m_errorCode(code)
{
}

void detail::failDefinedAPI(std::string_view call, std::string_view operation)
{
    const DWORD code = GetLastError();
    if (code != 0)
        throw DefinedAPIException(code, call, operation);
}

AssertionFailure::AssertionFailure(const std::string& message)
    : std::logic_error(message)
{
}

RangeError::RangeError(const std::string& message)
    : std::out_of_range(message)
{
}

void failAssertion(std::string_view condition, std::source_location where)
{
    throw AssertionFailure(withPlace("Assertion failed: ", condition, where));
}

void failRange(std::string_view condition, std::source_location where)
{
    throw RangeError(withPlace("Range violation: ", condition, where));
}

void checkRelease(bool released, const char* call, const char* operation) noexcept
{
    if (released)
        return;
    latestReleaseFailure = ReleaseFailure { GetLastError(), call, operation };
    releaseFailures.fetch_add(1, std::memory_order_relaxed);
}

std::size_t releaseFailureCount() noexcept { return releaseFailures.load(std::memory_order_relaxed); }

ReleaseFailure lastReleaseFailure() noexcept { return latestReleaseFailure; }

}
