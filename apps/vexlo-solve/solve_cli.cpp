#include "solve_cli.h"

#include "puzzletext.h"
#include "solver.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <ostream>
#include <string>
#include <vector>

namespace vexlo {
namespace {

constexpr std::string_view usageText
    = "usage: vexlo-solve [--trace] [--repeat N] N1 N2 N3 N4 N5 N6 TARGET\n";

constexpr std::string_view helpText
    = "Lists every expression over the six numbers N1 to N6 (each used at most once,\n"
      "with + - * / through positive whole intermediate results) that reaches TARGET,\n"
      "or every nearest one when none does.\n"
      "\n"
      "  --trace     print each report of the search as it happens, one per line:\n"
      "              clearSolutions, setNearest BELOW ABOVE or addSolution TEXT\n"
      "  --repeat N  solve N times and report the median time\n"
      "  --help      show this text\n";

// Set by stopSolveCommand(); also covers the moment between two solves.
std::atomic<bool> stopAll { false };
std::atomic<Puzzle*> runningPuzzle { nullptr };
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<Puzzle*>::is_always_lock_free,
    "stopSolveCommand runs in a signal handler");

struct Options {
    bool trace { false };
    int repeat { 1 };
    std::vector<std::string_view> values;
};

class CollectingView final : public View {
public:
    void addSolution(std::string text) override { solutions.push_back(std::move(text)); }
    void clearSolutions() override { solutions.clear(); }
    void setNearest(std::uint64_t below, std::uint64_t above) override
    {
        nearestBelow = below;
        nearestAbove = above;
    }

    std::vector<std::string> solutions;
    std::uint64_t nearestBelow { 0 };
    std::uint64_t nearestAbove { 0 };
};

class TracingView final : public View {
public:
    explicit TracingView(std::ostream& out)
        : m_out(out)
    {
    }
    void addSolution(std::string text) override { m_out << "addSolution " << text << '\n'; }
    void clearSolutions() override { m_out << "clearSolutions\n"; }
    void setNearest(std::uint64_t below, std::uint64_t above) override
    {
        m_out << "setNearest " << below << ' ' << above << '\n';
    }

private:
    std::ostream& m_out;
};

int usageError(std::ostream& err, std::string_view problem)
{
    err << "vexlo-solve: " << problem << '\n' << usageText;
    return exitUsage;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}

void stopSolveCommand()
{
    stopAll.store(true);
    if (Puzzle* puzzle = runningPuzzle.load())
        puzzle->requestStop();
}

int runSolveCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help") {
            out << usageText << '\n' << helpText;
            return exitSuccess;
        }
        if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--repeat") {
            if (++i == args.size())
                return usageError(err, "--repeat needs a count");
            const auto count = parseFieldValue(args[i]);
            if (!count || *count > 1'000'000)
                return usageError(err, "--repeat needs a count from 1 to 1000000");
            options.repeat = static_cast<int>(*count);
        } else if (arg.size() > 1 && arg.starts_with("--")) {
            return usageError(err, "unknown option " + std::string(arg));
        } else {
            options.values.push_back(arg);
        }
    }
    if (options.values.size() != 7)
        return usageError(err, "expected six numbers and a target");

    Puzzle puzzle;
    std::array<std::uint32_t, 7> values {};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto value = parseFieldValue(trimFieldText(options.values[i]));
        if (!value) {
            err << "vexlo-solve: argument " << i + 1 << " (\"" << options.values[i]
                << "\"): Please enter a positive integer.\n";
            return exitUsage;
        }
        values[i] = *value;
    }

    CollectingView collected;
    TracingView traced(out);
    View& view = options.trace ? static_cast<View&>(traced) : collected;
    std::vector<double> seconds;

    stopAll.store(false);
    runningPuzzle.store(&puzzle);
    for (int run = 0; run < options.repeat && !stopAll.load(); ++run) {
        std::copy_n(values.begin(), 6, puzzle.numbers.begin());
        puzzle.target = values[6];
        const auto start = std::chrono::steady_clock::now();
        puzzle.solve(view);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        seconds.push_back(took.count());
        // solve() clears the stop flag when it starts, so a stop that came
        // in between two runs must be passed on again.
        if (stopAll.load())
            break;
    }
    runningPuzzle.store(nullptr);

    if (options.trace)
        return exitSuccess;
    for (const std::string& line : collected.solutions)
        out << line << '\n';
    out << "Nearest solution: " << nearestText(collected.nearestBelow, collected.nearestAbove) << '\n'
        << "Solutions found: " << collected.solutions.size() << '\n'
        << "Elapsed time: " << elapsedText(static_cast<float>(seconds.empty() ? 0.0 : median(seconds)))
        << '\n';
    return exitSuccess;
}

}
