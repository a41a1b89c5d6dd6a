// What status and up found and did: per script, per database, and the exit code it ends with.
#include "runner/runreport.h"

#include <algorithm>

#include "platform/codepage.h"

namespace vt::runner {

int exitCodeFor(FailureCause cause) {
    switch (cause) {
    case FailureCause::Version:
    case FailureCause::Applied:
        return kExitRefused;
    case FailureCause::Connect:
        return kExitConnect;
    case FailureCause::LockTimeout:
    case FailureCause::Concurrent:
        return kExitLocked;
    case FailureCause::Script:
        return kExitDamaged;
    case FailureCause::Command:
        return kExitCommandFailed;
    case FailureCause::MissingFunction:
    case FailureCause::Other:
        break;
    }
    return kExitOther;
}

const char* verdictName(Verdict verdict) {
    switch (verdict) {
    case Verdict::WouldRun:
        return "would-run";
    case Verdict::WouldResume:
        return "would-resume";
    case Verdict::WouldFollow:
        return "would-follow";
    case Verdict::Applied:
        return "applied";
    case Verdict::Refused:
        return "refused";
    case Verdict::Ran:
        return "ran";
    case Verdict::Failed:
        return "failed";
    case Verdict::NotReached:
        return "not-reached";
    case Verdict::NotChained:
        break;
    }
    return "not-chained";
}

void RunReport::fail(const RunFailure& failure, const std::string& script) {
    error = ErrorReport{failure.cause(), failure.what(), failure.pluginCode(), script};
}

int RunReport::exitCode() const {
    if (error)
        return exitCodeFor(error->cause);
    int code = kExitOk;
    for (const ScriptReport& s : scripts) {
        if (s.verdict == Verdict::Refused && s.cause)
            code = std::max(code, exitCodeFor(*s.cause));
    }
    return code;
}

namespace {

std::string utf8(const std::string& ansi) {
    return platform::ansiToUtf8(ansi);
}

nlohmann::json textOrNull(const std::string& ansi) {
    return ansi.empty() ? nlohmann::json() : nlohmann::json(utf8(ansi));
}

nlohmann::json scriptJson(const ScriptReport& s) {
    nlohmann::json j = {
        {"file", s.path},
        {"code", utf8(s.header.code)},
        {"oldVersion", utf8(s.header.oldVersion)},
        {"newVersion", utf8(s.header.newVersion)},
        {"commands", s.header.commands},
        {"verdict", verdictName(s.verdict)},
    };
    if (s.last >= s.first && s.first > 0) {
        j["firstCommand"] = s.first;
        j["lastCommand"] = s.last;
    }
    if (s.createsVersionTable)
        j["createsVersionTable"] = true;
    if (!s.pendingLines.empty()) {
        nlohmann::json lines = nlohmann::json::array();
        for (const std::string& line : s.pendingLines)
            lines.push_back(utf8(line));
        j["pendingCommands"] = std::move(lines);
    }
    if (s.verdict == Verdict::Ran || s.verdict == Verdict::Failed) {
        j["commandsRun"] = s.commandsRun;
        j["seconds"] = s.seconds;
    }
    if (s.cause) {
        j["cause"] = causeName(*s.cause);
        j["reason"] = utf8(s.reason);
    }
    return j;
}

} // namespace

nlohmann::json toJson(const RunReport& report) {
    nlohmann::json scripts = nlohmann::json::array();
    for (const ScriptReport& s : report.scripts)
        scripts.push_back(scriptJson(s));
    nlohmann::json j = {
        {"command", report.command},
        {"database", utf8(report.database)},
        {"versionTable", report.versionTable},
        {"code", textOrNull(report.code)},
        {"versionBefore", textOrNull(report.versionBefore)},
        {"versionAfter", textOrNull(report.versionAfter)},
        {"progress", nullptr},
        {"scripts", std::move(scripts)},
        {"seconds", report.seconds},
        {"exitCode", report.exitCode()},
    };
    for (const ScriptReport& s : report.scripts) {
        if (s.verdict == Verdict::WouldResume)
            j["progress"] = {
                {"script", s.path}, {"resumeAt", s.first}, {"commandsLeft", s.last - s.first + 1}};
    }
    if (report.error) {
        j["error"] = {{"cause", causeName(report.error->cause)},
                      {"exitCode", exitCodeFor(report.error->cause)},
                      {"pluginCode", report.error->pluginCode},
                      {"text", utf8(report.error->text)}};
        if (!report.error->script.empty())
            j["error"]["script"] = report.error->script;
    } else {
        j["error"] = nullptr;
    }
    return j;
}

} // namespace vt::runner
