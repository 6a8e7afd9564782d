// The layout of a window's non-client area in the layer's classic look:
// frame, caption with its buttons, menu bar, scroll bars and the client
// area they leave. One definition serves WM_NCCALCSIZE, WM_NCHITTEST,
// AdjustWindowRectEx and the drawing of the frame.
#pragma once

#include <windows.h>

namespace winapi::user {

struct NonClientLayout {
    int frame { 0 };      // the outer border's width
    RECT caption {};      // the caption bar (empty without WS_CAPTION)
    RECT systemButton {}; // the system menu's icon at the caption's left
    RECT closeButton {};
    RECT maximiseButton {};
    RECT minimiseButton {};
    RECT helpButton {};
    RECT menuBar {};
    RECT verticalScrollBar {};
    RECT horizontalScrollBar {};
    RECT sizeBox {};
    RECT clientEdge {}; // inside the frame, caption and menu bar
    RECT client {};
};

// The layout for a window rectangle, in the same coordinates.
NonClientLayout nonClientLayout(const RECT& window, DWORD style, DWORD exStyle, bool hasMenuBar);

// What lies under a point (in the layout's coordinates): an HT value.
LRESULT hitTest(const NonClientLayout& layout, const RECT& window, DWORD style, POINT point);

// Width of the frame for a style: what AdjustWindowRectEx adds on each side.
int frameWidth(DWORD style, DWORD exStyle);

}
