// GetSystemMetrics: the virtual screen and the classic frame's measures,
// fixed so that headless screenshots and the X11 window show the same layout.
#include <windows.h>

#include <array>
#include <utility>

namespace {

constexpr int screenWidth = 1280;
constexpr int screenHeight = 1024;

constexpr std::pair<int, int> metrics[] = {
    { SM_CXSCREEN, screenWidth },
    { SM_CYSCREEN, screenHeight },
    { SM_CXVSCROLL, 16 },
    { SM_CYHSCROLL, 16 },
    { SM_CYCAPTION, 19 },
    { SM_CXBORDER, 1 },
    { SM_CYBORDER, 1 },
    { SM_CXDLGFRAME, 3 },
    { SM_CYDLGFRAME, 3 },
    { SM_CYVTHUMB, 16 },
    { SM_CXHTHUMB, 16 },
    { SM_CXICON, 32 },
    { SM_CYICON, 32 },
    { SM_CXCURSOR, 32 },
    { SM_CYCURSOR, 32 },
    { SM_CYMENU, 19 },
    { SM_CXFULLSCREEN, screenWidth },
    { SM_CYFULLSCREEN, screenHeight - 19 },
    { SM_MOUSEPRESENT, 1 },
    { SM_CYVSCROLL, 16 },
    { SM_CXHSCROLL, 16 },
    { SM_SWAPBUTTON, 0 },
    { SM_CXMIN, 112 },
    { SM_CYMIN, 27 },
    { SM_CXSIZE, 18 },
    { SM_CYSIZE, 18 },
    { SM_CXFRAME, 4 },
    { SM_CYFRAME, 4 },
    { SM_CXMINTRACK, 112 },
    { SM_CYMINTRACK, 27 },
    { SM_CXDOUBLECLK, 4 },
    { SM_CYDOUBLECLK, 4 },
    { SM_CXICONSPACING, 75 },
    { SM_CYICONSPACING, 75 },
    { SM_CMOUSEBUTTONS, 3 },
    { SM_CXEDGE, 2 },
    { SM_CYEDGE, 2 },
    { SM_CXSMICON, 16 },
    { SM_CYSMICON, 16 },
    { SM_CYSMCAPTION, 15 },
    { SM_CXSMSIZE, 12 },
    { SM_CYSMSIZE, 14 },
    { SM_CXMENUSIZE, 18 },
    { SM_CYMENUSIZE, 18 },
    { SM_CXMAXTRACK, screenWidth + 12 },
    { SM_CYMAXTRACK, screenHeight + 12 },
    { SM_CXMAXIMIZED, screenWidth + 8 },
    { SM_CYMAXIMIZED, screenHeight + 8 },
    { SM_CXDRAG, 4 },
    { SM_CYDRAG, 4 },
    { SM_CXMENUCHECK, 13 },
    { SM_CYMENUCHECK, 13 },
    { SM_CXVIRTUALSCREEN, screenWidth },
    { SM_CYVIRTUALSCREEN, screenHeight },
    { SM_CMONITORS, 1 },
};

}

extern "C" int WINAPI GetSystemMetrics(int index)
{
    for (const auto& [which, value] : metrics) {
        if (which == index)
            return value;
    }
    return 0;
}
