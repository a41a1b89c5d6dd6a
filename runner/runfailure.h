// A failure of a script run: what kind of failure, at which plug-in call, with which text.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "runner/pluginlibrary.h"

namespace vt::runner {

// Kinds of failure a runner tells apart. The first eight follow the plug-in's VtErrorCause.
enum class FailureCause {
    Script,          // the script is damaged, unreadable or of an unsupported version
    Connect,         // cannot connect or log in, or the connection was lost
    LockTimeout,     // another run held the database's run lock past the wait limit
    Version,         // refused by the version check (also: a chain the scripts cannot form)
    Applied,         // the script's version is already recorded in the database
    Concurrent,      // another run changed the progress record during this run
    Command,         // a command of the script failed
    Other,           // anything else the plug-in reports
    MissingFunction, // the plug-in lacks a function the run needs
};

// The name of a cause as reports show it ("connect", "lock-timeout", ...).
const char* causeName(FailureCause cause);

// The cause of a plug-in failure: the plug-in's own VtErrorCause when it offers one (reported),
// else derived from the function that failed.
FailureCause causeOf(std::optional<int> reported, PluginFunction failed);

// Thrown by the run workflow. what() is the failure's text in the ANSI code page.
class RunFailure : public std::runtime_error {
public:
    // A failure of a plug-in function (or a function the plug-in lacks).
    RunFailure(FailureCause cause, std::string text, PluginFunction function, int pluginCode);
    // A failure the runner finds itself, before or between the plug-in's calls.
    RunFailure(FailureCause cause, std::string text);

    FailureCause cause() const { return m_cause; }
    // The plug-in function that failed (or that is missing); nullopt for the runner's own.
    std::optional<PluginFunction> function() const { return m_function; }
    // The plug-in's error code (GetLastVTError, or the function's result when that is 0); 1 for
    // failures found by the runner itself.
    int pluginCode() const { return m_pluginCode; }

private:
    FailureCause m_cause;
    std::optional<PluginFunction> m_function;
    int m_pluginCode;
};

} // namespace vt::runner
