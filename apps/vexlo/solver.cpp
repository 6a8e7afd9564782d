// The exhaustive search and the text of a solution.
//
// Values are computed exactly as unsigned 64-bit integers; an operation whose
// exact result would not fit is refused like any other inadmissible step, so
// no reported expression ever claims a value it does not have.
#include "solver.h"

#include <algorithm>
#include <limits>
#include <typeinfo>

namespace vexlo {

namespace {

// The value of operator `code` applied to A (left) and B (right), or 0 when
// the combination is refused. These are the whole pruning rules: each one
// leaves a single canonical shape for a group of equivalent expressions.
inline std::uint64_t combine(std::int32_t code, std::uint64_t a, std::int32_t aCode, std::uint64_t aRightValue,
    std::uint64_t b, Puzzle::ELTYPE bType)
{
    // The larger operand is always the left one, and a chain of one operator
    // takes its right-hand operands in non-increasing order.
    if (a < b || (aCode == code && aRightValue < b))
        return 0;
    std::uint64_t result = 0;
    switch (code) {
    case Puzzle::ADD:
        if (bType == Puzzle::ADDITIVE || aCode == Puzzle::SUBTRACT || __builtin_add_overflow(a, b, &result))
            return 0;
        return result;
    case Puzzle::SUBTRACT:
        return bType == Puzzle::ADDITIVE ? 0 : a - b;
    case Puzzle::MULTIPLY:
        if (b == 1 || bType == Puzzle::MULTIPLICATIVE || aCode == Puzzle::DIVIDE || __builtin_mul_overflow(a, b, &result))
            return 0;
        return result;
    case Puzzle::DIVIDE:
        if (b == 1 || bType == Puzzle::MULTIPLICATIVE)
            return 0;
        // The 32-bit division is several times faster, and nearly every
        // division the search tries has a 32-bit dividend.
        if (a <= 0xFFFFFFFFU) {
            const auto x = static_cast<std::uint32_t>(a), y = static_cast<std::uint32_t>(b);
            return x % y != 0 ? 0 : x / y;
        }
        return a % b != 0 ? 0 : a / b;
    default:
        return 0;
    }
}

}

// The search of an object that is exactly a Puzzle, where no step can have
// been replaced. It visits the same states in the same order as the step
// loop, but as a recursion over a compact copy of the open operands, and
// builds `elements` only for an expression that is near enough to report;
// reporting itself is left to checkResult, so the View sees the same calls.
class Puzzle::DirectSearch {
public:
    DirectSearch(Puzzle& puzzle, View& view)
        : m_puzzle(puzzle)
        , m_view(view)
        , m_stop(puzzle.stopRequested)
        , m_target(puzzle.target)
    {
        for (std::size_t i = 0; i < puzzle.distinct.size(); ++i) {
            m_values[i] = puzzle.distinct[i].value;
            m_left[i] = puzzle.distinct[i].count;
            // A zero, which callers never give, is never pushed, as in pushElement.
            if (m_values[i] != 0)
                m_available |= 1U << i;
        }
    }

    // Every number in turn opens an expression, the largest first.
    void run() { expand(0, 0, 0, 0, 0); }

private:
    // An open operand: the root of a sub-expression not yet combined. The
    // top one travels as three scalar arguments, so that it stays in
    // registers; the others live in m_open.
    struct Open {
        std::uint64_t value;
        std::uint64_t rightValue;
        std::int32_t code;
    };

    bool stopped() const { return m_stop.load(std::memory_order_relaxed); }

    // A complete expression of the given length and value; false once a stop was seen.
    bool complete(std::int32_t length, std::uint64_t value)
    {
        if (stopped())
            return false;
        const std::uint64_t distance = value < m_target ? m_target - value : value - m_target;
        if (distance <= m_puzzle.bestDistance)
            report(length);
        return true;
    }

    // Visits one state and everything below it; false once a stop was seen.
    bool visit(std::int32_t length, std::int32_t open, std::uint64_t value, std::uint64_t rightValue, std::int32_t code)
    {
        if (open == 1) {
            if (!complete(length, value))
                return false;
        } else if (stopped()) {
            return false;
        }
        return expand(length, open, value, rightValue, code);
    }

    // Visits every state one element longer than this one, in search order:
    // the numbers still available, largest first, then the four operators.
    bool expand(std::int32_t length, std::int32_t open, std::uint64_t topValue, std::uint64_t topRight, std::int32_t topCode)
    {
        if (m_available == 0) {
            switch (open) {
            case 2: return reduce<2>(length, topValue, topCode);
            case 3: return reduce<3>(length, topValue, topCode);
            case 4: return reduce<4>(length, topValue, topCode);
            case 5: return reduce<5>(length, topValue, topCode);
            case 6: return reduce<6>(length, topValue, topCode);
            default: return true;
            }
        }

        if (open > 0)
            m_open[open - 1] = { topValue, topRight, topCode };
        for (std::uint32_t available = m_available; available != 0; available &= available - 1) {
            const auto i = static_cast<std::int32_t>(__builtin_ctz(available));
            if (--m_left[i] == 0)
                m_available &= ~(1U << i);
            m_codes[length] = i;
            const bool goOn = visit(length + 1, open + 1, m_values[i], 0, i);
            if (m_left[i]++ == 0)
                m_available |= 1U << i;
            if (!goOn)
                return false;
        }
        if (open < 2)
            return true;

        const Open a = m_open[open - 2];
        if (a.value < topValue)
            return true;
        const ELTYPE bType = typeOf(topCode);
        const auto tryOperator = [&](std::int32_t code) {
            const std::uint64_t value = combine(code, a.value, a.code, a.rightValue, topValue, bType);
            if (value == 0)
                return true;
            m_codes[length] = code;
            const bool goOn = visit(length + 1, open - 1, value, topValue, code);
            // The new state's numbers were stored over A.
            m_open[open - 2] = a;
            return goOn;
        };
        return tryOperator(ADD) && tryOperator(SUBTRACT) && tryOperator(MULTIPLY) && tryOperator(DIVIDE);
    }

    // expand() once every number is in use: only the top two operands can
    // be combined, the top one is always the right operand (so its own
    // right operand no longer matters), nothing is stored over the others,
    // and the depth is known, so the compiler can unroll the last levels.
    template<std::int32_t Open>
    bool reduce(std::int32_t length, std::uint64_t topValue, std::int32_t topCode)
    {
        const DirectSearch::Open& a = m_open[Open - 2];
        if (a.value < topValue)
            return true;
        const ELTYPE bType = typeOf(topCode);
        const auto tryOperator = [&](std::int32_t code) {
            const std::uint64_t value = combine(code, a.value, a.code, a.rightValue, topValue, bType);
            if (value == 0)
                return true;
            m_codes[length] = code;
            if constexpr (Open == 2) {
                return complete(length + 1, value);
            } else {
                if (stopped())
                    return false;
                return reduce<Open - 1>(length + 1, value, code);
            }
        };
        return tryOperator(ADD) && tryOperator(SUBTRACT) && tryOperator(MULTIPLY) && tryOperator(DIVIDE);
    }

    // Rebuilds the expression in the Puzzle's own stacks and lets
    // checkResult decide and report exactly as the step loop would.
    void report(std::int32_t length)
    {
        m_puzzle.elements.clear();
        m_puzzle.operands.clear();
        for (Number& number : m_puzzle.distinct.entries())
            number.used = 0;
        for (std::int32_t i = 0; i < length; ++i)
            m_puzzle.Puzzle::pushElement(static_cast<ELCODE>(m_codes[i]));
        m_puzzle.Puzzle::checkResult(m_view);
    }

    Puzzle& m_puzzle;
    View& m_view;
    const std::atomic<bool>& m_stop;
    const std::uint64_t m_target;
    std::uint32_t m_available { 0 };
    std::array<std::uint64_t, 6> m_values {};
    std::array<std::int32_t, 6> m_left {};
    std::array<Open, 6> m_open {};
    std::array<std::int32_t, 11> m_codes {};
};

void Puzzle::solve(View& view)
{
    bestDistance = std::numeric_limits<std::uint64_t>::max();
    elements.clear();
    operands.clear();
    distinct.clear();
    stopRequested.store(false, std::memory_order_relaxed);

    std::sort(numbers.begin(), numbers.end());
    for (std::size_t i = numbers.size(); i-- > 0;) {
        if (i + 1 < numbers.size() && numbers[i] == numbers[i + 1])
            ++distinct.top().count;
        else
            distinct.push(Number { numbers[i], 1, 0 });
    }

    // A subclass may replace any step, so it gets the literal step loop;
    // an object that is exactly a Puzzle takes the direct search.
    if (typeid(*this) == typeid(Puzzle)) {
        DirectSearch(*this, view).run();
        return;
    }
    pushElement(static_cast<ELCODE>(0));
    runSearchSteps(view);
}

void Puzzle::runSearchSteps(View& view)
{
    const auto numberCodes = static_cast<std::int32_t>(distinct.size());
    bool backtracking = false;
    while (!elements.empty() && !stopRequested.load(std::memory_order_relaxed)) {
        std::int32_t candidate;
        if (!backtracking) {
            checkResult(view);
            candidate = 0;
        } else {
            candidate = popElement().code + 1;
        }

        bool pushed = false;
        while (candidate != codeCount) {
            if (candidate == numberCodes)
                candidate = ADD;
            pushed = pushElement(static_cast<ELCODE>(candidate));
            ++candidate;
            if (pushed)
                break;
        }
        backtracking = !pushed;
    }
}

bool Puzzle::pushElement(ELCODE code)
{
    Element element;
    element.code = code;
    element.type = typeOf(code);

    if (element.type == NUMBER) {
        Number& number = distinct[static_cast<std::size_t>(code)];
        if (number.used == number.count || number.value == 0)
            return false;
        element.value = number.value;
        ++number.used;
    } else {
        if (operands.size() < 2)
            return false;
        const Element* a;
        const Element* b;
        operands.popTwo(a, b);
        const std::uint64_t value
            = combine(code, a->value, a->code, a->right ? a->right->value : 0, b->value, b->type);
        if (value == 0) {
            operands.pushTwo(a, b);
            return false;
        }
        element.value = value;
        element.left = a;
        element.right = b;
    }

    operands.push(&elements.push(element));
    return true;
}

Puzzle::Element Puzzle::popElement()
{
    const Element removed = elements.pop();
    operands.pop();
    if (removed.type == NUMBER)
        --distinct[static_cast<std::size_t>(removed.code)].used;
    else
        operands.pushTwo(removed.left, removed.right);
    return removed;
}

void Puzzle::checkResult(View& view)
{
    if (operands.size() != 1)
        return;
    const std::uint64_t value = operands.top()->value;
    const bool below = value < target;
    const std::uint64_t distance = below ? target - value : value - target;

    if (distance < bestDistance) {
        bestDistance = distance;
        view.clearSolutions();
        nearestBelow = below ? value : 0;
        nearestAbove = below ? 0 : value;
        view.setNearest(nearestBelow, nearestAbove);
        view.addSolution(formatSolution());
    } else if (distance == bestDistance) {
        std::uint64_t& side = below ? nearestBelow : nearestAbove;
        if (side == 0) {
            side = value;
            view.setNearest(nearestBelow, nearestAbove);
        }
        view.addSolution(formatSolution());
    }
}

std::string Puzzle::formatSolution()
{
    struct SubExp {
        std::string text;
        ELTYPE type { NUMBER };
    };
    static constexpr std::array<const char*, codeCount> operatorText {
        "", "", "", "", "", "", " + ", " - ", " * ", " / ",
    };

    std::array<SubExp, 6> stack;
    std::size_t depth = 0;
    for (const Element& element : elements) {
        if (element.type == NUMBER) {
            stack[depth++] = SubExp { std::to_string(distinct[static_cast<std::size_t>(element.code)].value), NUMBER };
            continue;
        }
        SubExp& x = stack[depth - 2];
        SubExp& y = stack[depth - 1];
        const ELTYPE otherLevel = element.type == ADDITIVE ? MULTIPLICATIVE : ADDITIVE;
        std::string text;
        text.reserve(x.text.size() + y.text.size() + 7);
        const auto append = [&](const SubExp& operand) {
            if (operand.type == otherLevel)
                text.append("(").append(operand.text).append(")");
            else
                text.append(operand.text);
        };
        append(x);
        text.append(operatorText[static_cast<std::size_t>(element.code)]);
        append(y);
        --depth;
        stack[depth - 1] = SubExp { std::move(text), element.type };
    }
    return stack[0].text + " = " + std::to_string(operands.bottom()->value);
}

}
