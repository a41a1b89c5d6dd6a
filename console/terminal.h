// The console runner's view of its terminal: byte output, colours, line, secret and key input.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vt::console {

// How typed input is read: lines shown as typed, lines not shown, or single keys.
enum class InputMode { Line, Secret, Keys };

// The text colours the runner uses, by their console colour numbers.
enum class Colour { Default = 7, BrightGreen = 10, BrightRed = 12, BrightWhite = 15 };

// Input and output of one run. Output is in the terminal's charset already; input lines are
// returned as typed (terminal charset), without their line end.
class Terminal {
public:
    virtual ~Terminal() = default;

    // Writes bytes as they are.
    virtual void write(std::string_view bytes) = 0;

    // Switches the text colour; does nothing where colours are off.
    virtual void setColour(Colour colour) = 0;

    // Switches how input is read from now on. A prompt switches before it is written, so that
    // nothing typed after it appears is shown or lost. On a terminal, Secret turns echo off and
    // Keys discards pending input and reads single keys; elsewhere the mode changes nothing.
    virtual void setInputMode(InputMode mode) = 0;

    // Reads one line; nullopt at the end of input.
    virtual std::optional<std::string> readLine() = 0;

    // Waits for a character of the allowed set and returns it; nullopt at the end of input. In
    // Keys mode on a terminal single keys are read; otherwise whole lines are read and the first
    // line whose first character is allowed answers.
    virtual std::optional<char> readKey(std::string_view allowed) = 0;

    // True when input comes from a terminal, which echoes what is typed.
    virtual bool inputIsTerminal() const = 0;
};

} // namespace vt::console
