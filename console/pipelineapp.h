// vtconsole's commands for pipelines and operators: status and up. Never asks anything; messages
// go to the error stream, results to the output stream (with --json one JSON object only).
#pragma once

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
    // out receives results, err messages; both in the terminal's charset.
    PipelineApp(std::ostream& out, std::ostream& err, ConsoleEnvironment environment);

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
    runner::PluginLibrary m_plugin;
};

} // namespace vt::console
