#include "core/Faults.h"

#include <winapi/host.h>

#include <map>
#include <mutex>
#include <string>

namespace winapi {
namespace {

struct Armed {
    unsigned count;
    DWORD errorCode;
};

std::mutex& faultLock()
{
    static std::mutex lock;
    return lock;
}

std::map<std::string, Armed, std::less<>>& armedTable()
{
    static std::map<std::string, Armed, std::less<>> table;
    return table;
}

}

std::atomic<unsigned> detail::armedFailures { 0 };

bool detail::consumeFailure(const char* operation)
{
    DWORD code = 0;
    {
        std::lock_guard guard(faultLock());
        auto& table = armedTable();
        const auto found = table.find(std::string_view(operation));
        if (found == table.end() || found->second.count == 0)
            return false;
        code = found->second.errorCode;
        if (--found->second.count == 0)
            table.erase(found);
        armedFailures.fetch_sub(1, std::memory_order_release);
    }
    SetLastError(code);
    return true;
}

void host::failNext(std::string_view operation, unsigned count, DWORD errorCode)
{
    std::lock_guard guard(faultLock());
    auto& table = armedTable();
    const auto found = table.find(operation);
    if (found != table.end()) {
        detail::armedFailures.fetch_sub(found->second.count, std::memory_order_release);
        table.erase(found);
    }
    if (count == 0)
        return;
    table.emplace(std::string(operation), Armed { count, errorCode });
    detail::armedFailures.fetch_add(count, std::memory_order_release);
}

void host::clearFailures()
{
    std::lock_guard guard(faultLock());
    armedTable().clear();
    detail::armedFailures.store(0, std::memory_order_release);
}

unsigned host::pendingFailures(std::string_view operation)
{
    std::lock_guard guard(faultLock());
    const auto found = armedTable().find(operation);
    return found == armedTable().end() ? 0 : found->second.count;
}

}
