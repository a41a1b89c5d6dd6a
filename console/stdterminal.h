// The process's own terminal: standard output and input, ANSI colours, raw keys on a terminal.
#pragma once

#include <memory>
#include <string>

#include "console/terminal.h"

namespace vt::console {

// Standard input and output of the process. Colours are ANSI escape sequences, sent only when
// enabled (the caller decides: output is a terminal and NO_COLOR is not set). While the input
// mode is Secret or Keys on a terminal, the terminal's settings are changed; they are restored
// when the mode returns to Line, when the object goes, and when an interrupt ends the process.
class StdTerminal final : public Terminal {
public:
    StdTerminal(int inputFd, int outputFd, bool colours);
    ~StdTerminal() override;
    StdTerminal(const StdTerminal&) = delete;
    StdTerminal& operator=(const StdTerminal&) = delete;

    // True when colours should be used for this output: it is a terminal and NO_COLOR is unset.
    static bool coloursWanted(int outputFd);

    void write(std::string_view bytes) override;
    void setColour(Colour colour) override;
    void setInputMode(InputMode mode) override;
    std::optional<std::string> readLine() override;
    std::optional<char> readKey(std::string_view allowed) override;
    bool inputIsTerminal() const override { return m_inputIsTty; }

private:
    // Reads more input into the buffer; false at the end of input or on an error.
    bool fill();

    class ModeGuard;

    int m_in;
    int m_out;
    bool m_colours;
    bool m_colourChanged = false;
    bool m_inputIsTty;
    InputMode m_mode = InputMode::Line;
    std::unique_ptr<ModeGuard> m_guard;
    std::string m_buffer;
};

} // namespace vt::console
