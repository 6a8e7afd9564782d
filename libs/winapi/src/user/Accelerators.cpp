// Accelerator tables, from resources or made by the program, and their
// translation into WM_COMMAND (high word 1), with the platform's rules: a
// virtual-key entry matches only with exactly its Shift, Ctrl and Alt
// state, a character entry matches the character, and a command whose
// item in the window's menu is grayed or disabled is swallowed without
// being sent.
#include "core/Faults.h"
#include "resources/ResourceTable.h"
#include "user/Menus.h"
#include "user/State.h"

#include <vector>

namespace winapi::user {
namespace {

struct AcceleratorTable {
    std::vector<ACCEL> entries;
};

HandleTable<AcceleratorTable>& tables()
{
    static HandleTable<AcceleratorTable> table { HandleKind::Accelerator };
    return table;
}

// Tables loaded from resources: a second load of the same resource gives
// the same table, as on the platform.
std::vector<std::pair<winapi::resources::NameOrId, HACCEL>>& loadedTables()
{
    static std::vector<std::pair<winapi::resources::NameOrId, HACCEL>> loaded;
    return loaded;
}

HACCEL storeTable(std::vector<ACCEL> entries)
{
    auto table = std::make_unique<AcceleratorTable>();
    table->entries = std::move(entries);
    const std::uint32_t value = tables().insert(std::move(table));
    if (!value) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return toHandle<HACCEL>(value);
}

bool keyDown(int key)
{
    return GetKeyState(key) < 0;
}

}

}

using namespace winapi::user;

extern "C" {

HACCEL WINAPI LoadAcceleratorsA(HINSTANCE instance, LPCSTR name)
{
    if (winapi::injectedFailure("LoadAcceleratorsA"))
        return nullptr;
    if (!winapi::resources::isOwnModule(instance)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const winapi::resources::NameOrId key = winapi::resources::nameOrIdFrom(name);
    {
        std::lock_guard guard(system().lock);
        for (const auto& [loadedName, handle] : loadedTables()) {
            if (loadedName == key && tables().find(handle))
                return handle;
        }
    }
    const auto data = winapi::resources::findResource(winapi::resources::nameOrIdFrom(RT_ACCELERATOR), key);
    if (!data)
        return nullptr;
    const auto parsed = winapi::resources::parseAcceleratorTable(*data);
    if (!parsed) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    std::vector<ACCEL> entries;
    for (const auto& entry : *parsed)
        entries.push_back(ACCEL { entry.flags, entry.key, entry.command });
    std::lock_guard guard(system().lock);
    HACCEL handle = storeTable(std::move(entries));
    if (handle) {
        auto& loaded = loadedTables();
        loaded.erase(std::remove_if(loaded.begin(), loaded.end(), [&](const auto& e) { return e.first == key; }),
            loaded.end());
        loaded.emplace_back(key, handle);
    }
    return handle;
}

HACCEL WINAPI CreateAcceleratorTableA(LPACCEL entries, int count)
{
    if (winapi::injectedFailure("CreateAcceleratorTableA"))
        return nullptr;
    if (!entries || count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<ACCEL> copy(entries, entries + count);
    for (ACCEL& entry : copy)
        entry.fVirt &= 0x7F;
    std::lock_guard guard(system().lock);
    return storeTable(std::move(copy));
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL table)
{
    std::lock_guard guard(system().lock);
    if (!tables().remove(table)) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return FALSE;
    }
    return TRUE;
}

int WINAPI CopyAcceleratorTableA(HACCEL table, LPACCEL entries, int count)
{
    std::lock_guard guard(system().lock);
    const AcceleratorTable* found = tables().find(table);
    if (!found) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return 0;
    }
    const int size = static_cast<int>(found->entries.size());
    if (!entries)
        return size;
    const int copied = std::min(size, std::max(count, 0));
    std::copy(found->entries.begin(), found->entries.begin() + copied, entries);
    return copied;
}

int WINAPI TranslateAcceleratorA(HWND window, HACCEL table, LPMSG message)
{
    if (!message)
        return 0;
    const UINT kind = message->message;
    if (kind != WM_KEYDOWN && kind != WM_SYSKEYDOWN && kind != WM_CHAR && kind != WM_SYSCHAR)
        return 0;
    std::vector<ACCEL> entries;
    {
        std::lock_guard guard(system().lock);
        const AcceleratorTable* found = tables().find(table);
        if (!found) {
            SetLastError(ERROR_INVALID_ACCEL_HANDLE);
            return 0;
        }
        if (!findWindow(window)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        entries = found->entries;
    }
    const bool shift = keyDown(VK_SHIFT);
    const bool control = keyDown(VK_CONTROL);
    const bool alt = keyDown(VK_MENU);
    for (const ACCEL& entry : entries) {
        if (entry.key != message->wParam)
            continue;
        if (entry.fVirt & FVIRTKEY) {
            if (kind != WM_KEYDOWN && kind != WM_SYSKEYDOWN)
                continue;
            if (shift != bool(entry.fVirt & FSHIFT) || control != bool(entry.fVirt & FCONTROL)
                || alt != bool(entry.fVirt & FALT))
                continue;
        } else if (entry.fVirt & FALT) {
            if (kind != WM_SYSCHAR)
                continue;
        } else if (kind != WM_CHAR) {
            continue;
        }

        // The window's menu is brought up to date first, as it is before it
        // opens; a command it shows grayed or disabled is not sent.
        HMENU menu = GetMenu(window);
        HMENU popup = nullptr;
        int position = -1;
        bool inMenu = false;
        {
            std::lock_guard guard(system().lock);
            inMenu = menu && menuHasCommand(menu, entry.cmd, popup, position);
        }
        if (inMenu) {
            if (IsIconic(window))
                return TRUE;
            SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
            if (popup)
                SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(position, FALSE));
            const UINT state = GetMenuState(menu, entry.cmd, MF_BYCOMMAND);
            if (state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)))
                return TRUE;
        }
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
        return TRUE;
    }
    return 0;
}

}
