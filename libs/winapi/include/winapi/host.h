// The host interface of our platform layer: how a program or a test sets up
// the layer (backend, the linked resource image) and what tests may do to
// it from outside (inject failures, inject input, observe effects). Programs
// written against windows.h never include this; only the layer's own main()
// and the tests do.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// ---- Backends ---------------------------------------------------------
// Where windows appear and input comes from. The headless backend (the
// default) keeps a virtual screen and takes its input from the functions
// below; a display backend is chosen by the program's entry point.
enum class Backend { Headless, X11 };
// False, leaving the backend as it is, for a backend this build lacks.
bool selectBackend(Backend backend);
Backend backend();
// The backend a program starts with: headless, until a display backend
// exists to be chosen from the environment.
Backend backendForProgram();

// ---- Input, as a person produces it -------------------------------------
// Keys by virtual-key code (scan code 0: the key's own); they go to the
// foreground window's thread and reach the focus when that thread reads
// them. Generic VK_SHIFT, VK_CONTROL and VK_MENU mean the left keys.
void keyDown(UINT virtualKey, UINT scanCode = 0);
void keyUp(UINT virtualKey, UINT scanCode = 0);
void pressKey(UINT virtualKey);
// Holds the keys down in order and releases them in reverse: {VK_CONTROL, 'C'}.
void pressKeys(std::initializer_list<UINT> virtualKeys);
// Types text key by key, with Shift where the US layout needs it; a
// character no key gives (such as 0xD7) arrives as WM_CHAR alone.
void typeText(std::string_view text);

enum class MouseButton { Left, Right, Middle };
// The mouse at a screen point; events go to the window under it (or to the
// window that has the capture).
void mouseMove(int x, int y);
void mouseDown(MouseButton button = MouseButton::Left);
void mouseUp(MouseButton button = MouseButton::Left);
void click(int x, int y, MouseButton button = MouseButton::Left);
// A click at a point of a window's client area, or at its centre.
void clickClient(HWND window, int x, int y, MouseButton button = MouseButton::Left);
void clickCentre(HWND window, MouseButton button = MouseButton::Left);

// ---- The calling thread's messages ------------------------------------
// Dispatches the calling thread's messages (with TranslateMessage, and
// IsDialogMessageA for the given dialog or, without one, for the active
// window when it is a dialog) until none is left, paints included.
// Returns how many were handled; stops early at WM_QUIT, which it leaves
// posted.
unsigned pumpMessages(HWND dialog = nullptr);
// Called on the calling thread whenever it is about to wait for a message
// (in GetMessageA, WaitMessage and the modal loops of dialogs and message
// boxes); an empty function removes it.
void setIdleHandler(std::function<void()> handler);

// ---- Message boxes ----------------------------------------------------
struct MessageBoxInfo {
    HWND box { nullptr }; // the message box window, up and active
    HWND owner { nullptr };
    std::string text;
    std::string caption;
    UINT style { 0 };
};
// Sees every message box once it is up. Returning a button identifier of
// the box ends it as if that button were pressed; returning 0 leaves it
// to input (the handler may inject keys or clicks). An empty function
// removes it.
using MessageBoxHandler = std::function<int(const MessageBoxInfo&)>;
void setMessageBoxHandler(MessageBoxHandler handler);

// ---- Shell ------------------------------------------------------------
// Every ShellExecuteA call, in order. Only a display backend hands the file
// on to the desktop (xdg-open); headless, the call is only recorded.
struct ShellExecuteCall {
    HWND owner { nullptr };
    std::string operation; // empty for the default verb
    std::string file;
    std::string parameters;
    std::string directory;
    int showCommand { 0 };
};
std::vector<ShellExecuteCall> shellExecuteCalls();
void clearShellExecuteCalls();

// ---- Observation ------------------------------------------------------
// How many times MessageBeep sounded.
unsigned beepCount();
struct CaretInfo {
    HWND owner { nullptr }; // null: the thread has no caret
    POINT position {};
    SIZE size {};
    bool visible { false };
};
// The calling thread's caret.
CaretInfo caret();

}
