// The classic non-client layout: a frame of SM_CXFRAME (sizing border),
// SM_CXDLGFRAME (dialog frame or caption) or SM_CXBORDER (thin border)
// pixels, 3-D edges inside it, a caption of SM_CYCAPTION pixels whose last
// row is a separating line, a menu bar of SM_CYMENU pixels, and scroll
// bars that the client area gives up.
#include "user/NonClient.h"

#include "user/State.h"

namespace winapi::user {

int frameWidth(DWORD style, DWORD exStyle)
{
    int frame = 0;
    if (style & WS_THICKFRAME)
        frame = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        frame = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        frame = GetSystemMetrics(SM_CXBORDER);
    return frame;
}

namespace {

int edgeWidth(DWORD exStyle)
{
    int edge = 0;
    if (exStyle & WS_EX_CLIENTEDGE)
        edge += GetSystemMetrics(SM_CXEDGE);
    if (exStyle & WS_EX_STATICEDGE)
        edge += GetSystemMetrics(SM_CXBORDER);
    return edge;
}

RECT deflate(RECT r, int left, int top, int right, int bottom)
{
    r.left += left;
    r.top += top;
    r.right -= right;
    r.bottom -= bottom;
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

}

NonClientLayout nonClientLayout(const RECT& window, DWORD style, DWORD exStyle, bool hasMenuBar)
{
    NonClientLayout layout;
    layout.frame = frameWidth(style, exStyle);
    RECT inner = deflate(window, layout.frame, layout.frame, layout.frame, layout.frame);

    if ((style & WS_CAPTION) == WS_CAPTION) {
        const int captionHeight
            = (exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
        layout.caption = { inner.left, inner.top, inner.right, std::min(inner.bottom, inner.top + captionHeight - 1) };
        inner.top = std::min(inner.bottom, inner.top + captionHeight);

        // Caption buttons: 2 pixels from the caption's edges, close at the
        // right, then maximise and minimise side by side.
        const int buttonHeight = height(layout.caption) - 4;
        const int buttonWidth = buttonHeight + 2;
        const int top = layout.caption.top + 2;
        int right = layout.caption.right - 2;
        const auto place = [&](RECT& button) {
            button = { right - buttonWidth, top, right, top + buttonHeight };
            right -= buttonWidth;
        };
        if (style & WS_SYSMENU) {
            place(layout.closeButton);
            right -= 2;
            if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
                place(layout.maximiseButton);
                place(layout.minimiseButton);
            } else if (exStyle & WS_EX_CONTEXTHELP) {
                place(layout.helpButton);
            }
            if (!(exStyle & (WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME)))
                layout.systemButton = { layout.caption.left + 1, top, layout.caption.left + 1 + buttonHeight + 2,
                    top + buttonHeight };
        }
    }
    if (hasMenuBar && !(style & WS_CHILD)) {
        const int menuHeight = GetSystemMetrics(SM_CYMENU);
        layout.menuBar = { inner.left, inner.top, inner.right, std::min(inner.bottom, inner.top + menuHeight) };
        inner.top = layout.menuBar.bottom;
    }
    layout.clientEdge = inner;
    const int edge = edgeWidth(exStyle);
    RECT client = deflate(inner, edge, edge, edge, edge);

    const bool vertical = style & WS_VSCROLL;
    const bool horizontal = style & WS_HSCROLL;
    const int scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int scrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    if (vertical && width(client) >= scrollWidth) {
        layout.verticalScrollBar = { client.right - scrollWidth, client.top, client.right, client.bottom };
        client.right -= scrollWidth;
    }
    if (horizontal && height(client) >= scrollHeight) {
        layout.horizontalScrollBar = { client.left, client.bottom - scrollHeight, client.right, client.bottom };
        client.bottom -= scrollHeight;
        if (!isEmpty(layout.verticalScrollBar)) {
            layout.verticalScrollBar.bottom = client.bottom;
            layout.sizeBox = { client.right, client.bottom, client.right + scrollWidth, client.bottom + scrollHeight };
        }
    }
    layout.client = client;
    if (style & WS_MINIMIZE)
        layout.client = { client.left, client.top, client.left, client.top };
    return layout;
}

LRESULT hitTest(const NonClientLayout& layout, const RECT& window, DWORD style, POINT p)
{
    if (!contains(window, p))
        return HTNOWHERE;
    if (style & WS_MINIMIZE)
        return HTCAPTION;
    if (contains(layout.client, p))
        return HTCLIENT;

    const RECT inside { window.left + layout.frame, window.top + layout.frame, window.right - layout.frame,
        window.bottom - layout.frame };
    if (!contains(inside, p)) {
        if (!(style & WS_THICKFRAME))
            return HTBORDER;
        // Corners reach as far along the edges as a caption button is wide.
        const int corner = GetSystemMetrics(SM_CXSIZE);
        const bool left = p.x < window.left + corner;
        const bool right = p.x >= window.right - corner;
        const bool top = p.y < window.top + corner;
        const bool bottom = p.y >= window.bottom - corner;
        if (p.y < inside.top)
            return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (p.y >= inside.bottom)
            return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (p.x < inside.left)
            return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
        return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
    const std::pair<const RECT&, LRESULT> parts[] = {
        { layout.closeButton, HTCLOSE },
        { layout.maximiseButton, HTMAXBUTTON },
        { layout.minimiseButton, HTMINBUTTON },
        { layout.helpButton, HTHELP },
        { layout.systemButton, HTSYSMENU },
        { layout.caption, HTCAPTION },
        { layout.menuBar, HTMENU },
        { layout.verticalScrollBar, HTVSCROLL },
        { layout.horizontalScrollBar, HTHSCROLL },
    };
    for (const auto& [area, code] : parts) {
        if (contains(area, p))
            return code;
    }
    if (contains(layout.sizeBox, p))
        return (style & WS_THICKFRAME) ? HTBOTTOMRIGHT : HTNOWHERE;
    return HTBORDER;
}

}
