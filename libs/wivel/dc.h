// Device-context bookkeeping of the framework. DCState records which font,
// brush, pen and bitmap are selected into a device context and mirrors the
// platform's stack of saved states, so that a restore brings the recorded
// objects back together with the platform's own selections. It shares the
// recorded objects: one stays alive at least as long as any state records it.
#pragma once

#include "except.h"
#include "object.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wivel {

class Font;
class Brush;
class Pen;
class Bitmap;

// Thrown by device-context state handling, for instance when asked to
// restore a state that was never saved.
class DCException : public WivelException {
public:
    explicit DCException(const std::string& message);
};

class DCState : public Object {
public:
    struct State {
        // What SaveDC returned when this state was saved; 0 in the current
        // state until the first save.
        std::int32_t index = 0;
        std::shared_ptr<Font> font;
        std::shared_ptr<Brush> brush;
        std::shared_ptr<Pen> pen;
        std::shared_ptr<Bitmap> bitmap;
    };

    DCState() = default;

    State& current() { return m_current; }
    const State& current() const { return m_current; }
    // Oldest first.
    const std::vector<State>& saved() const { return m_saved; }

    // After a save that returned n.
    void pushState(std::int32_t n);
    // After a restore to -k: the k-th most recent saved state becomes current
    // and it and every later one are dropped. Fewer than k saved states is a
    // range error.
    void popStates(std::size_t k);
    // After a restore to n: the oldest saved state with that index becomes
    // current and it and every later one are dropped; no such state, no change.
    void restoreState(std::int32_t n);

private:
    State m_current;
    std::vector<State> m_saved;
};

}
