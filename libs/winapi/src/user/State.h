// The window system's shared state: window classes, windows and their tree,
// one message queue per thread, and the one lock that guards all of it.
// Every function here that takes no lock expects the caller to hold
// `system().lock`; nothing may hold it while a window procedure, dialog
// procedure or other callback of user code runs.
#pragma once

#include "core/HandleTable.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace winapi::user {

struct DialogState;
struct ThreadQueue;

struct WindowClass {
    ATOM atom { 0 };
    std::string name; // as registered
    bool system { false };
    UINT style { 0 };
    WNDPROC procedure { nullptr };
    int classExtra { 0 };
    int windowExtra { 0 };
    HINSTANCE instance { nullptr };
    HICON icon { nullptr };
    HICON smallIcon { nullptr };
    HCURSOR cursor { nullptr };
    HBRUSH background { nullptr };
    std::string menuName; // a text name, or empty
    WORD menuId { 0 };    // a resource number, or 0
    std::vector<BYTE> extra;
    unsigned windows { 0 }; // live windows of the class
};

struct Window {
    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND handle { nullptr };
    std::shared_ptr<WindowClass> windowClass;
    std::shared_ptr<ThreadQueue> queue; // the owner thread's; null for the desktop
    DWORD style { 0 };
    DWORD exStyle { 0 };
    WNDPROC procedure { nullptr };
    HINSTANCE instance { nullptr };
    UINT_PTR id { 0 };    // a child window's identifier
    HMENU menu { nullptr }; // a top-level window's menu bar
    LONG_PTR userData { 0 };
    std::vector<BYTE> extra;
    // The tree. Links are plain pointers: a window leaves the tree (and
    // every link to it is cleared) before its object can go away.
    Window* parent { nullptr };
    Window* owner { nullptr };
    std::vector<Window*> children; // topmost first
    // Geometry, in the parent's client coordinates (the screen for
    // top-level windows, whose parent is the desktop).
    RECT rect {};
    RECT client {};
    RECT normal {}; // the restored rectangle while minimised or maximised
    bool restoreToMaximised { false };
    std::string text;
    HICON bigIcon { nullptr };
    HICON smallIcon { nullptr };
    // Painting: the update region as a rectangle, in client coordinates.
    RECT update {};
    bool erase { false };
    // A non-client button (close, minimise, maximise) held down, released
    // over the same button to act.
    int trackedHit { 0 };
    enum class Phase { Creating, Live, Destroying, Gone };
    Phase phase { Phase::Creating };
    std::unique_ptr<DialogState> dialog; // set for windows made by the dialog manager
};

// A message (or a window call) sent from one thread to a window of another,
// carried out on the window's thread while the sender waits.
struct SentItem {
    HWND window { nullptr };
    UINT message { 0 };
    WPARAM wParam { 0 };
    LPARAM lParam { 0 };
    std::function<LRESULT()> task; // instead of the message, when set
    std::shared_ptr<ThreadQueue> sender; // null when nobody waits
    LRESULT result { 0 };
    bool done { false };
};

// Raw input not yet read: keyboard events go to the focus at the time
// they are read, mouse events to the window found under the point.
struct InputEvent {
    MSG message {}; // message (as posted by the device), wParam, lParam, time, pt
    HWND target { nullptr }; // mouse events: the window under the point or the capture
    UINT key { 0 };          // key events: the key itself, left or right for the modifiers
};

struct Timer {
    HWND window { nullptr }; // null: a timer of the thread
    UINT_PTR id { 0 };
    DWORD interval { 0 };
    std::chrono::steady_clock::time_point due;
    TIMERPROC procedure { nullptr };
};

struct Caret {
    HWND owner { nullptr };
    HBITMAP bitmap { nullptr };
    int width { 0 };
    int height { 0 };
    POINT position {};
    int hideCount { 0 };
};

struct ThreadQueue {
    DWORD threadId { 0 };
    std::condition_variable wake;
    std::deque<std::shared_ptr<SentItem>> incoming;
    std::deque<MSG> posted;
    std::deque<InputEvent> input;
    std::vector<Timer> timers;
    bool quit { false };
    int quitCode { 0 };
    // Bumped when anything arrives; WaitMessage waits for a change since
    // the last look at the queue.
    std::uint64_t arrivals { 0 };
    std::uint64_t seenArrivals { 0 };
    HWND active { nullptr };
    HWND focus { nullptr };
    HWND capture { nullptr };
    Caret caret;
    bool caretHiddenForPaint { false };
    std::array<BYTE, 256> keys {};
    DWORD messageTime { 0 };
    POINT messagePos {};
    std::vector<std::shared_ptr<SentItem>> handling; // inter-thread sends being answered
    bool alive { true };
    // The last button press, for double clicks.
    UINT lastDownMessage { 0 };
    HWND lastDownWindow { nullptr };
    DWORD lastDownTime { 0 };
    POINT lastDownPoint {};
    bool lastWasDoubleClick { false };
    // Alt (or F10) went down and nothing else since: its release opens the menu bar.
    bool menuKeyAlone { false };
};

struct WindowEntry {
    std::shared_ptr<Window> window;
};

struct System {
    System();

    std::mutex lock;
    HandleTable<WindowEntry> windows { HandleKind::Window };
    std::vector<std::shared_ptr<WindowClass>> classes; // the application's first, then the system's
    std::vector<std::shared_ptr<ThreadQueue>> queues;
    std::shared_ptr<Window> desktop;
    HWND foreground { nullptr };
    std::array<BYTE, 256> asyncKeys {};
    POINT cursor {};
    ATOM nextAtom { 0xC000 };
    std::vector<std::pair<std::string, UINT>> registeredMessages;
    std::vector<const void*> procedureTokens;
    unsigned beeps { 0 };
};

System& system();

// ---- Lookups (lock held) ----------------------------------------------
Window* findWindow(HWND handle);            // live windows only, the desktop included
std::shared_ptr<Window> sharedWindow(HWND handle);
inline bool isDesktop(const Window* window) { return window && !window->queue; }
ThreadQueue& currentQueue();                // created on first use
std::shared_ptr<ThreadQueue> currentQueuePointer();
ThreadQueue* queueOfThread(DWORD threadId);
bool ownedByCurrentThread(const Window& window);
std::shared_ptr<WindowClass> findClass(LPCSTR nameOrAtom);

// ---- Tree and geometry (lock held) ------------------------------------
bool isChildWindow(const Window& window); // WS_CHILD and a real parent
Window* topLevelOf(Window* window);       // the window itself for top-level windows
bool isDescendant(const Window* ancestor, const Window* window);
bool visibleOnScreen(const Window* window); // WS_VISIBLE up to the desktop
POINT clientOrigin(const Window* window);   // screen position of the client area's corner
RECT screenRect(const Window* window);
RECT screenClient(const Window* window);
void unlink(Window* window);
void linkChild(Window* parent, Window* child, HWND insertAfter);

// ---- Procedures --------------------------------------------------------
// The 32-bit value of a procedure for GetWindowLongA and friends. Where a
// code address does not fit in 32 bits, it is given out as a token that
// the Set calls and CallWindowProcA take back.
LONG procedureToLong(const void* procedure);
const void* procedureFromLong(LONG value);

// ---- Geometry ----------------------------------------------------------
// SetWindowPos on the calling thread, which owns the window; no lock held.
BOOL setWindowPosition(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
// The window that a click at a screen point reaches; lock held.
HWND windowUnderPoint(POINT screenPoint);

// ---- Messages (no lock held) ------------------------------------------
// Delivers a message to a window of the calling thread; 0 when it is gone.
LRESULT deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// When the window belongs to another thread, carries `call` out there and
// returns its result; nothing when the window is the calling thread's or
// no window at all, so that the caller goes on itself.
std::optional<LRESULT> forwardToOwner(HWND window, const std::function<LRESULT()>& call);
// Serves the messages sent to the calling thread; false when there were none.
bool serveSentMessages();
// The next message for a modal loop of the layer (a dialog box, a message
// box): as GetMessageA, with WM_ENTERIDLE sent to `idleOwner` (when not
// null) whenever the queue runs dry.
bool nextModalMessage(MSG& message, HWND dialog, HWND idleOwner, WPARAM idleSource);
// The calling thread's idle handler (set by the host for tests): run
// whenever the thread is about to wait for a message.
void setIdleHandler(std::function<void()> handler);
void runIdleHandler();

// ---- Painting (lock held) ---------------------------------------------
void invalidate(Window* window, const RECT* clientArea, bool erase, bool children);
void validate(Window* window, const RECT* clientArea);
Window* windowToPaint(const ThreadQueue& queue, HWND filter);

// ---- Input (no lock held) ---------------------------------------------
// Takes the next raw input event of the calling thread that passes the
// filter and turns it into the message that a window receives.
bool takeInput(MSG& message, HWND filter, UINT filterMin, UINT filterMax, bool remove);
bool filterAccepts(HWND window, UINT message, HWND filter, UINT filterMin, UINT filterMax);

// ---- Focus and activation (no lock held, on the window's thread) ------
// Makes a top-level window of the calling thread the active one (null:
// none), with the platform's messages; `how` is WA_ACTIVE or WA_CLICKACTIVE.
void activateWindow(HWND window, WORD how, bool takeForeground);
// The window is going away or being hidden or minimised: when it is the
// active one, activation moves to its owner or another top-level window.
void activateOtherThan(HWND window);
// Sets the focus to null when it is in the window or one of its children.
void dropFocusWithin(HWND window);

// Flags that the layer adds to a WINDOWPOS for WM_WINDOWPOSCHANGED: the
// client area kept its size, or its place.
constexpr UINT swpNoClientSize = 0x0800;
constexpr UINT swpNoClientMove = 0x1000;

// ---- Destruction hooks (lock held) ------------------------------------
void forgetWindowInQueues(HWND window); // focus, activation, capture, caret, pending messages
void destroyThreadWindows();            // at thread exit; no lock held

// ---- Small helpers -----------------------------------------------------
std::string upperCase(std::string_view text);
inline int mulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = (denominator < 0 ? -denominator : denominator) / 2;
    const long long rounded = (product < 0) == (denominator < 0) ? product + half : product - half;
    return static_cast<int>(rounded / denominator);
}
inline int width(const RECT& r) { return r.right - r.left; }
inline int height(const RECT& r) { return r.bottom - r.top; }
inline bool isEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline RECT offsetBy(RECT r, int dx, int dy) { return { r.left + dx, r.top + dy, r.right + dx, r.bottom + dy }; }
inline RECT unite(const RECT& a, const RECT& b)
{
    if (isEmpty(a))
        return b;
    if (isEmpty(b))
        return a;
    return { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom) };
}
inline RECT intersect(const RECT& a, const RECT& b)
{
    RECT r { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom) };
    return isEmpty(r) ? RECT {} : r;
}
inline bool contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
inline HWND toHwnd(std::uint32_t value) { return winapi::toHandle<HWND>(value); }

}
