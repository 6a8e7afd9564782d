// The saved-state stack of DCState.
#include <wivel/dc.h>
#include <wivel/except.h>
#include <wivel/gdiobject.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using wivel::DCState;

std::vector<std::int32_t> savedIndices(const DCState& state)
{
    std::vector<std::int32_t> indices;
    for (const DCState::State& s : state.saved())
        indices.push_back(s.index);
    return indices;
}

TEST(DCState, StartsEmpty)
{
    const DCState state;
    EXPECT_EQ(state.current().index, 0);
    EXPECT_EQ(state.current().font, nullptr);
    EXPECT_EQ(state.current().brush, nullptr);
    EXPECT_EQ(state.current().pen, nullptr);
    EXPECT_EQ(state.current().bitmap, nullptr);
    EXPECT_TRUE(state.saved().empty());
}

TEST(DCState, Restores)
{
    struct Case {
        const char* name;
        std::vector<std::int32_t> pushes;
        bool relative;
        std::int32_t argument;
        std::int32_t currentIndex;
        std::vector<std::int32_t> saved;
    };
    const std::vector<Case> cases {
        { "pop one", { 1, 2 }, true, 1, 2, { 1 } },
        { "pop two", { 1, 2, 3 }, true, 2, 2, { 1 } },
        { "pop all", { 1, 2 }, true, 2, 1, {} },
        { "restore oldest", { 1, 2 }, false, 1, 1, {} },
        { "restore middle", { 1, 2, 3 }, false, 2, 2, { 1 } },
        { "restore newest", { 1, 2, 3 }, false, 3, 3, { 1, 2 } },
        { "restore first of equal indices", { 4, 7, 4 }, false, 4, 4, {} },
        { "restore unknown", { 1, 2 }, false, 9, 2, { 1, 2 } },
    };
    for (const Case& c : cases) {
        DCState state;
        for (const std::int32_t n : c.pushes)
            state.pushState(n);
        if (c.relative)
            state.popStates(static_cast<std::size_t>(c.argument));
        else
            state.restoreState(c.argument);
        EXPECT_EQ(state.current().index, c.currentIndex) << c.name;
        EXPECT_EQ(savedIndices(state), c.saved) << c.name;
    }
}

TEST(DCState, PoppingMoreThanSavedIsARangeError)
{
    DCState state;
    state.pushState(1);
    EXPECT_THROW(state.popStates(2), wivel::RangeError);
    EXPECT_EQ(savedIndices(state), std::vector<std::int32_t> { 1 }) << "a refused pop changes nothing";
    EXPECT_THROW(state.popStates(0), wivel::AssertionFailure);
}

// Saved states keep what they recorded: an object replaced in the current
// state stays alive in the saved one and comes back with the restore.
TEST(DCState, RecordedObjectsComeBackWithTheirState)
{
    const auto font = [](int stockIndex) {
        return std::make_shared<wivel::Font>(static_cast<HFONT>(GetStockObject(stockIndex)), false);
    };
    for (const bool relative : { true, false }) {
        DCState state;
        state.current().font = font(SYSTEM_FONT);
        const std::weak_ptr<wivel::Font> recorded = state.current().font;
        state.pushState(1);
        state.current().font = font(DEFAULT_GUI_FONT);
        EXPECT_FALSE(recorded.expired()) << "the saved state keeps it alive";
        state.pushState(2);
        state.current().font = font(ANSI_VAR_FONT);
        if (relative)
            state.popStates(2);
        else
            state.restoreState(1);
        EXPECT_EQ(state.current().font, recorded.lock()) << (relative ? "pop" : "restore");
        EXPECT_TRUE(state.saved().empty());
    }
}

}
