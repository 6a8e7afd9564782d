// The program end to end, used by injected keys and clicks only.
#include "ProgramDriver.h"

#include <gtest/gtest.h>

#include <algorithm>

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
        program.enterPuzzle({ "100", "75", "50", "25", "6", "3" }, "952");
        winapi::host::pressKey(VK_RETURN);
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

}
}
