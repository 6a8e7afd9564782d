// The program end to end, used by injected keys and clicks only.
#include "ProgramDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

namespace vexlo::test {
namespace {

const std::string times = "\xD7";
const std::string divided = "\xF7";

TEST(SolverWindow, ClassicPuzzleFromTheKeyboard)
{
    ProgramDriver program;
    program.thenDo([&] {
        EXPECT_EQ(GetFocus(), program.item(101)) << "the target box has the focus at start";
        EXPECT_TRUE(program.menuItemGrayed(24323));
        program.solve({ "100", "75", "50", "25", "6", "3" }, "952");
    });
    program.then([&] { return program.idle(); });
    program.thenDo([&] {
        EXPECT_EQ(program.listLines(102),
            (std::vector<std::string> {
                "(((100 + 6) " + times + " 75 " + times + " 3) - 50) " + divided + " 25 = 952",
                "((100 + 3) " + times + " 75 " + times + " 6 " + divided + " 50) + 25 = 952",
            }));
        EXPECT_EQ(program.text(122), "2");
        EXPECT_EQ(program.text(121), "952");
        EXPECT_TRUE(program.text(120).ends_with(" sec")) << program.text(120);
        EXPECT_FALSE(program.menuItemGrayed(24323));
        EXPECT_TRUE(IsWindowEnabled(program.item(130)));
        program.chooseMenu('S', 'X');
    });
    EXPECT_EQ(program.run(fixedDeals()), 0);
    EXPECT_TRUE(program.boxes.empty());
}


TEST(SolverWindow, EnterWalksThroughTheEmptyBoxes)
{
    ProgramDriver program;
    program.thenDo([&] {
        program.typeInto(101, "952");
        program.press(VK_RETURN);
        EXPECT_EQ(GetFocus(), program.item(110));
        for (int i = 0; i < 6; ++i) {
            const char* numbers[] = { "100", "75", "50", "25", "6", "3" };
            winapi::host::typeText(numbers[i]);
            program.press(VK_RETURN);
            if (i < 5) {
                EXPECT_EQ(GetFocus(), program.item(111 + i)) << i;
            }
        }
    });
    program.then([&] { return program.idle() && program.listLines(102).size() == 2; });
    program.thenDo([&] {
        EXPECT_TRUE(program.boxes.empty()) << "no message on the way";
        // A box left empty a second time in a row is an error.
        program.typeInto(113, "");
        program.press(VK_RETURN);
        EXPECT_EQ(GetFocus(), program.item(113));
        EXPECT_TRUE(program.boxes.empty());
        program.press(VK_RETURN);
        ASSERT_EQ(program.boxes.size(), 1U);
        EXPECT_EQ(program.boxes[0].text, "Please enter a positive integer.");
        EXPECT_EQ(GetFocus(), program.item(113));
        PostMessageA(program.mainWindow, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(program.run(fixedDeals()), 0);
}

TEST(SolverWindow, BadFieldsAreReportedAndSelected)
{
    // Values above 4294967295 are refused the same way (see the field value
    // tests), but no such value fits into these narrow boxes to be typed.
    struct Case {
        int box;
        std::string text;
        std::string shown; // the trimmed text left in the box
    };
    const std::vector<Case> cases {
        { 101, "0", "0" }, { 101, "000", "000" }, { 101, "-5", "-5" }, { 101, "+5", "+5" }, { 101, "5.0", "5.0" },
        { 101, "12a", "12a" }, { 101, "1 000", "1 000" }, { 101, "", "" }, { 112, "x", "x" }, { 115, " 0 ", "0" },
    };
    ProgramDriver program;
    program.thenDo([&] {
        for (const Case& c : cases) {
            program.enterPuzzle({ "100", "75", "50", "25", "6", "3" }, "952");
            program.typeInto(c.box, c.text);
            program.boxes.clear();
            program.press(VK_RETURN);
            ASSERT_EQ(program.boxes.size(), 1U) << c.text;
            EXPECT_EQ(program.boxes[0].text, "Please enter a positive integer.");
            EXPECT_EQ(program.boxes[0].caption, "Tarvix Number Solver");
            EXPECT_EQ(program.boxes[0].style & (MB_ICONMASK | MB_TYPEMASK), UINT { MB_ICONEXCLAMATION | MB_OK });
            EXPECT_EQ(program.boxes[0].owner, program.mainWindow);
            EXPECT_EQ(GetFocus(), program.item(c.box)) << c.text;
            EXPECT_EQ(program.text(c.box), c.shown);
            EXPECT_EQ(program.selection(c.box), std::make_pair(0, static_cast<int>(c.shown.size()))) << c.text;
            EXPECT_TRUE(program.idle()) << "no run starts";
        }
        // Spaces around a value are trimmed away.
        program.solve({ "100", "75", "50", "25", "6", "3" }, " 952 ");
    });
    program.then([&] { return program.idle(); });
    program.thenDo([&] {
        EXPECT_EQ(program.text(101), "952");
        EXPECT_EQ(program.text(122), "2");
        program.chooseMenu('S', 'X');
    });
    EXPECT_EQ(program.run(fixedDeals()), 0);
}

TEST(SolverWindow, ResetEmptiesEverything)
{
    ProgramDriver program;
    program.thenDo([&] {
        program.solve({ "100", "75", "50", "25", "6", "3" }, "952");
    });
    program.then([&] { return program.idle(); });
    program.thenDo([&] {
        EXPECT_FALSE(program.menuItemGrayed(24323));
        winapi::host::clickCentre(program.item(130));
        program.settle();
        for (const int id : { 101, 110, 111, 112, 113, 114, 115, 120, 121, 122 })
            EXPECT_EQ(program.text(id), "") << id;
        EXPECT_TRUE(program.listLines(102).empty());
        EXPECT_EQ(GetFocus(), program.item(101));
        EXPECT_TRUE(program.menuItemGrayed(24323));
        PostMessageA(program.mainWindow, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(program.run(fixedDeals()), 0);
}

TEST(SolverWindow, DealsFillTheBoxes)
{
    ProgramDriver program;
    program.thenDo([&] {
        // "&Solver", "&Random Puzzle", "&Fully Random" with a generator that always says 0.
        program.typeInto(101, "5");
        winapi::host::pressKeys({ VK_MENU, 'S' });
        winapi::host::pressKey('R');
        winapi::host::pressKey('F');
        program.settle();
        const std::vector<std::string> dealt { "1", "10", "10", "9", "9", "8" };
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(program.text(110 + i), dealt[static_cast<std::size_t>(i)]);
        EXPECT_EQ(program.text(101), "100");
        EXPECT_EQ(GetFocus(), program.item(101));
        EXPECT_TRUE(program.menuItemGrayed(24323));
        // "&4 Big Numbers": the four big numbers first.
        winapi::host::pressKeys({ VK_MENU, 'S' });
        winapi::host::pressKey('R');
        winapi::host::pressKey('4');
        program.settle();
        const std::vector<std::string> big { "25", "100", "75", "50", "1", "10" };
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(program.text(110 + i), big[static_cast<std::size_t>(i)]);
        PostMessageA(program.mainWindow, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(program.run(fixedDeals()), 0);
}

TEST(SolverWindow, StopAndEscapeEndALongRun)
{
    for (const UINT key : { UINT { 0 }, UINT { VK_ESCAPE } }) {
        ProgramDriver program;
        program.thenDo([&] {
            program.solve({ "2", "3", "4", "6", "8", "12" }, "12");
        });
        std::chrono::steady_clock::time_point asked;
        program.then([&] {
            // Stop once the run has reported something.
            if (program.text(122).empty())
                return false;
            EXPECT_FALSE(program.idle());
            EXPECT_TRUE(IsWindowVisible(program.item(2)));
            EXPECT_TRUE(program.menuItemGrayed(24323));
            asked = std::chrono::steady_clock::now();
            if (key == 0)
                winapi::host::clickCentre(program.item(2));
            else
                winapi::host::pressKey(key);
            return true;
        });
        program.then([&] { return program.idle(); });
        program.thenDo([&] {
            EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(500));
            const auto lines = program.listLines(102);
            EXPECT_LT(lines.size(), 2796U) << "the run was stopped";
            EXPECT_EQ(program.text(122), std::to_string(lines.size()));
            EXPECT_TRUE(program.text(120).ends_with(" sec"));
            EXPECT_FALSE(program.menuItemGrayed(24323));
            RECT solve, reset;
            GetWindowRect(program.item(1), &solve);
            GetWindowRect(program.item(130), &reset);
            EXPECT_LT(solve.right, reset.left);
            PostMessageA(program.mainWindow, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(program.run(fixedDeals()), 0);
    }
}

// The rectangle of a control in the dialog's client coordinates.
RECT clientRect(HWND dialog, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(SolverWindow, ResizingMovesTheControls)
{
    ProgramDriver program;
    program.thenDo([&] {
        HWND dialog = program.mainWindow;
        std::map<int, RECT> before;
        for (const int id : { 101, 110, 115, 1, 130, 102, 120, 121 })
            before[id] = clientRect(dialog, program.item(id));
        RECT window;
        GetWindowRect(dialog, &window);
        MoveWindow(dialog, window.left, window.top, window.right - window.left + 100, window.bottom - window.top + 40, TRUE);
        const auto moved = [&](int id, int dx, int dy, int dw, int dh) {
            const RECT now = clientRect(dialog, program.item(id));
            const RECT& was = before[id];
            EXPECT_EQ(now.left - was.left, dx) << id;
            EXPECT_EQ(now.top - was.top, dy) << id;
            EXPECT_EQ((now.right - now.left) - (was.right - was.left), dw) << id;
            EXPECT_EQ((now.bottom - now.top) - (was.bottom - was.top), dh) << id;
        };
        moved(101, 50, 0, 0, 0);
        moved(110, 50, 0, 0, 0);
        moved(115, 50, 0, 0, 0);
        moved(1, 100, 0, 0, 0);
        moved(130, 100, 0, 0, 0);
        moved(102, 0, 0, 100, 40);
        moved(120, 0, 0, 0, 0);
        moved(121, 0, 0, 0, 0);
        program.solve({ "2", "3", "4", "6", "8", "12" }, "12");
    });
    RECT stopAfterResize {};
    program.then([&] {
        if (program.text(122).empty())
            return false;
        HWND dialog = program.mainWindow;
        RECT window;
        GetWindowRect(dialog, &window);
        MoveWindow(dialog, window.left, window.top, window.right - window.left + 60, window.bottom - window.top, TRUE);
        stopAfterResize = clientRect(dialog, program.item(2));
        winapi::host::clickCentre(program.item(2));
        return true;
    });
    program.then([&] { return program.idle(); });
    program.thenDo([&] {
        const RECT solve = clientRect(program.mainWindow, program.item(1));
        EXPECT_EQ(solve.left, stopAfterResize.left);
        EXPECT_EQ(solve.top, stopAfterResize.top);
        PostMessageA(program.mainWindow, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(program.run(fixedDeals()), 0);
}

TEST(SolverWindow, AboutBoxWhileARunGoesOn)
{
    // OK, Escape and the close box each end the About box.
    for (int way = 0; way < 3; ++way) {
        ProgramDriver program;
        program.thenDo([&] {
            program.solve({ "2", "3", "4", "6", "8", "12" }, "12");
            program.chooseMenu('S', 'B');
        });
        HWND about = nullptr;
        program.then([&] {
            about = GetActiveWindow();
            if (about == program.mainWindow)
                return false;
            EXPECT_EQ(ProgramDriver::textOf(about), "About Tarvix Number Solver");
            EXPECT_FALSE(IsWindowEnabled(program.mainWindow));
            winapi::host::clickCentre(GetDlgItem(about, 101));
            winapi::host::clickCentre(GetDlgItem(about, 101));
            return true;
        });
        program.then([&] { return winapi::host::shellExecuteCalls().size() >= 2; });
        program.thenDo([&] {
            const auto calls = winapi::host::shellExecuteCalls();
            EXPECT_EQ(calls.size(), 2U);
            for (const auto& call : calls) {
                EXPECT_EQ(call.owner, nullptr);
                EXPECT_EQ(call.operation, "");
                EXPECT_EQ(call.file, "https://www.tarvix.example/");
                EXPECT_EQ(call.showCommand, SW_SHOWDEFAULT);
            }
            EXPECT_EQ(GetActiveWindow(), about) << "the About box stays open";
            if (way == 0)
                winapi::host::clickCentre(GetDlgItem(about, 2));
            else if (way == 1)
                winapi::host::pressKey(VK_ESCAPE);
            else
                PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        program.then([&] { return GetActiveWindow() == program.mainWindow && program.idle(); });
        program.thenDo([&] {
            EXPECT_TRUE(IsWindowEnabled(program.mainWindow));
            EXPECT_EQ(program.text(122), "2796") << "the run went on behind the About box";
            program.chooseMenu('S', 'X');
        });
        EXPECT_EQ(program.run(fixedDeals()), 0) << way;
    }
}

TEST(SolverWindow, ClosingDuringARunEndsAtOnce)
{
    ProgramDriver program;
    std::chrono::steady_clock::time_point closedAt;
    program.thenDo([&] {
        program.solve({ "2", "3", "4", "6", "8", "12" }, "12");
    });
    program.then([&] {
        if (program.text(122).empty())
            return false;
        closedAt = std::chrono::steady_clock::now();
        PostMessageA(program.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    });
    EXPECT_EQ(program.run(fixedDeals()), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - closedAt, std::chrono::milliseconds(500));
    EXPECT_TRUE(program.boxes.empty());
}

TEST(SolverWindow, AFailedRunEndsAndIsShownOnce)
{
    ProgramDriver program;
    program.thenDo([&] {
        program.enterPuzzle({ "1", "2", "3", "4", "5", "6" }, "100");
        winapi::host::failNext("LB_ADDSTRING", 1, ERROR_NOT_ENOUGH_MEMORY);
        winapi::host::pressKey(VK_RETURN);
    });
    program.then([&] { return program.idle() && !program.boxes.empty(); });
    program.thenDo([&] {
        winapi::host::clearFailures();
        ASSERT_EQ(program.boxes.size(), 1U);
        EXPECT_NE(program.boxes[0].text.find("ListBox.add"), std::string::npos) << program.boxes[0].text;
        // The dialog works again.
        winapi::host::pressKey(VK_RETURN);
    });
    program.then([&] { return program.idle() && program.text(122) == "153"; });
    program.thenDo([&] { program.chooseMenu('S', 'X'); });
    EXPECT_EQ(program.run(fixedDeals()), 0);
    EXPECT_EQ(program.boxes.size(), 1U);
}


// The classic puzzle's two lines as they are copied.
const std::string classicCopy = "(((100 + 6) " + times + " 75 " + times + " 3) - 50) " + divided + " 25 = 952\r\n"
    + "((100 + 3) " + times + " 75 " + times + " 6 " + divided + " 50) + 25 = 952\r\n" + std::string(1, '\0');

std::string clipboardText()
{
    return winapi::host::clipboardBytes(CF_TEXT).value_or("<nothing>");
}

TEST(SolverWindow, CopyingSolutions)
{
    ProgramDriver program;
    program.thenDo([&] {
        // Gray: Ctrl+C is the edit box's own copy, not the solutions.
        winapi::host::putClipboardBytes(CF_TEXT, std::string_view("before\0", 7));
        program.typeInto(101, "952");
        winapi::host::pressKeys({ VK_SHIFT, VK_HOME });
        winapi::host::pressKeys({ VK_CONTROL, 'C' });
    });
    program.thenDo([&] {
        EXPECT_EQ(program.selection(101), std::make_pair(0, 3)) << "the box keeps its selection";
        EXPECT_EQ(clipboardText(), std::string("before\0", 7)) << "nothing is copied at all";
        program.solve({ "100", "75", "50", "25", "6", "3" }, "952");
    });
    program.then([&] { return program.idle(); });
    program.thenDo([&] {
        winapi::host::clickCentre(program.item(112));
        winapi::host::pressKeys({ VK_CONTROL, 'C' });
    });
    program.thenDo([&] {
        EXPECT_EQ(clipboardText(), classicCopy);
        // Ctrl+Insert does the same; a failed Solve leaves the lines but copies nothing.
        winapi::host::putClipboardBytes(CF_TEXT, std::string_view("x\0", 2));
        winapi::host::pressKeys({ VK_CONTROL, VK_INSERT });
    });
    program.thenDo([&] {
        EXPECT_EQ(clipboardText(), classicCopy);
        program.typeInto(101, "x");
        program.press(VK_RETURN);
        EXPECT_EQ(program.listLines(102).size(), 2U);
        winapi::host::pressKeys({ VK_CONTROL, 'C' });
    });
    program.thenDo([&] {
        EXPECT_EQ(clipboardText(), std::string(1, '\0'));
        program.chooseMenu('S', 'X');
    });
    EXPECT_EQ(program.run(fixedDeals()), 0);
}

TEST(SolverWindow, CopyAfterAStoppedRunTakesWhatWasShown)
{
    ProgramDriver program;
    program.thenDo([&] {
        program.solve({ "2", "3", "4", "6", "8", "12" }, "12");
    });
    program.then([&] {
        if (program.text(122).empty())
            return false;
        winapi::host::pressKey(VK_ESCAPE);
        return true;
    });
    program.then([&] { return program.idle(); });
    program.thenDo([&] { program.chooseMenu('S', 'C'); });
    program.thenDo([&] {
        std::string expected;
        for (const std::string& line : program.listLines(102))
            expected += line + "\r\n";
        expected.push_back('\0');
        EXPECT_EQ(clipboardText(), expected);
        EXPECT_LT(program.listLines(102).size(), 2796U);
        program.chooseMenu('S', 'X');
    });
    EXPECT_EQ(program.run(fixedDeals()), 0);
}

TEST(SolverWindow, AnotherProgramHoldingTheClipboard)
{
    // Yes keeps the program working; No ends it, with exit code 0.
    for (const int answer : { IDYES, IDNO }) {
        ProgramDriver program;
        program.boxAnswer = [answer](const winapi::host::MessageBoxInfo& box) {
            return box.caption == "Internal Error" ? answer : IDOK;
        };
        std::optional<winapi::host::ScopedClipboardHold> hold;
        program.thenDo([&] {
            program.solve({ "100", "75", "50", "25", "6", "3" }, "952");
        });
        program.then([&] { return program.idle(); });
        program.thenDo([&] {
            hold.emplace();
            program.chooseMenu('S', 'C');
        });
        if (answer == IDYES) {
            program.thenDo([&] {
                ASSERT_EQ(program.boxes.size(), 1U);
                const auto& box = program.boxes[0];
                EXPECT_NE(box.text.find("OpenClipboard"), std::string::npos) << box.text;
                EXPECT_NE(box.text.find("Clipboard.this"), std::string::npos) << box.text;
                EXPECT_TRUE(box.text.ends_with("\n\nContinue anyway?\n(Pressing No will exit, losing any unsaved data)"));
                EXPECT_EQ(box.style & (MB_ICONMASK | MB_TYPEMASK), UINT { MB_ICONEXCLAMATION | MB_YESNO });
                hold.reset();
                program.chooseMenu('S', 'C');
            });
            program.thenDo([&] {
                EXPECT_EQ(clipboardText(), classicCopy);
                program.chooseMenu('S', 'X');
            });
        }
        EXPECT_EQ(program.run(fixedDeals()), 0);
        hold.reset();
        EXPECT_EQ(program.boxes.size(), 1U);
    }
}

}
}
