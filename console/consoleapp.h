// The console runner vtconsole: banner, commands, usage, plug-in registry, loading and ending.
#pragma once

#include <optional>
#include <string>

#include "console/commandline.h"
#include "console/consolewriter.h"
#include "console/terminal.h"
#include "runner/pluginlibrary.h"

namespace vt::console {

// What a run takes from the process besides its arguments.
struct ConsoleEnvironment {
    std::string programPath;             // shown on the banner's first line
    std::string configFile;              // vtconsole.ini with the plug-in registry
    std::optional<std::string> password; // VT_PASSWORD, when set

    // The values of the running process: its path, the settings folder and its environment.
    static ConsoleEnvironment fromProcess();
};

// One start of the console runner.
class ConsoleApp final {
public:
    ConsoleApp(Terminal& terminal, ConsoleEnvironment environment);

    // Runs the command of the command line and returns the exit code (the plug-in's negative
    // codes included).
    int run(const CommandLine& args);

private:
    void banner();
    int usage();
    int registerPlugin(const CommandLine& args);
    int runScript(const CommandLine& args);
    // The ending routine: message, piDone, the wait for Enter, unloading; returns the code.
    int finish(const std::string& message, int code);

    ConsoleWriter m_out;
    ConsoleEnvironment m_env;
    runner::PluginLibrary m_plugin;
    bool m_silent = false;
};

// Loads the plug-in registered under alias in the configuration file (vtutils.so when there is
// no alias or no entry) and binds the functions needed from the start: GetLastVTErrorMessage,
// GetLastVTError, MakeSQLCommand and piDone. Returns "" when done, else the failure's text.
std::string loadRegisteredPlugin(runner::PluginLibrary& plugin, const std::string& configFile,
                                 const std::optional<std::string>& alias);

} // namespace vt::console
