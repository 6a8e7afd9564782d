// Window classes: registration with the platform's rules, the class values
// of GetClassLongA/SetClassLongA, the system classes, and registered
// window messages (which share the platform's atom range with classes).
#include "controls/StandardControls.h"
#include "core/Faults.h"
#include "user/State.h"
#include "user/SystemClasses.h"

#include <cstring>

namespace winapi::user {
namespace {

// The scroll bar control, which no dialog of the program uses, until it
// gets a procedure of its own: a control that behaves like a plain window.
LRESULT CALLBACK placeholderControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HBRUSH systemColourBrush(int index)
{
    return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(index + 1));
}

struct SystemClassEntry {
    const char* name;
    ATOM atom; // 0: given from the registration counter
    UINT style;
    WNDPROC procedure;
    int windowExtra;
    int backgroundColour; // a system colour index, or -1 for none
    WORD cursor;          // a system cursor's number: IDC_ARROW or IDC_IBEAM
};

// The dialog class erases with the 3-D face colour; the platform reaches
// the same colour through WM_CTLCOLORDLG.
constexpr SystemClassEntry systemClassEntries[] = {
    { "#32769", 0x8001, 0, DefWindowProcA, 0, COLOR_BACKGROUND, 32512 },
    { "#32770", 0x8002, CS_DBLCLKS | CS_SAVEBITS, DefDlgProcA, DLGWINDOWEXTRA, COLOR_BTNFACE, 32512 },
    { "#32768", 0x8000, CS_DBLCLKS | CS_SAVEBITS, DefWindowProcA, 0, COLOR_MENU, 32512 },
    { "BUTTON", 0, CS_DBLCLKS | CS_PARENTDC | CS_VREDRAW | CS_HREDRAW, controls::buttonProcedure, 0, -1, 32512 },
    { "EDIT", 0, CS_DBLCLKS | CS_PARENTDC, controls::editProcedure, 0, -1, 32513 },
    { "STATIC", 0, CS_DBLCLKS | CS_PARENTDC, controls::staticProcedure, 0, -1, 32512 },
    { "LISTBOX", 0, CS_DBLCLKS | CS_PARENTDC, controls::listBoxProcedure, 0, -1, 32512 },
    { "COMBOBOX", 0, CS_DBLCLKS | CS_PARENTDC | CS_VREDRAW | CS_HREDRAW, controls::comboBoxProcedure, 0, -1, 32512 },
    { "ComboLBox", 0, CS_DBLCLKS | CS_SAVEBITS, controls::listBoxProcedure, 0, -1, 32512 },
    { "SCROLLBAR", 0, CS_DBLCLKS | CS_PARENTDC | CS_VREDRAW | CS_HREDRAW, placeholderControlProcedure, 0, -1, 32512 },
};

constexpr int maxExtraBytes = 40000; // the platform's limit for class and window bytes

std::shared_ptr<WindowClass> localClass(LPCSTR name)
{
    std::shared_ptr<WindowClass> found = findClass(name);
    return found && !found->system ? found : nullptr;
}

WindowClass* classOfWindow(HWND window)
{
    Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return w->windowClass.get();
}

ATOM registerClass(const WNDCLASSEXA& record, const char* operation)
{
    if (winapi::injectedFailure(operation))
        return 0;
    if (!record.lpszClassName || IS_INTRESOURCE(record.lpszClassName) || !record.lpszClassName[0]
        || !record.lpfnWndProc || record.cbClsExtra < 0 || record.cbWndExtra < 0 || record.cbClsExtra > maxExtraBytes
        || record.cbWndExtra > maxExtraBytes || std::strlen(record.lpszClassName) > 255) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard guard(system().lock);
    if (localClass(record.lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    System& s = system();
    if (s.nextAtom == 0xFFFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto windowClass = std::make_shared<WindowClass>();
    windowClass->atom = s.nextAtom++;
    windowClass->name = record.lpszClassName;
    windowClass->style = record.style;
    windowClass->procedure = record.lpfnWndProc;
    windowClass->classExtra = record.cbClsExtra;
    windowClass->windowExtra = record.cbWndExtra;
    windowClass->instance = record.hInstance;
    windowClass->icon = record.hIcon;
    windowClass->smallIcon = record.hIconSm;
    windowClass->cursor = record.hCursor;
    windowClass->background = record.hbrBackground;
    if (record.lpszMenuName) {
        if (IS_INTRESOURCE(record.lpszMenuName))
            windowClass->menuId = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(record.lpszMenuName));
        else
            windowClass->menuName = record.lpszMenuName;
    }
    windowClass->extra.assign(static_cast<std::size_t>(record.cbClsExtra), 0);
    s.classes.insert(s.classes.begin(), windowClass);
    return windowClass->atom;
}

LPCSTR menuNameOf(const WindowClass& windowClass)
{
    if (windowClass.menuId)
        return MAKEINTRESOURCEA(windowClass.menuId);
    return windowClass.menuName.empty() ? nullptr : windowClass.menuName.c_str();
}

bool fillClassInfo(LPCSTR className, WNDCLASSEXA& record)
{
    std::lock_guard guard(system().lock);
    const std::shared_ptr<WindowClass> found = findClass(className);
    if (!found) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return false;
    }
    record.style = found->style;
    record.lpfnWndProc = found->procedure;
    record.cbClsExtra = found->classExtra;
    record.cbWndExtra = found->windowExtra;
    record.hInstance = found->instance;
    record.hIcon = found->icon;
    record.hCursor = found->cursor;
    record.hbrBackground = found->background;
    record.lpszMenuName = menuNameOf(*found);
    // As the platform does, the name is the caller's own pointer.
    record.lpszClassName = className;
    record.hIconSm = found->smallIcon;
    return true;
}

// Class values by index: the negative GCL_ indices, or extra bytes.
bool readClassValue(const WindowClass& c, int index, std::size_t size, ULONG_PTR& value)
{
    switch (index) {
    case GCL_MENUNAME: value = reinterpret_cast<ULONG_PTR>(menuNameOf(c)); return true;
    case GCL_HBRBACKGROUND: value = reinterpret_cast<ULONG_PTR>(c.background); return true;
    case GCL_HCURSOR: value = reinterpret_cast<ULONG_PTR>(c.cursor); return true;
    case GCL_HICON: value = reinterpret_cast<ULONG_PTR>(c.icon); return true;
    case GCL_HICONSM: value = reinterpret_cast<ULONG_PTR>(c.smallIcon); return true;
    case GCL_HMODULE: value = reinterpret_cast<ULONG_PTR>(c.instance); return true;
    case GCL_CBWNDEXTRA: value = static_cast<ULONG_PTR>(c.windowExtra); return true;
    case GCL_CBCLSEXTRA: value = static_cast<ULONG_PTR>(c.classExtra); return true;
    case GCL_WNDPROC:
        value = size == sizeof(LONG) ? static_cast<ULONG_PTR>(static_cast<DWORD>(procedureToLong(reinterpret_cast<const void*>(c.procedure))))
                                     : reinterpret_cast<ULONG_PTR>(c.procedure);
        return true;
    case GCL_STYLE: value = c.style; return true;
    case GCW_ATOM: value = c.atom; return true;
    default: break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + size > c.extra.size())
        return false;
    value = 0;
    std::memcpy(&value, c.extra.data() + index, size);
    return true;
}

bool writeClassValue(WindowClass& c, int index, std::size_t size, ULONG_PTR value, ULONG_PTR& previous)
{
    if (index == GCW_ATOM || index == GCL_CBCLSEXTRA || !readClassValue(c, index, size, previous))
        return false;
    switch (index) {
    case GCL_MENUNAME: {
        const auto name = reinterpret_cast<LPCSTR>(value);
        c.menuId = 0;
        c.menuName.clear();
        if (name && IS_INTRESOURCE(name))
            c.menuId = static_cast<WORD>(value);
        else if (name)
            c.menuName = name;
        return true;
    }
    case GCL_HBRBACKGROUND: c.background = reinterpret_cast<HBRUSH>(value); return true;
    case GCL_HCURSOR: c.cursor = reinterpret_cast<HCURSOR>(value); return true;
    case GCL_HICON: c.icon = reinterpret_cast<HICON>(value); return true;
    case GCL_HICONSM: c.smallIcon = reinterpret_cast<HICON>(value); return true;
    case GCL_HMODULE: c.instance = reinterpret_cast<HINSTANCE>(value); return true;
    case GCL_CBWNDEXTRA:
        if (static_cast<LONG_PTR>(value) < 0 || static_cast<LONG_PTR>(value) > maxExtraBytes)
            return false;
        c.windowExtra = static_cast<int>(value);
        return true;
    case GCL_WNDPROC:
        c.procedure = size == sizeof(LONG)
            ? reinterpret_cast<WNDPROC>(const_cast<void*>(procedureFromLong(static_cast<LONG>(value))))
            : reinterpret_cast<WNDPROC>(value);
        return true;
    case GCL_STYLE: c.style = static_cast<UINT>(value); return true;
    default: std::memcpy(c.extra.data() + index, &value, size); return true;
    }
}

ULONG_PTR getClassValue(HWND window, int index, std::size_t size)
{
    std::lock_guard guard(system().lock);
    WindowClass* c = classOfWindow(window);
    if (!c)
        return 0;
    ULONG_PTR value = 0;
    if (!readClassValue(*c, index, size, value)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return value;
}

ULONG_PTR setClassValue(HWND window, int index, std::size_t size, ULONG_PTR value, const char* operation)
{
    if (winapi::injectedFailure(operation))
        return 0;
    std::lock_guard guard(system().lock);
    WindowClass* c = classOfWindow(window);
    if (!c)
        return 0;
    ULONG_PTR previous = 0;
    if (!writeClassValue(*c, index, size, value, previous)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return previous;
}

}

void addSystemClasses(System& s)
{
    for (const SystemClassEntry& entry : systemClassEntries) {
        auto windowClass = std::make_shared<WindowClass>();
        windowClass->atom = entry.atom ? entry.atom : s.nextAtom++;
        windowClass->name = entry.name;
        windowClass->system = true;
        windowClass->style = entry.style | CS_GLOBALCLASS;
        windowClass->procedure = entry.procedure;
        windowClass->windowExtra = entry.windowExtra;
        windowClass->background = entry.backgroundColour < 0 ? nullptr : systemColourBrush(entry.backgroundColour);
        windowClass->cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(entry.cursor));
        s.classes.push_back(windowClass);
    }
}

}

using namespace winapi::user;

extern "C" {

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass)
{
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return registerClass(*windowClass, "RegisterClassExA");
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass)
{
    if (!windowClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const WNDCLASSEXA record { sizeof(WNDCLASSEXA), windowClass->style, windowClass->lpfnWndProc,
        windowClass->cbClsExtra, windowClass->cbWndExtra, windowClass->hInstance, windowClass->hIcon,
        windowClass->hCursor, windowClass->hbrBackground, windowClass->lpszMenuName, windowClass->lpszClassName,
        nullptr };
    return registerClass(record, "RegisterClassA");
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE)
{
    if (winapi::injectedFailure("UnregisterClassA"))
        return FALSE;
    std::lock_guard guard(system().lock);
    const std::shared_ptr<WindowClass> found = localClass(className);
    if (!found) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (found->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    auto& classes = system().classes;
    classes.erase(std::remove(classes.begin(), classes.end(), found), classes.end());
    return TRUE;
}

BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR className, LPWNDCLASSEXA windowClass)
{
    if (!windowClass) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    if (!fillClassInfo(className, *windowClass))
        return FALSE;
    std::lock_guard guard(system().lock);
    return findClass(className)->atom;
}

BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR className, LPWNDCLASSA windowClass)
{
    if (!windowClass) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    WNDCLASSEXA record {};
    if (!fillClassInfo(className, record))
        return FALSE;
    *windowClass = WNDCLASSA { record.style, record.lpfnWndProc, record.cbClsExtra, record.cbWndExtra,
        record.hInstance, record.hIcon, record.hCursor, record.hbrBackground, record.lpszMenuName,
        record.lpszClassName };
    std::lock_guard guard(system().lock);
    return findClass(className)->atom;
}

DWORD WINAPI GetClassLongA(HWND window, int index)
{
    return static_cast<DWORD>(getClassValue(window, index, sizeof(LONG)));
}

DWORD WINAPI SetClassLongA(HWND window, int index, LONG value)
{
    return static_cast<DWORD>(
        setClassValue(window, index, sizeof(LONG), static_cast<ULONG_PTR>(static_cast<DWORD>(value)), "SetClassLongA"));
}

ULONG_PTR WINAPI GetClassLongPtrA(HWND window, int index)
{
    return getClassValue(window, index, sizeof(LONG_PTR));
}

ULONG_PTR WINAPI SetClassLongPtrA(HWND window, int index, LONG_PTR value)
{
    return setClassValue(window, index, sizeof(LONG_PTR), static_cast<ULONG_PTR>(value), "SetClassLongPtrA");
}

WORD WINAPI GetClassWord(HWND window, int index)
{
    return static_cast<WORD>(getClassValue(window, index, sizeof(WORD)));
}

int WINAPI GetClassNameA(HWND window, LPSTR buffer, int bufferSize)
{
    std::lock_guard guard(system().lock);
    const WindowClass* c = classOfWindow(window);
    if (!c)
        return 0;
    if (!buffer || bufferSize <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::size_t length = std::min(c->name.size(), static_cast<std::size_t>(bufferSize - 1));
    std::memcpy(buffer, c->name.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

UINT WINAPI RegisterWindowMessageA(LPCSTR name)
{
    if (!name || !name[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard guard(system().lock);
    System& s = system();
    const std::string key = upperCase(name);
    for (const auto& [registered, number] : s.registeredMessages) {
        if (registered == key)
            return number;
    }
    if (s.nextAtom == 0xFFFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    const UINT number = s.nextAtom++;
    s.registeredMessages.emplace_back(key, number);
    return number;
}

}
