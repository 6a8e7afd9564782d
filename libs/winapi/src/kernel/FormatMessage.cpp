// FormatMessageA over the layer's own table of system message texts.
#include "core/Faults.h"
#include "kernel/ErrorTexts.h"

#include <windows.h>

#include <cstring>

extern "C" DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD size, void*)
{
    if (winapi::injectedFailure("FormatMessageA"))
        return 0;
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || (flags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE))
        || buffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const char* text = winapi::errorText(messageId);
    if (!text) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    const DWORD length = static_cast<DWORD>(std::strlen(text));

    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        // `buffer` really points at the caller's pointer; `size` is a minimum.
        const SIZE_T bytes = length + 1 > size ? length + 1 : size;
        auto* allocated = static_cast<char*>(LocalAlloc(LMEM_FIXED, bytes));
        if (!allocated)
            return 0;
        std::memcpy(allocated, text, length + 1);
        *reinterpret_cast<LPSTR*>(buffer) = allocated;
        return length;
    }
    if (size < length + 1) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text, length + 1);
    return length;
}
