// The exhaustive search and the text of a solution.
//
// Values are computed exactly as unsigned 64-bit integers; an operation whose
// exact result would not fit is refused like any other inadmissible step, so
// no reported expression ever claims a value it does not have.
#include "solver.h"

#include <algorithm>
#include <limits>
#include <type_traits>
#include <typeinfo>

namespace vexlo {

namespace {

// Whether operator `code` may combine A (left) and B (right), and if so
// their value. These are the whole pruning rules: each one leaves a single
// canonical shape for a group of equivalent expressions.
inline bool combine(std::int32_t code, std::uint64_t a, std::int32_t aCode, std::uint64_t aRightValue,
    std::uint64_t b, Puzzle::ELTYPE bType, std::uint64_t& value)
{
    // The larger operand is always the left one, and a chain of one operator
    // takes its right-hand operands in non-increasing order.
    if (a < b || (aCode == code && aRightValue < b))
        return false;
    switch (code) {
    case Puzzle::ADD:
        return bType != Puzzle::ADDITIVE && aCode != Puzzle::SUBTRACT && !__builtin_add_overflow(a, b, &value);
    case Puzzle::SUBTRACT:
        // Equal operands would give 0, which is never formed.
        value = a - b;
        return bType != Puzzle::ADDITIVE && a != b;
    case Puzzle::MULTIPLY:
        return b != 1 && bType != Puzzle::MULTIPLICATIVE && aCode != Puzzle::DIVIDE
            && !__builtin_mul_overflow(a, b, &value);
    case Puzzle::DIVIDE:
        if (b == 1 || bType == Puzzle::MULTIPLICATIVE)
            return false;
        // One division gives the quotient and, through it, the remainder.
        // On current processors a 64-bit division costs less than the
        // branches that would avoid it or narrow it to 32 bits.
        value = a / b;
        return value * b == a;
    default:
        return false;
    }
}

}

// The search of an object that is exactly a Puzzle, where no step can have
// been replaced. It visits the same states in the same order as the step
// loop, but as a recursion over a compact copy of the open operands, and
// builds `elements` only for an expression that is near enough to report;
// reporting itself is left to checkResult, so the View sees the same calls.
//
// The number of open operands and the type of the top one are template
// arguments, so that combine() is specialised for each operator and each
// right-operand type, and the rules that cannot apply fold away.
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
            if (m_values[i] != 0) {
                m_available |= 1U << i;
                m_remaining += m_left[i];
            }
        }
        refreshWindow();
    }

    // Every number in turn opens an expression, the largest first.
    void run()
    {
        if (m_remaining > 0)
            expand<0, NUMBER>(0, 0, 0, 0);
    }

private:
    // Six numbers never leave more than six operands open.
    static constexpr std::int32_t maxOpen = 6;

    // Calls `tryOne` with each operator in search order, as a compile-time
    // constant, until one of the calls returns false.
    template<typename F>
    static bool forEachOperator(F&& tryOne)
    {
        return tryOne(std::integral_constant<std::int32_t, ADD> {})
            && tryOne(std::integral_constant<std::int32_t, SUBTRACT> {})
            && tryOne(std::integral_constant<std::int32_t, MULTIPLY> {})
            && tryOne(std::integral_constant<std::int32_t, DIVIDE> {});
    }

    bool stopped() const { return m_stop.load(std::memory_order_relaxed); }

    // checkResult acts on exactly the values whose distance from the target
    // is at most bestDistance; that is one closed range, kept as its low end
    // and width so that the test is a subtraction and a comparison.
    void refreshWindow()
    {
        const std::uint64_t best = m_puzzle.bestDistance;
        const std::uint64_t high
            = best > std::numeric_limits<std::uint64_t>::max() - m_target ? std::numeric_limits<std::uint64_t>::max()
                                                                            : m_target + best;
        m_low = m_target > best ? m_target - best : 0;
        m_span = high - m_low;
    }
    bool nearEnough(std::uint64_t value) const { return value - m_low <= m_span; }

    // A complete expression whose last element has code `lastCode`; false
    // once a stop was seen.
    [[gnu::always_inline]] bool complete(std::int32_t length, std::uint64_t value, std::int32_t lastCode)
    {
        if (stopped())
            return false;
        if (nearEnough(value))
            report(length, lastCode);
        return true;
    }

    // Visits one state and everything below it; false once a stop was seen.
    template<std::int32_t Open, ELTYPE TopType>
    [[gnu::always_inline]] bool visit(
        std::int32_t length, std::uint64_t value, std::uint64_t rightValue, std::int32_t code)
    {
        if constexpr (Open == 1) {
            if (!complete(length, value, code))
                return false;
        } else if (stopped()) {
            return false;
        }
        return expand<Open, TopType>(length, value, rightValue, code);
    }

    // Visits every state one element longer than this one, in search order:
    // the numbers still available (at least one is), largest first, then
    // the four operators. The top operand travels as arguments, so that it
    // stays in registers; the ones below it live in the m_open arrays.
    template<std::int32_t Open, ELTYPE TopType>
    bool expand(std::int32_t length, std::uint64_t topValue, std::uint64_t topRight, std::int32_t topCode)
    {
        if constexpr (Open > 0)
            storeOpen(Open - 1, topValue, topRight, topCode);
        if (!pushNumbers<Open>(length))
            return false;
        if constexpr (Open >= 2) {
            const std::uint64_t aValue = m_openValue[Open - 2];
            const std::uint64_t aRight = m_openRight[Open - 2];
            const std::int32_t aCode = m_openCode[Open - 2];
            if (aValue < topValue)
                return true;
            // A number is still left after any of these, so each new state
            // is expanded again.
            return forEachOperator([&](auto code) {
                std::uint64_t value;
                if (!combine(code, aValue, aCode, aRight, topValue, TopType, value))
                    return true;
                m_codes[length] = code;
                const bool goOn = visit<Open - 1, typeOf(code)>(length + 1, value, topValue, code);
                // The new state's numbers were stored over A.
                storeOpen(Open - 2, aValue, aRight, aCode);
                return goOn;
            });
        }
        return true;
    }

    // The number states of expand(), one for each number still available.
    template<std::int32_t Open>
    [[gnu::always_inline]] bool pushNumbers(std::int32_t length)
    {
        if (m_remaining == 1)
            return pushLastNumber<Open>(length);
        // With two numbers or more still left at most four are in use, so
        // at most four operands are open.
        if constexpr (Open + 2 <= maxOpen) {
            for (std::uint32_t available = m_available; available != 0; available &= available - 1) {
                const auto i = static_cast<std::int32_t>(__builtin_ctz(available));
                if (--m_left[i] == 0)
                    m_available &= ~(1U << i);
                --m_remaining;
                m_codes[length] = i;
                const bool goOn = visit<Open + 1, NUMBER>(length + 1, m_values[i], 0, i);
                ++m_remaining;
                if (m_left[i]++ == 0)
                    m_available |= 1U << i;
                if (!goOn)
                    return false;
            }
        }
        return true;
    }

    // The state that uses the last number. Below it only reductions
    // remain; they never look at what is left, so nothing is counted.
    template<std::int32_t Open>
    bool pushLastNumber(std::int32_t length)
    {
        const auto i = static_cast<std::int32_t>(__builtin_ctz(m_available));
        m_codes[length] = i;
        if constexpr (Open == 0) {
            // The only number there is: the whole search is this one state.
            return complete(length + 1, m_values[i], i);
        } else {
            if (stopped())
                return false;
            return reduce<Open + 1, NUMBER>(length + 1, m_values[i]);
        }
    }

    // expand() once every number is in use: only the top two operands can
    // be combined, the top one is always the right operand (so its own
    // right operand no longer matters), nothing is stored over the others,
    // and the depth is known, so the compiler can unroll the last levels.
    template<std::int32_t Open, ELTYPE TopType>
    bool reduce(std::int32_t length, std::uint64_t topValue)
    {
        const std::uint64_t aValue = m_openValue[Open - 2];
        const std::uint64_t aRight = m_openRight[Open - 2];
        const std::int32_t aCode = m_openCode[Open - 2];
        if (aValue < topValue)
            return true;
        return forEachOperator([&](auto code) {
            std::uint64_t value;
            if (!combine(code, aValue, aCode, aRight, topValue, TopType, value))
                return true;
            if constexpr (Open == 2) {
                return complete(length + 1, value, code);
            } else {
                if (stopped())
                    return false;
                m_codes[length] = code;
                return reduce<Open - 1, typeOf(code)>(length + 1, value);
            }
        });
    }

    void storeOpen(std::int32_t index, std::uint64_t value, std::uint64_t rightValue, std::int32_t code)
    {
        m_openValue[index] = value;
        m_openRight[index] = rightValue;
        m_openCode[index] = code;
    }

    // Rebuilds the expression in the Puzzle's own stacks and lets
    // checkResult decide and report exactly as the step loop would. Rare,
    // so kept out of line, where it does not crowd the search's registers.
    [[gnu::noinline, gnu::cold]] void report(std::int32_t length, std::int32_t lastCode)
    {
        m_codes[length - 1] = lastCode;
        m_puzzle.elements.clear();
        m_puzzle.operands.clear();
        for (Number& number : m_puzzle.distinct.entries())
            number.used = 0;
        for (std::int32_t i = 0; i < length; ++i)
            m_puzzle.Puzzle::pushElement(static_cast<ELCODE>(m_codes[i]));
        m_puzzle.Puzzle::checkResult(m_view);
        refreshWindow();
    }

    Puzzle& m_puzzle;
    View& m_view;
    const std::atomic<bool>& m_stop;
    const std::uint64_t m_target;
    std::uint64_t m_low { 0 };
    std::uint64_t m_span { 0 };
    std::uint32_t m_available { 0 };
    std::int32_t m_remaining { 0 };
    std::array<std::uint64_t, 6> m_values {};
    std::array<std::int32_t, 6> m_left {};
    // The open operands below the top one, one array per field: each field
    // is written and read on its own, since a wide read of fields just
    // written one by one would have to wait for those stores to complete.
    std::array<std::uint64_t, maxOpen> m_openValue {};
    std::array<std::uint64_t, maxOpen> m_openRight {};
    std::array<std::int32_t, maxOpen> m_openCode {};
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
        std::uint64_t value = 0;
        if (!combine(code, a->value, a->code, a->right ? a->right->value : 0, b->value, b->type, value)) {
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
