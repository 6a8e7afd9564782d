// The numbers-puzzle engine: a Puzzle holds six numbers and a target and
// enumerates, depth first, every canonical postfix expression over them,
// reporting the ones nearest the target through a View. It knows nothing of
// any window system.
#pragma once

#include <array>
#include <atomic>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vexlo {

// The receiver of a search's results. solve() calls these synchronously on
// its own thread; an exception thrown here ends solve() and reaches its caller.
class View {
public:
    virtual ~View() = default;

    // One more expression at the current best distance, as formatted text.
    virtual void addSolution(std::string text) = 0;
    // A strictly nearer expression was found: forget what was added so far.
    virtual void clearSolutions() = 0;
    // The nearest values on each side of the target; 0 means none on that side.
    virtual void setNearest(std::uint64_t below, std::uint64_t above) = 0;
};

// A stack of at most Capacity entries stored inline, so that pointers to its
// entries stay valid while they are on the stack and nothing is ever
// allocated. Overflowing or popping an empty stack is a logic error.
template<typename T, std::size_t Capacity>
class FixedStack {
public:
    void clear() { m_size = 0; }
    bool empty() const { return m_size == 0; }
    std::size_t size() const { return m_size; }
    static constexpr std::size_t capacity() { return Capacity; }

    T& push(const T& entry)
    {
        assert(m_size < Capacity);
        m_entries[m_size] = entry;
        return m_entries[m_size++];
    }
    T pop()
    {
        assert(m_size > 0);
        return m_entries[--m_size];
    }
    void pushTwo(const T& lower, const T& upper)
    {
        assert(m_size + 2 <= Capacity);
        m_entries[m_size] = lower;
        m_entries[m_size + 1] = upper;
        m_size += 2;
    }
    // Removes the two top entries; `upper` is the one that was on top.
    void popTwo(T& lower, T& upper)
    {
        assert(m_size >= 2);
        m_size -= 2;
        lower = m_entries[m_size];
        upper = m_entries[m_size + 1];
    }

    T& top()
    {
        assert(m_size > 0);
        return m_entries[m_size - 1];
    }
    const T& top() const
    {
        assert(m_size > 0);
        return m_entries[m_size - 1];
    }
    const T& bottom() const
    {
        assert(m_size > 0);
        return m_entries[0];
    }
    T& operator[](std::size_t index)
    {
        assert(index < m_size);
        return m_entries[index];
    }
    const T& operator[](std::size_t index) const
    {
        assert(index < m_size);
        return m_entries[index];
    }
    std::span<T> entries() { return { m_entries.data(), m_size }; }
    const T* begin() const { return m_entries.data(); }
    const T* end() const { return m_entries.data() + m_size; }

private:
    std::array<T, Capacity> m_entries {};
    std::size_t m_size { 0 };
};

class Puzzle {
public:
    // Codes 0 to 5 name an entry of `distinct`; the operators follow. The
    // numeric order is also the order in which the search tries elements.
    enum ELCODE : std::int32_t {
        ADD = 6,
        SUBTRACT = 7,
        MULTIPLY = 8,
        DIVIDE = 9,
    };
    static constexpr std::int32_t codeCount = 10;

    enum ELTYPE : std::int32_t {
        NUMBER = 0,
        ADDITIVE = 1,
        MULTIPLICATIVE = 2,
    };

    // One distinct input value and how many of the six numbers carry it.
    struct Number {
        std::uint32_t value { 0 };
        std::int32_t count { 1 };
        std::int32_t used { 0 };
    };

    // One entry of the postfix expression. Operands point into `elements`.
    struct Element {
        ELCODE code { static_cast<ELCODE>(0) };
        ELTYPE type { NUMBER };
        std::uint64_t value { 0 };
        const Element* left { nullptr };
        const Element* right { nullptr };
    };

    using ElementStack = FixedStack<Element, 20>;
    using OperandStack = FixedStack<const Element*, 10>;
    using DistinctList = FixedStack<Number, 6>;

    Puzzle() = default;
    Puzzle(const Puzzle&) = delete;
    Puzzle& operator=(const Puzzle&) = delete;

    // Runs the whole search for `numbers` and `target` (all positive).
    virtual void solve(View& view);
    // Appends one element; false, with nothing changed, when it is refused.
    virtual bool pushElement(ELCODE code);
    // Removes the last element, undoing its effect on the stacks and counts.
    virtual Element popElement();
    // Reports the expression in `elements` if it is complete and near enough.
    virtual void checkResult(View& view);
    // Renders the complete expression in `elements` as "infix = value".
    virtual std::string formatSolution();

    virtual ~Puzzle() = default;

    // Safe from any thread; the running search ends after its current step.
    void requestStop() { stopRequested.store(true, std::memory_order_relaxed); }

    static constexpr ELTYPE typeOf(std::int32_t code)
    {
        return code < ADD ? NUMBER : code < MULTIPLY ? ADDITIVE : MULTIPLICATIVE;
    }

    std::uint32_t target { 0 };
    std::array<std::uint32_t, 6> numbers {};

protected:
    std::atomic<bool> stopRequested { false };
    std::uint64_t bestDistance { 0 };
    std::uint64_t nearestBelow { 0 };
    std::uint64_t nearestAbove { 0 };
    ElementStack elements;
    OperandStack operands;
    DistinctList distinct;

private:
    class DirectSearch;
    void runSearchSteps(View& view);
};

}
