// Keyboard and mouse input: raw events as a device (or a test through the
// host) produces them, their routing when a thread reads them, the
// keyboard state behind GetKeyState, characters from key strokes
// (TranslateMessage, US layout), the mouse capture and the cursor.
//
// Routing a mouse event, in the platform's steps:
//  1. The event goes to the thread of the window under the point (or of
//     the window that has the capture).
//  2. When the thread reads it, WM_NCHITTEST tells which part was hit;
//     HTTRANSPARENT passes the point to the parent, and a disabled window
//     answers HTERROR without being asked.
//  3. A button press on a window of an inactive top-level window sends
//     WM_MOUSEACTIVATE; its answer activates (WA_CLICKACTIVE) and may eat
//     the click.
//  4. WM_SETCURSOR goes to the window, then the client or non-client
//     message; a second press soon enough becomes a double click.
#include "user/Input.h"

#include "user/State.h"

#include <cctype>
#include <cstdlib>

namespace winapi::user {
namespace {

struct KeyInfo {
    UINT key;
    BYTE scan;
    bool extended;
};

// Scan codes of the US keyboard (set 1).
constexpr KeyInfo keyTable[] = {
    { VK_ESCAPE, 0x01, false }, { '1', 0x02, false }, { '2', 0x03, false }, { '3', 0x04, false },
    { '4', 0x05, false }, { '5', 0x06, false }, { '6', 0x07, false }, { '7', 0x08, false }, { '8', 0x09, false },
    { '9', 0x0A, false }, { '0', 0x0B, false }, { VK_OEM_MINUS, 0x0C, false }, { VK_OEM_PLUS, 0x0D, false },
    { VK_BACK, 0x0E, false }, { VK_TAB, 0x0F, false }, { 'Q', 0x10, false }, { 'W', 0x11, false },
    { 'E', 0x12, false }, { 'R', 0x13, false }, { 'T', 0x14, false }, { 'Y', 0x15, false }, { 'U', 0x16, false },
    { 'I', 0x17, false }, { 'O', 0x18, false }, { 'P', 0x19, false }, { VK_OEM_4, 0x1A, false },
    { VK_OEM_6, 0x1B, false }, { VK_RETURN, 0x1C, false }, { VK_CONTROL, 0x1D, false }, { VK_LCONTROL, 0x1D, false },
    { 'A', 0x1E, false }, { 'S', 0x1F, false }, { 'D', 0x20, false }, { 'F', 0x21, false }, { 'G', 0x22, false },
    { 'H', 0x23, false }, { 'J', 0x24, false }, { 'K', 0x25, false }, { 'L', 0x26, false },
    { VK_OEM_1, 0x27, false }, { VK_OEM_7, 0x28, false }, { VK_OEM_3, 0x29, false }, { VK_SHIFT, 0x2A, false },
    { VK_LSHIFT, 0x2A, false }, { VK_OEM_5, 0x2B, false }, { 'Z', 0x2C, false }, { 'X', 0x2D, false },
    { 'C', 0x2E, false }, { 'V', 0x2F, false }, { 'B', 0x30, false }, { 'N', 0x31, false }, { 'M', 0x32, false },
    { VK_OEM_COMMA, 0x33, false }, { VK_OEM_PERIOD, 0x34, false }, { VK_OEM_2, 0x35, false },
    { VK_RSHIFT, 0x36, false }, { VK_MULTIPLY, 0x37, false }, { VK_MENU, 0x38, false }, { VK_LMENU, 0x38, false },
    { VK_SPACE, 0x39, false }, { VK_CAPITAL, 0x3A, false }, { VK_F1, 0x3B, false }, { VK_F2, 0x3C, false },
    { VK_F3, 0x3D, false }, { VK_F4, 0x3E, false }, { VK_F5, 0x3F, false }, { VK_F6, 0x40, false },
    { VK_F7, 0x41, false }, { VK_F8, 0x42, false }, { VK_F9, 0x43, false }, { VK_F10, 0x44, false },
    { VK_NUMLOCK, 0x45, false }, { VK_SCROLL, 0x46, false }, { VK_NUMPAD7, 0x47, false }, { VK_NUMPAD8, 0x48, false },
    { VK_NUMPAD9, 0x49, false }, { VK_SUBTRACT, 0x4A, false }, { VK_NUMPAD4, 0x4B, false },
    { VK_NUMPAD5, 0x4C, false }, { VK_NUMPAD6, 0x4D, false }, { VK_ADD, 0x4E, false }, { VK_NUMPAD1, 0x4F, false },
    { VK_NUMPAD2, 0x50, false }, { VK_NUMPAD3, 0x51, false }, { VK_NUMPAD0, 0x52, false },
    { VK_DECIMAL, 0x53, false }, { VK_F11, 0x57, false }, { VK_F12, 0x58, false }, { VK_RCONTROL, 0x1D, true },
    { VK_RMENU, 0x38, true }, { VK_DIVIDE, 0x35, true }, { VK_HOME, 0x47, true }, { VK_UP, 0x48, true },
    { VK_PRIOR, 0x49, true }, { VK_LEFT, 0x4B, true }, { VK_RIGHT, 0x4D, true }, { VK_END, 0x4F, true },
    { VK_DOWN, 0x50, true }, { VK_NEXT, 0x51, true }, { VK_INSERT, 0x52, true }, { VK_DELETE, 0x53, true },
    { VK_LWIN, 0x5B, true }, { VK_RWIN, 0x5C, true }, { VK_APPS, 0x5D, true },
};

const KeyInfo* keyInfo(UINT key)
{
    for (const KeyInfo& info : keyTable) {
        if (info.key == key)
            return &info;
    }
    return nullptr;
}

UINT genericKey(UINT key)
{
    switch (key) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return key;
    }
}

UINT sidedKey(UINT key)
{
    switch (key) {
    case VK_SHIFT: return VK_LSHIFT;
    case VK_CONTROL: return VK_LCONTROL;
    case VK_MENU: return VK_LMENU;
    default: return key;
    }
}

bool isDown(const std::array<BYTE, 256>& keys, UINT key)
{
    return keys[key & 0xFF] & 0x80;
}

void updateKeys(std::array<BYTE, 256>& keys, UINT key, bool down)
{
    const UINT generic = genericKey(key);
    const UINT sided = sidedKey(key);
    for (const UINT k : { generic, sided }) {
        if (down && !(keys[k] & 0x80))
            keys[k] ^= 1; // the toggle flips on each press
        keys[k] = static_cast<BYTE>(down ? keys[k] | 0x80 : keys[k] & ~0x80);
    }
    if (generic != key && generic != sided) {
        // The generic key stays down while either side is down.
        const UINT left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        const UINT right = generic == VK_SHIFT ? VK_RSHIFT : generic == VK_CONTROL ? VK_RCONTROL : VK_RMENU;
        if (isDown(keys, left) || isDown(keys, right))
            keys[generic] |= 0x80;
    }
}

WPARAM mouseKeyState(const std::array<BYTE, 256>& keys)
{
    WPARAM state = 0;
    if (isDown(keys, VK_LBUTTON))
        state |= MK_LBUTTON;
    if (isDown(keys, VK_RBUTTON))
        state |= MK_RBUTTON;
    if (isDown(keys, VK_MBUTTON))
        state |= MK_MBUTTON;
    if (isDown(keys, VK_SHIFT))
        state |= MK_SHIFT;
    if (isDown(keys, VK_CONTROL))
        state |= MK_CONTROL;
    return state;
}

ThreadQueue* queueOfWindow(HWND window)
{
    Window* w = findWindow(window);
    return w && w->queue && w->queue->alive ? w->queue.get() : nullptr;
}

void queueInput(ThreadQueue& queue, const InputEvent& event)
{
    constexpr std::size_t maxInput = 10000;
    if (queue.input.size() >= maxInput)
        return;
    queue.input.push_back(event);
    ++queue.arrivals;
    queue.wake.notify_all();
}

HWND globalCapture()
{
    for (const auto& queue : system().queues) {
        if (queue->capture)
            return queue->capture;
    }
    return nullptr;
}

bool isKeyboardMessage(UINT message)
{
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

bool isButtonDown(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN
        || message == WM_XBUTTONDOWN;
}

constexpr UINT nonClientOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;

bool hasNonClientForm(UINT message)
{
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK;
}

// Where a keyboard event goes when read: the focus, or without one the
// active window, which then gets the system-key forms.
HWND keyboardTarget(const ThreadQueue& queue, UINT& message)
{
    if (queue.focus && findWindow(queue.focus))
        return queue.focus;
    if (queue.active && findWindow(queue.active)) {
        if (message == WM_KEYDOWN)
            message = WM_SYSKEYDOWN;
        else if (message == WM_KEYUP)
            message = WM_SYSKEYUP;
        return queue.active;
    }
    return nullptr;
}

}

int characterFor(UINT key, const std::array<BYTE, 256>& keys)
{
    const bool shift = isDown(keys, VK_SHIFT);
    const bool control = isDown(keys, VK_CONTROL);
    const bool alt = isDown(keys, VK_MENU);
    const bool capsLock = keys[VK_CAPITAL] & 1;
    if (control && alt)
        return -1;
    if (key >= 'A' && key <= 'Z') {
        if (control)
            return static_cast<int>(key - 'A' + 1);
        return static_cast<int>(shift != capsLock ? key : key - 'A' + 'a');
    }
    if (key >= '0' && key <= '9') {
        if (control)
            return -1;
        return shift ? ")!@#$%^&*("[key - '0'] : static_cast<int>(key);
    }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return static_cast<int>('0' + key - VK_NUMPAD0);
    struct Punctuation {
        UINT key;
        char plain;
        char shifted;
        int controlled;
    };
    constexpr Punctuation punctuation[] = {
        { VK_SPACE, ' ', ' ', ' ' }, { VK_OEM_1, ';', ':', -1 }, { VK_OEM_PLUS, '=', '+', -1 },
        { VK_OEM_COMMA, ',', '<', -1 }, { VK_OEM_MINUS, '-', '_', -1 }, { VK_OEM_PERIOD, '.', '>', -1 },
        { VK_OEM_2, '/', '?', -1 }, { VK_OEM_3, '`', '~', -1 }, { VK_OEM_4, '[', '{', 0x1B },
        { VK_OEM_5, '\\', '|', 0x1C }, { VK_OEM_6, ']', '}', 0x1D }, { VK_OEM_7, '\'', '"', -1 },
        { VK_MULTIPLY, '*', '*', -1 }, { VK_ADD, '+', '+', -1 }, { VK_SUBTRACT, '-', '-', -1 },
        { VK_DECIMAL, '.', '.', -1 }, { VK_DIVIDE, '/', '/', -1 }, { VK_BACK, 0x08, 0x08, 0x7F },
        { VK_TAB, 0x09, 0x09, -1 }, { VK_RETURN, 0x0D, 0x0D, 0x0A }, { VK_ESCAPE, 0x1B, 0x1B, 0x1B },
    };
    for (const Punctuation& p : punctuation) {
        if (p.key == key)
            return control ? p.controlled : shift ? p.shifted : p.plain;
    }
    return -1;
}

bool keyForCharacter(char character, UINT& key, bool& shift)
{
    const auto c = static_cast<unsigned char>(character);
    std::array<BYTE, 256> keys {};
    for (const bool withShift : { false, true }) {
        keys[VK_SHIFT] = withShift ? 0x80 : 0;
        for (UINT candidate = 1; candidate < 0xFF; ++candidate) {
            if (candidate == VK_CONTROL || (candidate >= VK_NUMPAD0 && candidate <= VK_DIVIDE))
                continue;
            if (characterFor(candidate, keys) == c) {
                key = candidate;
                shift = withShift;
                return true;
            }
        }
    }
    return false;
}

void injectKey(UINT key, UINT scanCode, bool down)
{
    std::lock_guard guard(system().lock);
    System& s = system();
    const KeyInfo* info = keyInfo(key);
    if (scanCode == 0 && info)
        scanCode = info->scan;
    const UINT generic = genericKey(key);
    const bool wasDown = isDown(s.asyncKeys, generic);
    const bool altBefore = isDown(s.asyncKeys, VK_MENU);
    updateKeys(s.asyncKeys, key, down);
    const bool alt = isDown(s.asyncKeys, VK_MENU);
    const bool control = isDown(s.asyncKeys, VK_CONTROL);
    UINT message;
    if (down)
        message = (key == VK_F10 || (alt && !control)) ? WM_SYSKEYDOWN : WM_KEYDOWN;
    else
        message = (key == VK_F10 || ((altBefore || generic == VK_MENU) && !control)) ? WM_SYSKEYUP : WM_KEYUP;
    LPARAM lParam = 1 | static_cast<LPARAM>((scanCode & 0xFF) << 16);
    if (info && info->extended)
        lParam |= 1 << 24;
    if ((message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) && (down ? alt : altBefore))
        lParam |= 1 << 29;
    if (wasDown || !down)
        lParam |= 1 << 30;
    if (!down)
        lParam |= static_cast<LPARAM>(1u << 31);
    ThreadQueue* queue = queueOfWindow(s.foreground);
    if (!queue)
        return;
    InputEvent event;
    event.message = MSG { nullptr, message, generic, static_cast<LPARAM>(static_cast<std::uint32_t>(lParam)),
        GetTickCount(), s.cursor };
    event.key = sidedKey(key) == key ? key : sidedKey(key);
    queueInput(*queue, event);
}

void injectCharacter(char character)
{
    std::lock_guard guard(system().lock);
    System& s = system();
    ThreadQueue* queue = queueOfWindow(s.foreground);
    if (!queue)
        return;
    InputEvent event;
    event.message = MSG { nullptr, WM_CHAR, static_cast<unsigned char>(character), 1, GetTickCount(), s.cursor };
    queueInput(*queue, event);
}

void injectMouse(UINT message, POINT point)
{
    std::lock_guard guard(system().lock);
    System& s = system();
    s.cursor = point;
    switch (message) {
    case WM_LBUTTONDOWN: updateKeys(s.asyncKeys, VK_LBUTTON, true); break;
    case WM_LBUTTONUP: updateKeys(s.asyncKeys, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: updateKeys(s.asyncKeys, VK_RBUTTON, true); break;
    case WM_RBUTTONUP: updateKeys(s.asyncKeys, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: updateKeys(s.asyncKeys, VK_MBUTTON, true); break;
    case WM_MBUTTONUP: updateKeys(s.asyncKeys, VK_MBUTTON, false); break;
    default: break;
    }
    HWND target = globalCapture();
    if (!target)
        target = windowUnderPoint(point);
    ThreadQueue* queue = target ? queueOfWindow(target) : nullptr;
    if (!queue)
        return;
    InputEvent event;
    event.message = MSG { nullptr, message, mouseKeyState(s.asyncKeys), 0, GetTickCount(), point };
    event.target = target;
    queueInput(*queue, event);
}

bool takeInput(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove)
{
    for (;;) {
        InputEvent event;
        HWND window;
        UINT message;
        std::size_t position;
        {
            std::lock_guard guard(system().lock);
            ThreadQueue& queue = currentQueue();
            // Events for windows that are gone are dropped on the way.
            queue.input.erase(std::remove_if(queue.input.begin(), queue.input.end(),
                                  [](const InputEvent& e) {
                                      return !isKeyboardMessage(e.message.message) && !findWindow(e.target);
                                  }),
                queue.input.end());
            const auto found = std::find_if(queue.input.begin(), queue.input.end(), [&](const InputEvent& e) {
                UINT m = e.message.message;
                if (isKeyboardMessage(m)) {
                    HWND target = keyboardTarget(queue, m);
                    return filterAccepts(target, m, filter, filterMin, filterMax);
                }
                return findWindow(e.target)
                    && (filterAccepts(e.target, m, filter, filterMin, filterMax)
                        || (hasNonClientForm(m)
                            && filterAccepts(e.target, m - nonClientOffset, filter, filterMin, filterMax)));
            });
            if (found == queue.input.end())
                return false;
            event = *found;
            position = static_cast<std::size_t>(found - queue.input.begin());
            queue.input.erase(found);

            if (isKeyboardMessage(event.message.message)) {
                message = event.message.message;
                window = keyboardTarget(queue, message);
                out = event.message;
                out.hwnd = window;
                out.message = message;
                if (remove) {
                    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
                    if (message != WM_CHAR && message != WM_SYSCHAR)
                        updateKeys(queue.keys, event.key ? event.key : static_cast<UINT>(event.message.wParam), down);
                    if (down) {
                        const WPARAM key = event.message.wParam;
                        const bool repeat = event.message.lParam & (1 << 30);
                        if (key == VK_MENU || key == VK_F10)
                            queue.menuKeyAlone = queue.menuKeyAlone || !repeat;
                        else
                            queue.menuKeyAlone = false;
                    }
                    queue.messageTime = out.time;
                    queue.messagePos = out.pt;
                } else {
                    queue.input.insert(queue.input.begin() + static_cast<std::ptrdiff_t>(position), event);
                }
                return true;
            }
        }

        // A mouse event: hit test, activation and cursor, outside the lock.
        window = event.target;
        const POINT point = event.message.pt;
        bool captured;
        bool disabled;
        {
            std::lock_guard guard(system().lock);
            captured = currentQueue().capture == window;
            const Window* w = findWindow(window);
            disabled = w && (w->style & WS_DISABLED);
        }
        LRESULT hit = HTCLIENT;
        if (!captured) {
            for (;;) {
                hit = disabled ? HTERROR
                               : SendMessageA(window, WM_NCHITTEST, 0,
                                   MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
                if (hit != HTTRANSPARENT)
                    break;
                std::lock_guard guard(system().lock);
                Window* w = findWindow(window);
                if (!w || !isChildWindow(*w) || !ownedByCurrentThread(*w->parent)) {
                    hit = HTNOWHERE;
                    break;
                }
                window = w->parent->handle;
                disabled = w->parent->style & WS_DISABLED;
            }
        }
        message = event.message.message;
        if (!remove) {
            std::lock_guard guard(system().lock);
            auto& input = currentQueue().input;
            input.insert(input.begin() + static_cast<std::ptrdiff_t>(std::min(position, input.size())), event);
        } else {
            bool eat = false;
            if (isButtonDown(message) && !captured && hit != HTERROR) {
                const HWND top = GetAncestor(window, GA_ROOT);
                if (top && top != GetActiveWindow()) {
                    const LRESULT answer = SendMessageA(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                        MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(message)));
                    if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT)
                        activateWindow(top, WA_CLICKACTIVE, true);
                    eat = answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
                }
            }
            if (!captured)
                SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                    MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(message)));
            if (eat || hit == HTERROR || !IsWindow(window))
                continue;
        }

        std::lock_guard guard(system().lock);
        ThreadQueue& queue = currentQueue();
        Window* w = findWindow(window);
        if (!w)
            continue;
        const bool client = hit == HTCLIENT || !hasNonClientForm(message);
        UINT final = client ? message : message - nonClientOffset;
        WPARAM wParam = client ? event.message.wParam : static_cast<WPARAM>(hit);
        LPARAM lParam;
        if (client) {
            const POINT origin = clientOrigin(w);
            lParam = MAKELPARAM(static_cast<WORD>(point.x - origin.x), static_cast<WORD>(point.y - origin.y));
        } else {
            lParam = MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
        }
        if (remove && isButtonDown(message))
            queue.menuKeyAlone = false;
        if (remove && isButtonDown(message)) {
            const int dx = std::abs(point.x - queue.lastDownPoint.x);
            const int dy = std::abs(point.y - queue.lastDownPoint.y);
            const bool twice = queue.lastDownMessage == message && queue.lastDownWindow == window
                && event.message.time - queue.lastDownTime <= GetDoubleClickTime()
                && dx <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 && dy <= GetSystemMetrics(SM_CYDOUBLECLK) / 2
                && !queue.lastWasDoubleClick;
            const bool classWants = !client || (w->windowClass->style & CS_DBLCLKS);
            queue.lastWasDoubleClick = twice && classWants;
            if (queue.lastWasDoubleClick)
                final += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
            queue.lastDownMessage = message;
            queue.lastDownWindow = window;
            queue.lastDownTime = event.message.time;
            queue.lastDownPoint = point;
        }
        if (!filterAccepts(window, final, filter, filterMin, filterMax)) {
            if (!remove)
                return false;
            continue;
        }
        out = MSG { window, final, wParam, lParam, event.message.time, point };
        if (remove) {
            queue.messageTime = out.time;
            queue.messagePos = point;
            // The buttons' state as of this message.
            updateKeys(queue.keys, VK_LBUTTON, event.message.wParam & MK_LBUTTON);
            updateKeys(queue.keys, VK_RBUTTON, event.message.wParam & MK_RBUTTON);
            updateKeys(queue.keys, VK_MBUTTON, event.message.wParam & MK_MBUTTON);
        }
        return true;
    }
}

}

using namespace winapi::user;

extern "C" {

BOOL WINAPI TranslateMessage(const MSG* message)
{
    if (!message)
        return FALSE;
    switch (message->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        int character;
        {
            std::lock_guard guard(system().lock);
            character = characterFor(static_cast<UINT>(message->wParam), currentQueue().keys);
        }
        if (character >= 0)
            PostMessageA(message->hwnd, message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                static_cast<WPARAM>(character), message->lParam);
        return TRUE;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: return TRUE;
    default: return FALSE;
    }
}

SHORT WINAPI GetKeyState(int virtualKey)
{
    std::lock_guard guard(system().lock);
    const BYTE state = currentQueue().keys[static_cast<BYTE>(virtualKey)];
    return static_cast<SHORT>(((state & 0x80) ? 0xFF80 : 0) | (state & 1));
}

SHORT WINAPI GetAsyncKeyState(int virtualKey)
{
    std::lock_guard guard(system().lock);
    return static_cast<SHORT>((system().asyncKeys[static_cast<BYTE>(virtualKey)] & 0x80) ? 0x8000 : 0);
}

BOOL WINAPI GetKeyboardState(LPBYTE state)
{
    if (!state) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::lock_guard guard(system().lock);
    const auto& keys = currentQueue().keys;
    std::copy(keys.begin(), keys.end(), state);
    return TRUE;
}

BOOL WINAPI SetKeyboardState(LPBYTE state)
{
    if (!state) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::lock_guard guard(system().lock);
    auto& keys = currentQueue().keys;
    std::copy(state, state + keys.size(), keys.begin());
    return TRUE;
}

UINT WINAPI MapVirtualKeyA(UINT code, UINT mapType)
{
    switch (mapType) {
    case MAPVK_VK_TO_VSC: {
        const KeyInfo* info = keyInfo(code);
        return info ? info->scan : 0;
    }
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX:
        for (const KeyInfo& info : keyTable) {
            if (info.scan == code && !info.extended)
                return mapType == MAPVK_VSC_TO_VK ? genericKey(info.key) : info.key;
        }
        return 0;
    case MAPVK_VK_TO_CHAR: {
        const std::array<BYTE, 256> keys {};
        const int character = characterFor(code, keys);
        if (code >= 'A' && code <= 'Z')
            return code;
        return character < 0 ? 0 : static_cast<UINT>(character);
    }
    default: return 0;
    }
}

SHORT WINAPI VkKeyScanA(CHAR character)
{
    UINT key = 0;
    bool shift = false;
    if (keyForCharacter(character, key, shift))
        return static_cast<SHORT>(key | (shift ? 0x100 : 0));
    const auto c = static_cast<unsigned char>(character);
    if (c >= 1 && c <= 26)
        return static_cast<SHORT>(('A' + c - 1) | 0x200);
    return -1;
}

HWND WINAPI SetCapture(HWND window)
{
    HWND previous;
    {
        std::lock_guard guard(system().lock);
        ThreadQueue& queue = currentQueue();
        const Window* w = findWindow(window);
        if (!w || !ownedByCurrentThread(*w)) {
            SetLastError(w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        previous = queue.capture;
        if (previous == window)
            return previous;
        queue.capture = window;
    }
    if (previous && IsWindow(previous))
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    return previous;
}

BOOL WINAPI ReleaseCapture(void)
{
    HWND previous;
    {
        std::lock_guard guard(system().lock);
        ThreadQueue& queue = currentQueue();
        previous = queue.capture;
        queue.capture = nullptr;
    }
    if (previous && IsWindow(previous))
        SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture(void)
{
    std::lock_guard guard(system().lock);
    return currentQueue().capture;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::lock_guard guard(system().lock);
    *point = system().cursor;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y)
{
    const int right = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    injectMouse(WM_MOUSEMOVE, { std::clamp(x, 0, right), std::clamp(y, 0, bottom) });
    return TRUE;
}

UINT WINAPI GetDoubleClickTime(void)
{
    return 500;
}

BOOL WINAPI MessageBeep(UINT)
{
    std::lock_guard guard(system().lock);
    ++system().beeps;
    return TRUE;
}

}
