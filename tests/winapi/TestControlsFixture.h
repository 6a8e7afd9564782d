// Shared by the tests of the standard controls: a visible top-level window
// of a recording class to hold them (so that every notification a control
// sends its parent is logged), the dialog font, and small readers of a
// control's text, selection and notifications.
#pragma once

#include "WindowTesting.h"

#include "gdi/FontEngine.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

inline HFONT measured(HFONT font)
{
    return font ? font : winapi::gdi::systemFont();
}

// What a box `width` pixels wide keeps of `typed`, typed after `start`:
// each character that would not fit is refused, and a narrower one after
// it may still fit.
inline std::string fitting(HFONT font, const std::string& typed, int width, std::string start = {})
{
    for (const char c : typed) {
        if (winapi::gdi::textWidth(measured(font), start + c) <= width)
            start += c;
    }
    return start;
}

// A message to a control and the platform's answer to it.
struct MessageAnswer {
    UINT message;
    WPARAM wParam;
    const char* text; // the lParam; null for a buffer of the test's own
    LRESULT result;
};

inline void expectAnswers(HWND control, const std::vector<MessageAnswer>& answers)
{
    for (const MessageAnswer& a : answers) {
        char buffer[64] = "";
        const LPARAM lParam = a.text ? reinterpret_cast<LPARAM>(a.text) : reinterpret_cast<LPARAM>(buffer);
        EXPECT_EQ(SendMessageA(control, a.message, a.wParam, lParam), a.result)
            << std::hex << a.message << std::dec << " " << static_cast<long long>(a.wParam);
    }
}

class ControlTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        static const std::string parentClass = recordingClass(CS_DBLCLKS);
        m_parent = CreateWindowExA(0, parentClass.c_str(), "Controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 560,
            420, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_parent, nullptr);
        SetForegroundWindow(m_parent);
        winapi::host::pumpMessages();
        log().clear();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        if (m_font)
            DeleteObject(m_font);
    }

    // The font a dialog of 8-point "MS Sans Serif" gives its controls.
    HFONT dialogFont()
    {
        if (!m_font) {
            LOGFONTA description {};
            description.lfHeight = -11;
            description.lfWeight = FW_NORMAL;
            std::strcpy(description.lfFaceName, "MS Sans Serif");
            m_font = CreateFontIndirectA(&description);
        }
        return m_font;
    }

    HWND make(const char* className, const char* text, DWORD style, RECT place, int id, HFONT font = nullptr)
    {
        HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
            place.right - place.left, place.bottom - place.top, m_parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        EXPECT_NE(control, nullptr) << className;
        if (font)
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return control;
    }

    static std::string textOf(HWND window)
    {
        const auto length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        const auto copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied));
        return text;
    }

    static std::pair<DWORD, DWORD> selectionOf(HWND edit)
    {
        DWORD start = 99;
        DWORD end = 99;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return { start, end };
    }

    // The notification codes a control sent its parent, in order.
    std::vector<WORD> notificationsOf(HWND control) const
    {
        std::vector<WORD> codes;
        for (const Delivery& d : log().of(WM_COMMAND)) {
            if (d.window == m_parent && reinterpret_cast<HWND>(d.lParam) == control)
                codes.push_back(HIWORD(d.wParam));
        }
        return codes;
    }

    static bool sent(const std::vector<WORD>& codes, WORD code)
    {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    }

    // A point of a control's client area in screen coordinates, clicked.
    static void clickAt(HWND control, int x, int y, bool twice = false)
    {
        winapi::host::clickClient(control, x, y);
        if (twice)
            winapi::host::clickClient(control, x, y);
        winapi::host::pumpMessages();
    }

    static void type(std::string_view text)
    {
        winapi::host::typeText(text);
        winapi::host::pumpMessages();
    }

    static void press(std::initializer_list<UINT> keys)
    {
        winapi::host::pressKeys(keys);
        winapi::host::pumpMessages();
    }
    // Keys held down in order and let go in reverse, as a table keeps them.
    static void press(const std::vector<UINT>& keys, HWND dialog = nullptr)
    {
        for (UINT key : keys)
            winapi::host::keyDown(key);
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            winapi::host::keyUp(*key);
        winapi::host::pumpMessages(dialog);
    }

    HWND m_parent { nullptr };
    HFONT m_font { nullptr };
};

}
