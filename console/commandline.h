// The console's command line: the command, the file name argument and the switches.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::console {

// The arguments after the program name. Switches start with '-' or '/'; their names are matched
// without regard to letter case.
class CommandLine final {
public:
    explicit CommandLine(std::vector<std::string> args);
    CommandLine(int argc, const char* const* argv);

    // The first argument in small letters ("" when there is none).
    std::string command() const;
    // The second argument ("" when there is none).
    std::string secondArgument() const;

    // True when some argument is the switch character followed by the name.
    bool hasSwitch(std::string_view name) const;

    // The value of a switch: the second argument when the first argument is the name itself;
    // else, when the switch is present, the argument after its first occurrence ("" when it is
    // the last argument); else nullopt.
    std::optional<std::string> switchValue(std::string_view name) const;

    const std::vector<std::string>& arguments() const { return m_args; }

private:
    std::vector<std::string> m_args;
};

} // namespace vt::console
