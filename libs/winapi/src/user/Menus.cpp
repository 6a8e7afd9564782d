// Menus: a store of menus and their items (type, state, identifier,
// submenu, text, data and check-mark images, as MENUITEMINFOA describes
// an item), not bound to any thread and addressed by generation-counted
// handles; menus from templates; menu bars of windows; item lookup by
// position or by command (searching submenus too).
#include "core/Faults.h"
#include "resources/ResourceTable.h"
#include "user/Menus.h"
#include "user/State.h"

#include <cstring>

namespace winapi::user {
namespace {

struct MenuItem {
    UINT type { MFT_STRING };
    UINT state { 0 };
    UINT id { 0 };
    HMENU submenu { nullptr };
    std::string text;
    ULONG_PTR data { 0 };
    HBITMAP checked { nullptr };
    HBITMAP unchecked { nullptr };
    HBITMAP bitmap { nullptr };
};

struct Menu {
    bool popup { false };
    std::vector<MenuItem> items;
};

// The platform's limit of menu handles is far beyond any program's need;
// a menu is capped at this many items.
constexpr std::size_t maxItems = 0xFFFF;

HandleTable<Menu>& menus()
{
    static HandleTable<Menu> table { HandleKind::Menu };
    return table;
}

Menu* findMenu(HMENU handle)
{
    return menus().find(handle);
}

Menu* menuOrError(HMENU handle)
{
    Menu* menu = findMenu(handle);
    if (!menu)
        SetLastError(ERROR_INVALID_MENU_HANDLE);
    return menu;
}

HMENU newMenu(bool popup)
{
    auto menu = std::make_unique<Menu>();
    menu->popup = popup;
    const std::uint32_t value = menus().insert(std::move(menu));
    if (!value) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return toHandle<HMENU>(value);
}

struct Location {
    Menu* menu { nullptr };
    std::size_t index { 0 };
};

// The item at a position, or the first item with the command, depth first.
Location locate(Menu* menu, UINT item, UINT flags, int depth = 0)
{
    if (!menu || depth > 64)
        return {};
    if (flags & MF_BYPOSITION) {
        if (item >= menu->items.size())
            return {};
        return { menu, item };
    }
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& entry = menu->items[i];
        if (!entry.submenu && entry.id == item && !(entry.type & MFT_SEPARATOR))
            return { menu, i };
        if (entry.submenu) {
            if (const Location inner = locate(findMenu(entry.submenu), item, flags, depth + 1); inner.menu)
                return inner;
        }
    }
    return {};
}

// An item for the item-description calls, with their error codes.
Location locateItem(HMENU menu, UINT item, BOOL byPosition)
{
    Menu* m = menuOrError(menu);
    const Location at = locate(m, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (m && !at.menu)
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return at;
}

void destroyMenu(HMENU handle, int depth = 0)
{
    std::unique_ptr<Menu> menu = menus().remove(handle);
    if (!menu || depth > 64)
        return;
    for (const MenuItem& item : menu->items) {
        if (item.submenu)
            destroyMenu(item.submenu, depth + 1);
    }
}

bool buildItems(HMENU menu, const std::vector<resources::MenuTemplateItem>& items, int depth)
{
    if (depth > 64)
        return false;
    for (const resources::MenuTemplateItem& source : items) {
        MenuItem item;
        item.type = source.type & ~static_cast<UINT>(MF_POPUP);
        item.state = source.state;
        item.id = source.id;
        item.text = source.text;
        if (source.flags & MF_POPUP) {
            item.submenu = newMenu(true);
            if (!item.submenu || !buildItems(item.submenu, source.children, depth + 1))
                return false;
        }
        findMenu(menu)->items.push_back(std::move(item));
    }
    return true;
}

HMENU menuFromTemplate(const resources::MenuTemplate& parsed)
{
    HMENU menu = newMenu(false);
    if (!menu)
        return nullptr;
    if (!buildItems(menu, parsed.items, 0)) {
        destroyMenu(menu);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return menu;
}

// An item made from the classic flags of AppendMenuA and InsertMenuA.
MenuItem itemFromFlags(UINT flags, UINT_PTR idOrSubmenu, LPCSTR content)
{
    MenuItem item;
    item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    item.type = flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY
                            | MFT_RADIOCHECK | MFT_RIGHTORDER);
    if (flags & MF_POPUP)
        item.submenu = reinterpret_cast<HMENU>(idOrSubmenu);
    else
        item.id = static_cast<UINT>(idOrSubmenu);
    if (item.type & MF_BITMAP)
        item.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(content));
    else if (item.type & MF_OWNERDRAW)
        item.data = reinterpret_cast<ULONG_PTR>(content);
    else if (!(item.type & MF_SEPARATOR) && content)
        item.text = content;
    return item;
}

bool validInfoSize(UINT size)
{
    // The record without its last member (hbmpItem) is accepted too, as
    // programs written for older systems pass it.
    return size == sizeof(MENUITEMINFOA) || size == offsetof(MENUITEMINFOA, hbmpItem);
}

void applyInfo(MenuItem& item, const MENUITEMINFOA& info)
{
    const bool full = info.cbSize == sizeof(MENUITEMINFOA);
    if (info.fMask & MIIM_TYPE) {
        item.type = info.fType;
        item.bitmap = nullptr;
        item.text.clear();
        if (info.fType & MFT_BITMAP)
            item.bitmap = reinterpret_cast<HBITMAP>(info.dwTypeData);
        else if (!(info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW)) && info.dwTypeData)
            item.text = info.dwTypeData;
    }
    if (info.fMask & MIIM_FTYPE)
        item.type = (item.type & MFT_BITMAP) | (info.fType & ~static_cast<UINT>(MFT_BITMAP));
    if ((info.fMask & MIIM_STRING))
        item.text = info.dwTypeData ? info.dwTypeData : "";
    if ((info.fMask & MIIM_BITMAP) && full)
        item.bitmap = info.hbmpItem;
    if (info.fMask & MIIM_STATE)
        item.state = info.fState;
    if (info.fMask & MIIM_ID)
        item.id = info.wID;
    if (info.fMask & MIIM_SUBMENU)
        item.submenu = info.hSubMenu;
    if (info.fMask & MIIM_CHECKMARKS) {
        item.checked = info.hbmpChecked;
        item.unchecked = info.hbmpUnchecked;
    }
    if (info.fMask & MIIM_DATA)
        item.data = info.dwItemData;
}

void copyText(const std::string& text, LPSTR buffer, UINT& size)
{
    if (buffer && size > 0) {
        const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
        std::memcpy(buffer, text.data(), length);
        buffer[length] = '\0';
    }
    size = static_cast<UINT>(text.size());
}

BOOL insertItem(HMENU handle, UINT position, bool byPosition, MenuItem item)
{
    std::lock_guard guard(system().lock);
    Menu* menu = menuOrError(handle);
    if (!menu)
        return FALSE;
    if (item.submenu && (!findMenu(item.submenu) || item.submenu == handle)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    Location at { menu, menu->items.size() };
    if (byPosition) {
        if (position < menu->items.size())
            at.index = position;
    } else if (position != static_cast<UINT>(-1)) {
        at = locate(menu, position, MF_BYCOMMAND);
        if (!at.menu)
            at = { menu, menu->items.size() };
    }
    if (at.menu->items.size() >= maxItems) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    at.menu->items.insert(at.menu->items.begin() + static_cast<std::ptrdiff_t>(at.index), std::move(item));
    return TRUE;
}

BOOL removeItem(HMENU handle, UINT position, UINT flags, bool destroySubmenu)
{
    HMENU submenu = nullptr;
    {
        std::lock_guard guard(system().lock);
        Menu* menu = menuOrError(handle);
        if (!menu)
            return FALSE;
        const Location at = locate(menu, position, flags);
        if (!at.menu) {
            SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
            return FALSE;
        }
        submenu = at.menu->items[at.index].submenu;
        at.menu->items.erase(at.menu->items.begin() + static_cast<std::ptrdiff_t>(at.index));
        if (destroySubmenu && submenu)
            destroyMenu(submenu);
    }
    return TRUE;
}

}

bool menuHasCommand(HMENU menu, UINT command, HMENU& popup, int& position)
{
    Menu* root = findMenu(menu);
    if (!root)
        return false;
    // Breadth of a menu bar is small; look for the popup that holds the command.
    const Location at = locate(root, command, MF_BYCOMMAND);
    if (!at.menu)
        return false;
    popup = nullptr;
    position = -1;
    for (std::size_t i = 0; i < root->items.size(); ++i) {
        if (root->items[i].submenu && locate(findMenu(root->items[i].submenu), command, MF_BYCOMMAND).menu) {
            popup = root->items[i].submenu;
            position = static_cast<int>(i);
            break;
        }
    }
    return true;
}

}

using namespace winapi::user;

extern "C" {

HMENU WINAPI CreateMenu(void)
{
    if (winapi::injectedFailure("CreateMenu"))
        return nullptr;
    std::lock_guard guard(system().lock);
    return newMenu(false);
}

HMENU WINAPI CreatePopupMenu(void)
{
    if (winapi::injectedFailure("CreatePopupMenu"))
        return nullptr;
    std::lock_guard guard(system().lock);
    return newMenu(true);
}

BOOL WINAPI DestroyMenu(HMENU menu)
{
    if (winapi::injectedFailure("DestroyMenu"))
        return FALSE;
    std::lock_guard guard(system().lock);
    if (!menuOrError(menu))
        return FALSE;
    destroyMenu(menu);
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU menu)
{
    std::lock_guard guard(system().lock);
    return findMenu(menu) ? TRUE : FALSE;
}

HMENU WINAPI LoadMenuA(HINSTANCE instance, LPCSTR name)
{
    if (winapi::injectedFailure("LoadMenuA"))
        return nullptr;
    if (!winapi::resources::isOwnModule(instance)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const auto data = winapi::resources::findResource(winapi::resources::nameOrIdFrom(RT_MENU),
        winapi::resources::nameOrIdFrom(name));
    if (!data)
        return nullptr;
    const auto parsed = winapi::resources::parseMenuTemplate(*data);
    if (!parsed) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    std::lock_guard guard(system().lock);
    return menuFromTemplate(*parsed);
}

HMENU WINAPI LoadMenuIndirectA(const MENUTEMPLATEA* menuTemplate)
{
    if (winapi::injectedFailure("LoadMenuIndirectA"))
        return nullptr;
    if (!menuTemplate) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A template in memory carries its own extent (its end marks); the
    // parser reads no further than they say.
    const std::span<const BYTE> bytes(static_cast<const BYTE*>(menuTemplate), 0x10000);
    const auto parsed = winapi::resources::parseMenuTemplate(bytes);
    if (!parsed) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    std::lock_guard guard(system().lock);
    return menuFromTemplate(*parsed);
}

HMENU WINAPI GetMenu(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (isChildWindow(*w) || !findMenu(w->menu))
        return nullptr;
    return w->menu;
}

BOOL WINAPI SetMenu(HWND window, HMENU menu)
{
    if (winapi::injectedFailure("SetMenu"))
        return FALSE;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (isChildWindow(*w)) {
            SetLastError(ERROR_CHILD_WINDOW_MENU);
            return FALSE;
        }
        if (menu && !menuOrError(menu))
            return FALSE;
        w->menu = menu;
    }
    // The menu bar takes (or gives back) part of the window's frame.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

BOOL WINAPI DrawMenuBar(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HMENU WINAPI GetSubMenu(HMENU menu, int position)
{
    std::lock_guard guard(system().lock);
    Menu* m = menuOrError(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size())
        return nullptr;
    return m->items[static_cast<std::size_t>(position)].submenu;
}

int WINAPI GetMenuItemCount(HMENU menu)
{
    std::lock_guard guard(system().lock);
    const Menu* m = menuOrError(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU menu, int position)
{
    std::lock_guard guard(system().lock);
    const Menu* m = menuOrError(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size())
        return static_cast<UINT>(-1);
    const MenuItem& item = m->items[static_cast<std::size_t>(position)];
    return item.submenu ? static_cast<UINT>(-1) : item.id;
}

UINT WINAPI GetMenuState(HMENU menu, UINT item, UINT flags)
{
    std::lock_guard guard(system().lock);
    Menu* m = menuOrError(menu);
    const Location at = locate(m, item, flags);
    if (!at.menu)
        return static_cast<UINT>(-1);
    const MenuItem& entry = at.menu->items[at.index];
    const UINT own = entry.type | entry.state;
    if (entry.submenu) {
        const Menu* sub = findMenu(entry.submenu);
        const UINT count = sub ? static_cast<UINT>(sub->items.size()) : 0;
        return (count << 8) | (own & 0xFF) | MF_POPUP;
    }
    return own;
}

BOOL WINAPI EnableMenuItem(HMENU menu, UINT item, UINT enable)
{
    if (winapi::injectedFailure("EnableMenuItem"))
        return -1;
    std::lock_guard guard(system().lock);
    Menu* m = menuOrError(menu);
    const Location at = locate(m, item, enable);
    if (!at.menu)
        return -1;
    MenuItem& entry = at.menu->items[at.index];
    const UINT previous = entry.state & (MF_GRAYED | MF_DISABLED);
    entry.state = (entry.state & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return static_cast<BOOL>(previous);
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check)
{
    if (winapi::injectedFailure("CheckMenuItem"))
        return static_cast<DWORD>(-1);
    std::lock_guard guard(system().lock);
    Menu* m = menuOrError(menu);
    const Location at = locate(m, item, check);
    if (!at.menu)
        return static_cast<DWORD>(-1);
    MenuItem& entry = at.menu->items[at.index];
    const DWORD previous = entry.state & MF_CHECKED;
    entry.state = (entry.state & ~static_cast<UINT>(MF_CHECKED)) | (check & MF_CHECKED);
    return previous;
}

int WINAPI GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int bufferSize, UINT flags)
{
    std::lock_guard guard(system().lock);
    Menu* m = menuOrError(menu);
    const Location at = locate(m, item, flags);
    if (!at.menu)
        return 0;
    const std::string& text = at.menu->items[at.index].text;
    if (!buffer || bufferSize <= 0)
        return static_cast<int>(text.size());
    UINT size = static_cast<UINT>(bufferSize);
    copyText(text, buffer, size);
    return static_cast<int>(std::min<std::size_t>(text.size(), static_cast<std::size_t>(bufferSize - 1)));
}

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCSTR text)
{
    if (winapi::injectedFailure("AppendMenuA"))
        return FALSE;
    return insertItem(menu, static_cast<UINT>(-1), true, itemFromFlags(flags, idOrSubmenu, text));
}

BOOL WINAPI InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCSTR text)
{
    if (winapi::injectedFailure("InsertMenuA"))
        return FALSE;
    return insertItem(menu, position, flags & MF_BYPOSITION, itemFromFlags(flags, idOrSubmenu, text));
}

BOOL WINAPI InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    if (winapi::injectedFailure("InsertMenuItemA"))
        return FALSE;
    if (!info || !validInfoSize(info->cbSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MenuItem entry;
    applyInfo(entry, *info);
    return insertItem(menu, item, byPosition != FALSE, std::move(entry));
}

BOOL WINAPI GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info)
{
    if (winapi::injectedFailure("GetMenuItemInfoA"))
        return FALSE;
    if (!info || !validInfoSize(info->cbSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(system().lock);
    const Location at = locateItem(menu, item, byPosition);
    if (!at.menu)
        return FALSE;
    const MenuItem& entry = at.menu->items[at.index];
    if (info->fMask & (MIIM_TYPE | MIIM_FTYPE))
        info->fType = entry.type;
    if (info->fMask & MIIM_TYPE) {
        if (entry.type & MFT_BITMAP) {
            info->dwTypeData = reinterpret_cast<LPSTR>(entry.bitmap);
        } else if (entry.type & (MFT_SEPARATOR | MFT_OWNERDRAW)) {
            info->cch = 0;
        } else {
            UINT size = info->cch;
            copyText(entry.text, info->cch ? info->dwTypeData : nullptr, size);
            info->cch = size;
        }
    }
    if (info->fMask & MIIM_STRING) {
        UINT size = info->cch;
        copyText(entry.text, info->cch ? info->dwTypeData : nullptr, size);
        info->cch = size;
    }
    if ((info->fMask & MIIM_BITMAP) && info->cbSize == sizeof(MENUITEMINFOA))
        info->hbmpItem = entry.bitmap;
    if (info->fMask & MIIM_STATE)
        info->fState = entry.state;
    if (info->fMask & MIIM_ID)
        info->wID = entry.id;
    if (info->fMask & MIIM_SUBMENU)
        info->hSubMenu = entry.submenu;
    if (info->fMask & MIIM_CHECKMARKS) {
        info->hbmpChecked = entry.checked;
        info->hbmpUnchecked = entry.unchecked;
    }
    if (info->fMask & MIIM_DATA)
        info->dwItemData = entry.data;
    return TRUE;
}

BOOL WINAPI SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    if (winapi::injectedFailure("SetMenuItemInfoA"))
        return FALSE;
    if (!info || !validInfoSize(info->cbSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(system().lock);
    const Location at = locateItem(menu, item, byPosition);
    if (!at.menu)
        return FALSE;
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && !findMenu(info->hSubMenu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    applyInfo(at.menu->items[at.index], *info);
    return TRUE;
}

BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags)
{
    if (winapi::injectedFailure("RemoveMenu"))
        return FALSE;
    return removeItem(menu, position, flags, false);
}

BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    if (winapi::injectedFailure("DeleteMenu"))
        return FALSE;
    return removeItem(menu, position, flags, true);
}

}
