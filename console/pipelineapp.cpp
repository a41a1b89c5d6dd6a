// vtconsole's commands for pipelines and operators: status and up. Never asks anything; messages
// go to the error stream, results to the output stream (with --json one JSON object only).
#include "console/pipelineapp.h"

#include <chrono>
#include <filesystem>

#include "console/consoletexts.h"
#include "platform/codepage.h"
#include "runner/chainupdate.h"
#include "runner/runnertexts.h"
#include "runner/statuscheck.h"

namespace vt::console {

using texts::fill;

namespace {

// The file name of a path, in the ANSI code page like the texts it is shown in.
std::string fileName(const std::string& path) {
    return platform::utf8ToAnsi(std::filesystem::path(path).filename().string());
}

std::string versionText(const std::string& version) {
    return version.empty() ? std::string(texts::kNoVersion) : version;
}

// Tells the error stream what up is doing: each script as it starts, and within a long script
// the command reached, at most once per interval.
class UpMessages final : public runner::ChainProgress {
public:
    using Clock = std::chrono::steady_clock;

    UpMessages(std::ostream& err, Clock::duration interval) : m_err(err), m_interval(interval) {}
    void scriptStarting(const runner::ChainScript& script, int first, int last) override {
        const script::RsqlHeader& h = script.header;
        m_err << platform::ansiToTerminal(fill(texts::kUpApplying, fileName(script.path),
                                               versionText(h.oldVersion), h.newVersion, first,
                                               last))
              << std::endl;
        m_lastCommand = last;
        m_noted = Clock::now();
    }
    void commandStarting(int, const std::string&) override {}
    void commandSucceeded(int n) override {
        if (Clock::now() - m_noted < m_interval)
            return;
        m_err << fill(texts::kUpCommandDone, n, m_lastCommand) << std::endl;
        m_noted = Clock::now();
    }

private:
    std::ostream& m_err;
    Clock::duration m_interval;
    Clock::time_point m_noted;
    int m_lastCommand = 0;
};

} // namespace

PipelineApp::PipelineApp(std::ostream& out, std::ostream& err, ConsoleEnvironment environment,
                         std::chrono::milliseconds progressInterval)
    : m_out(out), m_err(err), m_env(std::move(environment)), m_progressInterval(progressInterval) {}

int PipelineApp::run(const std::vector<std::string>& args) {
    PipelineArgs parsed;
    try {
        parsed = PipelineArgs::parse(args);
    } catch (const UsageError& e) {
        m_err << e.what() << "\n\n" << texts::kPipelineUsage;
        return runner::kExitUsage;
    }
    // The workflows close every script they open (piDone) before they return.
    return runCommand(parsed);
}

int PipelineApp::runCommand(const PipelineArgs& args) {
    runner::RunTarget target;
    if (args.dbname) {
        target.displayName = platform::terminalToAnsi(*args.dbname);
        target.database = std::string(texts::kDbNamePrefix) + target.displayName;
    } else {
        target.database = target.displayName = platform::terminalToAnsi(*args.alias);
    }
    target.user = platform::terminalToAnsi(args.user.value_or(""));
    if (args.password)
        target.password = platform::terminalToAnsi(*args.password);
    else if (m_env.password)
        target.password = platform::terminalToAnsi(*m_env.password);
    target.aliasConfigFile = args.aliasConfigFile.value_or(std::string(texts::kDefaultAliasConfig));

    if (std::string problem = loadRegisteredPlugin(m_plugin, m_env.configFile, args.pluginAlias);
        !problem.empty()) {
        runner::RunReport report;
        report.command = args.command;
        report.database = target.displayName;
        report.fail(runner::RunFailure(runner::FailureCause::Other, problem));
        return finish(args, report);
    }
    if (args.command == texts::kStatusCommand)
        return finish(args, runner::StatusCheck(m_plugin, target).run(args.paths));
    UpMessages messages(m_err, m_progressInterval);
    return finish(args, runner::ChainUpdate(m_plugin, target, args.init, messages).run(args.paths));
}

int PipelineApp::finish(const PipelineArgs& args, const runner::RunReport& report) {
    if (report.error) {
        std::string text = std::string(texts::kErrorLabel) + report.error->text;
        if (!report.error->script.empty())
            text += " (" + fileName(report.error->script) + ")";
        message(text);
    }
    if (args.json) {
        m_out << runner::toJson(report).dump(2, ' ', false,
                                             nlohmann::json::error_handler_t::replace)
              << std::endl;
    } else if (args.command == texts::kStatusCommand) {
        printStatus(report);
    } else {
        printUp(report);
    }
    return report.exitCode();
}

void PipelineApp::message(const std::string& ansiText) {
    m_err << platform::ansiToTerminal(ansiText) << std::endl;
}

void PipelineApp::result(const std::string& ansiText) {
    m_out << platform::ansiToTerminal(ansiText) << "\n";
}

void PipelineApp::printPending(const runner::ScriptReport& script) {
    for (std::size_t i = 0; i < script.pendingLines.size(); ++i)
        result(
            fill(texts::kPendingLine, script.first + static_cast<int>(i), script.pendingLines[i]));
}

void PipelineApp::printStatus(const runner::RunReport& report) {
    if (!report.versionTable)
        result(fill(texts::kStatusNoTable, report.database));
    else if (!report.error || !report.code.empty() || !report.versionBefore.empty())
        result(fill(texts::kStatusDatabase, report.database, versionText(report.code),
                    versionText(report.versionBefore)));
    for (const runner::ScriptReport& s : report.scripts) {
        if (s.verdict == runner::Verdict::WouldResume)
            result(fill(texts::kStatusInterrupted, fileName(s.path), s.last - s.first + 1));
    }
    for (const runner::ScriptReport& s : report.scripts) {
        const script::RsqlHeader& h = s.header;
        result(fill(texts::kScriptLine, fileName(s.path), h.code, versionText(h.oldVersion),
                    versionText(h.newVersion), h.commands));
        switch (s.verdict) {
        case runner::Verdict::WouldRun:
        case runner::Verdict::WouldResume:
            if (s.last < s.first)
                result(std::string(texts::kNothingToRun));
            else if (s.verdict == runner::Verdict::WouldResume)
                result(fill(texts::kWouldResume, s.first, s.first, s.last));
            else
                result(fill(s.createsVersionTable ? texts::kWouldRunCreating : texts::kWouldRun,
                            s.first, s.last));
            printPending(s);
            break;
        case runner::Verdict::Applied:
            result(std::string(texts::kAlreadyApplied));
            break;
        case runner::Verdict::WouldFollow:
            result(std::string(texts::kWouldFollow));
            printPending(s);
            break;
        case runner::Verdict::Refused:
            result(fill(texts::kRefused, s.reason));
            break;
        default:
            break;
        }
    }
    m_out.flush();
}

void PipelineApp::printUp(const runner::RunReport& report) {
    for (const runner::ScriptReport& s : report.scripts) {
        const std::string name = fileName(s.path);
        const script::RsqlHeader& h = s.header;
        switch (s.verdict) {
        case runner::Verdict::Ran:
            result(fill(texts::kUpRan, name, versionText(h.oldVersion), h.newVersion, s.first,
                        s.last, s.seconds));
            break;
        case runner::Verdict::Applied:
            result(fill(texts::kUpApplied, name));
            break;
        case runner::Verdict::Failed:
        case runner::Verdict::Refused:
            result(fill(texts::kUpFailed, name, s.reason));
            break;
        case runner::Verdict::NotChained:
            result(fill(texts::kUpNotChained, name));
            break;
        default:
            result(fill(texts::kUpNotReached, name));
            break;
        }
    }
    if (!report.error)
        result(fill(runner::texts::kUpToDate, report.database, versionText(report.versionAfter)));
    m_out.flush();
}

} // namespace vt::console
