// The system's cursors, drawn in code as classic monochrome cursors on a
// 32-pixel design square: pointers as pixel drawings, the sizing arrows
// and the other symmetric shapes as black outlines of geometric shapes
// with a white rim. Other sizes are scaled from the design.
#include "user/Icons.h"

#include <array>
#include <cmath>
#include <functional>
#include <string_view>

namespace winapi::icons {
namespace {

constexpr int design = 32;

// Design pixels: ' ' transparent, 'X' black, 'w' white, '~' inverted.
using Grid = std::array<std::array<char, design>, design>;

Grid emptyGrid()
{
    Grid grid;
    for (auto& row : grid)
        row.fill(' ');
    return grid;
}

void place(Grid& grid, int left, int top, std::initializer_list<std::string_view> rows)
{
    int y = top;
    for (const std::string_view row : rows) {
        for (std::size_t x = 0; x < row.size(); ++x) {
            if (row[x] != '.' && y < design && left + static_cast<int>(x) < design)
                grid[static_cast<std::size_t>(y)][static_cast<std::size_t>(left) + x] = row[x];
        }
        ++y;
    }
}

void placeArrow(Grid& grid)
{
    place(grid, 0, 0,
        {
            "X",
            "XX",
            "XwX",
            "XwwX",
            "XwwwX",
            "XwwwwX",
            "XwwwwwX",
            "XwwwwwwX",
            "XwwwwwwwX",
            "XwwwwwwwwX",
            "XwwwwwwwwwX",
            "XwwwwwwXXXXX",
            "XwwwXwwX",
            "XwwXXwwX",
            "XwX..XwwX",
            "XX...XwwX",
            "X.....XwwX",
            "......XwwX",
            ".......XX",
        });
}

void placeHourglass(Grid& grid, int left, int top)
{
    place(grid, left, top,
        {
            "XXXXXXXXXXXXX",
            "XwwwwwwwwwwwX",
            "XXXXXXXXXXXXX",
            ".XwwwwwwwwwX",
            ".XwXwXwXwXwX",
            ".XwwXwXwXwwX",
            "..XwwXwXwwX",
            "...XwwXwwX",
            "....XwwwX",
            ".....XwX",
            ".....XwX",
            "....XwwwX",
            "...XwwwwwX",
            "..XwwwXwwwX",
            ".XwwwXwXwwwX",
            ".XwwXwXwXwwX",
            ".XwXwXwXwXwX",
            "XXXXXXXXXXXXX",
            "XwwwwwwwwwwwX",
            "XXXXXXXXXXXXX",
        });
}

// A shape sampled at pixel centres, relative to the design's centre pixel.
using Shape = std::function<bool(float dx, float dy)>;

// Fills the shape black and rims it with white, so that it shows on any
// background.
void placeOutlined(Grid& grid, const Shape& shape)
{
    std::array<std::array<bool, design>, design> ink {};
    for (int y = 0; y < design; ++y) {
        for (int x = 0; x < design; ++x)
            ink[y][x] = shape(static_cast<float>(x - 15), static_cast<float>(y - 15));
    }
    for (int y = 0; y < design; ++y) {
        for (int x = 0; x < design; ++x) {
            if (ink[y][x]) {
                grid[y][x] = 'X';
                continue;
            }
            for (int ny = std::max(0, y - 1); ny <= std::min(design - 1, y + 1); ++ny) {
                for (int nx = std::max(0, x - 1); nx <= std::min(design - 1, x + 1); ++nx) {
                    if (ink[ny][nx])
                        grid[y][x] = 'w';
                }
            }
        }
    }
}

// A two-headed arrow through the centre at the angle (degrees).
Shape doubleArrow(float degrees)
{
    const float angle = degrees * 3.14159265f / 180.0f;
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return [=](float dx, float dy) {
        const float along = std::fabs(dx * c + dy * s);
        const float across = std::fabs(-dx * s + dy * c);
        return (along <= 6.5f && across <= 0.6f) || (along >= 6.0f && along <= 10.5f && across <= (10.5f - along) * 0.9f);
    };
}

Grid drawCursor(WORD id, POINT& hotspot)
{
    Grid grid = emptyGrid();
    hotspot = { 15, 15 };
    switch (id) {
    case 32512: // IDC_ARROW
    case 32641: // IDC_ICON, long obsolete: the arrow stands in
        placeArrow(grid);
        hotspot = { 0, 0 };
        break;
    case 32513: // IDC_IBEAM
        place(grid, 12, 7,
            { "~~~.~~~", "...~", "...~", "...~", "...~", "...~", "...~", "...~", "...~", "...~", "...~", "...~",
                "...~", "...~", "...~", "~~~.~~~" });
        hotspot = { 15, 15 };
        break;
    case 32514: // IDC_WAIT
        placeHourglass(grid, 9, 5);
        hotspot = { 15, 15 };
        break;
    case 32515: // IDC_CROSS
        placeOutlined(grid, [](float dx, float dy) {
            return (dy == 0 && std::fabs(dx) <= 10 && dx != 0) || (dx == 0 && std::fabs(dy) <= 10 && dy != 0);
        });
        break;
    case 32516: // IDC_UPARROW
        placeOutlined(grid, [](float dx, float dy) {
            return (dy >= -11 && dy <= -4 && std::fabs(dx) <= (dy + 11) * 0.8f) || (dy > -4 && dy <= 10 && std::fabs(dx) <= 1.5f);
        });
        hotspot = { 15, 4 };
        break;
    case 32642: // IDC_SIZENWSE
        placeOutlined(grid, doubleArrow(45));
        break;
    case 32643: // IDC_SIZENESW
        placeOutlined(grid, doubleArrow(-45));
        break;
    case 32644: // IDC_SIZEWE
        placeOutlined(grid, doubleArrow(0));
        break;
    case 32645: // IDC_SIZENS
        placeOutlined(grid, doubleArrow(90));
        break;
    case 32640: // IDC_SIZE
    case 32646: // IDC_SIZEALL
        placeOutlined(grid, [across = doubleArrow(0), upright = doubleArrow(90)](float dx, float dy) {
            return across(dx, dy) || upright(dx, dy);
        });
        break;
    case 32648: // IDC_NO
        placeOutlined(grid, [](float dx, float dy) {
            const float r = std::sqrt(dx * dx + dy * dy);
            return (r >= 6.5f && r <= 9.5f) || (r < 7.0f && std::fabs(dx - dy) <= 2.0f);
        });
        break;
    case 32649: // IDC_HAND
        place(grid, 0, 0,
            {
                ".....XX",
                "....XwwX",
                "....XwwX",
                "....XwwX",
                "....XwwX",
                "....XwwXXX",
                "....XwwXwwXXX",
                "....XwwXwwXwwXX",
                ".XX.XwwXwwXwwXwX",
                "XwwXXwwwwwwwwXwX",
                "XwwwXwwwwwwwwwwX",
                ".XwwXwwwwwwwwwwX",
                "..XwXwwwwwwwwwwX",
                "..XwwwwwwwwwwwwX",
                "...XwwwwwwwwwwwX",
                "...XwwwwwwwwwwX",
                "....XwwwwwwwwwX",
                "....XwwwwwwwwwX",
                ".....XwwwwwwwX",
                ".....XwwwwwwwX",
                ".....XXXXXXXXX",
            });
        hotspot = { 5, 0 };
        break;
    case 32650: // IDC_APPSTARTING
        placeArrow(grid);
        place(grid, 12, 10, { "XXXXXXX", "XwwwwwX", ".XwwwX", "..XwX", ".XwwwX", "XwwwwwX", "XXXXXXX" });
        hotspot = { 0, 0 };
        break;
    case 32651: // IDC_HELP
        placeArrow(grid);
        place(grid, 13, 0,
            { ".XXXXX", "XwwwwwX", "XwwXwwX", "XXXXwwX", "...XwwX", "..XwwX", "..XwwX", "..XXXX", "..XwwX",
                "..XXXX" });
        hotspot = { 0, 0 };
        break;
    default:
        hotspot = { -1, -1 };
        break;
    }
    return grid;
}

}

std::optional<IconImage> systemCursor(WORD id, int width, int height)
{
    POINT hotspot;
    const Grid grid = drawCursor(id, hotspot);
    if (hotspot.x < 0 || width <= 0 || height <= 0 || width > 256 || height > 256)
        return std::nullopt;
    std::optional<gdi::Pixmap> masks = gdi::Pixmap::make(design, design * 2, 1);
    if (!masks)
        return std::nullopt;
    for (int y = 0; y < design; ++y) {
        for (int x = 0; x < design; ++x) {
            const char pixel = grid[y][x];
            const bool andBit = pixel == ' ' || pixel == '~';
            const bool xorBit = pixel == 'w' || pixel == '~';
            masks->setPixel(x, y, andBit ? RGB(255, 255, 255) : RGB(0, 0, 0));
            masks->setPixel(x, y + design, xorBit ? RGB(255, 255, 255) : RGB(0, 0, 0));
        }
    }
    IconImage image;
    image.isIcon = false;
    image.hotspot = { hotspot.x * width / design, hotspot.y * height / design };
    if (width == design && height == design) {
        image.mask = std::move(*masks);
    } else {
        std::optional<gdi::Pixmap> scaled = masks->converted(width, height * 2, 1);
        if (!scaled)
            return std::nullopt;
        image.mask = std::move(*scaled);
    }
    return image;
}

}
