// The commands of a run that share one transaction of the plug-in, and when they commit.
#include "plugin/commitgroup.h"

#include <utility>

namespace vt::plugin {

CommitGroup::CommitGroup(Clock clock) : m_clock(std::move(clock)) {}

void CommitGroup::start(int firstCommand, int remainingBefore) {
    m_open = true;
    m_firstCommand = firstCommand;
    m_remainingBefore = remainingBefore;
    m_commands = 0;
    m_started = m_clock();
}

bool CommitGroup::due() const {
    return m_open && (m_commands >= kMaxCommands || m_clock() - m_started >= kMaxAge);
}

} // namespace vt::plugin
