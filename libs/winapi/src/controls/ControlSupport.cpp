// The pieces every standard control uses: font measures, notifications,
// style changes, Windows-1252 case folding and the clipboard's text.
#include "controls/ControlSupport.h"

#include "gdi/FontEngine.h"

#include <algorithm>
#include <cstring>

namespace winapi::controls {

FontMetrics::FontMetrics()
{
    select(nullptr);
}

void FontMetrics::select(HFONT font)
{
    std::string all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<char>(i);
    HFONT measured = font;
    gdi::FontMeasures measures;
    // A handle that is no font (deleted, or never one) leaves the control
    // with the system font, as drawing with it would.
    if (!measured || !gdi::fontMeasures(measured, measures)) {
        measured = gdi::systemFont();
        gdi::fontMeasures(measured, measures);
    }
    const std::vector<int> widths = gdi::characterWidths(measured, all);
    m_widths.fill(0);
    std::copy_n(widths.begin(), std::min(widths.size(), m_widths.size()), m_widths.begin());
    m_font = font;
    m_height = std::max(measures.height, 1);
    m_ascent = measures.ascent;
    m_averageWidth = std::max(measures.averageCharWidth, 1);
}

int FontMetrics::width(std::string_view text) const
{
    int total = 0;
    for (const char c : text)
        total += m_widths[static_cast<unsigned char>(c)];
    return total;
}

void paintControl(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

void notifyParent(HWND control, WORD code)
{
    HWND parent = GetParent(control);
    if (!parent)
        return;
    const int id = GetDlgCtrlID(control);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code), reinterpret_cast<LPARAM>(control));
}

DWORD styleOf(HWND window)
{
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

void changeStyle(HWND window, DWORD set, DWORD clear)
{
    const DWORD style = styleOf(window);
    const DWORD changed = (style & ~clear) | set;
    if (changed != style)
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(changed));
}

unsigned char foldCase(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + ('a' - 'A'));
    // The accented capitals, apart from the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: return 0x9A; // S with caron
    case 0x8C: return 0x9C; // ligature OE
    case 0x8E: return 0x9E; // Z with caron
    case 0x9F: return 0xFF; // Y with diaeresis
    default: return c;
    }
}

int compareFolded(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = foldCase(static_cast<unsigned char>(a[i])) - foldCase(static_cast<unsigned char>(b[i]));
        if (difference != 0)
            return difference;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool startsWithFolded(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && compareFolded(text.substr(0, prefix.size()), prefix) == 0;
}

LRESULT copyToBuffer(std::string_view text, WPARAM size, LPARAM buffer)
{
    auto* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0)
        return 0;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
    return static_cast<LRESULT>(length);
}

bool putClipboardText(HWND owner, std::string_view text)
{
    if (!OpenClipboard(owner))
        return false;
    bool stored = false;
    if (EmptyClipboard()) {
        if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1)) {
            if (auto* bytes = static_cast<char*>(GlobalLock(block))) {
                std::memcpy(bytes, text.data(), text.size());
                bytes[text.size()] = '\0';
                GlobalUnlock(block);
                stored = SetClipboardData(CF_TEXT, block) != nullptr;
            }
            // A block the clipboard did not take is still ours.
            if (!stored)
                GlobalFree(block);
        }
    }
    CloseClipboard();
    return stored;
}

std::optional<std::string> clipboardText(HWND owner)
{
    if (!OpenClipboard(owner))
        return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(block))) {
            const std::size_t size = GlobalSize(block);
            text = std::string(bytes, strnlen(bytes, size));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

}
