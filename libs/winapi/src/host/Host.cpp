// The host side of the layer: the choice of backend, the headless
// backend's input functions (a person's keys and clicks turned into raw
// input), pumping a thread's messages, and the observers tests install.
#include "host/Host.h"

#include "user/Dialogs.h"
#include "user/Input.h"
#include "user/State.h"

#include <atomic>
#include <mutex>

namespace winapi::host {
namespace {

std::atomic<Backend> currentBackend { Backend::Headless };

std::mutex& handlerLock()
{
    static std::mutex lock;
    return lock;
}

MessageBoxHandler& storedHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

UINT buttonMessage(MouseButton button, bool down)
{
    switch (button) {
    case MouseButton::Right: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case MouseButton::Middle: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    }
}

POINT cursor()
{
    POINT p {};
    GetCursorPos(&p);
    return p;
}

bool isDialog(HWND window)
{
    std::lock_guard guard(user::system().lock);
    const user::Window* w = user::findWindow(window);
    return w && w->dialog;
}

}

MessageBoxHandler detail::messageBoxHandler()
{
    std::lock_guard guard(handlerLock());
    return storedHandler();
}

bool selectBackend(Backend chosen)
{
    // Only the headless backend is built so far.
    if (chosen != Backend::Headless)
        return false;
    currentBackend = chosen;
    return true;
}

Backend backend()
{
    return currentBackend;
}

Backend backendForProgram()
{
    return Backend::Headless;
}

void keyDown(UINT virtualKey, UINT scanCode)
{
    user::injectKey(virtualKey, scanCode, true);
}

void keyUp(UINT virtualKey, UINT scanCode)
{
    user::injectKey(virtualKey, scanCode, false);
}

void pressKey(UINT virtualKey)
{
    keyDown(virtualKey);
    keyUp(virtualKey);
}

void pressKeys(std::initializer_list<UINT> virtualKeys)
{
    for (UINT key : virtualKeys)
        keyDown(key);
    for (auto it = std::rbegin(virtualKeys); it != std::rend(virtualKeys); ++it)
        keyUp(*it);
}

void typeText(std::string_view text)
{
    for (const char character : text) {
        UINT key = 0;
        bool shift = false;
        if (character == '\n' || character == '\r') {
            pressKey(VK_RETURN);
        } else if (user::keyForCharacter(character, key, shift)) {
            if (shift)
                keyDown(VK_SHIFT);
            pressKey(key);
            if (shift)
                keyUp(VK_SHIFT);
        } else {
            user::injectCharacter(character);
        }
    }
}

void mouseMove(int x, int y)
{
    user::injectMouse(WM_MOUSEMOVE, { x, y });
}

void mouseDown(MouseButton button)
{
    user::injectMouse(buttonMessage(button, true), cursor());
}

void mouseUp(MouseButton button)
{
    user::injectMouse(buttonMessage(button, false), cursor());
}

void click(int x, int y, MouseButton button)
{
    mouseMove(x, y);
    mouseDown(button);
    mouseUp(button);
}

void clickClient(HWND window, int x, int y, MouseButton button)
{
    POINT p { x, y };
    ClientToScreen(window, &p);
    click(p.x, p.y, button);
}

void clickCentre(HWND window, MouseButton button)
{
    RECT r {};
    GetWindowRect(window, &r);
    click((r.left + r.right) / 2, (r.top + r.bottom) / 2, button);
}

unsigned pumpMessages(HWND dialog)
{
    // A window that never validates its update region would keep this
    // going for ever; the bound ends such a pump.
    constexpr unsigned maxMessages = 100000;
    unsigned count = 0;
    MSG message;
    while (count < maxMessages && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        ++count;
        HWND target = dialog;
        if (!target) {
            HWND active = GetActiveWindow();
            target = isDialog(active) ? active : nullptr;
        }
        if (target && IsDialogMessageA(target, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return count;
}

void setIdleHandler(std::function<void()> handler)
{
    user::setIdleHandler(std::move(handler));
}

void setMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard guard(handlerLock());
    storedHandler() = std::move(handler);
}

unsigned beepCount()
{
    std::lock_guard guard(user::system().lock);
    return user::system().beeps;
}

CaretInfo caret()
{
    std::lock_guard guard(user::system().lock);
    const user::Caret& current = user::currentQueue().caret;
    CaretInfo info;
    if (user::findWindow(current.owner)) {
        info.owner = current.owner;
        info.position = current.position;
        info.size = { current.width, current.height };
        info.visible = current.hideCount == 0;
    }
    return info;
}

}
