// ShellExecuteA: opening a document or web address with the desktop's
// default action. Every call is recorded for the host; on a display backend
// the address is handed to xdg-open, which runs detached from the program.
#include "core/Faults.h"

#include <shellapi.h>
#include <windows.h>
#include <winapi/host.h>

#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace winapi {
namespace {

std::mutex& callLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<host::ShellExecuteCall>& calls()
{
    static std::vector<host::ShellExecuteCall> recorded;
    return recorded;
}

// A result above 32 means success; the platform gives no other meaning to it.
HINSTANCE shellResult(std::uintptr_t value)
{
    return reinterpret_cast<HINSTANCE>(value);
}

bool launchOpener(const std::string& file)
{
    const char* arguments[] = { "xdg-open", file.c_str(), nullptr };
    pid_t child = 0;
    if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, const_cast<char**>(arguments), environ) != 0)
        return false;
    // Reap the opener whenever it ends, so that it never lingers as a zombie.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return true;
}

}

std::vector<host::ShellExecuteCall> host::shellExecuteCalls()
{
    std::lock_guard guard(callLock());
    return calls();
}

void host::clearShellExecuteCalls()
{
    std::lock_guard guard(callLock());
    calls().clear();
}

}

extern "C" HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
    LPCSTR directory, INT showCommand)
{
    using namespace winapi;
    if (injectedFailure("ShellExecuteA"))
        return shellResult(SE_ERR_NOASSOC);
    if (file == nullptr || *file == '\0') {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return shellResult(ERROR_FILE_NOT_FOUND);
    }
    host::ShellExecuteCall call;
    call.owner = window;
    call.operation = operation ? operation : "";
    call.file = file;
    call.parameters = parameters ? parameters : "";
    call.directory = directory ? directory : "";
    call.showCommand = showCommand;
    {
        std::lock_guard guard(callLock());
        calls().push_back(call);
    }
    // Only a verb we can carry out is honoured; the default verb and "open"
    // both mean opening the file or address.
    if (!call.operation.empty() && call.operation != "open")
        return shellResult(SE_ERR_NOASSOC);
    if (host::backend() == host::Backend::X11 && !launchOpener(call.file))
        return shellResult(SE_ERR_NOASSOC);
    return shellResult(42);
}
