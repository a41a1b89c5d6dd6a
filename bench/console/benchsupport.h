// Helpers of the console benchmarks: timing work and checking the programs they run.
#pragma once

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "console/testsupport/processrunner.h"

namespace vt::console::bench {

// Seconds the work takes.
inline double timed(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Throws when the program timed out or failed, with the end of its output.
inline void check(const testing::ProcessResult& r, const std::string& what) {
    if (r.timedOut || r.exitCode != 0)
        throw std::runtime_error(
            what + " failed (exit " + std::to_string(r.exitCode) + "):\n" +
            r.output.substr(r.output.size() > 2000 ? r.output.size() - 2000 : 0) + r.errors);
}

} // namespace vt::console::bench
