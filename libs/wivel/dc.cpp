// The saved-state stack of DCState and the exception of state handling.
#include "dc.h"

#include <algorithm>

namespace wivel {

DCException::DCException(const std::string& message)
    : WivelException(message)
{
}

void DCState::pushState(std::int32_t n)
{
    m_current.index = n;
    m_saved.push_back(m_current);
}

void DCState::popStates(std::size_t k)
{
    require(k > 0, "a relative restore goes back at least one state");
    requireInRange(k <= m_saved.size(), "a relative restore goes back no further than the saved states");
    const std::size_t position = m_saved.size() - k;
    m_current = std::move(m_saved[position]);
    m_saved.resize(position);
}

void DCState::restoreState(std::int32_t n)
{
    const auto found = std::find_if(m_saved.begin(), m_saved.end(), [n](const State& s) { return s.index == n; });
    if (found == m_saved.end())
        return;
    m_current = std::move(*found);
    m_saved.erase(found, m_saved.end());
}

}
