// Choosing from a window's menu bar, with the mouse or the keyboard: the
// layout of the bar and of its drop-down menus, the modal loop that runs
// while a menu is open, and GetMenuItemRect.
//
// The loop, in the platform's order: WM_ENTERMENULOOP, WM_INITMENU for the
// bar, then WM_INITMENUPOPUP before each drop-down opens and
// WM_UNINITMENUPOPUP when it closes, WM_MENUSELECT as the selection moves;
// at the end WM_MENUSELECT with 0xFFFF (closed) and WM_EXITMENULOOP, and a
// chosen command is posted to the window as WM_COMMAND. Grayed and disabled
// items can be selected but not chosen.
//
// Keys: Left and Right move along the bar, Up and Down within a drop-down,
// Right opens a submenu, Enter chooses (or opens), a character chooses the
// item it is the mnemonic of, Escape closes one level, Alt or F10 closes
// all. The mouse: a press on a bar item opens its drop-down (a press on the
// open one closes the menu), a release on an item chooses it, a press
// outside every menu closes it.
#include "gdi/FontEngine.h"
#include "user/MenuTracking.h"
#include "user/NonClient.h"
#include "user/State.h"

#include <cctype>

namespace winapi::user {
namespace {

struct Item {
    UINT type { 0 };
    UINT state { 0 };
    UINT id { 0 };
    HMENU submenu { nullptr };
    std::string label;       // without the ampersands
    std::string accelerator; // the text after a tab
    char mnemonic { 0 };
    bool separator() const { return type & MFT_SEPARATOR; }
    bool choosable() const { return !separator() && !(state & (MFS_GRAYED | MFS_DISABLED)); }
};

std::vector<Item> readItems(HMENU menu)
{
    std::vector<Item> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        MENUITEMINFOA info {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        Item item { info.fType, info.fState, info.wID, info.hSubMenu, {}, {}, 0 };
        const std::string full = text;
        const std::size_t tab = full.find('\t');
        const std::string shown = full.substr(0, tab);
        if (tab != std::string::npos)
            item.accelerator = full.substr(tab + 1);
        for (std::size_t c = 0; c < shown.size(); ++c) {
            if (shown[c] == '&' && c + 1 < shown.size()) {
                ++c;
                if (shown[c] != '&' && !item.mnemonic)
                    item.mnemonic = static_cast<char>(std::toupper(static_cast<unsigned char>(shown[c])));
            }
            item.label += shown[c];
        }
        items.push_back(std::move(item));
    }
    return items;
}

HFONT menuFont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int textWidthOf(const std::string& text)
{
    return gdi::textWidth(menuFont(), text);
}

int itemHeight()
{
    gdi::FontMeasures measures;
    const int font = gdi::fontMeasures(menuFont(), measures) ? measures.height : 13;
    return std::max(font + 4, GetSystemMetrics(SM_CYMENUCHECK) + 4);
}

constexpr int barPadding = 6;
constexpr int separatorHeight = 8;

// The bar's item rectangles, in screen coordinates, laid along the bar.
std::vector<RECT> barRects(HWND window, const std::vector<Item>& items)
{
    RECT bar {};
    {
        std::lock_guard guard(system().lock);
        const Window* w = findWindow(window);
        if (!w || !w->menu)
            return {};
        const RECT rect = screenRect(w);
        bar = nonClientLayout(rect, w->style, w->exStyle, true).menuBar;
    }
    std::vector<RECT> rects;
    int x = bar.left;
    for (const Item& item : items) {
        const int width = textWidthOf(item.label) + 2 * barPadding;
        rects.push_back({ x, bar.top, x + width, bar.bottom });
        x += width;
    }
    return rects;
}

struct PopupLayout {
    SIZE client {};
    std::vector<RECT> rects; // in the popup's client coordinates
};

PopupLayout popupLayout(const std::vector<Item>& items)
{
    int labels = 0;
    int accelerators = 0;
    for (const Item& item : items) {
        labels = std::max(labels, textWidthOf(item.label));
        accelerators = std::max(accelerators, textWidthOf(item.accelerator));
    }
    const int check = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    const int arrow = 16;
    const int width = check + labels + (accelerators ? 12 + accelerators : 0) + arrow;
    PopupLayout layout;
    int y = 0;
    for (const Item& item : items) {
        const int h = item.separator() ? separatorHeight : itemHeight();
        layout.rects.push_back({ 0, y, width, y + h });
        y += h;
    }
    layout.client = { width, y };
    return layout;
}

struct Level {
    HMENU menu { nullptr };
    HWND window { nullptr }; // the drop-down's window; null for the bar
    std::vector<Item> items;
    std::vector<RECT> rects; // screen coordinates
    int selected { -1 };
};

class Tracker {
public:
    Tracker(HWND owner, HMENU bar)
        : m_owner(owner)
    {
        Level top;
        top.menu = bar;
        top.items = readItems(bar);
        top.rects = barRects(owner, top.items);
        m_levels.push_back(std::move(top));
    }

    ~Tracker() { closeFrom(1); }

    bool empty() const { return m_levels[0].items.empty(); }

    // Runs the loop; the chosen command, or nothing.
    std::optional<UINT> run(int barItem, bool openIt, bool mouse)
    {
        m_mouse = mouse;
        select(0, barItem);
        if (openIt)
            open(0, barItem);
        MSG message;
        while (!m_done) {
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                SendMessageA(m_owner, WM_ENTERIDLE, MSGF_MENU,
                    reinterpret_cast<LPARAM>(m_levels.back().window));
                if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
                    if (message.message == WM_QUIT)
                        PostQuitMessage(static_cast<int>(message.wParam));
                    break;
                }
            } else if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            if (!IsWindow(m_owner))
                break;
            if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST)
                key(message);
            else if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST)
                mouseEvent(message);
            else
                DispatchMessageA(&message);
        }
        closeFrom(1);
        return m_chosen;
    }

    // The rectangle of an item of a menu shown by this loop.
    bool itemRect(HMENU menu, UINT position, RECT& rect) const
    {
        for (const Level& level : m_levels) {
            if (level.menu == menu && position < level.rects.size()) {
                rect = level.rects[position];
                return true;
            }
        }
        return false;
    }

private:
    void select(std::size_t depth, int index)
    {
        Level& level = m_levels[depth];
        level.selected = index;
        if (index < 0 || static_cast<std::size_t>(index) >= level.items.size())
            return;
        const Item& item = level.items[static_cast<std::size_t>(index)];
        const UINT flags = item.state | (item.submenu ? MF_POPUP : 0) | MF_HILITE | (m_mouse ? MF_MOUSESELECT : 0);
        SendMessageA(m_owner, WM_MENUSELECT, MAKEWPARAM(item.submenu ? index : static_cast<int>(item.id), flags),
            reinterpret_cast<LPARAM>(level.menu));
    }

    void closeFrom(std::size_t depth)
    {
        while (m_levels.size() > depth && m_levels.size() > 1) {
            Level level = std::move(m_levels.back());
            m_levels.pop_back();
            if (level.window)
                DestroyWindow(level.window);
            if (IsWindow(m_owner))
                SendMessageA(m_owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(level.menu), 0);
        }
    }

    // Opens the drop-down of an item at a depth, closing deeper ones.
    void open(std::size_t depth, int index)
    {
        closeFrom(depth + 1);
        Level& parent = m_levels[depth];
        if (index < 0 || static_cast<std::size_t>(index) >= parent.items.size())
            return;
        const Item item = parent.items[static_cast<std::size_t>(index)];
        if (!item.submenu || !IsMenu(item.submenu))
            return;
        SendMessageA(m_owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(item.submenu), MAKELPARAM(index, FALSE));
        Level level;
        level.menu = item.submenu;
        level.items = readItems(item.submenu);
        const PopupLayout layout = popupLayout(level.items);
        const DWORD style = WS_POPUP | WS_DLGFRAME;
        RECT frame { 0, 0, layout.client.cx, layout.client.cy };
        AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW);
        const RECT at = m_levels[depth].rects[static_cast<std::size_t>(index)];
        POINT corner = depth == 0 ? POINT { at.left, at.bottom } : POINT { at.right - 3, at.top - 3 };
        const int w = frame.right - frame.left;
        const int h = frame.bottom - frame.top;
        corner.x = std::max(0, std::min<int>(corner.x, GetSystemMetrics(SM_CXSCREEN) - w));
        corner.y = std::max(0, std::min<int>(corner.y, GetSystemMetrics(SM_CYSCREEN) - h));
        level.window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, MAKEINTATOM(0x8000), "", style, corner.x,
            corner.y, w, h, m_owner, nullptr, nullptr, nullptr);
        if (!level.window)
            return;
        ShowWindow(level.window, SW_SHOWNA);
        POINT origin { 0, 0 };
        ClientToScreen(level.window, &origin);
        for (const RECT& r : layout.rects)
            level.rects.push_back(offsetBy(r, origin.x, origin.y));
        m_levels.push_back(std::move(level));
    }

    void finish(std::optional<UINT> chosen)
    {
        m_chosen = chosen;
        m_done = true;
    }

    void choose(std::size_t depth, int index)
    {
        const Item& item = m_levels[depth].items[static_cast<std::size_t>(index)];
        if (item.submenu) {
            open(depth, index);
            if (m_levels.size() > depth + 1)
                select(depth + 1, firstSelectable(m_levels[depth + 1], -1, 1));
        } else if (item.choosable()) {
            finish(item.id);
        }
    }

    static int firstSelectable(const Level& level, int from, int step)
    {
        const int count = static_cast<int>(level.items.size());
        for (int i = 1; i <= count; ++i) {
            const int index = ((from + step * i) % count + count) % count;
            if (!level.items[static_cast<std::size_t>(index)].separator())
                return index;
        }
        return -1;
    }

    void key(const MSG& message)
    {
        const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
        const bool character = message.message == WM_CHAR || message.message == WM_SYSCHAR;
        if (down)
            m_mouse = false;
        const std::size_t depth = m_levels.size() - 1;
        Level& level = m_levels[depth];
        if (character) {
            const char wanted = static_cast<char>(std::toupper(static_cast<int>(message.wParam)));
            for (std::size_t i = 0; i < level.items.size(); ++i) {
                if (level.items[i].mnemonic == wanted) {
                    select(depth, static_cast<int>(i));
                    if (depth == 0)
                        open(0, static_cast<int>(i));
                    else
                        choose(depth, static_cast<int>(i));
                    if (depth == 0 && m_levels.size() > 1)
                        select(1, firstSelectable(m_levels[1], -1, 1));
                    return;
                }
            }
            MessageBeep(0);
            return;
        }
        if (!down)
            return;
        switch (message.wParam) {
        case VK_MENU:
        case VK_F10: finish(std::nullopt); return;
        case VK_ESCAPE:
            if (depth == 0)
                finish(std::nullopt);
            else
                closeFrom(depth);
            return;
        case VK_LEFT:
        case VK_RIGHT: {
            const int step = message.wParam == VK_RIGHT ? 1 : -1;
            if (depth >= 1 && step > 0 && level.selected >= 0 && level.items[static_cast<std::size_t>(level.selected)].submenu) {
                choose(depth, level.selected);
                return;
            }
            if (depth >= 2 && step < 0) {
                closeFrom(depth);
                return;
            }
            Level& bar = m_levels[0];
            const bool wasOpen = m_levels.size() > 1;
            const int next = firstSelectable(bar, bar.selected, step);
            closeFrom(1);
            select(0, next);
            if (wasOpen) {
                open(0, next);
                if (m_levels.size() > 1)
                    select(1, firstSelectable(m_levels[1], -1, 1));
            }
            return;
        }
        case VK_UP:
        case VK_DOWN:
            if (depth == 0) {
                open(0, level.selected);
                if (m_levels.size() > 1)
                    select(1, firstSelectable(m_levels[1], message.wParam == VK_DOWN ? -1 : 0,
                                  message.wParam == VK_DOWN ? 1 : -1));
            } else {
                select(depth, firstSelectable(level, level.selected, message.wParam == VK_DOWN ? 1 : -1));
            }
            return;
        case VK_RETURN:
            if (depth == 0) {
                open(0, level.selected);
                if (m_levels.size() > 1)
                    select(1, firstSelectable(m_levels[1], -1, 1));
            } else if (level.selected >= 0) {
                choose(depth, level.selected);
            }
            return;
        default:
            // Other keys may make the characters of mnemonics.
            TranslateMessage(&message);
            return;
        }
    }

    // Where a screen point falls: the deepest level and item under it.
    bool locate(POINT p, std::size_t& depth, int& index) const
    {
        for (std::size_t d = m_levels.size(); d-- > 0;) {
            const Level& level = m_levels[d];
            for (std::size_t i = 0; i < level.rects.size(); ++i) {
                if (contains(level.rects[i], p)) {
                    depth = d;
                    index = static_cast<int>(i);
                    return true;
                }
            }
            if (level.window) {
                RECT frame;
                GetWindowRect(level.window, &frame);
                if (contains(frame, p)) {
                    depth = d;
                    index = -1;
                    return true;
                }
            }
        }
        return false;
    }

    void mouseEvent(const MSG& message)
    {
        m_mouse = true;
        std::size_t depth = 0;
        int index = -1;
        const bool inside = locate(message.pt, depth, index);
        switch (message.message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (!inside) {
                finish(std::nullopt);
            } else if (depth == 0 && index >= 0) {
                if (index == m_levels[0].selected && m_levels.size() > 1) {
                    finish(std::nullopt);
                } else {
                    select(0, index);
                    open(0, index);
                }
            } else if (index >= 0) {
                select(depth, index);
                if (m_levels[depth].items[static_cast<std::size_t>(index)].submenu)
                    open(depth, index);
            }
            return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (inside && depth > 0 && index >= 0) {
                const Item& item = m_levels[depth].items[static_cast<std::size_t>(index)];
                if (!item.submenu)
                    choose(depth, index);
            }
            return;
        case WM_MOUSEMOVE:
            if (inside && index >= 0 && m_levels[depth].selected != index) {
                if (depth == 0 && m_levels.size() > 1) {
                    select(0, index);
                    open(0, index);
                } else if (depth > 0) {
                    closeFrom(depth + 1);
                    select(depth, index);
                }
            }
            return;
        default: return;
        }
    }

    HWND m_owner;
    std::vector<Level> m_levels;
    bool m_done { false };
    bool m_mouse { false };
    std::optional<UINT> m_chosen;
};

thread_local Tracker* activeTracker = nullptr;

}

void trackMenuBar(HWND window, LPARAM how, bool mouse)
{
    HMENU bar = GetMenu(window);
    if (!bar || activeTracker || !IsWindowEnabled(window))
        return;
    Tracker tracker(window, bar);
    if (tracker.empty())
        return;
    int item = 0;
    bool openIt = false;
    if (mouse) {
        const POINT p { GET_X_LPARAM(how), GET_Y_LPARAM(how) };
        const std::vector<RECT> rects = barRects(window, readItems(bar));
        item = -1;
        for (std::size_t i = 0; i < rects.size(); ++i) {
            if (contains(rects[i], p))
                item = static_cast<int>(i);
        }
        if (item < 0)
            return;
        openIt = true;
    } else if (how) {
        // Alt and a letter: the bar item that the letter is the mnemonic of.
        const char wanted = static_cast<char>(std::toupper(static_cast<int>(how)));
        const std::vector<Item> items = readItems(bar);
        item = -1;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].mnemonic == wanted) {
                item = static_cast<int>(i);
                break;
            }
        }
        if (item < 0) {
            MessageBeep(0);
            return;
        }
        openIt = true;
    }
    SendMessageA(window, WM_ENTERMENULOOP, FALSE, 0);
    SetCapture(window);
    SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    activeTracker = &tracker;
    std::optional<UINT> chosen = tracker.run(item, openIt, mouse);
    activeTracker = nullptr;
    ReleaseCapture();
    if (IsWindow(window)) {
        SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessageA(window, WM_EXITMENULOOP, FALSE, 0);
        if (chosen)
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(*chosen, 0), 0);
    }
}

}

using namespace winapi::user;

extern "C" BOOL WINAPI GetMenuItemRect(HWND window, HMENU menu, UINT item, LPRECT rect)
{
    if (!rect) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    if (activeTracker && activeTracker->itemRect(menu, item, *rect))
        return TRUE;
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!IsMenu(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    if (GetMenu(window) != menu)
        return FALSE;
    const std::vector<RECT> rects = barRects(window, readItems(menu));
    if (item >= rects.size())
        return FALSE;
    *rect = rects[item];
    return TRUE;
}
