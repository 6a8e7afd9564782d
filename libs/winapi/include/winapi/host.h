// The host interface of our platform layer: how a program or a test sets up
// the layer (backend, the linked resource image) and what tests may do to
// it from outside (inject failures, inject input, observe effects). Programs
// written against windows.h never include this; only the layer's own main()
// and the tests do.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace winapi::host {

// ---- Fault injection --------------------------------------------------
// The next `count` calls of the named operation (spelt as the platform
// spells it, for example "CreateSolidBrush") fail the way the platform
// reports that failure, with `errorCode` as the thread's last-error code.
// Arming an operation again replaces its earlier arming.
void failNext(std::string_view operation, unsigned count, DWORD errorCode);
// Disarms every armed failure.
void clearFailures();
// How many armed failures of the operation are still pending.
unsigned pendingFailures(std::string_view operation);

// Arms failures for the lifetime of a scope; disarms them all at its end.
class ScopedFailure {
public:
    ScopedFailure(std::string_view operation, unsigned count, DWORD errorCode)
    {
        failNext(operation, count, errorCode);
    }
    ~ScopedFailure() { clearFailures(); }
    ScopedFailure(const ScopedFailure&) = delete;
    ScopedFailure& operator=(const ScopedFailure&) = delete;
};

// ---- Resources --------------------------------------------------------
// Hands the layer the program's compiled resource image (the binary .res
// format). The bytes must stay valid for as long as the layer runs; the
// image replaces any earlier one.
void setResourceImage(const void* data, std::size_t size);

// ---- Memory observation -----------------------------------------------
// Global and local memory blocks currently allocated, for leak checks.
std::size_t liveGlobalBlocks();
std::size_t liveLocalBlocks();
// Drawing objects (not stock) and icons or cursors (not shared) alive.
std::size_t liveGdiObjects();
std::size_t liveIcons();

// ---- Clipboard --------------------------------------------------------
// Holds the clipboard open as another program would: until it is released,
// OpenClipboard fails with ERROR_ACCESS_DENIED. False, and nothing held,
// while a thread of this program has it open.
bool holdClipboard();
void releaseClipboard();
// The whole memory block stored under a format; nothing for a format that
// holds no block (absent, rendered on request, a drawing object, or one of
// the application-defined ranges).
std::optional<std::string> clipboardBytes(UINT format);
// Replaces the clipboard's content with the bytes under one memory format,
// as another program would: the clipboard is left with no owner. False
// while a thread of this program has it open, or for a format that holds
// no memory block.
bool putClipboardBytes(UINT format, std::string_view bytes);

class ScopedClipboardHold {
public:
    ScopedClipboardHold() { m_held = holdClipboard(); }
    ~ScopedClipboardHold()
    {
        if (m_held)
            releaseClipboard();
    }
    ScopedClipboardHold(const ScopedClipboardHold&) = delete;
    ScopedClipboardHold& operator=(const ScopedClipboardHold&) = delete;
    bool held() const { return m_held; }

private:
    bool m_held = false;
};

// ---- Cursor -----------------------------------------------------------
// The cursor last set with SetCursor (NULL: none shown).
HCURSOR currentCursor();

}
