// The window system's state object, the desktop window, per-thread queues
// and their end with their thread, the window tree's plain helpers, and the
// tokens that stand for procedures in 32-bit window values.
#include "user/State.h"

#include "user/Dialogs.h"
#include "user/SystemClasses.h"

#include <cctype>

namespace winapi::user {

static_assert(sizeof(ACCEL) == 6, "ACCEL layout");
static_assert(sizeof(DLGTEMPLATE) == 18, "DLGTEMPLATE layout");
static_assert(sizeof(DLGITEMTEMPLATE) == 18, "DLGITEMTEMPLATE layout");
static_assert(sizeof(void*) != 4 || sizeof(MSG) == 28, "MSG layout");
static_assert(sizeof(void*) != 4 || sizeof(WNDCLASSEXA) == 48, "WNDCLASSEXA layout");
static_assert(sizeof(void*) != 4 || sizeof(CREATESTRUCTA) == 48, "CREATESTRUCTA layout");
static_assert(sizeof(void*) != 4 || sizeof(MENUITEMINFOA) == 48, "MENUITEMINFOA layout");
static_assert(sizeof(void*) != 4 || sizeof(PAINTSTRUCT) == 64, "PAINTSTRUCT layout");

Window::Window() = default;
Window::~Window() = default;

System::System()
{
    addSystemClasses(*this);
    desktop = std::make_shared<Window>();
    for (const auto& windowClass : classes) {
        if (windowClass->atom == 0x8001)
            desktop->windowClass = windowClass;
    }
    desktop->procedure = DefWindowProcA;
    desktop->style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    desktop->rect = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    desktop->client = desktop->rect;
    desktop->phase = Window::Phase::Live;
    desktop->handle = toHwnd(windows.insert(std::make_unique<WindowEntry>(WindowEntry { desktop })));
    cursor = { desktop->rect.right / 2, desktop->rect.bottom / 2 };
}

System& system()
{
    static System state;
    return state;
}

namespace {

// Owns the calling thread's queue; when the thread ends, its windows are
// destroyed and whoever still waits for it is answered.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder()
    {
        if (queue)
            destroyThreadWindows();
    }
};
thread_local QueueHolder holder;

constexpr std::uint32_t tokenMark = 0xFFFF0000u;

}

ThreadQueue& currentQueue()
{
    return *currentQueuePointer();
}

std::shared_ptr<ThreadQueue> currentQueuePointer()
{
    if (!holder.queue) {
        holder.queue = std::make_shared<ThreadQueue>();
        holder.queue->threadId = GetCurrentThreadId();
        system().queues.push_back(holder.queue);
    }
    return holder.queue;
}

ThreadQueue* queueOfThread(DWORD threadId)
{
    for (const auto& queue : system().queues) {
        if (queue->threadId == threadId && queue->alive)
            return queue.get();
    }
    return nullptr;
}

void destroyThreadWindows()
{
    std::vector<HWND> mine;
    {
        std::lock_guard guard(system().lock);
        system().windows.forEach([&](std::uint32_t handle, const WindowEntry& entry) {
            const Window& window = *entry.window;
            if (window.queue == holder.queue && !isChildWindow(window))
                mine.push_back(toHwnd(handle));
        });
    }
    for (HWND window : mine)
        DestroyWindow(window);
    {
        // Children of other threads' windows that this thread created.
        std::lock_guard guard(system().lock);
        mine.clear();
        system().windows.forEach([&](std::uint32_t handle, const WindowEntry& entry) {
            if (entry.window->queue == holder.queue)
                mine.push_back(toHwnd(handle));
        });
    }
    for (HWND window : mine)
        DestroyWindow(window);

    std::lock_guard guard(system().lock);
    ThreadQueue& queue = *holder.queue;
    queue.alive = false;
    for (const auto& item : queue.incoming) {
        item->done = true;
        if (item->sender)
            item->sender->wake.notify_all();
    }
    queue.incoming.clear();
    auto& queues = system().queues;
    queues.erase(std::remove(queues.begin(), queues.end(), holder.queue), queues.end());
    holder.queue.reset();
}

Window* findWindow(HWND handle)
{
    const WindowEntry* entry = system().windows.find(handle);
    if (!entry || entry->window->phase == Window::Phase::Gone)
        return nullptr;
    return entry->window.get();
}

std::shared_ptr<Window> sharedWindow(HWND handle)
{
    const WindowEntry* entry = system().windows.find(handle);
    if (!entry || entry->window->phase == Window::Phase::Gone)
        return nullptr;
    return entry->window;
}

bool ownedByCurrentThread(const Window& window)
{
    return !window.queue || window.queue->threadId == GetCurrentThreadId();
}

std::string upperCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::shared_ptr<WindowClass> findClass(LPCSTR nameOrAtom)
{
    if (!nameOrAtom)
        return nullptr;
    const auto& classes = system().classes;
    if (IS_INTRESOURCE(nameOrAtom)) {
        const ATOM atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(nameOrAtom));
        for (const auto& windowClass : classes) {
            if (windowClass->atom == atom)
                return windowClass;
        }
        return nullptr;
    }
    const std::string wanted = upperCase(nameOrAtom);
    // The application's classes come first, so a class of its own shadows
    // a system class of the same name.
    for (const bool systemPass : { false, true }) {
        for (const auto& windowClass : classes) {
            if (windowClass->system == systemPass && upperCase(windowClass->name) == wanted)
                return windowClass;
        }
    }
    return nullptr;
}

bool isChildWindow(const Window& window)
{
    return (window.style & WS_CHILD) && window.parent && !isDesktop(window.parent);
}

Window* topLevelOf(Window* window)
{
    while (window && isChildWindow(*window))
        window = window->parent;
    return window;
}

bool isDescendant(const Window* ancestor, const Window* window)
{
    if (!ancestor || !window)
        return false;
    for (const Window* w = window->parent; w; w = w->parent) {
        if (w == ancestor)
            return true;
    }
    return false;
}

bool visibleOnScreen(const Window* window)
{
    for (const Window* w = window; w && !isDesktop(w); w = w->parent) {
        if (!(w->style & WS_VISIBLE))
            return false;
    }
    return window != nullptr;
}

POINT clientOrigin(const Window* window)
{
    POINT origin { 0, 0 };
    for (const Window* w = window; w; w = w->parent) {
        origin.x += w->client.left;
        origin.y += w->client.top;
    }
    return origin;
}

RECT screenRect(const Window* window)
{
    const POINT origin = window->parent ? clientOrigin(window->parent) : POINT { 0, 0 };
    return offsetBy(window->rect, origin.x, origin.y);
}

RECT screenClient(const Window* window)
{
    const POINT origin = window->parent ? clientOrigin(window->parent) : POINT { 0, 0 };
    return offsetBy(window->client, origin.x, origin.y);
}

void unlink(Window* window)
{
    if (!window->parent)
        return;
    auto& siblings = window->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
}

void linkChild(Window* parent, Window* child, HWND insertAfter)
{
    unlink(child);
    child->parent = parent;
    auto& siblings = parent->children;
    const bool topLevel = isDesktop(parent);
    // Among top-level windows the topmost ones stay above all others.
    const auto firstNonTopmost = [&] {
        return std::find_if(siblings.begin(), siblings.end(),
            [](const Window* w) { return !(w->exStyle & WS_EX_TOPMOST); });
    };
    if (insertAfter == HWND_TOPMOST && topLevel) {
        child->exStyle |= WS_EX_TOPMOST;
        siblings.insert(siblings.begin(), child);
    } else if (insertAfter == HWND_NOTOPMOST && topLevel) {
        child->exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
        siblings.insert(firstNonTopmost(), child);
    } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        siblings.insert(topLevel && !(child->exStyle & WS_EX_TOPMOST) ? firstNonTopmost() : siblings.begin(), child);
    } else if (insertAfter == HWND_BOTTOM) {
        siblings.push_back(child);
    } else {
        const Window* after = findWindow(insertAfter);
        auto position = std::find(siblings.begin(), siblings.end(), after);
        if (position == siblings.end())
            siblings.insert(siblings.begin(), child);
        else
            siblings.insert(position + 1, child);
    }
}

LONG procedureToLong(const void* procedure)
{
    const auto value = reinterpret_cast<std::uintptr_t>(procedure);
    if (value <= 0xFFFFFFFFu && (value & tokenMark) != tokenMark)
        return static_cast<LONG>(static_cast<std::uint32_t>(value));
    auto& tokens = system().procedureTokens;
    auto found = std::find(tokens.begin(), tokens.end(), procedure);
    if (found == tokens.end()) {
        // Procedures are code addresses, so the table stays small; it is
        // capped all the same.
        if (tokens.size() >= 0xFFFF)
            return 0;
        tokens.push_back(procedure);
        found = tokens.end() - 1;
    }
    return static_cast<LONG>(tokenMark | static_cast<std::uint32_t>(found - tokens.begin()));
}

const void* procedureFromLong(LONG value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    if ((bits & tokenMark) == tokenMark) {
        const auto& tokens = system().procedureTokens;
        const std::uint32_t index = bits & 0xFFFFu;
        return index < tokens.size() ? tokens[index] : nullptr;
    }
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(bits));
}

void forgetWindowInQueues(HWND window)
{
    System& s = system();
    for (const auto& queue : s.queues) {
        if (queue->active == window)
            queue->active = nullptr;
        if (queue->focus == window)
            queue->focus = nullptr;
        if (queue->capture == window)
            queue->capture = nullptr;
        if (queue->caret.owner == window)
            queue->caret = Caret {};
        if (queue->lastDownWindow == window)
            queue->lastDownWindow = nullptr;
        auto& posted = queue->posted;
        posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == window; }),
            posted.end());
        auto& timers = queue->timers;
        timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window; }),
            timers.end());
        auto& input = queue->input;
        input.erase(std::remove_if(input.begin(), input.end(), [&](const InputEvent& e) { return e.target == window; }),
            input.end());
    }
    if (s.foreground == window)
        s.foreground = nullptr;
}

}
