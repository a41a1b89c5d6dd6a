// Runs a program with pipes or on a pseudo-terminal: input, captured output, exit code, time limit.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vt::console::testing {

struct ProcessResult {
    int exitCode = -1;     // the exit status (0..255), or -1 when killed
    bool timedOut = false; // killed after the time limit
    std::string output;    // standard output (on a pseudo-terminal: everything the screen shows)
    std::string errors;    // standard error (empty on a pseudo-terminal)
    std::size_t stepsDone = 0;
};

// How the program is started.
struct ProcessLaunch {
    std::string program;
    std::vector<std::string> args;
    std::map<std::string, std::string> env; // added or replaced variables
    std::vector<std::string> unset;         // removed variables
    int timeoutSeconds = 120;
};

// One exchange of a conversation: wait until the output after the previous step holds expect,
// then run action (when set), then type send.
struct Step {
    std::string expect;
    std::string send;
    std::function<void()> action = {};
};

// Runs the program with pipes; input is fed to standard input, which is then closed.
ProcessResult runProcess(const ProcessLaunch& launch, const std::string& input = {});

// Runs the program and holds a conversation with it, with pipes or on a pseudo-terminal. After
// the last step standard input is closed (pipes) or left open (terminal).
ProcessResult runConversation(const ProcessLaunch& launch, const std::vector<Step>& steps,
                              bool onTerminal);

} // namespace vt::console::testing
