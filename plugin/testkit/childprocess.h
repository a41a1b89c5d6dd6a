// Running the helper vtutils_run as a child process, optionally killing it after a delay.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace vt::plugin::testkit {

// How a child run ended.
struct ChildRun {
    bool killed = false; // ended by SIGKILL
    int exitCode = -1;   // the exit code when it exited
    std::string output;  // what it wrote to its standard output
};

// The helper program vtutils_run, beside the running test.
std::string helperFile();

// Runs a program (args[0], with args) in the current environment; with killAfter it gets SIGKILL
// after that time unless it ended before. Throws std::runtime_error when it cannot start.
ChildRun runChild(const std::vector<std::string>& args,
                  std::optional<std::chrono::microseconds> killAfter = std::nullopt);

} // namespace vt::plugin::testkit
