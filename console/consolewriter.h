// Text output of the console runner: code page conversion, colours, column tracking, markers.
#pragma once

#include <string>
#include <string_view>

#include "console/terminal.h"

namespace vt::console {

// Writes the runner's texts to a terminal. Text given in the ANSI code page is converted to the
// terminal's charset; raw text is written as it is. The writer tracks the column of the cursor
// from what it wrote, which places the OK and FAILED markers.
class ConsoleWriter final {
public:
    static constexpr int kMarkerColumn = 60;

    explicit ConsoleWriter(Terminal& terminal);

    // Writes ANSI code page text, converted to the terminal's charset.
    void write(std::string_view ansiText);
    // Writes bytes as they are (program path, banner, header values).
    void writeRaw(std::string_view bytes);
    // Writes ANSI text followed by a line end.
    void line(std::string_view ansiText = {});
    // Writes ANSI text in a colour, then returns to the colour in force before.
    void writeColoured(Colour colour, std::string_view ansiText);
    // Writes the OK (true) or FAILED marker at the marker column, followed by a line end.
    void marker(bool ok);

    // The current column (0 at the start of a line), as far as the writer's own output goes.
    int column() const { return m_column; }
    // Notes that the terminal moved to a new line by itself (an echoed Enter).
    void noteLineEnd() { m_column = 0; }

    Terminal& terminal() { return m_terminal; }

private:
    void track(std::string_view terminalBytes);

    Terminal& m_terminal;
    Colour m_colour = Colour::Default;
    int m_column = 0;
    bool m_utf8;
};

} // namespace vt::console
