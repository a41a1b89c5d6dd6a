// Questions of the console runner: switch values with prompts, typed lines, secrets and keys.
#include "console/prompter.h"

namespace vt::console {
namespace {

// Sets an input mode for a scope and returns to line input afterwards.
class ModeScope {
public:
    ModeScope(Terminal& terminal, InputMode mode) : m_terminal(terminal) {
        m_terminal.setInputMode(mode);
    }
    ~ModeScope() { m_terminal.setInputMode(InputMode::Line); }
    ModeScope(const ModeScope&) = delete;
    ModeScope& operator=(const ModeScope&) = delete;

private:
    Terminal& m_terminal;
};

} // namespace

Prompter::Prompter(ConsoleWriter& out, const CommandLine& args, bool silent,
                   std::optional<std::string> password)
    : m_out(out), m_args(args), m_silent(silent), m_password(std::move(password)) {}

std::string Prompter::switchValue(std::string_view name, std::string_view prompt) {
    if (auto value = m_args.switchValue(name))
        return *value;
    if (m_silent)
        return {};
    return line(prompt);
}

std::string Prompter::passwordValue(std::string_view prompt) {
    if (auto value = m_args.switchValue("pass"))
        return *value;
    if (m_password)
        return *m_password;
    if (m_silent)
        return {};
    return ask(prompt, InputMode::Secret);
}

std::string Prompter::line(std::string_view prompt) {
    return ask(prompt, InputMode::Line);
}

std::string Prompter::ask(std::string_view prompt, InputMode mode) {
    Terminal& terminal = m_out.terminal();
    std::optional<std::string> answer;
    {
        ModeScope scope(terminal, mode);
        m_out.write(prompt);
        answer = terminal.readLine();
    }
    // A terminal shows the Enter that ends a visible line; otherwise the line end is written
    // here, so that what follows starts on a line of its own.
    if (terminal.inputIsTerminal() && answer && mode == InputMode::Line)
        m_out.noteLineEnd();
    else
        m_out.writeRaw("\n");
    return answer.value_or(std::string());
}

char Prompter::key(std::string_view prompt, std::string_view allowed, char atEnd) {
    Terminal& terminal = m_out.terminal();
    std::optional<char> answer;
    {
        ModeScope scope(terminal, InputMode::Keys);
        m_out.write(prompt);
        answer = terminal.readKey(allowed);
    }
    m_out.writeRaw(std::string(1, answer.value_or(atEnd)));
    m_out.writeRaw("\n");
    return answer.value_or(atEnd);
}

} // namespace vt::console
