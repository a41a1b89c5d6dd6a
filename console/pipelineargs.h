// The command lines of vtconsole's status and up commands: strict, for pipelines.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vt::console {

// What status and up take from their command line (values as typed, terminal charset).
struct PipelineArgs {
    std::string command;            // "status" or "up"
    std::vector<std::string> paths; // scripts (status, up) or folders of scripts (up)
    std::optional<std::string> alias;
    std::optional<std::string> dbname;
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::optional<std::string> pluginAlias;     // -p
    std::optional<std::string> aliasConfigFile; // -file
    bool json = false;
    bool init = false; // up only

    // Parses the arguments after the program name; the first is the command. Switches start
    // with "-" or "--" and are matched without regard to letter case; every other argument is
    // a path. Throws UsageError for an unknown switch, a switch without its value, --init for
    // status, no path, or not exactly one of -alias and -dbname.
    static PipelineArgs parse(const std::vector<std::string>& args);
};

// A command line that status or up cannot take; what() says what is wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True for the commands that PipelineArgs serves.
bool isPipelineCommand(const std::string& command);

} // namespace vt::console
