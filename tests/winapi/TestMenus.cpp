// Menus and accelerators: menus from templates, item states and their
// previous values, item descriptions, stale menu handles, menu bars of
// windows, and the translation of keys into commands (a grayed command is
// not delivered).
#include "WindowTesting.h"

#include <ResourceImage.h>
#include <resource.h>

using namespace testing_support;
namespace host = winapi::host;

namespace {

class Menus : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
    }
};

std::string itemText(HMENU menu, UINT item, UINT flags)
{
    char buffer[64];
    const int length = GetMenuStringA(menu, item, buffer, sizeof buffer, flags);
    return std::string(buffer, static_cast<std::size_t>(std::max(length, 0)));
}

TEST_F(Menus, TheProgramsMenuFromItsTemplate)
{
    HMENU bar = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(itemText(bar, 0, MF_BYPOSITION), "&Solver");
    HMENU solver = GetSubMenu(bar, 0);
    ASSERT_NE(solver, nullptr);
    EXPECT_EQ(GetMenuItemID(bar, 0), static_cast<UINT>(-1)) << "a submenu's item has no command";
    ASSERT_EQ(GetMenuItemCount(solver), 5);
    HMENU random = GetSubMenu(solver, 0);
    ASSERT_NE(random, nullptr);
    EXPECT_EQ(GetMenuItemCount(random), 6);
    EXPECT_EQ(GetMenuState(solver, 0, MF_BYPOSITION), static_cast<UINT>(MF_POPUP | (6 << 8)));
    for (UINT id = 200; id <= 205; ++id)
        EXPECT_EQ(GetMenuItemID(random, static_cast<int>(id - 200)), id);
    EXPECT_EQ(itemText(bar, 205, MF_BYCOMMAND), "&Fully Random") << "found in a submenu";
    EXPECT_EQ(itemText(bar, 24323, MF_BYCOMMAND), "&Copy Solutions\tCtrl+C");
    EXPECT_EQ(GetMenuState(bar, 24323, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(GetMenuState(solver, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(solver, 3), 24340U);
    EXPECT_EQ(GetMenuItemID(solver, 4), 24346U);

    EXPECT_TRUE(DestroyMenu(bar));
    for (HMENU gone : { bar, solver, random }) {
        EXPECT_FALSE(IsMenu(gone)) << "submenus go with their menu";
        SetLastError(0);
        EXPECT_EQ(GetMenuItemCount(gone), -1);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
    }
    EXPECT_FALSE(DestroyMenu(bar));
    SetLastError(0);
    EXPECT_EQ(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(77)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(Menus, ItemStatesAnswerWithTheirPreviousValues)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 10, "&Ten");
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 11, "&Eleven");
    HMENU inner = CreatePopupMenu();
    AppendMenuA(inner, MF_STRING | MF_CHECKED, 20, "T&wenty");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "&More");
    struct Case {
        const char* what;
        std::function<LONG()> call;
        LONG result;
        UINT item;
        UINT flags;
        UINT state;
    };
    const Case cases[] = {
        { "gray an enabled item", [&] { return static_cast<LONG>(EnableMenuItem(menu, 10, MF_GRAYED)); }, MF_ENABLED,
            10, MF_BYCOMMAND, MF_GRAYED },
        { "enable a grayed item", [&] { return static_cast<LONG>(EnableMenuItem(menu, 1, MF_BYPOSITION | MF_ENABLED)); },
            MF_GRAYED, 11, MF_BYCOMMAND, 0 },
        { "disable inside a submenu", [&] { return static_cast<LONG>(EnableMenuItem(menu, 20, MF_DISABLED)); },
            MF_ENABLED, 20, MF_BYCOMMAND, MF_DISABLED | MF_CHECKED },
        { "uncheck", [&] { return static_cast<LONG>(CheckMenuItem(menu, 20, MF_UNCHECKED)); }, MF_CHECKED, 20,
            MF_BYCOMMAND, MF_DISABLED },
        { "check", [&] { return static_cast<LONG>(CheckMenuItem(menu, 10, MF_CHECKED)); }, MF_UNCHECKED, 10,
            MF_BYCOMMAND, MF_GRAYED | MF_CHECKED },
        { "a missing item", [&] { return static_cast<LONG>(EnableMenuItem(menu, 99, MF_GRAYED)); }, -1, 0,
            MF_BYPOSITION, 0 },
        { "a missing position", [&] { return static_cast<LONG>(CheckMenuItem(menu, 3, MF_BYPOSITION | MF_CHECKED)); },
            -1, 0, MF_BYPOSITION, 0 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(), c.result) << c.what;
        if (c.result != -1) {
            EXPECT_EQ(GetMenuState(menu, c.item, c.flags), c.state) << c.what;
        }
    }
    EXPECT_EQ(GetMenuState(menu, 99, MF_BYCOMMAND), static_cast<UINT>(-1));
    {
        host::ScopedFailure failure("EnableMenuItem", 1, ERROR_INVALID_MENU_HANDLE);
        EXPECT_EQ(EnableMenuItem(menu, 10, MF_ENABLED), -1);
    }
    EXPECT_EQ(GetMenuState(menu, 10, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    DestroyMenu(menu);
}

TEST_F(Menus, ItemDescriptionsRoundTrip)
{
    HMENU menu = CreatePopupMenu();
    char text[] = "&Open...";
    for (const UINT size : { static_cast<UINT>(sizeof(MENUITEMINFOA)), static_cast<UINT>(offsetof(MENUITEMINFOA, hbmpItem)) }) {
        MENUITEMINFOA info {};
        info.cbSize = size;
        info.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
        info.fType = MFT_STRING;
        info.fState = MFS_CHECKED;
        info.wID = 300 + size;
        info.dwItemData = 0xABCD;
        info.dwTypeData = text;
        ASSERT_TRUE(InsertMenuItemA(menu, 0, TRUE, &info)) << size;

        MENUITEMINFOA read {};
        read.cbSize = size;
        read.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
        EXPECT_TRUE(GetMenuItemInfoA(menu, 300 + size, FALSE, &read));
        EXPECT_EQ(read.cch, 8U) << "without a buffer, the text's length";
        char buffer[5];
        read.dwTypeData = buffer;
        read.cch = sizeof buffer;
        EXPECT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &read));
        EXPECT_STREQ(buffer, "&Ope");
        EXPECT_EQ(read.wID, 300 + size);
        EXPECT_EQ(read.fState, static_cast<UINT>(MFS_CHECKED));
        EXPECT_EQ(read.dwItemData, 0xABCDU);

        MENUITEMINFOA change {};
        change.cbSize = size;
        change.fMask = MIIM_STATE;
        change.fState = MFS_GRAYED;
        EXPECT_TRUE(SetMenuItemInfoA(menu, 300 + size, FALSE, &change));
        EXPECT_EQ(GetMenuState(menu, 300 + size, MF_BYCOMMAND), static_cast<UINT>(MFS_GRAYED));
    }
    MENUITEMINFOA bad {};
    bad.cbSize = 40;
    SetLastError(0);
    EXPECT_FALSE(InsertMenuItemA(menu, 0, TRUE, &bad));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    MENUITEMINFOA missing {};
    missing.cbSize = sizeof missing;
    missing.fMask = MIIM_ID;
    EXPECT_FALSE(GetMenuItemInfoA(menu, 9999, FALSE, &missing));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MENU_ITEM_NOT_FOUND));
    EXPECT_TRUE(RemoveMenu(menu, 0, MF_BYPOSITION));
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    DestroyMenu(menu);
}

TEST_F(Menus, AMenuBarTakesPartOfTheFrame)
{
    const std::string name = recordingClass();
    HWND window = CreateWindowExA(0, name.c_str(), "w", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
        nullptr, nullptr);
    RECT before;
    GetClientRect(window, &before);
    HMENU bar = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    log().clear();
    ASSERT_TRUE(SetMenu(window, bar));
    EXPECT_EQ(log().of(WM_NCCALCSIZE).size(), 1U);
    EXPECT_EQ(GetMenu(window), bar);
    RECT after;
    GetClientRect(window, &after);
    EXPECT_EQ(before.bottom - after.bottom, GetSystemMetrics(SM_CYMENU));
    EXPECT_TRUE(DrawMenuBar(window));
    EXPECT_TRUE(SetMenu(window, nullptr));
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_TRUE(IsMenu(bar)) << "the window no longer owns it";
    SetMenu(window, bar);
    DestroyWindow(window);
    EXPECT_FALSE(IsMenu(bar)) << "destroyed with the window it belonged to";

    HWND parent = CreateWindowExA(0, name.c_str(), "p", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExA(0, name.c_str(), "c", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    HMENU another = CreateMenu();
    EXPECT_FALSE(SetMenu(child, another));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CHILD_WINDOW_MENU));
    DestroyMenu(another);
    EXPECT_FALSE(SetMenu(parent, another));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
}

TEST_F(Menus, AcceleratorsTranslateKeysIntoCommands)
{
    const std::string name = recordingClass();
    HWND window = CreateWindowExA(0, name.c_str(), "w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
        LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)), nullptr, nullptr);
    host::pumpMessages();
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)), table) << "loaded once";

    // Runs the keys through a loop that translates accelerators.
    const auto run = [&](const std::vector<UINT>& keys) {
        log().clear();
        pressTogether(keys);
        MSG message;
        int translated = 0;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateAcceleratorA(window, table, &message)) {
                ++translated;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        std::vector<WPARAM> commands;
        for (const Delivery& d : log().of(WM_COMMAND))
            commands.push_back(d.wParam);
        return std::make_pair(translated, commands);
    };
    const WPARAM copy = MAKEWPARAM(24323, 1);
    struct Case {
        const char* what;
        std::vector<UINT> keys;
        bool enabled;
        int translated;
        std::vector<WPARAM> commands;
    };
    const Case cases[] = {
        { "Ctrl+C, its character", { VK_CONTROL, 'C' }, true, 1, { copy } },
        { "Ctrl+Insert, its key", { VK_CONTROL, VK_INSERT }, true, 1, { copy } },
        { "Shift+Ctrl+Insert is another key", { VK_SHIFT, VK_CONTROL, VK_INSERT }, true, 0, {} },
        { "Insert alone", { VK_INSERT }, true, 0, {} },
        { "C alone", { 'C' }, true, 0, {} },
        { "grayed: swallowed, not delivered", { VK_CONTROL, 'C' }, false, 1, {} },
    };
    for (const Case& c : cases) {
        EnableMenuItem(GetMenu(window), 24323, c.enabled ? MF_ENABLED : MF_GRAYED);
        const auto [translated, commands] = run(c.keys);
        EXPECT_EQ(translated, c.translated) << c.what;
        EXPECT_EQ(commands, c.commands) << c.what;
        if (c.translated) {
            EXPECT_EQ(log().of(WM_INITMENU).size(), 1U) << "the menu is brought up to date first: " << c.what;
        }
    }

    // A command outside the menu is sent as it stands.
    ACCEL entries[] = { { FVIRTKEY | FCONTROL | FSHIFT, 'Z', 4711 }, { 0, 'q', 4712 } };
    HACCEL own = CreateAcceleratorTableA(entries, 2);
    ASSERT_NE(own, nullptr);
    ACCEL copied[3] {};
    EXPECT_EQ(CopyAcceleratorTableA(own, nullptr, 0), 2);
    EXPECT_EQ(CopyAcceleratorTableA(own, copied, 3), 2);
    EXPECT_EQ(copied[0].cmd, 4711);
    EXPECT_EQ(copied[1].key, 'q');
    table = own;
    const auto [translated, commands] = run({ VK_SHIFT, VK_CONTROL, 'Z' });
    EXPECT_EQ(commands, (std::vector<WPARAM> { MAKEWPARAM(4711, 1) }));
    const auto [typed, typedCommands] = run({ 'Q' });
    EXPECT_EQ(typedCommands, (std::vector<WPARAM> { MAKEWPARAM(4712, 1) }));
    EXPECT_TRUE(DestroyAcceleratorTable(own));
    EXPECT_FALSE(DestroyAcceleratorTable(own));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ACCEL_HANDLE));
    MSG key { window, WM_KEYDOWN, 'Z', 0, 0, {} };
    EXPECT_EQ(TranslateAcceleratorA(window, own, &key), 0);
    EXPECT_EQ(CreateAcceleratorTableA(entries, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// Runs one step each time the thread is about to wait, as a person acts
// while a menu is open.
class Script {
public:
    explicit Script(std::vector<std::function<void()>> steps)
        : m_steps(std::move(steps))
    {
        host::setIdleHandler([this] {
            if (m_next < m_steps.size())
                m_steps[m_next++]();
        });
    }
    ~Script() { host::setIdleHandler({}); }
    bool finished() const { return m_next == m_steps.size(); }

private:
    std::vector<std::function<void()>> m_steps;
    std::size_t m_next { 0 };
};

POINT centre(const RECT& r)
{
    return { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
}

class MenuChoices : public Menus {
protected:
    void SetUp() override
    {
        Menus::SetUp();
        const std::string name = recordingClass();
        window = CreateWindowExA(0, name.c_str(), "w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300, nullptr,
            LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)), nullptr, nullptr);
        host::pumpMessages();
        bar = GetMenu(window);
        solver = GetSubMenu(bar, 0);
        log().clear();
    }
    void clickItem(HMENU menu, UINT position)
    {
        RECT r {};
        ASSERT_TRUE(GetMenuItemRect(window, menu, position, &r)) << position;
        const POINT p = centre(r);
        host::click(p.x, p.y);
    }
    std::vector<WPARAM> commands() const
    {
        std::vector<WPARAM> result;
        for (const Delivery& d : log().of(WM_COMMAND))
            result.push_back(d.wParam);
        return result;
    }
    HWND window { nullptr };
    HMENU bar { nullptr };
    HMENU solver { nullptr };
};

TEST_F(MenuChoices, AClickOnAnItemPostsItsCommand)
{
    Script script({ [&] { clickItem(solver, 3); } });
    clickItem(bar, 0);
    host::pumpMessages();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(commands(), (std::vector<WPARAM> { MAKEWPARAM(24340, 0) }));
    EXPECT_EQ(log().of(WM_COMMAND)[0].lParam, 0);
    const std::vector<UINT> loop { WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_UNINITMENUPOPUP,
        WM_EXITMENULOOP, WM_COMMAND };
    std::vector<UINT> order;
    for (const auto& [w, message] : log().sequence(loop)) {
        if (w == window)
            order.push_back(message);
    }
    EXPECT_EQ(order, loop);
    EXPECT_EQ(reinterpret_cast<HMENU>(log().of(WM_INITMENU)[0].wParam), bar);
    EXPECT_EQ(reinterpret_cast<HMENU>(log().of(WM_INITMENUPOPUP)[0].wParam), solver);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MenuChoices, KeysWalkTheMenus)
{
    struct Case {
        const char* what;
        std::vector<std::vector<UINT>> presses; // each group pressed together
        std::vector<WPARAM> commands;
    };
    const Case cases[] = {
        { "Alt, then arrows into the submenu", { { VK_MENU }, { VK_DOWN }, { VK_RIGHT }, { VK_DOWN }, { VK_RETURN } },
            { MAKEWPARAM(201, 0) } },
        { "Alt and mnemonics", { { VK_MENU, 'S' }, { 'X' } }, { MAKEWPARAM(24340, 0) } },
        { "F10 and a mnemonic inside a submenu", { { VK_F10 }, { VK_DOWN }, { 'R' }, { 'F' } }, { MAKEWPARAM(205, 0) } },
        { "a grayed item is not chosen", { { VK_MENU, 'S' }, { 'C' }, { VK_ESCAPE }, { VK_ESCAPE } }, {} },
        { "Escape backs out", { { VK_MENU }, { VK_ESCAPE } }, {} },
    };
    for (const Case& c : cases) {
        log().clear();
        std::vector<std::function<void()>> steps;
        for (std::size_t i = 1; i < c.presses.size(); ++i)
            steps.push_back([keys = c.presses[i]] { pressTogether(keys); });
        Script script(steps);
        pressTogether(c.presses[0]);
        host::pumpMessages();
        EXPECT_TRUE(script.finished()) << c.what;
        EXPECT_EQ(commands(), c.commands) << c.what;
        EXPECT_FALSE(log().of(WM_EXITMENULOOP).empty()) << c.what;
    }
}

TEST_F(MenuChoices, APressOutsideClosesTheMenu)
{
    RECT client;
    GetWindowRect(window, &client);
    Script script({ [&] { host::click(client.right - 20, client.bottom - 20); } });
    clickItem(bar, 0);
    host::pumpMessages();
    EXPECT_TRUE(script.finished());
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(log().of(WM_EXITMENULOOP).size(), 1U);
    RECT r;
    EXPECT_FALSE(GetMenuItemRect(window, solver, 0, &r)) << "no drop-down is open";
}

}
