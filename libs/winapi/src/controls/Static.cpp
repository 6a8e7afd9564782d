// The STATIC class: labels (left, centred and right-aligned text, which
// may hold line breaks), frames and rectangles, and icons. A label with a
// mnemonic passes the focus on through the dialog manager; the control
// itself never takes the focus or the mouse, unless it has SS_NOTIFY, and
// then reports clicks as STN_CLICKED and STN_DBLCLK.
//
// An SS_ICON control loads the icon its creation text names (a resource
// number, as a dialog template gives it, or a name) from the module that
// creates it, and sizes itself to the icon.
//
// Painting is the seam where the text and images will be drawn once device
// contexts exist.
#include "controls/ControlSupport.h"
#include "controls/StandardControls.h"

namespace winapi::controls {
namespace {

struct StaticState {
    HWND window { nullptr };
    FontMetrics font;
    HICON icon { nullptr };
    HBITMAP bitmap { nullptr };
};

StateTable<StaticState>& states()
{
    static StateTable<StaticState> table;
    return table;
}

bool notifies(HWND window)
{
    return styleOf(window) & SS_NOTIFY;
}

// An icon is shown at its own size unless the control keeps its size.
void fitToImage(StaticState& s)
{
    if (!s.icon || (styleOf(s.window) & (SS_CENTERIMAGE | SS_REALSIZECONTROL)))
        return;
    SetWindowPos(s.window, nullptr, 0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HICON setIcon(StaticState& s, HICON icon)
{
    HICON previous = s.icon;
    s.icon = icon;
    fitToImage(s);
    InvalidateRect(s.window, nullptr, TRUE);
    return previous;
}

// The icon a creation text names: 0xFF and a 16-bit resource number, or a name.
HICON iconNamed(const CREATESTRUCTA& create)
{
    const char* name = create.lpszName;
    if (!name || !name[0])
        return nullptr;
    if (static_cast<unsigned char>(name[0]) == 0xFF) {
        const WORD id = static_cast<WORD>(static_cast<unsigned char>(name[1]) | static_cast<unsigned char>(name[2]) << 8);
        return LoadIconA(create.hInstance, MAKEINTRESOURCEA(id));
    }
    return LoadIconA(create.hInstance, name);
}

std::unique_ptr<StaticState> make(HWND window, const CREATESTRUCTA* create)
{
    auto state = std::make_unique<StaticState>();
    state->window = window;
    if (create && (static_cast<DWORD>(create->style) & SS_TYPEMASK) == SS_ICON)
        state->icon = iconNamed(*create);
    return state;
}

LRESULT handle(StaticState& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: fitToImage(s); return 0;
    case STM_SETICON: return reinterpret_cast<LRESULT>(setIcon(s, reinterpret_cast<HICON>(wParam)));
    case STM_GETICON: return reinterpret_cast<LRESULT>(s.icon);
    case STM_SETIMAGE:
        if (wParam == IMAGE_ICON)
            return reinterpret_cast<LRESULT>(setIcon(s, reinterpret_cast<HICON>(lParam)));
        if (wParam == IMAGE_BITMAP) {
            HBITMAP previous = s.bitmap;
            s.bitmap = reinterpret_cast<HBITMAP>(lParam);
            InvalidateRect(s.window, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(previous);
        }
        return 0;
    case STM_GETIMAGE:
        if (wParam == IMAGE_ICON)
            return reinterpret_cast<LRESULT>(s.icon);
        return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(s.bitmap) : 0;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_NCHITTEST: return notifies(s.window) ? DefWindowProcA(s.window, message, wParam, lParam) : HTTRANSPARENT;
    case WM_LBUTTONDOWN:
        if (notifies(s.window))
            notifyParent(s.window, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (notifies(s.window))
            notifyParent(s.window, STN_DBLCLK);
        return 0;
    case WM_ENABLE:
        InvalidateRect(s.window, nullptr, TRUE);
        if (notifies(s.window))
            notifyParent(s.window, wParam ? STN_ENABLE : STN_DISABLE);
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(s.window, message, wParam, lParam);
        InvalidateRect(s.window, nullptr, TRUE);
        return result;
    }
    case WM_SETFONT:
        s.font.select(reinterpret_cast<HFONT>(wParam));
        if (LOWORD(lParam))
            InvalidateRect(s.window, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font.font());
    case WM_PAINT: paintControl(s.window); return 0;
    default: return DefWindowProcA(s.window, message, wParam, lParam);
    }
}

}

LRESULT CALLBACK staticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return dispatchToState(states(), window, message, wParam, lParam, make, handle);
}

}
