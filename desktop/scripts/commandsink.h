// CommandSink: where the SQL splitter hands the commands it finds, line by line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vt::desktop {

// Receives commands as they are found: addLine() gives the next line of the current command (the
// first line starts a command), endCommand() closes it. A command always has at least one line.
class CommandSink {
public:
    virtual ~CommandSink() = default;
    virtual void addLine(std::string_view line) = 0;
    virtual void endCommand() = 0;
};

// Keeps the commands in memory (for tests and small texts).
class CommandList final : public CommandSink {
public:
    void addLine(std::string_view line) override {
        if (!m_open)
            m_commands.emplace_back();
        m_open = true;
        m_commands.back().emplace_back(line);
    }
    void endCommand() override { m_open = false; }

    const std::vector<std::vector<std::string>>& commands() const { return m_commands; }
    std::vector<std::vector<std::string>> take() { return std::move(m_commands); }

private:
    std::vector<std::vector<std::string>> m_commands;
    bool m_open = false;
};

} // namespace vt::desktop
