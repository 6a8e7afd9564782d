// Time of one whole solve, with a View that only counts, over puzzles of
// different shapes. "steps/s" is the rate of search steps.
#include "solver.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

namespace {

using Numbers = std::array<std::uint32_t, 6>;

struct Case {
    Numbers numbers;
    std::uint32_t target;
};

constexpr std::array cases {
    Case { { 100, 75, 50, 25, 6, 3 }, 952 },
    Case { { 1, 2, 3, 4, 5, 6 }, 100 },
    Case { { 100, 50, 10, 9, 8, 7 }, 777 },
    Case { { 1, 1, 1, 1, 1, 2 }, 11 },
    Case { { 7, 7, 7, 7, 7, 7 }, 500 },
};

class CountingView final : public vexlo::View {
public:
    void addSolution(std::string) override { ++added; }
    void clearSolutions() override { added = 0; }
    void setNearest(std::uint64_t, std::uint64_t) override { }
    std::uint64_t added { 0 };
};

// Counts the steps of one run; a subclass, so it takes the virtual path and
// is used only to learn the step count, never timed.
class StepCountingPuzzle final : public vexlo::Puzzle {
public:
    void checkResult(vexlo::View& view) override
    {
        ++steps;
        Puzzle::checkResult(view);
    }
    Element popElement() override
    {
        ++steps;
        return Puzzle::popElement();
    }
    std::uint64_t steps { 0 };
};

void BM_Solve(benchmark::State& state)
{
    const Case& c = cases[static_cast<std::size_t>(state.range(0))];
    StepCountingPuzzle counter;
    counter.numbers = c.numbers;
    counter.target = c.target;
    CountingView view;
    counter.solve(view);

    vexlo::Puzzle puzzle;
    for (auto _ : state) {
        puzzle.numbers = c.numbers;
        puzzle.target = c.target;
        puzzle.solve(view);
        benchmark::DoNotOptimize(view.added);
    }
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(counter.steps),
        benchmark::Counter::kIsIterationInvariantRate);
    state.counters["solutions"] = static_cast<double>(view.added);
    state.SetLabel(std::to_string(c.numbers[0]) + " " + std::to_string(c.numbers[1]) + " " + std::to_string(c.numbers[2])
        + " " + std::to_string(c.numbers[3]) + " " + std::to_string(c.numbers[4]) + " " + std::to_string(c.numbers[5])
        + " -> " + std::to_string(c.target));
}

BENCHMARK(BM_Solve)->DenseRange(0, cases.size() - 1)->Unit(benchmark::kMillisecond);

}
