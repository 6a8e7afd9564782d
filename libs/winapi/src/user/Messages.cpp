// Message queues: posting, sending within a thread and across threads,
// fetching in the platform's order (sent messages, posted messages, the
// quit message, input, paints), dispatching, and the waits in between.
//
// A message sent to another thread's window is queued to that thread and
// carried out there when it next looks at its queue; the sender waits on
// its own queue and meanwhile answers messages sent to it, so two threads
// that send to each other never wait for each other for good.
#include "core/Faults.h"
#include "user/State.h"

#include <chrono>

namespace winapi::user {
namespace {

// The platform's default limit of posted messages in one queue.
constexpr std::size_t maxPosted = 10000;

thread_local std::function<void()> idleHandler;

void handleSent(const std::shared_ptr<SentItem>& item)
{
    std::shared_ptr<ThreadQueue> me;
    {
        std::lock_guard guard(system().lock);
        me = currentQueuePointer();
        me->handling.push_back(item);
    }
    const LRESULT result = item->task ? item->task() : deliver(item->window, item->message, item->wParam, item->lParam);
    std::lock_guard guard(system().lock);
    auto& handling = me->handling;
    handling.erase(std::find(handling.begin(), handling.end(), item));
    if (!item->done) {
        item->result = result;
        item->done = true;
        if (item->sender)
            item->sender->wake.notify_all();
    }
}

// Queues the item to the target thread and waits for its answer, serving
// this thread's own sent messages meanwhile. False on timeout (the item
// is then abandoned: it still runs, but nobody waits for it).
bool sendAcross(const std::shared_ptr<ThreadQueue>& target, const std::shared_ptr<SentItem>& item, DWORD timeout)
{
    std::unique_lock lock(system().lock);
    const std::shared_ptr<ThreadQueue> me = currentQueuePointer();
    if (!target->alive)
        return true;
    item->sender = me;
    target->incoming.push_back(item);
    ++target->arrivals;
    target->wake.notify_all();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
    while (!item->done) {
        if (!me->incoming.empty()) {
            const std::shared_ptr<SentItem> incoming = me->incoming.front();
            me->incoming.pop_front();
            lock.unlock();
            handleSent(incoming);
            lock.lock();
            continue;
        }
        if (!target->alive)
            break;
        if (timeout == INFINITE) {
            me->wake.wait(lock);
        } else if (me->wake.wait_until(lock, deadline) == std::cv_status::timeout && !item->done) {
            item->sender = nullptr;
            return false;
        }
    }
    return true;
}

std::shared_ptr<ThreadQueue> foreignQueue(HWND window, bool& valid)
{
    Window* w = findWindow(window);
    valid = w != nullptr;
    if (!w || ownedByCurrentThread(*w))
        return nullptr;
    return w->queue;
}

std::shared_ptr<SentItem> sentItem(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto item = std::make_shared<SentItem>();
    item->window = window;
    item->message = message;
    item->wParam = wParam;
    item->lParam = lParam;
    return item;
}

BOOL post(ThreadQueue& queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (queue.posted.size() >= maxPosted) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    queue.posted.push_back(MSG { window, message, wParam, lParam, GetTickCount(), system().cursor });
    ++queue.arrivals;
    queue.wake.notify_all();
    return TRUE;
}

// The first timer that has come due and passes the filter, as WM_TIMER;
// taking it starts its next interval (missed intervals are not made up).
bool dueTimer(ThreadQueue& queue, MSG& message, HWND filter, UINT filterMin, UINT filterMax, bool remove)
{
    const auto now = std::chrono::steady_clock::now();
    for (Timer& timer : queue.timers) {
        if (timer.due > now || !filterAccepts(timer.window, WM_TIMER, filter, filterMin, filterMax))
            continue;
        message = MSG { timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.procedure), GetTickCount(),
            system().cursor };
        if (remove) {
            timer.due = now + std::chrono::milliseconds(timer.interval);
            queue.messageTime = message.time;
            queue.messagePos = message.pt;
        }
        return true;
    }
    return false;
}

int fetch(MSG& message, HWND filter, UINT filterMin, UINT filterMax, UINT flags, bool wait)
{
    const bool remove = flags & PM_REMOVE;
    if (filter && filter != reinterpret_cast<HWND>(-1) && !IsWindow(filter)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    const bool paintWanted
        = (filterMin == 0 && filterMax == 0) || (filterMin <= WM_PAINT && WM_PAINT <= filterMax);
    for (;;) {
        serveSentMessages();
        {
            std::unique_lock lock(system().lock);
            ThreadQueue& queue = currentQueue();
            if (!queue.incoming.empty())
                continue;
            queue.seenArrivals = queue.arrivals;
            for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
                if (filterAccepts(it->hwnd, it->message, filter, filterMin, filterMax)) {
                    message = *it;
                    if (remove) {
                        queue.posted.erase(it);
                        queue.messageTime = message.time;
                        queue.messagePos = message.pt;
                    }
                    return TRUE;
                }
            }
            // The quit message comes whatever the filter, once the posted
            // messages are gone.
            if (queue.quit) {
                message = MSG { nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, GetTickCount(),
                    system().cursor };
                if (remove)
                    queue.quit = false;
                return TRUE;
            }
        }
        if (takeInput(message, filter, filterMin, filterMax, remove))
            return TRUE;
        {
            std::lock_guard guard(system().lock);
            ThreadQueue& queue = currentQueue();
            if (paintWanted) {
                if (Window* w = windowToPaint(queue, filter)) {
                    message = MSG { w->handle, WM_PAINT, 0, 0, GetTickCount(), system().cursor };
                    return TRUE;
                }
            }
            if (dueTimer(queue, message, filter, filterMin, filterMax, remove))
                return TRUE;
            if (!wait)
                return FALSE;
        }
        runIdleHandler();
        std::unique_lock lock(system().lock);
        ThreadQueue& queue = currentQueue();
        if (queue.arrivals == queue.seenArrivals && queue.incoming.empty()) {
            if (queue.timers.empty()) {
                queue.wake.wait(lock);
            } else {
                auto next = queue.timers.front().due;
                for (const Timer& t : queue.timers)
                    next = std::min(next, t.due);
                queue.wake.wait_until(lock, next);
            }
        }
    }
}

}

LRESULT deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<Window> keep;
    WNDPROC procedure;
    {
        std::lock_guard guard(system().lock);
        keep = sharedWindow(window);
        if (!keep)
            return 0;
        procedure = keep->procedure;
    }
    return procedure ? CallWindowProcA(procedure, window, message, wParam, lParam) : 0;
}

std::optional<LRESULT> forwardToOwner(HWND window, const std::function<LRESULT()>& call)
{
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard guard(system().lock);
        bool valid;
        target = foreignQueue(window, valid);
        if (!target)
            return std::nullopt;
    }
    auto item = std::make_shared<SentItem>();
    item->window = window;
    item->task = call;
    sendAcross(target, item, INFINITE);
    return item->result;
}

bool serveSentMessages()
{
    bool served = false;
    for (;;) {
        std::shared_ptr<SentItem> item;
        {
            std::lock_guard guard(system().lock);
            ThreadQueue& queue = currentQueue();
            if (queue.incoming.empty())
                return served;
            item = queue.incoming.front();
            queue.incoming.pop_front();
        }
        handleSent(item);
        served = true;
    }
}

bool filterAccepts(HWND window, UINT message, HWND filter, UINT filterMin, UINT filterMax)
{
    if (filter == reinterpret_cast<HWND>(-1)) {
        if (window)
            return false;
    } else if (filter && window != filter) {
        const Window* ancestor = findWindow(filter);
        const Window* w = findWindow(window);
        bool below = false;
        for (; w && isChildWindow(*w); w = w->parent) {
            if (w->parent == ancestor) {
                below = true;
                break;
            }
        }
        if (!below)
            return false;
    }
    if (filterMin == 0 && filterMax == 0)
        return true;
    return message >= filterMin && message <= filterMax;
}

void setIdleHandler(std::function<void()> handler)
{
    idleHandler = std::move(handler);
}

void runIdleHandler()
{
    if (idleHandler) {
        // A copy, so that the handler may replace itself.
        const std::function<void()> handler = idleHandler;
        handler();
    }
}

bool nextModalMessage(MSG& message, HWND dialog, HWND idleOwner, WPARAM idleSource)
{
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        return message.message != WM_QUIT;
    if (idleOwner && IsWindow(idleOwner))
        SendMessageA(idleOwner, WM_ENTERIDLE, idleSource, reinterpret_cast<LPARAM>(dialog));
    return GetMessageA(&message, nullptr, 0, 0) > 0;
}

}

using namespace winapi::user;

extern "C" {

BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax)
{
    if (!message) {
        SetLastError(ERROR_NOACCESS);
        return -1;
    }
    const int result = fetch(*message, window, filterMin, filterMax, PM_REMOVE, true);
    if (result < 0)
        return -1;
    return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!message) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    return fetch(*message, window, filterMin, filterMax, removeFlags, false) > 0 ? TRUE : FALSE;
}

BOOL WINAPI WaitMessage(void)
{
    for (;;) {
        serveSentMessages();
        {
            std::lock_guard guard(system().lock);
            ThreadQueue& queue = currentQueue();
            if (queue.arrivals != queue.seenArrivals) {
                queue.seenArrivals = queue.arrivals;
                return TRUE;
            }
        }
        runIdleHandler();
        std::unique_lock lock(system().lock);
        ThreadQueue& queue = currentQueue();
        if (queue.arrivals == queue.seenArrivals && queue.incoming.empty())
            queue.wake.wait(lock);
    }
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (winapi::injectedFailure("PostMessageA"))
        return FALSE;
    std::lock_guard guard(system().lock);
    if (!window)
        return post(currentQueue(), nullptr, message, wParam, lParam);
    if (window == HWND_BROADCAST) {
        for (Window* top : system().desktop->children)
            post(*top->queue, top->handle, message, wParam, lParam);
        return TRUE;
    }
    Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (isDesktop(w))
        return TRUE;
    return post(*w->queue, window, message, wParam, lParam);
}

BOOL WINAPI PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (winapi::injectedFailure("PostThreadMessageA"))
        return FALSE;
    std::lock_guard guard(system().lock);
    ThreadQueue* queue = threadId == GetCurrentThreadId() ? &currentQueue() : queueOfThread(threadId);
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return post(*queue, nullptr, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode)
{
    std::lock_guard guard(system().lock);
    ThreadQueue& queue = currentQueue();
    queue.quit = true;
    queue.quitCode = exitCode;
    ++queue.arrivals;
    queue.wake.notify_all();
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<ThreadQueue> target;
    std::shared_ptr<Window> keep;
    WNDPROC procedure = nullptr;
    {
        std::lock_guard guard(system().lock);
        const WindowEntry* entry = system().windows.find(window);
        if (!entry || entry->window->phase == Window::Phase::Gone) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (ownedByCurrentThread(*entry->window)) {
            // The common case, a window of this thread, in one look.
            keep = entry->window;
            procedure = keep->procedure;
        } else {
            target = entry->window->queue;
        }
    }
    if (!target)
        return procedure ? CallWindowProcA(procedure, window, message, wParam, lParam) : 0;
    const auto item = sentItem(window, message, wParam, lParam);
    sendAcross(target, item, INFINITE);
    return item->result;
}

LRESULT WINAPI SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT timeout,
    DWORD_PTR* result)
{
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard guard(system().lock);
        bool valid;
        target = foreignQueue(window, valid);
        if (!valid) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
    }
    LRESULT answer;
    if (!target) {
        answer = deliver(window, message, wParam, lParam);
    } else {
        const auto item = sentItem(window, message, wParam, lParam);
        if (!sendAcross(target, item, timeout)) {
            SetLastError(ERROR_TIMEOUT);
            return 0;
        }
        answer = item->result;
    }
    if (result)
        *result = static_cast<DWORD_PTR>(answer);
    return 1;
}

BOOL WINAPI SendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard guard(system().lock);
        bool valid;
        target = foreignQueue(window, valid);
        if (!valid) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (target) {
            // Nobody waits for these, so they are bounded like posted messages.
            if (target->incoming.size() >= maxPosted) {
                SetLastError(ERROR_NOT_ENOUGH_QUOTA);
                return FALSE;
            }
            target->incoming.push_back(sentItem(window, message, wParam, lParam));
            ++target->arrivals;
            target->wake.notify_all();
            return TRUE;
        }
    }
    deliver(window, message, wParam, lParam);
    return TRUE;
}

BOOL WINAPI InSendMessage(void)
{
    std::lock_guard guard(system().lock);
    const auto& handling = currentQueue().handling;
    return !handling.empty() && handling.back()->sender ? TRUE : FALSE;
}

DWORD WINAPI InSendMessageEx(LPVOID)
{
    std::lock_guard guard(system().lock);
    const auto& handling = currentQueue().handling;
    if (handling.empty())
        return ISMEX_NOSEND;
    const SentItem& item = *handling.back();
    return (item.sender ? ISMEX_SEND : ISMEX_NOTIFY) | (item.done ? ISMEX_REPLIED : 0);
}

BOOL WINAPI ReplyMessage(LRESULT result)
{
    std::lock_guard guard(system().lock);
    const auto& handling = currentQueue().handling;
    if (handling.empty() || handling.back()->done || !handling.back()->sender)
        return FALSE;
    SentItem& item = *handling.back();
    item.result = result;
    item.done = true;
    item.sender->wake.notify_all();
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* message)
{
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (message->message == WM_TIMER && message->lParam) {
        // A timer with a procedure of its own calls it instead of the window's.
        const auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
        procedure(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
        return 0;
    }
    if (!message->hwnd)
        return 0;
    {
        std::lock_guard guard(system().lock);
        const Window* w = findWindow(message->hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (!ownedByCurrentThread(*w)) {
            SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
            return 0;
        }
    }
    return deliver(message->hwnd, message->message, message->wParam, message->lParam);
}

LONG WINAPI GetMessageTime(void)
{
    std::lock_guard guard(system().lock);
    return static_cast<LONG>(currentQueue().messageTime);
}

DWORD WINAPI GetMessagePos(void)
{
    std::lock_guard guard(system().lock);
    const POINT p = currentQueue().messagePos;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

DWORD WINAPI GetQueueStatus(UINT flags)
{
    std::lock_guard guard(system().lock);
    const ThreadQueue& queue = currentQueue();
    UINT bits = 0;
    if (!queue.posted.empty() || queue.quit)
        bits |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
    if (!queue.incoming.empty())
        bits |= QS_SENDMESSAGE;
    for (const InputEvent& event : queue.input) {
        const UINT m = event.message.message;
        bits |= (m >= WM_KEYFIRST && m <= WM_KEYLAST) ? QS_KEY : m == WM_MOUSEMOVE ? QS_MOUSEMOVE : QS_MOUSEBUTTON;
    }
    if (windowToPaint(queue, nullptr))
        bits |= QS_PAINT;
    const auto now = std::chrono::steady_clock::now();
    if (std::any_of(queue.timers.begin(), queue.timers.end(), [&](const Timer& t) { return t.due <= now; }))
        bits |= QS_TIMER;
    bits &= flags;
    return MAKELONG(bits, bits);
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure)
{
    if (winapi::injectedFailure("SetTimer"))
        return 0;
    std::lock_guard guard(system().lock);
    if (window) {
        const Window* w = findWindow(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (!ownedByCurrentThread(*w)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
    }
    ThreadQueue& queue = currentQueue();
    const DWORD interval = std::clamp<DWORD>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval);
    // A window's timer is named by the window and its identifier; a timer
    // of the thread gets an identifier of its own unless it names one.
    for (Timer& timer : queue.timers) {
        if (timer.window == window && timer.id == id && (window || id)) {
            timer.interval = interval;
            timer.due = due;
            timer.procedure = procedure;
            return window ? (id ? id : 1) : id;
        }
    }
    if (queue.timers.size() >= maxPosted) {
        SetLastError(ERROR_NO_SYSTEM_RESOURCES);
        return 0;
    }
    if (!window) {
        static UINT_PTR nextThreadTimer = 0x7FFF;
        do {
            nextThreadTimer = nextThreadTimer == 0xFFFF ? 0x8000 : nextThreadTimer + 1;
        } while (std::any_of(queue.timers.begin(), queue.timers.end(),
            [](const Timer& t) { return !t.window && t.id == nextThreadTimer; }));
        id = nextThreadTimer;
    }
    queue.timers.push_back(Timer { window, id, interval, due, procedure });
    ++queue.arrivals;
    queue.wake.notify_all();
    return window ? (id ? id : 1) : id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id)
{
    std::lock_guard guard(system().lock);
    auto& timers = currentQueue().timers;
    const auto found = std::find_if(timers.begin(), timers.end(),
        [&](const Timer& t) { return t.window == window && t.id == id; });
    if (found == timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timers.erase(found);
    return TRUE;
}

}
