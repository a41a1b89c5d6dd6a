// The up command's workflow: brings a database up to date along a chain of versioned scripts.
#include "runner/chainupdate.h"

#include <chrono>

#include "runner/runnertexts.h"
#include "runner/scriptsession.h"

namespace vt::runner {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Never asks: R_VERSION is created as decided up front, and a failed command ends the run.
class Unattended final : public RunQuestions {
public:
    explicit Unattended(bool createTable) : m_createTable(createTable) {}
    bool createVersionTable() override { return m_createTable; }
    FailureChoice commandFailed(int, const RunFailure&, bool) override {
        return FailureChoice::Abort;
    }

private:
    bool m_createTable;
};

// Counts the commands that ran, and passes everything on.
class Counting final : public RunProgress {
public:
    Counting(RunProgress& next, int& count) : m_next(next), m_count(count) {}
    void commandStarting(int n, const std::string& text) override {
        m_next.commandStarting(n, text);
    }
    void commandSucceeded(int n) override {
        ++m_count;
        m_next.commandSucceeded(n);
    }

private:
    RunProgress& m_next;
    int& m_count;
};

RunFailure refusal(const std::string& text) {
    return RunFailure(FailureCause::Version, text);
}

} // namespace

ChainUpdate::ChainUpdate(PluginLibrary& plugin, RunTarget target, bool createVersionTable,
                         ChainProgress& progress)
    : m_plugin(plugin), m_target(std::move(target)), m_createVersionTable(createVersionTable),
      m_progress(progress) {}

RunReport ChainUpdate::run(const std::vector<std::string>& paths) {
    const Clock::time_point started = Clock::now();
    RunReport report;
    report.command = "up";
    report.database = m_target.displayName;
    try {
        std::vector<ChainScript> scripts = collectScripts(paths);
        for (const ChainScript& s : scripts)
            checkScriptFormat(s);
        const ScriptChain chain(std::move(scripts));
        for (const ChainScript& s : chain.ordered())
            report.scripts.emplace_back(s.path, s.header);
        for (const ChainScript& s : chain.unversioned()) {
            report.scripts.emplace_back(s.path, s.header);
            report.scripts.back().verdict = Verdict::NotChained;
        }
        if (chain.ordered().empty())
            throw refusal(std::string(texts::kNothingChained));

        const auto record = probe(chain.ordered().front());
        report.versionTable = record.has_value();
        if (!record && !m_createVersionTable)
            throw refusal(std::string(texts::kNoVersionTable));
        if (record) {
            report.code = record->first;
            report.versionBefore = record->second;
        }
        report.versionAfter = report.versionBefore;

        const auto start = chain.startFor(report.versionBefore);
        if (!start) {
            throw refusal(texts::fill(texts::kNotInChain, report.versionBefore,
                                      chain.ordered().front().header.oldVersion,
                                      chain.ordered().back().header.newVersion));
        }
        for (std::size_t i = 0; i < *start; ++i)
            report.scripts[i].verdict = Verdict::Applied;
        for (std::optional<std::size_t> i = start; i && *i < chain.ordered().size();)
            i = apply(chain, *i, !record && i == start, report);
    } catch (const RunFailure& failure) {
        report.fail(failure);
    }
    report.seconds = secondsSince(started);
    return report;
}

std::optional<std::pair<std::string, std::string>> ChainUpdate::probe(const ChainScript& first) {
    ScriptSession session(m_plugin);
    try {
        session.open(first.path, m_target.aliasConfigFile);
        if (session.connect(m_target.database, m_target.userFor(first.header), m_target.password)) {
            session.close();
            return std::nullopt;
        }
        // The check delivers the database's record also when it refuses this script (one that
        // is applied already, or that is not the next one); only the record matters here.
        // A database of another code is refused with the plug-in's own reason.
        const VersionCheck check = session.check(false);
        const bool versionOnly =
            check.refusal && (check.refusal->cause() == FailureCause::Version ||
                              check.refusal->cause() == FailureCause::Applied);
        if (check.refusal && (!versionOnly || !meantFor(first.header, check.code)))
            throw *check.refusal;
        session.close();
        return std::make_pair(check.code, check.version);
    } catch (...) {
        session.close();
        throw;
    }
}

std::optional<std::size_t> ChainUpdate::apply(const ScriptChain& chain, std::size_t i,
                                              bool createTable, RunReport& report) {
    const Clock::time_point started = Clock::now();
    ScriptReport& script = report.scripts[i];
    std::optional<std::size_t> next;
    ScriptSession session(m_plugin);
    Unattended answers(createTable);
    Counting counting(m_progress, script.commandsRun);
    try {
        session.open(script.path, m_target.aliasConfigFile);
        const bool tableMissing =
            session.connect(m_target.database, m_target.userFor(script.header), m_target.password);
        script.createsVersionTable = tableMissing;
        const bool create = session.createDecision(tableMissing, true, answers);
        if (tableMissing && !create)
            throw refusal(std::string(texts::kNoVersionTable));
        const VersionCheck check = session.check(create);
        if (check.refusal) {
            // Another run may have applied this script, and maybe more, since the database's
            // version was read: then go on from where the database is now.
            const std::optional<std::size_t> now = chain.startFor(check.version);
            const FailureCause cause = check.refusal->cause();
            if ((cause != FailureCause::Version && cause != FailureCause::Applied) || !now ||
                *now <= i)
                throw *check.refusal;
            for (std::size_t k = i; k < *now; ++k)
                report.scripts[k].verdict = Verdict::Applied;
            report.versionAfter = check.version;
            next = now;
        }
        if (!next) {
            script.first = check.first;
            script.last = check.last;
            m_progress.scriptStarting(ChainScript{script.path, script.header}, check.first,
                                      check.last);
            session.runCommands(check.first, check.last, true, answers, counting);
            session.updateVersion();
            script.verdict = Verdict::Ran;
            report.versionAfter = script.header.newVersion;
            next = i + 1;
        }
    } catch (const RunFailure& failure) {
        const bool refused =
            failure.cause() == FailureCause::Version || failure.cause() == FailureCause::Applied;
        script.verdict = refused ? Verdict::Refused : Verdict::Failed;
        script.cause = failure.cause();
        script.reason = failure.what();
        report.fail(failure, script.path);
    }
    session.close();
    script.seconds = secondsSince(started);
    return next;
}

} // namespace vt::runner
