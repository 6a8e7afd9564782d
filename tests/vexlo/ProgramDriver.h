// Runs the whole program in-process on the headless backend and drives it as
// a person would, with injected keys and clicks. A script is a list of steps;
// each runs when the program's thread is about to wait for a message and
// returns true when it is done (false: try again at the next wait, for steps
// that wait for something, such as the end of a run).
#pragma once

#include "vexlo.h"

#include <ResourceImage.h>
#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vexlo::test {

class ProgramDriver {
public:
    using Step = std::function<bool()>;

    ProgramDriver()
    {
        winapi::host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
        winapi::host::clearShellExecuteCalls();
        winapi::host::setMessageBoxHandler([this](const winapi::host::MessageBoxInfo& box) {
            boxes.push_back(box);
            return boxAnswer ? boxAnswer(box) : IDOK;
        });
    }
    ~ProgramDriver()
    {
        winapi::host::setIdleHandler({});
        winapi::host::setMessageBoxHandler({});
        // Window classes live as long as the process; the next run registers anew.
        UnregisterClassA("Vexlo", GetModuleHandleA(nullptr));
    }
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    void then(Step step) { m_steps.push_back(std::move(step)); }
    // A step that does its work once and is done.
    void thenDo(std::function<void()> action)
    {
        then([action = std::move(action)] {
            action();
            return true;
        });
    }

    // Runs the program until it ends and returns its exit code. The program
    // is ended with a failure if the script takes longer than `limit`.
    int run(RandomSource deals, std::chrono::seconds limit = std::chrono::seconds(60))
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        winapi::host::setIdleHandler([this, deadline] {
            if (m_inStep)
                return;
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "the script did not finish in time (at step " << m_next << ")";
                m_next = m_steps.size();
                PostQuitMessage(99);
                return;
            }
            if (m_next >= m_steps.size())
                return;
            if (!mainWindow)
                mainWindow = GetActiveWindow();
            m_inStep = true;
            const bool done = m_steps[m_next]();
            m_inStep = false;
            if (done)
                ++m_next;
            // Come back at once: a waiting step polls, and a finished one
            // lets the next start without waiting for unrelated input.
            PostMessageA(mainWindow, WM_NULL, 0, 0);
        });
        const int code = runProgram(std::move(deals));
        EXPECT_EQ(m_next, m_steps.size()) << "the program ended before its script";
        return code;
    }

    // ---- What a person sees and does -----------------------------------
    HWND item(int id) const { return GetDlgItem(mainWindow, id); }
    static std::string textOf(HWND window)
    {
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
        text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    std::string text(int id) const { return textOf(item(id)); }
    std::vector<std::string> listLines(int id) const
    {
        std::vector<std::string> lines;
        const auto count = SendMessageA(item(id), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::string line(static_cast<std::size_t>(SendMessageA(item(id), LB_GETTEXTLEN, i, 0)) + 1, '\0');
            line.resize(static_cast<std::size_t>(
                SendMessageA(item(id), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()))));
            lines.push_back(line);
        }
        return lines;
    }
    // Lets the program take the input injected so far, inside the current
    // step, as its loop would (Enter and Escape through the dialog's
    // keyboard handling). Accelerators and commands that open a modal
    // window need a step of their own instead.
    void settle() const { winapi::host::pumpMessages(mainWindow); }
    void press(UINT key) const
    {
        winapi::host::pressKey(key);
        settle();
    }
    // Clicks into the box, selects what it holds and types over it.
    void typeInto(int id, const std::string& text) const
    {
        winapi::host::clickCentre(item(id));
        winapi::host::pressKey(VK_END);
        winapi::host::pressKeys({ VK_SHIFT, VK_HOME });
        if (text.empty())
            winapi::host::pressKey(VK_DELETE);
        else
            winapi::host::typeText(text);
        settle();
    }
    void enterPuzzle(const std::vector<std::string>& numbers, const std::string& target) const
    {
        typeInto(101, target);
        for (std::size_t i = 0; i < numbers.size(); ++i)
            typeInto(110 + static_cast<int>(i), numbers[i]);
    }
    // Enters the puzzle and presses Enter, which presses Solve.
    void solve(const std::vector<std::string>& numbers, const std::string& target) const
    {
        enterPuzzle(numbers, target);
        winapi::host::pressKey(VK_RETURN);
    }
    // The dialog is back in its idle state: the last thing a run's end
    // restores is the last random-puzzle item.
    bool idle() const
    {
        return IsWindowVisible(item(1)) && IsWindowEnabled(item(1)) && !IsWindowVisible(item(2))
            && IsWindowEnabled(item(130)) && !menuItemGrayed(205);
    }
    bool menuItemGrayed(UINT id) const { return (GetMenuState(GetMenu(mainWindow), id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
    // The selection of an edit box as (start, end).
    std::pair<int, int> selection(int id) const
    {
        DWORD start = 0, end = 0;
        SendMessageA(item(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return { static_cast<int>(start), static_cast<int>(end) };
    }
    void chooseMenu(char first, char second) const
    {
        winapi::host::pressKeys({ VK_MENU, static_cast<UINT>(first) });
        winapi::host::pressKey(static_cast<UINT>(second));
    }

    HWND mainWindow { nullptr };
    std::vector<winapi::host::MessageBoxInfo> boxes;
    std::function<int(const winapi::host::MessageBoxInfo&)> boxAnswer;

private:
    std::vector<Step> m_steps;
    std::size_t m_next { 0 };
    bool m_inStep { false };
};

inline RandomSource fixedDeals(std::uint32_t value = 0)
{
    return [value] { return value; };
}

}
