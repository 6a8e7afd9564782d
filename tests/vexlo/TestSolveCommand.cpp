// The command-line front end: arguments, output and exit status.
#include "solve_cli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace vexlo::test {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result run(std::vector<std::string_view> args)
{
    std::ostringstream out, err;
    const int status = runSolveCommand(args, out, err);
    return { status, out.str(), err.str() };
}

TEST(SolveCommand, PrintsSolutionsThenTheSummary)
{
    const Result result = run({ "100", "75", "50", "25", "6", "3", "952" });
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.err.empty());
    EXPECT_TRUE(result.out.starts_with("(((100 + 6) * 75 * 3) - 50) / 25 = 952\n"
                                       "((100 + 3) * 75 * 6 / 50) + 25 = 952\n"
                                       "Nearest solution: 952\n"
                                       "Solutions found: 2\n"
                                       "Elapsed time: "))
        << result.out;
    EXPECT_TRUE(result.out.ends_with(" sec\n"));

    const Result both = run({ "1", "1", "1", "1", "1", "2", "11", "--repeat", "3" });
    EXPECT_NE(both.out.find("Nearest solution: 10, 12\nSolutions found: 12\n"), std::string::npos) << both.out;
}

TEST(SolveCommand, TracePrintsEveryReport)
{
    const Result result = run({ "--trace", "1", "1", "1", "1", "1", "1", " 0999 " });
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.starts_with("clearSolutions\nsetNearest 1 0\naddSolution 1 = 1\n")) << result.out;
    EXPECT_TRUE(result.out.ends_with("clearSolutions\nsetNearest 9 0\naddSolution (1 + 1 + 1) * (1 + 1 + 1) = 9\n"));
    EXPECT_EQ(result.out.find("Nearest solution"), std::string::npos);
}

TEST(SolveCommand, BadArgumentsExitWithStatusTwo)
{
    struct Case {
        std::vector<std::string_view> args;
        std::string errorPart;
    };
    const std::vector<Case> cases {
        { { "1", "2", "3", "4", "5", "6" }, "usage: vexlo-solve" },
        { { "1", "2", "3", "4", "5", "6", "7", "8" }, "usage: vexlo-solve" },
        { { "1", "2", "3", "12a", "5", "6", "7" }, "argument 4 (\"12a\"): Please enter a positive integer." },
        { { "1", "2", "3", "4", "5", "6", "0" }, "argument 7 (\"0\"): Please enter a positive integer." },
        { { "4294967296", "2", "3", "4", "5", "6", "7" }, "argument 1 (\"4294967296\")" },
        { { "1", "2", "3", "4", "5", "6", "7", "--repeat" }, "--repeat needs a count" },
        { { "1", "2", "3", "4", "5", "6", "7", "--repeat", "0" }, "--repeat needs a count" },
        { { "--fast", "1", "2", "3", "4", "5", "6", "7" }, "unknown option --fast" },
    };
    for (const Case& c : cases) {
        const Result result = run(c.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.out.empty());
        EXPECT_NE(result.err.find(c.errorPart), std::string::npos) << result.err;
    }
    const Result help = run({ "--help" });
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: vexlo-solve"), std::string::npos);
}

}
}
