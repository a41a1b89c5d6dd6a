// A terminal held in memory: scripted input lines and recorded output, for tests.
#pragma once

#include <deque>
#include <string>

#include "console/terminal.h"

namespace vt::console {

class MemoryTerminal final : public Terminal {
public:
    // input holds the lines to answer with, each ended by '\n' (a last line may lack it).
    explicit MemoryTerminal(std::string input = {});

    void write(std::string_view bytes) override;
    void setColour(Colour colour) override;
    std::optional<std::string> readLine() override;
    void setInputMode(InputMode mode) override { m_mode = mode; }
    std::optional<char> readKey(std::string_view allowed) override;
    bool inputIsTerminal() const override { return false; }

    // Everything written; colour changes appear as "{N}" with the colour number when
    // recordColours is on.
    const std::string& output() const { return m_output; }
    void setRecordColours(bool on) { m_recordColours = on; }
    InputMode inputMode() const { return m_mode; }
    // Lines not read yet.
    std::size_t pendingLines() const { return m_lines.size(); }

private:
    std::deque<std::string> m_lines;
    std::string m_output;
    bool m_recordColours = false;
    InputMode m_mode = InputMode::Line;
};

} // namespace vt::console
