// Questions of the console runner: switch values with prompts, typed lines, secrets and keys.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "console/commandline.h"
#include "console/consolewriter.h"

namespace vt::console {

// Asks the user through the writer's terminal. Answers are returned as typed (terminal charset);
// the end of input answers a line prompt with an empty line and a key prompt with its default.
class Prompter final {
public:
    // password is the value of VT_PASSWORD when it is set.
    Prompter(ConsoleWriter& out, const CommandLine& args, bool silent,
             std::optional<std::string> password);

    // A switch's value: from the command line when given; else empty in silent mode; else the
    // prompt (ANSI code page) is written and a typed line is the value.
    std::string switchValue(std::string_view name, std::string_view prompt);

    // The password: -pass when given; else VT_PASSWORD when set; else empty in silent mode; else
    // typed after the prompt, not shown on a terminal.
    std::string passwordValue(std::string_view prompt);

    // Writes the prompt (ANSI code page) and returns the typed line.
    std::string line(std::string_view prompt);

    // Writes the prompt and waits for a key of the allowed set (capitals only); the end of input
    // gives atEnd. Input typed before the prompt is discarded on a terminal. The answer is
    // written, followed by a line end.
    char key(std::string_view prompt, std::string_view allowed, char atEnd);

    bool silent() const { return m_silent; }

private:
    std::string ask(std::string_view prompt, InputMode mode);

    ConsoleWriter& m_out;
    const CommandLine& m_args;
    bool m_silent;
    std::optional<std::string> m_password;
};

} // namespace vt::console
