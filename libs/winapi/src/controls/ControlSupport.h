// What the standard controls share: the per-window state that each control
// class keeps beside the window system's own record, the measures of the
// font a control draws with, notifications to the parent, case folding of
// Windows-1252 text for the list searches, and the clipboard's text.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace winapi::controls {

// The state objects of one control class by window. A window's state is
// made on WM_NCCREATE and dropped on WM_NCDESTROY, both on the window's own
// thread; only that thread runs the window's procedure, so the object found
// is used without further locking.
template<typename State>
class StateTable {
public:
    State* find(HWND window)
    {
        std::lock_guard guard(m_lock);
        const auto found = m_states.find(window);
        return found == m_states.end() ? nullptr : found->second.get();
    }
    State* add(HWND window, std::unique_ptr<State> state)
    {
        std::lock_guard guard(m_lock);
        State* raw = state.get();
        m_states[window] = std::move(state);
        return raw;
    }
    // The state leaves the table before it is destroyed, outside the lock.
    void remove(HWND window)
    {
        std::unique_ptr<State> gone;
        {
            std::lock_guard guard(m_lock);
            const auto found = m_states.find(window);
            if (found == m_states.end())
                return;
            gone = std::move(found->second);
            m_states.erase(found);
        }
    }

private:
    std::mutex m_lock;
    std::unordered_map<HWND, std::unique_ptr<State>> m_states;
};

// The procedure of a control class around its handler: the state is made
// by `make` on WM_NCCREATE, found for every later message, and dropped on
// WM_NCDESTROY; a message before WM_NCCREATE or after WM_NCDESTROY gets the
// default processing.
template<typename State, typename Make, typename Handle>
LRESULT dispatchToState(StateTable<State>& table, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
    Make make, Handle handle)
{
    if (message == WM_NCCREATE) {
        table.add(window, make(window, reinterpret_cast<const CREATESTRUCTA*>(lParam)));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    State* state = table.find(window);
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        table.remove(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return handle(*state, message, wParam, lParam);
}

// The seam where a control will draw itself once device contexts exist:
// for now it validates what was to be painted.
void paintControl(HWND window);

// The measures of a control's font: the one WM_SETFONT gave it, or the
// system font. Text widths add up character by character, so one table of
// the 256 advance widths answers every width a control needs.
class FontMetrics {
public:
    FontMetrics();
    // Null: the system font.
    void select(HFONT font);
    HFONT font() const { return m_font; } // as given, null for the system font
    int height() const { return m_height; }
    int ascent() const { return m_ascent; }
    int averageWidth() const { return m_averageWidth; }
    int width(unsigned char character) const { return m_widths[character]; }
    int width(std::string_view text) const;

private:
    HFONT m_font { nullptr };
    int m_height { 0 };
    int m_ascent { 0 };
    int m_averageWidth { 0 };
    std::array<int, 256> m_widths {};
};

// Sends WM_COMMAND with the notification code and the control's identifier
// to its parent, as every standard control notifies.
void notifyParent(HWND control, WORD code);

// The style bits of a window, read fresh: programs may change them with
// SetWindowLongA at any time.
DWORD styleOf(HWND window);
// Changes style bits as SetWindowLongA would.
void changeStyle(HWND window, DWORD set, DWORD clear);

// Windows-1252 case folding as the list and combo boxes compare texts:
// letters of both cases compare equal, accented ones included.
unsigned char foldCase(unsigned char character);
// Negative, zero or positive as a sorts before, with or after b, ignoring case.
int compareFolded(std::string_view a, std::string_view b);
bool startsWithFolded(std::string_view text, std::string_view prefix);

// The text of a message's lParam: empty for a null pointer.
inline std::string_view textArgument(LPARAM lParam)
{
    const auto* text = reinterpret_cast<const char*>(lParam);
    return text ? std::string_view(text) : std::string_view();
}

// Copies text into a caller's buffer of `size` characters with a
// terminating zero, as WM_GETTEXT does; the number of characters copied.
LRESULT copyToBuffer(std::string_view text, WPARAM size, LPARAM buffer);

// The clipboard's CF_TEXT as a control reads and writes it. Writing opens
// the clipboard for the window, empties it and hands it a new block; both
// give up quietly when the clipboard cannot be opened.
bool putClipboardText(HWND owner, std::string_view text);
std::optional<std::string> clipboardText(HWND owner);

}
