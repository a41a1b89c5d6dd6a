// vtconsole's commands for pipelines and operators: status and up. Never asks anything; messages
// go to the error stream, results to the output stream (with --json one JSON object only).
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "console/consoleapp.h"
#include "console/pipelineargs.h"
#include "runner/pluginlibrary.h"
#include "runner/runreport.h"

namespace vt::console {

class PipelineApp final {
public:
    // out receives results, err messages; both in the terminal's charset. Within a long script
    // up tells the command reached at most once per progressInterval.
    PipelineApp(std::ostream& out, std::ostream& err, ConsoleEnvironment environment,
                std::chrono::milliseconds progressInterval = std::chrono::seconds(10));

    // Runs status or up with the arguments after the program name; returns the exit code.
    int run(const std::vector<std::string>& args);

private:
    int runCommand(const PipelineArgs& args);
    void printStatus(const runner::RunReport& report);
    void printPending(const runner::ScriptReport& script);
    void printUp(const runner::RunReport& report);
    // Ends with the report: JSON or text on the output stream, the error on the error stream.
    int finish(const PipelineArgs& args, const runner::RunReport& report);
    void message(const std::string& ansiText);
    void result(const std::string& ansiText);

    std::ostream& m_out;
    std::ostream& m_err;
    ConsoleEnvironment m_env;
    std::chrono::milliseconds m_progressInterval;
    runner::PluginLibrary m_plugin;
};

} // namespace vt::console
