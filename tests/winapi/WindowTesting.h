// Helpers for the window-system tests: a window class whose procedure
// records what reaches it (and can be told to answer some messages
// itself), a fixture that removes the windows a test leaves, and dialog
// templates built as bytes in memory, as a resource compiler lays them out.
#pragma once

#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

struct Delivery {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD thread;
};

// What every window of a recording class received, in order, from any thread.
class MessageLog {
public:
    void add(const Delivery& delivery)
    {
        std::lock_guard guard(m_lock);
        m_entries.push_back(delivery);
    }
    void clear()
    {
        std::lock_guard guard(m_lock);
        m_entries.clear();
    }
    std::vector<Delivery> entries() const
    {
        std::lock_guard guard(m_lock);
        return m_entries;
    }
    // The messages of interest, in order, as (window, message) pairs.
    std::vector<std::pair<HWND, UINT>> sequence(const std::vector<UINT>& wanted) const
    {
        std::vector<std::pair<HWND, UINT>> result;
        for (const Delivery& d : entries()) {
            if (std::find(wanted.begin(), wanted.end(), d.message) != wanted.end())
                result.emplace_back(d.window, d.message);
        }
        return result;
    }
    std::vector<Delivery> of(UINT message) const
    {
        std::vector<Delivery> result;
        for (const Delivery& d : entries()) {
            if (d.message == message)
                result.push_back(d);
        }
        return result;
    }

private:
    mutable std::mutex m_lock;
    std::vector<Delivery> m_entries;
};

inline MessageLog& log()
{
    static MessageLog instance;
    return instance;
}

// Answers set by a test for a window and message, instead of DefWindowProcA.
using Answer = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
inline std::mutex& answersLock()
{
    static std::mutex lock;
    return lock;
}
inline std::map<UINT, Answer>& answers()
{
    static std::map<UINT, Answer> table;
    return table;
}
inline void answer(UINT message, Answer handler)
{
    std::lock_guard guard(answersLock());
    answers()[message] = std::move(handler);
}

inline LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    log().add({ window, message, wParam, lParam, GetCurrentThreadId() });
    Answer handler;
    {
        std::lock_guard guard(answersLock());
        const auto found = answers().find(message);
        if (found != answers().end())
            handler = found->second;
    }
    if (handler)
        return handler(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// Registers a recording class under a name of its own.
inline std::string recordingClass(UINT style = 0, int windowExtra = 0, int classExtra = 0)
{
    static std::atomic<int> counter { 0 };
    std::string name = "Recording" + std::to_string(++counter);
    WNDCLASSEXA record {};
    record.cbSize = sizeof record;
    record.style = style;
    record.lpfnWndProc = recordingProcedure;
    record.cbWndExtra = windowExtra;
    record.cbClsExtra = classExtra;
    record.hInstance = GetModuleHandleA(nullptr);
    record.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    record.lpszClassName = name.c_str();
    EXPECT_NE(RegisterClassExA(&record), 0) << name;
    return name;
}

// Holds the keys down in order and lets them go in reverse.
inline void pressTogether(const std::vector<UINT>& keys)
{
    for (UINT key : keys)
        winapi::host::keyDown(key);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        winapi::host::keyUp(*it);
}

inline BOOL CALLBACK destroyOne(HWND window, LPARAM)
{
    DestroyWindow(window);
    return TRUE;
}

// Every test starts with a clean log and no answers, and ends with the
// windows of its thread destroyed and its queue drained.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearAll();
    }
    void TearDown() override
    {
        winapi::host::setIdleHandler({});
        winapi::host::setMessageBoxHandler({});
        winapi::host::clearFailures();
        EnumThreadWindows(GetCurrentThreadId(), destroyOne, 0);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        for (UINT key : { VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_LCONTROL, VK_LMENU }) {
            if (GetAsyncKeyState(static_cast<int>(key)) < 0)
                winapi::host::keyUp(key);
        }
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        clearAll();
    }
    static void clearAll()
    {
        log().clear();
        std::lock_guard guard(answersLock());
        answers().clear();
    }
};

// A dialog template in memory, in the layout the resource compiler writes
// (classic DLGTEMPLATE or the extended form, WORD-aligned UTF-16 texts,
// DWORD-aligned items).
class TemplateBuilder {
public:
    TemplateBuilder(DWORD style, short x, short y, short cx, short cy, const std::string& caption,
        const std::string& className = {}, WORD menu = 0, bool extended = false)
        : m_extended(extended)
    {
        if (extended) {
            put16(1);
            put16(0xFFFF);
            put32(0); // help id
            put32(0); // extended style
            m_styleAt = m_bytes.size();
            put32(style);
        } else {
            m_styleAt = m_bytes.size();
            put32(style);
            put32(0);
        }
        m_countAt = m_bytes.size();
        put16(0);
        for (short v : { x, y, cx, cy })
            put16(static_cast<WORD>(v));
        if (menu) {
            put16(0xFFFF);
            put16(menu);
        } else {
            put16(0);
        }
        putText(className);
        putText(caption);
    }
    // DS_SETFONT and the font record, which follow the caption: call it
    // before adding items.
    TemplateBuilder& font(WORD points, const std::string& face, WORD weight = 0, BYTE italic = 0)
    {
        DWORD style;
        std::memcpy(&style, m_bytes.data() + m_styleAt, sizeof style);
        style |= DS_SETFONT;
        std::memcpy(m_bytes.data() + m_styleAt, &style, sizeof style);
        put16(points);
        if (m_extended) {
            put16(weight);
            m_bytes.push_back(italic);
            m_bytes.push_back(1); // DEFAULT_CHARSET
        }
        putText(face);
        return *this;
    }
    TemplateBuilder& item(const std::string& className, const std::string& text, DWORD id, DWORD style, short x,
        short y, short cx, short cy, DWORD exStyle = 0)
    {
        while (m_bytes.size() % 4)
            m_bytes.push_back(0);
        if (m_extended) {
            put32(0); // help id
            put32(exStyle);
            put32(style | WS_CHILD);
        } else {
            put32(style | WS_CHILD);
            put32(exStyle);
        }
        for (short v : { x, y, cx, cy })
            put16(static_cast<WORD>(v));
        if (m_extended)
            put32(id);
        else
            put16(static_cast<WORD>(id));
        putText(className);
        putText(text);
        put16(0); // no creation data
        WORD count;
        std::memcpy(&count, m_bytes.data() + m_countAt, sizeof count);
        ++count;
        std::memcpy(m_bytes.data() + m_countAt, &count, sizeof count);
        return *this;
    }
    LPCDLGTEMPLATEA get()
    {
        m_aligned.assign((m_bytes.size() + 3) / 4, 0);
        std::memcpy(m_aligned.data(), m_bytes.data(), m_bytes.size());
        return reinterpret_cast<LPCDLGTEMPLATEA>(m_aligned.data());
    }

private:
    void put16(WORD v)
    {
        m_bytes.push_back(static_cast<BYTE>(v & 0xFF));
        m_bytes.push_back(static_cast<BYTE>(v >> 8));
    }
    void put32(DWORD v)
    {
        put16(static_cast<WORD>(v & 0xFFFF));
        put16(static_cast<WORD>(v >> 16));
    }
    void putText(const std::string& text)
    {
        for (unsigned char c : text)
            put16(c);
        put16(0);
    }

    std::vector<BYTE> m_bytes;
    std::vector<DWORD> m_aligned;
    std::size_t m_countAt { 0 };
    std::size_t m_styleAt { 0 };
    bool m_extended { false };
};

}
