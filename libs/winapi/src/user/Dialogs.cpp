// Dialogs from templates: the dialog window with its font, base units and
// items, WM_INITDIALOG and its focus rule; modeless and modal creation with
// the modal loop; EndDialog; DefDlgProcA; dialog values of items; the
// conversion of dialog units.
//
// Building a dialog, in order:
//  1. The template's font (DS_SETFONT) gives the base units: the average
//     width of the letters A-Z a-z, rounded, and the font's height.
//  2. The window: the template's rectangle is the client area, converted
//     to pixels and grown by the frame; its corner lies in the owner's
//     client area unless DS_ABSALIGN; the whole stays on the screen.
//  3. WM_SETFONT to the dialog, then each item in template order, each
//     created and given WM_SETFONT.
//  4. WM_INITDIALOG with the first tab stop; a non-zero answer puts the
//     focus there.
//  5. A visible template shows the dialog (a modal one is shown by its loop).
#include "core/Faults.h"
#include "gdi/FontEngine.h"
#include "user/Dialogs.h"
#include "user/State.h"

#include <cstdio>
#include <cstring>

namespace winapi::user {
namespace {

constexpr int screenDpi = 96;

POINT baseUnitsOf(HFONT font)
{
    gdi::FontMeasures measures;
    if (font && gdi::fontMeasures(font, measures)) {
        const int letters = gdi::textWidth(font, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        return { (letters / 26 + 1) / 2, measures.height };
    }
    return { 0, 0 };
}

POINT systemBaseUnits()
{
    static const POINT units = [] {
        const POINT measured = baseUnitsOf(gdi::systemFont());
        return measured.x > 0 && measured.y > 0 ? measured : POINT { 8, 16 };
    }();
    return units;
}

// A resource name as the ANSI calls take it: a number or a zero-terminated text.
struct NameArgument {
    explicit NameArgument(const resources::NameOrId& name)
        : text(name.name)
        , id(name.id)
    {
    }
    LPCSTR get() const { return text.empty() ? (id ? MAKEINTRESOURCEA(id) : nullptr) : text.c_str(); }
    std::string text;
    WORD id;
};

// A title given as a resource number reaches the control as 0xFF and the number.
std::string titleArgument(const resources::NameOrId& title)
{
    if (title.isId())
        return std::string { '\xFF', static_cast<char>(title.id & 0xFF), static_cast<char>(title.id >> 8) };
    return title.name;
}

DialogState* dialogOf(Window* w)
{
    return w ? w->dialog.get() : nullptr;
}

bool specialResult(UINT message)
{
    // The messages whose answer is the dialog procedure's return value itself.
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_COMPAREITEM
        || message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON
        || message == WM_INITDIALOG;
}

HWND firstTabItem(HWND dialog)
{
    return GetNextDlgTabItem(dialog, nullptr, FALSE);
}

void saveFocus(HWND dialog)
{
    HWND focus = GetFocus();
    if (!focus || !IsChild(dialog, focus))
        return;
    std::lock_guard guard(system().lock);
    if (DialogState* state = dialogOf(findWindow(dialog)))
        state->savedFocus = focus;
}

void restoreFocus(HWND dialog)
{
    HWND target = nullptr;
    {
        std::lock_guard guard(system().lock);
        if (DialogState* state = dialogOf(findWindow(dialog)))
            target = state->savedFocus;
    }
    if (!target || !IsChild(dialog, target) || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = firstTabItem(dialog);
    if (target)
        dialogSetFocus(dialog, target);
    else
        SetFocus(dialog);
}

void setDefaultId(HWND dialog, WORD id)
{
    WORD previous;
    {
        std::lock_guard guard(system().lock);
        DialogState* state = dialogOf(findWindow(dialog));
        if (!state)
            return;
        previous = state->defaultId;
        state->defaultId = id;
    }
    // The button styles follow unless a push button has the focus and
    // stands in as the default.
    HWND focus = GetFocus();
    const LRESULT focusCode = focus && IsChild(dialog, focus) ? SendMessageA(focus, WM_GETDLGCODE, 0, 0) : 0;
    if (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
        return;
    if (previous != id) {
        if (HWND old = GetDlgItem(dialog, previous); old && (SendMessageA(old, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
            SendMessageA(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    if (HWND now = GetDlgItem(dialog, id); now && (SendMessageA(now, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
        SendMessageA(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

LRESULT defaultDialogProcessing(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            restoreFocus(dialog);
        else
            saveFocus(dialog);
        return 0;
    case WM_SETFOCUS: restoreFocus(dialog); return 0;
    case WM_SHOWWINDOW:
        if (!wParam)
            saveFocus(dialog);
        return DefWindowProcA(dialog, message, wParam, lParam);
    case WM_CLOSE: {
        // The close box is the Cancel button.
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel && !IsWindowEnabled(cancel))
            MessageBeep(0);
        else
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_SETDEFID: setDefaultId(dialog, static_cast<WORD>(wParam)); return TRUE;
    case DM_GETDEFID: {
        std::lock_guard guard(system().lock);
        const DialogState* state = dialogOf(findWindow(dialog));
        return state && state->defaultId ? MAKELRESULT(state->defaultId, DC_HASDEFID) : 0;
    }
    case DM_REPOSITION: return 0;
    case WM_NEXTDLGCTL: {
        HWND target = lParam ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
        if (target && (target == dialog || IsChild(dialog, target)))
            dialogSetFocus(dialog, target);
        return 0;
    }
    case WM_GETFONT: {
        std::lock_guard guard(system().lock);
        const DialogState* state = dialogOf(findWindow(dialog));
        return state ? reinterpret_cast<LRESULT>(state->font) : 0;
    }
    case WM_SETFONT: {
        std::lock_guard guard(system().lock);
        if (DialogState* state = dialogOf(findWindow(dialog)))
            state->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    }
    default: return DefWindowProcA(dialog, message, wParam, lParam);
    }
}

// The window rectangle of a dialog: its client area from the template in
// pixels, grown by the frame, placed for its owner and kept on the screen.
RECT dialogRect(const resources::DialogTemplate& t, POINT units, DWORD style, DWORD exStyle, bool menu, HWND owner,
    bool& defaultPosition)
{
    RECT rect { mulDiv(t.x, units.x, 4), mulDiv(t.y, units.y, 8), 0, 0 };
    rect.right = rect.left + mulDiv(t.cx, units.x, 4);
    rect.bottom = rect.top + mulDiv(t.cy, units.y, 8);
    AdjustWindowRectEx(&rect, style, menu, exStyle);
    defaultPosition = t.x == static_cast<short>(0x8000);
    if (defaultPosition || (style & WS_CHILD))
        return rect;
    const int w = width(rect);
    const int h = height(rect);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (style & DS_CENTER) {
        rect = { (screenWidth - w) / 2, (screenHeight - h) / 2, 0, 0 };
    } else if (style & DS_CENTERMOUSE) {
        POINT cursor;
        GetCursorPos(&cursor);
        rect = { cursor.x - w / 2, cursor.y - h / 2, 0, 0 };
    } else if (owner && !(style & DS_ABSALIGN)) {
        POINT origin { 0, 0 };
        ClientToScreen(owner, &origin);
        rect = offsetBy(rect, origin.x, origin.y);
    }
    rect.left = std::max(0, std::min(rect.left, screenWidth - w));
    rect.top = std::max(0, std::min(rect.top, screenHeight - h));
    rect.right = rect.left + w;
    rect.bottom = rect.top + h;
    return rect;
}

bool dialogEnded(HWND dialog, INT_PTR& result)
{
    std::lock_guard guard(system().lock);
    const DialogState* state = dialogOf(findWindow(dialog));
    if (!state)
        return true;
    result = state->result;
    return state->ended;
}

std::optional<resources::DialogTemplate> loadTemplate(HINSTANCE instance, LPCSTR name)
{
    if (!resources::isOwnModule(instance)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return std::nullopt;
    }
    const auto data = resources::findResource(resources::nameOrIdFrom(RT_DIALOG), resources::nameOrIdFrom(name));
    if (!data)
        return std::nullopt;
    auto parsed = resources::parseDialogTemplate(*data);
    if (!parsed)
        SetLastError(ERROR_INVALID_DATA);
    return parsed;
}

std::optional<resources::DialogTemplate> templateInMemory(LPCDLGTEMPLATEA dialogTemplate)
{
    if (!dialogTemplate) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    // A template in memory carries its own extent (its item count and
    // terminated texts); the parser reads no further than they say.
    const std::span<const BYTE> bytes(reinterpret_cast<const BYTE*>(dialogTemplate), 0x40000);
    auto parsed = resources::parseDialogTemplate(bytes);
    if (!parsed)
        SetLastError(ERROR_INVALID_DATA);
    return parsed;
}

}

HWND modalOwnerFor(HWND parent)
{
    if (!parent)
        return nullptr;
    std::lock_guard guard(system().lock);
    Window* w = findWindow(parent);
    if (!w || isDesktop(w))
        return nullptr;
    return topLevelOf(w)->handle;
}

void dialogSetFocus(HWND dialog, HWND control)
{
    const LRESULT code = SendMessageA(control, WM_GETDLGCODE, 0, 0);
    if (code & DLGC_HASSETSEL)
        SendMessageA(control, EM_SETSEL, 0, -1);
    SetFocus(control);

    // A push button with the focus is the default button; otherwise the
    // dialog's default button is.
    HWND target = nullptr;
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        target = control;
    } else {
        const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        if (HIWORD(defaultId) == DC_HASDEFID)
            target = GetDlgItem(dialog, LOWORD(defaultId));
    }
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children) {
        if (child != target && (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
            SendMessageA(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    if (target && (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
        SendMessageA(target, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

HWND createDialog(const resources::DialogTemplate& t, HINSTANCE instance, HWND parent, DLGPROC procedure,
    LPARAM parameter, bool modal)
{
    HFONT font = nullptr;
    if (t.hasFont) {
        LOGFONTA description {};
        description.lfHeight = -mulDiv(t.pointSize, screenDpi, 72);
        description.lfWeight = t.weight ? t.weight : FW_NORMAL;
        description.lfItalic = t.italic;
        description.lfCharSet = t.extended ? t.charset : static_cast<BYTE>(DEFAULT_CHARSET);
        std::strncpy(description.lfFaceName, t.faceName.c_str(), LF_FACESIZE - 1);
        font = CreateFontIndirectA(&description);
    }
    POINT units = baseUnitsOf(font);
    if (units.x <= 0 || units.y <= 0)
        units = systemBaseUnits();

    DWORD style = t.style;
    DWORD exStyle = t.exStyle;
    if (style & DS_MODALFRAME)
        exStyle |= WS_EX_DLGMODALFRAME;
    if (style & DS_CONTEXTHELP)
        exStyle |= WS_EX_CONTEXTHELP;
    if (style & DS_CONTROL) {
        style = (style & ~static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_POPUP)) | WS_CHILD;
        exStyle |= WS_EX_CONTROLPARENT;
    }
    const bool visible = style & WS_VISIBLE;
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    const HWND owner = (style & WS_CHILD) ? parent : modalOwnerFor(parent);
    if ((style & WS_CHILD) && !parent) {
        if (font)
            DeleteObject(font);
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    HMENU menu = nullptr;
    if (!t.menu.empty() && !(style & WS_CHILD)) {
        menu = LoadMenuA(instance, NameArgument(t.menu).get());
        if (!menu) {
            if (font)
                DeleteObject(font);
            return nullptr;
        }
    }
    bool defaultPosition = false;
    const RECT rect = dialogRect(t, units, style, exStyle, menu != nullptr, owner, defaultPosition);

    auto state = std::make_unique<DialogState>();
    state->procedure = procedure;
    state->font = font;
    state->templateFont = font;
    state->ownsFont = font != nullptr;
    state->baseX = units.x;
    state->baseY = units.y;
    state->modal = modal;
    for (const auto& item : t.items) {
        if (upperCase(item.windowClass.name) == "BUTTON" && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            state->defaultId = static_cast<WORD>(item.id);
            break;
        }
    }
    const NameArgument className(t.windowClass);
    HWND dialog = createWindow(exStyle, t.windowClass.empty() ? WC_DIALOG : className.get(), t.title.c_str(), style,
        defaultPosition ? CW_USEDEFAULT : rect.left, defaultPosition ? CW_USEDEFAULT : rect.top, width(rect),
        height(rect), owner, menu, instance, nullptr, std::move(state));
    if (!dialog) {
        if (menu && !IsMenu(menu))
            menu = nullptr;
        if (menu)
            DestroyMenu(menu);
        if (font)
            DeleteObject(font);
        return nullptr;
    }
    if (font)
        SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (const resources::DialogItemTemplate& item : t.items) {
        DWORD itemStyle = item.style | WS_CHILD;
        DWORD itemExStyle = item.exStyle | WS_EX_NOPARENTNOTIFY;
        // The 3-D look draws sunken edges where the template asks for borders.
        if ((t.style & DS_3DLOOK) && (itemStyle & WS_BORDER)) {
            itemStyle &= ~static_cast<DWORD>(WS_BORDER);
            itemExStyle |= WS_EX_CLIENTEDGE;
        }
        const int x = mulDiv(item.x, units.x, 4);
        const int y = mulDiv(item.y, units.y, 8);
        const int cx = mulDiv(item.cx, units.x, 4);
        const int cy = mulDiv(item.cy, units.y, 8);
        std::vector<BYTE> creation;
        if (!item.creationData.empty()) {
            const WORD size = static_cast<WORD>(item.creationData.size() + sizeof(WORD));
            creation.resize(sizeof(WORD));
            std::memcpy(creation.data(), &size, sizeof size);
            creation.insert(creation.end(), item.creationData.begin(), item.creationData.end());
        }
        const std::string title = titleArgument(item.title);
        const NameArgument itemClass(item.windowClass);
        HWND control = CreateWindowExA(itemExStyle, itemClass.get(), title.c_str(), itemStyle, x, y, cx, cy, dialog,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance,
            creation.empty() ? nullptr : creation.data());
        if (!control) {
            if (t.style & DS_NOFAILCREATE)
                continue;
            const DWORD code = GetLastError();
            DestroyWindow(dialog);
            SetLastError(code);
            return nullptr;
        }
        if (font)
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    // The dialog's default button is the first control that calls itself
    // one; it stays the default while the focus lends the look to others.
    bool haveDefault;
    {
        std::lock_guard guard(system().lock);
        haveDefault = dialogOf(findWindow(dialog))->defaultId != 0;
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child && !haveDefault; child = GetWindow(child, GW_HWNDNEXT)) {
        if (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) {
            const auto id = static_cast<WORD>(GetDlgCtrlID(child));
            std::lock_guard guard(system().lock);
            if (DialogState* state = dialogOf(findWindow(dialog)))
                state->defaultId = id;
            haveDefault = true;
        }
    }

    const LRESULT focusHere
        = SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabItem(dialog)), parameter);
    if (!IsWindow(dialog))
        return nullptr;
    if (focusHere) {
        if (HWND first = firstTabItem(dialog))
            dialogSetFocus(dialog, first);
    }
    if (visible && !modal && IsWindow(dialog))
        ShowWindow(dialog, SW_SHOWNORMAL);
    return IsWindow(dialog) ? dialog : nullptr;
}

INT_PTR runModalDialog(HWND dialog, HWND owner, WPARAM idleSource, const std::function<void()>& onEntry)
{
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    bool noIdle = GetWindowLongA(dialog, GWL_STYLE) & DS_NOIDLEMSG;
    INT_PTR result = 0;
    if (!dialogEnded(dialog, result)) {
        ShowWindow(dialog, SW_SHOWNORMAL);
        if (onEntry)
            onEntry();
    }
    MSG message;
    while (!dialogEnded(dialog, result)) {
        if (!nextModalMessage(message, dialog, noIdle ? nullptr : owner, idleSource)) {
            // The quit message ends the loop and stays for the loop outside.
            if (message.message == WM_QUIT)
                PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (disableOwner)
        EnableWindow(owner, TRUE);
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    return result;
}

}

using namespace winapi::user;

extern "C" {

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC procedure,
    LPARAM parameter)
{
    if (winapi::injectedFailure("CreateDialogParamA"))
        return nullptr;
    const auto parsed = loadTemplate(instance, templateName);
    return parsed ? createDialog(*parsed, instance, parent, procedure, parameter, false) : nullptr;
}

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate, HWND parent,
    DLGPROC procedure, LPARAM parameter)
{
    if (winapi::injectedFailure("CreateDialogIndirectParamA"))
        return nullptr;
    const auto parsed = templateInMemory(dialogTemplate);
    return parsed ? createDialog(*parsed, instance, parent, procedure, parameter, false) : nullptr;
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC procedure,
    LPARAM parameter)
{
    if (winapi::injectedFailure("DialogBoxParamA"))
        return -1;
    const auto parsed = loadTemplate(instance, templateName);
    if (!parsed)
        return -1;
    HWND dialog = createDialog(*parsed, instance, parent, procedure, parameter, true);
    if (!dialog)
        return -1;
    return runModalDialog(dialog, modalOwnerFor(parent), MSGF_DIALOGBOX, {});
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate, HWND parent,
    DLGPROC procedure, LPARAM parameter)
{
    if (winapi::injectedFailure("DialogBoxIndirectParamA"))
        return -1;
    const auto parsed = templateInMemory(dialogTemplate);
    if (!parsed)
        return -1;
    HWND dialog = createDialog(*parsed, instance, parent, procedure, parameter, true);
    if (!dialog)
        return -1;
    return runModalDialog(dialog, modalOwnerFor(parent), MSGF_DIALOGBOX, {});
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    if (winapi::injectedFailure("EndDialog"))
        return FALSE;
    HWND owner = nullptr;
    bool modal;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(dialog);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        DialogState* state = dialogOf(w);
        if (!state) {
            SetLastError(ERROR_WINDOW_NOT_DIALOG);
            return FALSE;
        }
        state->ended = true;
        state->result = result;
        modal = state->modal;
        if (w->owner)
            owner = w->owner->handle;
    }
    if (modal) {
        // The owner comes back first, so that it is the one activated
        // when the dialog disappears.
        if (owner)
            EnableWindow(owner, TRUE);
        ShowWindow(dialog, SW_HIDE);
    }
    PostMessageA(dialog, WM_NULL, 0, 0);
    return TRUE;
}

LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DLGPROC procedure = nullptr;
    {
        std::lock_guard guard(system().lock);
        if (DialogState* state = dialogOf(findWindow(dialog))) {
            procedure = state->procedure;
            state->messageResult = 0;
        }
    }
    if (procedure) {
        const INT_PTR handled = procedure(dialog, message, wParam, lParam);
        if (handled) {
            if (specialResult(message))
                return handled;
            std::lock_guard guard(system().lock);
            const DialogState* state = dialogOf(findWindow(dialog));
            return state ? state->messageResult : 0;
        }
        if (!IsWindow(dialog))
            return 0;
    }
    return defaultDialogProcessing(dialog, message, wParam, lParam);
}

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(dialog);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    for (const Window* child : w->children) {
        if (static_cast<UINT>(child->id) == static_cast<UINT>(id))
            return child->handle;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int bufferSize)
{
    if (buffer && bufferSize > 0)
        buffer[0] = '\0';
    HWND item = GetDlgItem(dialog, id);
    return item ? static_cast<UINT>(GetWindowTextA(item, buffer, bufferSize)) : 0;
}

BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    char text[16];
    if (isSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else
        std::snprintf(text, sizeof text, "%u", value);
    return SetDlgItemTextA(dialog, id, text);
}

UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned)
{
    if (translated)
        *translated = FALSE;
    char text[64];
    if (!GetDlgItemTextA(dialog, id, text, sizeof text) && !GetDlgItem(dialog, id))
        return 0;
    const char* p = text;
    while (*p == ' ')
        ++p;
    bool negative = false;
    if (isSigned && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return 0;
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > (isSigned ? 0x80000000ull : 0xFFFFFFFFull))
            return 0;
    }
    while (*p == ' ')
        ++p;
    if (*p || (isSigned && !negative && value > 0x7FFFFFFFull))
        return 0;
    if (translated)
        *translated = TRUE;
    return negative ? static_cast<UINT>(-static_cast<long long>(value)) : static_cast<UINT>(value);
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return FALSE;
    SendMessageA(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? static_cast<UINT>(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId)
{
    if (!IsWindow(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    for (int id = firstId; id <= lastId; ++id) {
        if (HWND item = GetDlgItem(dialog, id))
            SendMessageA(item, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect)
{
    std::lock_guard guard(system().lock);
    Window* w = findWindow(dialog);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const DialogState* state = dialogOf(w);
    if (!state) {
        SetLastError(ERROR_WINDOW_NOT_DIALOG);
        return FALSE;
    }
    if (!rect) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    rect->left = mulDiv(rect->left, state->baseX, 4);
    rect->right = mulDiv(rect->right, state->baseX, 4);
    rect->top = mulDiv(rect->top, state->baseY, 8);
    rect->bottom = mulDiv(rect->bottom, state->baseY, 8);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void)
{
    const POINT units = systemBaseUnits();
    return MAKELONG(units.x, units.y);
}

}
