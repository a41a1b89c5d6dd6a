// The commands of a run that share one transaction of the plug-in, and when they commit.
#pragma once

#include <chrono>
#include <functional>

namespace vt::plugin {

// Bookkeeping of one group of commands run in one transaction, each under its own savepoint: the
// run's counts from before its first command, how many it holds, and its bounds.
// The group is due to commit once it holds kMaxCommands commands or its first command started
// kMaxAge ago, whichever comes first. Knows no database.
class CommitGroup final {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr int kMaxCommands = 1000;
    static constexpr std::chrono::milliseconds kMaxAge{200};

    explicit CommitGroup(Clock clock = &std::chrono::steady_clock::now);

    // Opens the group before its first command: the command's number and the commands the run
    // still had to run before it.
    void start(int firstCommand, int remainingBefore);
    // Closes the group (committed or given up).
    void clear() { m_open = false; }

    bool open() const { return m_open; }
    // A command of the group has taken effect.
    void add() { ++m_commands; }
    // Whether the group has reached its size or age bound.
    bool due() const;

    int firstCommand() const { return m_firstCommand; }
    int remainingBefore() const { return m_remainingBefore; }
    int commands() const { return m_commands; }

private:
    Clock m_clock;
    bool m_open = false;
    int m_firstCommand = 0;
    int m_remainingBefore = 0;
    int m_commands = 0;
    std::chrono::steady_clock::time_point m_started;
};

} // namespace vt::plugin
