// The status command's workflow: what each script would do to a database, changing nothing.
#include "runner/statuscheck.h"

#include <chrono>
#include <optional>

#include "runner/scriptchain.h"
#include "runner/scriptsession.h"

namespace vt::runner {
namespace {

std::string firstLine(const std::string& command) {
    return command.substr(0, command.find("\r\n"));
}

// Failures that concern the database rather than one script: they end the whole check.
bool endsTheCheck(FailureCause cause) {
    return cause != FailureCause::Script && cause != FailureCause::Version &&
           cause != FailureCause::Applied;
}

} // namespace

StatusCheck::StatusCheck(PluginLibrary& plugin, RunTarget target)
    : m_plugin(plugin), m_target(std::move(target)) {}

RunReport StatusCheck::run(const std::vector<std::string>& paths) {
    const auto started = std::chrono::steady_clock::now();
    RunReport report;
    report.command = "status";
    report.database = m_target.displayName;
    try {
        for (ChainScript& s : collectScripts(paths))
            report.scripts.emplace_back(s.path, std::move(s.header));
        for (ScriptReport& script : report.scripts) {
            checkScript(script, report);
            if (report.error)
                break;
        }
    } catch (const RunFailure& failure) {
        report.fail(failure);
    }
    if (!report.error)
        placeInChain(report);
    report.versionAfter = report.versionBefore;
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return report;
}

void StatusCheck::placeInChain(RunReport& report) {
    std::vector<ChainScript> scripts;
    for (const ScriptReport& s : report.scripts)
        scripts.push_back(ChainScript{s.path, s.header});
    std::optional<ScriptChain> chain;
    try {
        chain.emplace(std::move(scripts));
    } catch (const RunFailure&) {
        return; // no chain: each verdict stands on its own
    }
    const std::optional<std::size_t> start = chain->startFor(report.versionBefore);
    if (!start)
        return;
    for (std::size_t i = 0; i < chain->ordered().size(); ++i) {
        if (i == *start)
            continue;
        for (ScriptReport& s : report.scripts) {
            if (s.path != chain->ordered()[i].path || !meantFor(s.header, report.code))
                continue;
            // A database without a version takes any script alone; in the chain the later
            // ones follow the first.
            const bool versionRefusal =
                s.verdict == Verdict::Refused && s.cause == FailureCause::Version;
            if (versionRefusal || (i > *start && s.verdict == Verdict::WouldRun)) {
                s.verdict = i < *start ? Verdict::Applied : Verdict::WouldFollow;
                s.createsVersionTable = false;
                s.cause.reset();
                s.reason.clear();
            }
        }
    }
}

void StatusCheck::checkScript(ScriptReport& script, RunReport& report) {
    ScriptSession session(m_plugin);
    const bool versioned = !script.header.newVersion.empty();
    try {
        session.open(script.path, m_target.aliasConfigFile);
        const bool tableMissing =
            session.connect(m_target.database, m_target.userFor(script.header), m_target.password);
        report.versionTable = !tableMissing;
        if (tableMissing && versioned) {
            // A run would create R_VERSION with an empty version: every command would run.
            script.verdict = Verdict::WouldRun;
            script.createsVersionTable = true;
            script.first = 1;
            script.last = static_cast<int>(script.header.commands);
        } else {
            // With the table missing only an unversioned script gets here; for it create = 1
            // writes nothing.
            const VersionCheck check = session.check(tableMissing);
            if (report.code.empty() && report.versionBefore.empty()) {
                report.code = check.code;
                report.versionBefore = check.version;
            }
            if (check.refusal) {
                const FailureCause cause = check.refusal->cause();
                if (endsTheCheck(cause))
                    throw *check.refusal;
                const bool applied = cause == FailureCause::Applied ||
                                     (versioned && check.version == script.header.newVersion &&
                                      meantFor(script.header, check.code));
                script.verdict = applied ? Verdict::Applied : Verdict::Refused;
                if (!applied) {
                    script.cause = cause;
                    script.reason = check.refusal->what();
                }
            } else {
                script.first = check.first;
                script.last = check.last;
                script.verdict = check.first > 1 ? Verdict::WouldResume : Verdict::WouldRun;
            }
        }
        if (script.verdict == Verdict::WouldRun || script.verdict == Verdict::WouldResume) {
            for (long long n = script.first; n <= script.last; ++n)
                script.pendingLines.push_back(firstLine(session.commandText(static_cast<int>(n))));
        }
    } catch (const RunFailure& failure) {
        if (endsTheCheck(failure.cause())) {
            report.fail(failure, script.path);
        } else {
            script.verdict = Verdict::Refused;
            script.cause = failure.cause();
            script.reason = failure.what();
        }
    }
    session.close();
}

} // namespace vt::runner
