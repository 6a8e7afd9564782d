// The search and the text of its results: report order, pruning, exactness
// of large values, stopping and failures of the View.
#include "RecordingView.h"
#include "solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vexlo::test {
namespace {

using Numbers = std::array<std::uint32_t, 6>;
__extension__ using Wide = unsigned __int128;

std::vector<std::string> solveCalls(Puzzle& puzzle, const Numbers& numbers, std::uint32_t target)
{
    puzzle.numbers = numbers;
    puzzle.target = target;
    RecordingView view;
    puzzle.solve(view);
    return view.calls;
}

RecordingView solve(const Numbers& numbers, std::uint32_t target)
{
    Puzzle puzzle;
    puzzle.numbers = numbers;
    puzzle.target = target;
    RecordingView view;
    puzzle.solve(view);
    return view;
}

// An evaluator of solution lines that knows nothing of the solver: it reads
// "infix = value" with brackets and checks that every step stays a positive
// whole number, in 128-bit arithmetic so that nothing can wrap.
class LineEvaluator {
public:
    explicit LineEvaluator(const std::string& line)
        : m_text(line)
    {
    }

    // The value of the infix part, or nothing if a step is not admissible.
    std::optional<Wide> evaluate()
    {
        auto value = expression();
        if (!value || m_text.compare(m_at, 3, " = ") != 0)
            return std::nullopt;
        return value;
    }
    Wide claimed() const { return std::stoull(m_text.substr(m_text.rfind(" = ") + 3)); }

private:
    std::optional<Wide> expression()
    {
        auto value = term();
        while (value && (peekOperator('+') || peekOperator('-'))) {
            const char op = m_text[m_at + 1];
            m_at += 3;
            const auto right = term();
            if (!right || (op == '-' && *value <= *right))
                return std::nullopt;
            value = op == '+' ? *value + *right : *value - *right;
        }
        return value;
    }
    std::optional<Wide> term()
    {
        auto value = primary();
        while (value && (peekOperator('*') || peekOperator('/'))) {
            const char op = m_text[m_at + 1];
            m_at += 3;
            const auto right = primary();
            if (!right || (op == '/' && *value % *right != 0))
                return std::nullopt;
            value = op == '*' ? *value * *right : *value / *right;
        }
        return value;
    }
    std::optional<Wide> primary()
    {
        if (m_at < m_text.size() && m_text[m_at] == '(') {
            ++m_at;
            auto value = expression();
            if (m_at >= m_text.size() || m_text[m_at] != ')')
                return std::nullopt;
            ++m_at;
            return value;
        }
        Wide value = 0;
        const std::size_t start = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9')
            value = value * 10 + static_cast<unsigned>(m_text[m_at++] - '0');
        if (m_at == start || value == 0)
            return std::nullopt;
        return value;
    }
    bool peekOperator(char op) const
    {
        return m_at + 3 <= m_text.size() && m_text[m_at] == ' ' && m_text[m_at + 1] == op && m_text[m_at + 2] == ' ';
    }

    std::string m_text;
    std::size_t m_at { 0 };
};

void expectEveryLineTrue(const std::vector<std::string>& lines, std::uint32_t target, std::uint64_t below,
    std::uint64_t above)
{
    for (const std::string& line : lines) {
        LineEvaluator evaluator(line);
        const auto value = evaluator.evaluate();
        ASSERT_TRUE(value.has_value()) << line;
        EXPECT_EQ(*value, evaluator.claimed()) << line;
        EXPECT_TRUE(*value == below || *value == above) << line << " is not a reported nearest value";
        (void)target;
    }
}

// Runs the real steps but also inspects every complete expression's tree, so
// that shapes the rules forbid are caught even where they are not reported.
class InspectingPuzzle : public Puzzle {
public:
    void checkResult(View& view) override
    {
        ++steps;
        if (operands.size() == 1) {
            const Element& root = *operands.top();
            completeValues.insert(root.value);
            inspect(root);
        }
        Puzzle::checkResult(view);
    }
    Element popElement() override
    {
        ++steps;
        return Puzzle::popElement();
    }

    const DistinctList& distinctNumbers() const { return distinct; }

    std::set<std::uint64_t> completeValues;
    std::vector<std::string> faults;
    std::uint64_t steps { 0 };

private:
    Wide inspect(const Element& element)
    {
        if (element.type == NUMBER) {
            if (element.left || element.right)
                faults.push_back("number with operands");
            return element.value;
        }
        const Element& a = *element.left;
        const Element& b = *element.right;
        const Wide x = inspect(a);
        const Wide y = inspect(b);
        Wide exact = 0;
        switch (element.code) {
        case ADD:
            exact = x + y;
            if (a.code == SUBTRACT)
                faults.push_back("addition after a subtraction");
            break;
        case SUBTRACT:
            exact = x > y ? x - y : 0;
            break;
        case MULTIPLY:
            exact = x * y;
            if (a.code == DIVIDE)
                faults.push_back("multiplication after a division");
            break;
        case DIVIDE:
            if (x % y != 0)
                faults.push_back("division with a remainder");
            exact = x / y;
            break;
        default:
            faults.push_back("unknown operator");
        }
        if (exact == 0)
            faults.push_back("zero or negative intermediate result");
        if (exact != element.value)
            faults.push_back("value not exact");
        if (x < y)
            faults.push_back("larger operand on the right");
        if (element.type == MULTIPLICATIVE && y == 1)
            faults.push_back("multiplication or division by 1");
        if (b.type == element.type)
            faults.push_back("right operand of the same level");
        if (a.code == element.code && a.right->value < b.value)
            faults.push_back("same-operator chain out of order");
        if (element.type != typeOf(element.code))
            faults.push_back("type does not follow code");
        return exact;
    }
};

TEST(Solver, ClassicPuzzleGivesItsTwoSolutionsInOrder)
{
    const RecordingView view = solve({ 100, 75, 50, 25, 6, 3 }, 952);
    EXPECT_EQ(view.solutions,
        (std::vector<std::string> {
            "(((100 + 6) * 75 * 3) - 50) / 25 = 952",
            "((100 + 3) * 75 * 6 / 50) + 25 = 952",
        }));
    ASSERT_GE(view.calls.size(), 3U);
    EXPECT_EQ(view.calls[0], "clearSolutions");
    EXPECT_EQ(view.calls[1], "setNearest 100 0");
    EXPECT_EQ(view.calls[2], "addSolution 100 = 100");
    EXPECT_EQ(view.nearestBelow, 0U);
    EXPECT_EQ(view.nearestAbove, 952U);
}

TEST(Solver, ReportsFollowTheViewContract)
{
    // Each strictly nearer result is clear, setNearest, add; a result at the
    // same distance is an add, preceded by setNearest only for the empty side.
    const RecordingView view = solve({ 1, 1, 1, 1, 1, 2 }, 11);
    const auto& calls = view.calls;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == "clearSolutions") {
            ASSERT_LT(i + 2, calls.size());
            EXPECT_TRUE(calls[i + 1].starts_with("setNearest ")) << i;
            EXPECT_TRUE(calls[i + 2].starts_with("addSolution ")) << i;
        } else if (calls[i].starts_with("setNearest ")) {
            ASSERT_LT(i + 1, calls.size());
            EXPECT_TRUE(calls[i + 1].starts_with("addSolution ")) << i;
        }
    }
    EXPECT_EQ(calls.back().substr(0, 12), "addSolution ");
}

TEST(Solver, BothSidesAtTheSameDistanceAreKept)
{
    const RecordingView view = solve({ 1, 1, 1, 1, 1, 2 }, 11);
    EXPECT_EQ(view.nearestBelow, 10U);
    EXPECT_EQ(view.nearestAbove, 12U);
    EXPECT_EQ(view.solutions.size(), 12U);
    const auto lastSetNearest = std::find_if(view.calls.rbegin(), view.calls.rend(),
        [](const std::string& call) { return call.starts_with("setNearest"); });
    EXPECT_EQ(*lastSetNearest, "setNearest 10 12");
    expectEveryLineTrue(view.solutions, 11, 10, 12);
    const auto worth = [&](const char* suffix) {
        return std::count_if(view.solutions.begin(), view.solutions.end(),
            [&](const std::string& line) { return line.ends_with(suffix); });
    };
    EXPECT_GT(worth(" = 10"), 0);
    EXPECT_GT(worth(" = 12"), 0);
}

TEST(Solver, ExactHitAfterNearMissesStartsAfresh)
{
    const RecordingView view = solve({ 100, 75, 50, 25, 6, 3 }, 952);
    const std::string exact = "setNearest 0 952";
    const auto at = std::find(view.calls.begin(), view.calls.end(), exact);
    ASSERT_NE(at, view.calls.end());
    EXPECT_EQ(*(at - 1), "clearSolutions");
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), exact), 1);
}

TEST(Solver, SingleNumbersAndSmallPuzzles)
{
    struct Case {
        Numbers numbers;
        std::uint32_t target;
        std::vector<std::string> mustInclude;
        std::optional<std::vector<std::string>> exactly;
    };
    const std::vector<Case> cases {
        { { 100, 75, 50, 25, 6, 3 }, 75, { "75 = 75" }, std::nullopt },
        { { 1, 1, 1, 1, 1, 1 }, 999, {}, std::vector<std::string> { "(1 + 1 + 1) * (1 + 1 + 1) = 9" } },
        { { 100, 5, 5, 1, 2, 7 }, 100, { "100 = 100", "100 + 5 - 5 = 100" }, std::nullopt },
    };
    for (const Case& c : cases) {
        const RecordingView view = solve(c.numbers, c.target);
        for (const std::string& line : c.mustInclude) {
            EXPECT_NE(std::find(view.solutions.begin(), view.solutions.end(), line), view.solutions.end()) << line;
        }
        if (c.exactly) {
            EXPECT_EQ(view.solutions, *c.exactly);
        }
    }
    const auto ones = solve({ 1, 1, 1, 1, 1, 1 }, 999).calls;
    EXPECT_EQ(std::vector(ones.end() - 3, ones.end()),
        (std::vector<std::string> { "clearSolutions", "setNearest 9 0", "addSolution (1 + 1 + 1) * (1 + 1 + 1) = 9" }));
}

TEST(Solver, EqualNumbersAreNeverSwapped)
{
    const RecordingView view = solve({ 2, 2, 1, 1, 1, 1 }, 4);
    const auto sum = std::find(view.solutions.begin(), view.solutions.end(), "2 + 2 = 4");
    const auto product = std::find(view.solutions.begin(), view.solutions.end(), "2 * 2 = 4");
    ASSERT_NE(sum, view.solutions.end());
    ASSERT_NE(product, view.solutions.end());
    EXPECT_LT(sum, product);

    for (const Numbers& numbers : { Numbers { 2, 2, 1, 1, 1, 1 }, Numbers { 5, 5, 5, 5, 5, 5 }, Numbers { 3, 3, 7, 7, 9, 9 } }) {
        for (const std::uint32_t target : { 4U, 10U, 25U, 63U }) {
            const RecordingView each = solve(numbers, target);
            const std::set<std::string> unique(each.solutions.begin(), each.solutions.end());
            EXPECT_EQ(unique.size(), each.solutions.size()) << "target " << target;
        }
    }
}

TEST(Solver, SixEqualNumbersShareOneDistinctEntry)
{
    InspectingPuzzle puzzle;
    puzzle.numbers = { 7, 7, 7, 7, 7, 7 };
    puzzle.target = 100;
    RecordingView view;
    puzzle.solve(view);
    ASSERT_EQ(puzzle.distinctNumbers().size(), 1U);
    EXPECT_EQ(puzzle.distinctNumbers()[0].value, 7U);
    EXPECT_EQ(puzzle.distinctNumbers()[0].count, 6);

    puzzle.numbers = { 4294967295U, 1, 4294967295U, 2, 4294967294U, 1 };
    puzzle.solve(view);
    const auto& distinct = puzzle.distinctNumbers();
    ASSERT_EQ(distinct.size(), 4U);
    EXPECT_EQ(distinct[0].value, 4294967295U);
    EXPECT_EQ(distinct[0].count, 2);
    EXPECT_EQ(distinct[1].value, 4294967294U);
    EXPECT_EQ(distinct[3].value, 1U);
    EXPECT_EQ(distinct[3].count, 2);
}

TEST(Solver, SolutionTextsBracketOnlyTheOtherLevel)
{
    const Numbers classic { 100, 75, 50, 25, 6, 3 };
    const std::vector<std::pair<std::uint32_t, std::string>> cases {
        { 241, "100 + 75 + 50 + 25 - 6 - 3 = 241" },
        { 950, "(100 + 75 + 50 + 3) * 25 / 6 = 950" },
        { 953, "(100 * (6 + 3)) + 50 + (75 / 25) = 953" },
        { 101, "100 + (75 / (50 + 25)) = 101" },
        { 909, "(100 + (75 / (50 + 25))) * (6 + 3) = 909" },
    };
    for (const auto& [target, line] : cases) {
        const RecordingView view = solve(classic, target);
        EXPECT_NE(std::find(view.solutions.begin(), view.solutions.end(), line), view.solutions.end()) << line;
        expectEveryLineTrue(view.solutions, target, 0, target);
    }
}

// Every value of every admissible expression, found by combining any two
// numbers of a multiset at a time; independent of the solver's canonical
// order, so it shows whether the pruning loses a reachable value.
std::set<std::uint64_t> reachableValues(const Numbers& numbers)
{
    std::set<std::uint64_t> values;
    std::set<std::vector<std::uint64_t>> seen;
    std::vector<std::vector<std::uint64_t>> pending { std::vector<std::uint64_t>(numbers.begin(), numbers.end()) };
    while (!pending.empty()) {
        std::vector<std::uint64_t> set = std::move(pending.back());
        pending.pop_back();
        std::sort(set.begin(), set.end());
        if (!seen.insert(set).second)
            continue;
        values.insert(set.begin(), set.end());
        for (std::size_t i = 0; i < set.size(); ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                const std::uint64_t a = set[i], b = set[j];
                std::vector<std::uint64_t> results { a + b, a * b };
                if (a > b)
                    results.push_back(a - b);
                if (a % b == 0)
                    results.push_back(a / b);
                for (const std::uint64_t r : results) {
                    std::vector<std::uint64_t> next;
                    for (std::size_t k = 0; k < set.size(); ++k)
                        if (k != i && k != j)
                            next.push_back(set[k]);
                    next.push_back(r);
                    pending.push_back(std::move(next));
                }
            }
        }
    }
    return values;
}

TEST(Solver, CanonicalShapesOnlyAndNoReachableValueLost)
{
    for (const Numbers& numbers : { Numbers { 100, 75, 50, 25, 6, 3 }, Numbers { 1, 2, 3, 4, 5, 6 },
             Numbers { 2, 2, 1, 1, 1, 1 }, Numbers { 10, 10, 7, 3, 3, 1 } }) {
        InspectingPuzzle puzzle;
        puzzle.numbers = numbers;
        puzzle.target = 500;
        RecordingView view;
        puzzle.solve(view);
        EXPECT_TRUE(puzzle.faults.empty()) << puzzle.faults.front();
        EXPECT_EQ(puzzle.completeValues, reachableValues(numbers));
    }
}

TEST(Solver, LargeValuesAreComputedExactly)
{
    // In 32-bit arithmetic 65536 * 65536 wraps to 0 and such puzzles report
    // expressions whose true value is nowhere near the target.
    const std::vector<std::pair<Numbers, std::uint32_t>> cases {
        { { 65536, 65536, 65535, 2, 3, 4 }, 1 },
        { { 4294967295U, 4294967295U, 4294967295U, 4294967295U, 4294967295U, 4294967295U }, 1 },
        { { 4294967295U, 2147483648U, 2147483647U, 65536, 2, 1 }, 4294967295U },
        { { 2147483647U, 2147483648U, 2147483649U, 4294967294U, 4294967295U, 3 }, 2 },
        { { 4294967295U, 4294967295U, 65537, 257, 17, 5 }, 999 },
    };
    for (const auto& [numbers, target] : cases) {
        InspectingPuzzle puzzle;
        puzzle.numbers = numbers;
        puzzle.target = target;
        RecordingView view;
        puzzle.solve(view);
        EXPECT_TRUE(puzzle.faults.empty()) << puzzle.faults.front();
        ASSERT_FALSE(view.solutions.empty());
        expectEveryLineTrue(view.solutions, target, view.nearestBelow, view.nearestAbove);
        const std::uint64_t nearest = view.nearestAbove ? view.nearestAbove : view.nearestBelow;
        const std::uint64_t distance = nearest > target ? nearest - target : target - nearest;
        for (const std::uint64_t value : puzzle.completeValues) {
            const std::uint64_t d = value > target ? value - target : target - value;
            EXPECT_GE(d, distance) << "a nearer value " << value << " was not reported";
        }
        EXPECT_GT(*puzzle.completeValues.rbegin(), std::uint64_t { 1 } << 32) << "large products must be formed";
    }

    const RecordingView wrapped = solve({ 65536, 65536, 65535, 2, 3, 4 }, 1);
    for (const std::string& line : wrapped.solutions)
        EXPECT_TRUE(line.ends_with(" = 1")) << line;
}

TEST(Solver, ProductsBeyondSixtyFourBitsAreRefused)
{
    InspectingPuzzle puzzle;
    puzzle.numbers = { 4294967295U, 4294967295U, 4294967295U, 4294967294U, 65536, 2 };
    puzzle.target = 4294967295U;
    RecordingView view;
    puzzle.solve(view);
    EXPECT_TRUE(puzzle.faults.empty()) << puzzle.faults.front();
    // (2^32 - 1)^2 just fits in 64 bits; twice it does not, and neither does
    // any product of three of the large numbers.
    const std::uint64_t square = std::uint64_t { 4294967295U } * 4294967295U;
    EXPECT_TRUE(puzzle.completeValues.contains(square));
    EXPECT_GT(*puzzle.completeValues.rbegin(), square);
}

TEST(Solver, TwoRunsOnOnePuzzleAgree)
{
    Puzzle puzzle;
    const auto first = solveCalls(puzzle, { 100, 75, 50, 25, 6, 3 }, 952);
    const auto second = solveCalls(puzzle, { 100, 75, 50, 25, 6, 3 }, 952);
    EXPECT_EQ(first, second);
    // The numbers were sorted in place by the first run; the result does not
    // depend on the order they are given in.
    EXPECT_EQ(solveCalls(puzzle, { 3, 25, 100, 6, 50, 75 }, 952), first);
}

TEST(Solver, ReplacedStepsAreCalledAndChangeNothing)
{
    // A subclass gets every step through its replacements; the search of a
    // plain Puzzle must report exactly what the step-by-step search reports.
    for (const auto& [numbers, target] : std::vector<std::pair<Numbers, std::uint32_t>> {
             { { 100, 75, 50, 25, 6, 3 }, 952 },
             { { 1, 2, 3, 4, 5, 6 }, 100 },
             { { 1, 1, 1, 1, 1, 2 }, 11 },
             { { 4294967295U, 65536, 65536, 2147483648U, 3, 1 }, 4294967295U },
             { { 9, 9, 9, 5, 5, 2 }, 1 } }) {
        InspectingPuzzle puzzle;
        puzzle.numbers = numbers;
        puzzle.target = target;
        RecordingView inspected;
        puzzle.solve(inspected);
        EXPECT_GT(puzzle.steps, 1000U);
        EXPECT_EQ(inspected.calls, solve(numbers, target).calls) << "target " << target;
    }
}

class ThrowingView : public RecordingView {
public:
    void addSolution(std::string text) override
    {
        RecordingView::addSolution(std::move(text));
        if (solutions.size() == 3)
            throw std::runtime_error("display refused the line");
    }
};

TEST(Solver, ViewFailureEndsTheRunAndReachesTheCaller)
{
    Puzzle puzzle;
    puzzle.numbers = { 1, 2, 3, 4, 5, 6 };
    puzzle.target = 100;
    ThrowingView view;
    EXPECT_THROW(puzzle.solve(view), std::runtime_error);
    EXPECT_EQ(view.solutions.size(), 3U);
    // Nothing of the broken run leaks into the next one.
    EXPECT_EQ(solveCalls(puzzle, { 1, 2, 3, 4, 5, 6 }, 100), solve({ 1, 2, 3, 4, 5, 6 }, 100).calls);
}

class StoppingView : public RecordingView {
public:
    explicit StoppingView(Puzzle& puzzle)
        : m_puzzle(puzzle)
    {
    }
    void addSolution(std::string text) override
    {
        RecordingView::addSolution(std::move(text));
        if (solutions.size() == 5)
            m_puzzle.requestStop();
    }

private:
    Puzzle& m_puzzle;
};

TEST(Solver, StopEndsTheRunAfterTheCurrentStep)
{
    Puzzle puzzle;
    puzzle.numbers = { 1, 2, 3, 4, 5, 6 };
    puzzle.target = 100;
    StoppingView view(puzzle);
    puzzle.solve(view);
    EXPECT_EQ(view.solutions.size(), 5U);
    EXPECT_TRUE(view.calls.back().starts_with("addSolution"));

    // A stop requested between runs does not affect the next one.
    puzzle.requestStop();
    EXPECT_EQ(solveCalls(puzzle, { 1, 2, 3, 4, 5, 6 }, 100), solve({ 1, 2, 3, 4, 5, 6 }, 100).calls);
}

// Counts steps on the solving thread while another thread watches the count.
class CountingPuzzle : public Puzzle {
public:
    void checkResult(View& view) override
    {
        steps.fetch_add(1, std::memory_order_relaxed);
        Puzzle::checkResult(view);
    }
    std::atomic<std::uint64_t> steps { 0 };
};

TEST(Solver, StopFromAnotherThreadIsPrompt)
{
    CountingPuzzle full;
    full.numbers = { 1, 2, 3, 4, 5, 6 };
    full.target = 100;
    RecordingView fullView;
    full.solve(fullView);

    CountingPuzzle puzzle;
    puzzle.numbers = full.numbers;
    puzzle.target = 100;
    RecordingView view;
    std::thread solver([&] { puzzle.solve(view); });
    while (puzzle.steps.load() < 1000)
        std::this_thread::yield();
    const auto askedAt = std::chrono::steady_clock::now();
    puzzle.requestStop();
    solver.join();
    EXPECT_LT(std::chrono::steady_clock::now() - askedAt, std::chrono::milliseconds(200));
    EXPECT_LT(puzzle.steps.load(), full.steps.load());
    EXPECT_LT(view.calls.size(), fullView.calls.size());
}

// Puzzles of every shape from a fixed seed: small numbers that repeat, the
// usual large and small cards, and values anywhere up to 4294967295, with
// ordinary and far-off targets.
std::vector<std::pair<Numbers, std::uint32_t>> seededPuzzles()
{
    static constexpr std::array<std::uint32_t, 14> cards { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 25, 50, 75, 100 };
    std::mt19937 random(20261211);
    const auto below = [&](std::uint32_t limit) { return static_cast<std::uint32_t>(random() % limit); };
    std::vector<std::pair<Numbers, std::uint32_t>> puzzles;
    for (int kind = 0; kind < 5; ++kind) {
        for (int i = 0; i < 8; ++i) {
            Numbers numbers {};
            for (std::uint32_t& number : numbers) {
                switch (kind) {
                case 0: number = 1 + below(4); break;
                case 1: number = cards[below(cards.size())]; break;
                case 2: number = 1 + below(1000); break;
                case 3: number = below(2) != 0 ? 4294967295U - below(3) : 1U << below(32); break;
                default: number = static_cast<std::uint32_t>(random()) | 1U; break;
                }
            }
            const std::uint32_t target = kind < 3 ? 1 + below(999) : static_cast<std::uint32_t>(random()) | 1U;
            puzzles.emplace_back(numbers, target);
        }
    }
    return puzzles;
}

TEST(Solver, EveryPuzzleReportsAsTheStepLoopDoes)
{
    for (const auto& [numbers, target] : seededPuzzles()) {
        CountingPuzzle stepwise;
        stepwise.numbers = numbers;
        stepwise.target = target;
        RecordingView expected;
        stepwise.solve(expected);
        ASSERT_GT(stepwise.steps.load(), 0U);
        EXPECT_EQ(solve(numbers, target).calls, expected.calls)
            << numbers[0] << " " << numbers[1] << " " << numbers[2] << " " << numbers[3] << " " << numbers[4] << " "
            << numbers[5] << " -> " << target;
    }
}

// Requests a stop from inside the View at its n-th call of any kind.
class StopAtCallView : public RecordingView {
public:
    StopAtCallView(Puzzle& puzzle, std::size_t stopAt)
        : m_puzzle(puzzle)
        , m_stopAt(stopAt)
    {
    }
    void addSolution(std::string text) override
    {
        RecordingView::addSolution(std::move(text));
        counted();
    }
    void clearSolutions() override
    {
        RecordingView::clearSolutions();
        counted();
    }
    void setNearest(std::uint64_t below, std::uint64_t above) override
    {
        RecordingView::setNearest(below, above);
        counted();
    }

private:
    void counted()
    {
        if (calls.size() == m_stopAt)
            m_puzzle.requestStop();
    }

    Puzzle& m_puzzle;
    std::size_t m_stopAt;
};

TEST(Solver, StopInsideAReportEndsBothSearchesAlike)
{
    // Whichever call asks for the stop, the report of the state in progress
    // is finished (it ends with its addSolution) and nothing follows it.
    for (const auto& [numbers, target] : seededPuzzles()) {
        const std::vector<std::string> full = solve(numbers, target).calls;
        for (std::size_t stopAt = 1; stopAt <= std::min<std::size_t>(full.size(), 40); ++stopAt) {
            std::size_t end = stopAt;
            while (end < full.size() && !full[end - 1].starts_with("addSolution "))
                ++end;
            const std::vector<std::string> expected(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(end));

            Puzzle direct;
            direct.numbers = numbers;
            direct.target = target;
            StopAtCallView directView(direct, stopAt);
            direct.solve(directView);
            EXPECT_EQ(directView.calls, expected) << "target " << target << ", stop at call " << stopAt;

            CountingPuzzle stepwise;
            stepwise.numbers = numbers;
            stepwise.target = target;
            StopAtCallView stepwiseView(stepwise, stopAt);
            stepwise.solve(stepwiseView);
            EXPECT_EQ(stepwiseView.calls, expected) << "target " << target << ", stop at call " << stopAt;
        }
    }
}

}
}
