// MessageBoxA: a modal dialog that the layer builds from a template in
// memory (icon, text, the buttons of the MB_ type, the default button of
// MB_DEFBUTTONn) and runs in its own modal loop with its owner disabled.
// Escape and the close box answer IDCANCEL when the box has a Cancel
// button, IDOK when OK is its only button, and do nothing otherwise. The
// host's message box handler sees each box once it is up.
#include "core/Faults.h"
#include "gdi/FontEngine.h"
#include "host/Host.h"
#include "user/Dialogs.h"
#include "user/State.h"

#include <cstring>

namespace winapi::user {
namespace {

struct Button {
    int id;
    const char* text;
};

std::vector<Button> buttonsFor(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return { { IDOK, "OK" }, { IDCANCEL, "Cancel" } };
    case MB_ABORTRETRYIGNORE: return { { IDABORT, "&Abort" }, { IDRETRY, "&Retry" }, { IDIGNORE, "&Ignore" } };
    case MB_YESNOCANCEL: return { { IDYES, "&Yes" }, { IDNO, "&No" }, { IDCANCEL, "Cancel" } };
    case MB_YESNO: return { { IDYES, "&Yes" }, { IDNO, "&No" } };
    case MB_RETRYCANCEL: return { { IDRETRY, "&Retry" }, { IDCANCEL, "Cancel" } };
    case MB_CANCELTRYCONTINUE:
        return { { IDCANCEL, "Cancel" }, { IDTRYAGAIN, "&Try Again" }, { IDCONTINUE, "&Continue" } };
    default: return { { IDOK, "OK" } };
    }
}

LPCSTR iconFor(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return nullptr;
    }
}

struct BoxState {
    UINT type { 0 };
    std::vector<Button> buttons;
    int defaultIndex { 0 };
    bool hasButton(int id) const
    {
        return std::any_of(buttons.begin(), buttons.end(), [id](const Button& b) { return b.id == id; });
    }
};

constexpr WORD iconId = 20;
constexpr WORD textId = 0xFFFF;

INT_PTR CALLBACK boxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(box, DWLP_USER, lParam);
        const auto* state = reinterpret_cast<const BoxState*>(lParam);
        if (LPCSTR icon = iconFor(state->type))
            SendDlgItemMessageA(box, iconId, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, icon)), 0);
        const int defaultId = state->buttons[static_cast<std::size_t>(state->defaultIndex)].id;
        SendMessageA(box, DM_SETDEFID, static_cast<WPARAM>(defaultId), 0);
        dialogSetFocus(box, GetDlgItem(box, defaultId));
        return FALSE;
    }
    case WM_COMMAND: {
        const auto* state = reinterpret_cast<const BoxState*>(GetWindowLongPtrA(box, DWLP_USER));
        if (!state)
            return FALSE;
        const int id = LOWORD(wParam);
        if (id == IDCANCEL && !state->hasButton(IDCANCEL)) {
            if (state->buttons.size() == 1 && state->buttons.front().id == IDOK)
                EndDialog(box, IDOK);
        } else if (id != IDHELP && state->hasButton(id)) {
            EndDialog(box, id);
        }
        return TRUE;
    }
    default: return FALSE;
    }
}

int toUnits(int pixels, int base, int scale)
{
    return (pixels * scale + base - 1) / base;
}

resources::DialogTemplate boxTemplate(const std::string& text, const std::string& caption, UINT type,
    const BoxState& state)
{
    resources::DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK | DS_CENTER;
    if (type & (MB_SYSTEMMODAL | MB_TOPMOST))
        t.exStyle |= WS_EX_TOPMOST;
    t.title = caption;
    t.hasFont = true;
    t.pointSize = 8;
    t.faceName = "MS Sans Serif";

    // Measure the text in the box's font to size the box in dialog units.
    LOGFONTA description {};
    description.lfHeight = -mulDiv(t.pointSize, 96, 72);
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(description.lfFaceName, t.faceName.c_str(), LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectA(&description);
    gdi::FontMeasures measures;
    int baseX = 6;
    int baseY = 13;
    int lineHeight = 13;
    int textWidth = 0;
    int lines = 0;
    if (font && gdi::fontMeasures(font, measures)) {
        baseX = std::max(1, (gdi::textWidth(font, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2);
        baseY = std::max(1, measures.height);
        lineHeight = measures.height;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        textWidth = std::max(textWidth, font ? gdi::textWidth(font, line) : static_cast<int>(line.size()) * baseX);
        ++lines;
        start = end + 1;
    }
    if (font)
        DeleteObject(font);

    constexpr int margin = 7;
    constexpr int buttonWidth = 50;
    constexpr int buttonHeight = 14;
    constexpr int buttonGap = 6;
    const bool icon = iconFor(type) != nullptr;
    const int iconWidth = icon ? toUnits(GetSystemMetrics(SM_CXICON), baseX, 4) : 0;
    const int iconHeight = icon ? toUnits(GetSystemMetrics(SM_CYICON), baseY, 8) : 0;
    const int textUnitsWidth = toUnits(textWidth, baseX, 4) + 2;
    const int textUnitsHeight = toUnits(lines * lineHeight, baseY, 8);
    const int contentHeight = std::max(iconHeight, textUnitsHeight);
    const int count = static_cast<int>(state.buttons.size());
    const int buttonsWidth = count * buttonWidth + (count - 1) * buttonGap;
    const int textLeft = margin + (icon ? iconWidth + margin : 0);
    const int clientWidth = std::max(textLeft + textUnitsWidth + margin, buttonsWidth + 2 * margin);
    const int buttonTop = margin + contentHeight + 10;
    t.cx = static_cast<short>(std::min(clientWidth, 0x7FFF));
    t.cy = static_cast<short>(std::min(buttonTop + buttonHeight + margin, 0x7FFF));

    if (icon) {
        resources::DialogItemTemplate item;
        item.style = WS_CHILD | WS_VISIBLE | SS_ICON;
        item.x = margin;
        item.y = margin;
        item.cx = static_cast<short>(iconWidth);
        item.cy = static_cast<short>(iconHeight);
        item.id = iconId;
        item.windowClass.name = "STATIC";
        t.items.push_back(item);
    }
    resources::DialogItemTemplate label;
    label.style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX;
    label.x = static_cast<short>(textLeft);
    label.y = static_cast<short>(margin + (contentHeight - textUnitsHeight) / 2);
    label.cx = static_cast<short>(std::min(textUnitsWidth, 0x7FFF));
    label.cy = static_cast<short>(std::min(textUnitsHeight, 0x7FFF));
    label.id = textId;
    label.windowClass.name = "STATIC";
    label.title.name = text;
    t.items.push_back(label);

    int x = (clientWidth - buttonsWidth) / 2;
    for (int i = 0; i < count; ++i) {
        const Button& b = state.buttons[static_cast<std::size_t>(i)];
        resources::DialogItemTemplate button;
        button.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0)
            | (i == state.defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        button.x = static_cast<short>(x);
        button.y = static_cast<short>(buttonTop);
        button.cx = buttonWidth;
        button.cy = buttonHeight;
        button.id = static_cast<DWORD>(b.id);
        button.windowClass.name = "BUTTON";
        button.title.name = b.text;
        t.items.push_back(button);
        x += buttonWidth + buttonGap;
    }
    return t;
}

}

}

using namespace winapi::user;

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (winapi::injectedFailure("MessageBoxA"))
        return 0;
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    BoxState state;
    state.type = type;
    state.buttons = buttonsFor(type);
    if (type & MB_HELP)
        state.buttons.push_back({ IDHELP, "Help" });
    state.defaultIndex = std::min(static_cast<int>((type & MB_DEFMASK) >> 8), static_cast<int>(state.buttons.size()) - 1);
    const std::string shownText = text ? text : "";
    const std::string shownCaption = caption ? caption : "Error";

    const HWND boxOwner = modalOwnerFor(owner);
    // A task-modal box without an owner holds off every window of the thread.
    std::vector<HWND> disabled;
    if ((type & MB_TASKMODAL) && !boxOwner) {
        EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM list) {
            if (IsWindowEnabled(window) && IsWindowVisible(window))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&disabled));
        for (HWND window : disabled)
            EnableWindow(window, FALSE);
    }

    const winapi::resources::DialogTemplate t = boxTemplate(shownText, shownCaption, type, state);
    HWND box = createDialog(t, nullptr, boxOwner, boxProcedure, reinterpret_cast<LPARAM>(&state), true);
    int result = 0;
    if (box) {
        if (type & (MB_SETFOREGROUND | MB_SYSTEMMODAL))
            SetForegroundWindow(box);
        result = static_cast<int>(runModalDialog(box, boxOwner, MSGF_MESSAGEBOX, [&] {
            const winapi::host::MessageBoxHandler handler = winapi::host::detail::messageBoxHandler();
            if (!handler)
                return;
            const int answer = handler(winapi::host::MessageBoxInfo { box, boxOwner, shownText, shownCaption, type });
            if (answer != 0 && state.hasButton(answer) && IsWindow(box))
                EndDialog(box, answer);
        }));
    }
    for (HWND window : disabled)
        EnableWindow(window, TRUE);
    return result;
}
