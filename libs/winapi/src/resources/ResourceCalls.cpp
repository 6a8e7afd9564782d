// The platform's resource calls on top of the module's resource table:
// finding a resource and reaching its data, and loading strings.
#include "core/Faults.h"
#include "core/HandleTable.h"
#include "resources/ResourceTable.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace winapi::resources;

std::optional<std::span<const BYTE>> dataOf(HMODULE module, HRSRC resource)
{
    if (!isOwnModule(module)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return std::nullopt;
    }
    return resourceData(winapi::handleValue(resource));
}

}

extern "C" {

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    if (winapi::injectedFailure("FindResourceA"))
        return nullptr;
    if (!isOwnModule(module)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    if (!name || !type) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto found = findResourceHandle(nameOrIdFrom(type), nameOrIdFrom(name));
    return found ? winapi::toHandle<HRSRC>(found->handle) : nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource)
{
    if (winapi::injectedFailure("LoadResource"))
        return nullptr;
    const auto data = dataOf(module, resource);
    // The data handle is the address of the data, as the platform's is.
    return data ? const_cast<BYTE*>(data->data()) : nullptr;
}

LPVOID WINAPI LockResource(HGLOBAL data)
{
    return data;
}

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource)
{
    if (winapi::injectedFailure("SizeofResource"))
        return 0;
    const auto data = dataOf(module, resource);
    return data ? static_cast<DWORD>(data->size()) : 0;
}

BOOL WINAPI FreeResource(HGLOBAL)
{
    return FALSE;
}

int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax)
{
    if (winapi::injectedFailure("LoadStringA"))
        return 0;
    if (!isOwnModule(instance)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    // The platform's ANSI call writes before the buffer when bufferMax is
    // 0 (the read-only pointer of the UTF-16 call cannot exist for ANSI
    // text); here it, a negative size and a missing buffer are refused.
    if (!buffer || bufferMax <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto text = findString(id);
    const std::size_t copied = text ? std::min(text->size(), static_cast<std::size_t>(bufferMax - 1)) : 0;
    if (text)
        std::memcpy(buffer, text->data(), copied);
    buffer[copied] = '\0';
    // An empty string returns 0 like a missing one; a last-error code of 0
    // tells the caller it was found.
    if (text && copied == 0)
        SetLastError(ERROR_SUCCESS);
    return static_cast<int>(copied);
}

}
