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

    pushElement(static_cast<ELCODE>(0));

    // A subclass may replace any step; only an object that is exactly a
    // Puzzle may have its steps called directly, which lets them inline.
    if (typeid(*this) == typeid(Puzzle))
        runSearchSteps<true>(view);
    else
        runSearchSteps<false>(view);
}

template<bool ExactlyPuzzle>
void Puzzle::runSearchSteps(View& view)
{
    const auto push = [this](std::int32_t code) {
        if constexpr (ExactlyPuzzle)
            return Puzzle::pushElement(static_cast<ELCODE>(code));
        else
            return pushElement(static_cast<ELCODE>(code));
    };
    const auto numberCodes = static_cast<std::int32_t>(distinct.size());

    bool backtracking = false;
    while (!elements.empty() && !stopRequested.load(std::memory_order_relaxed)) {
        std::int32_t candidate;
        if (!backtracking) {
            if constexpr (ExactlyPuzzle)
                Puzzle::checkResult(view);
            else
                checkResult(view);
            candidate = 0;
        } else {
            Element removed;
            if constexpr (ExactlyPuzzle)
                removed = Puzzle::popElement();
            else
                removed = popElement();
            candidate = removed.code + 1;
        }

        bool pushed = false;
        while (candidate != codeCount) {
            if (candidate == numberCodes)
                candidate = ADD;
            pushed = push(candidate);
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

        const std::uint64_t x = a->value;
        const std::uint64_t y = b->value;
        std::uint64_t result = 0;
        bool refused = x < y || (a->code == code && a->right->value < y);
        if (!refused) {
            switch (code) {
            case ADD:
                refused = b->type == ADDITIVE || a->code == SUBTRACT || __builtin_add_overflow(x, y, &result);
                break;
            case SUBTRACT:
                refused = b->type == ADDITIVE;
                result = x - y;
                break;
            case MULTIPLY:
                refused = y == 1 || b->type == MULTIPLICATIVE || a->code == DIVIDE
                    || __builtin_mul_overflow(x, y, &result);
                break;
            case DIVIDE:
                refused = y == 1 || b->type == MULTIPLICATIVE || x % y != 0;
                if (!refused)
                    result = x / y;
                break;
            default:
                refused = true;
                break;
            }
        }
        if (refused || result == 0) {
            operands.pushTwo(a, b);
            return false;
        }
        element.value = result;
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
