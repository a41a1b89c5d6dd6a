// What status and up found and did: per script, per database, and the exit code it ends with.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "runner/runfailure.h"
#include "script/rsqlscript.h"

namespace vt::runner {

// Exit codes of status and up.
enum ExitCode : int {
    kExitOk = 0,            // everything would run or is applied (status); up to date (up)
    kExitRefused = 1,       // refused by the version check, or the scripts form no chain
    kExitUsage = 2,         // unknown switch or missing argument
    kExitConnect = 3,       // cannot connect or log in
    kExitLocked = 4,        // the run lock was not granted in time, or another run interfered
    kExitDamaged = 5,       // a script is missing, unreadable or damaged
    kExitCommandFailed = 6, // a command failed; the next up resumes at it
    kExitOther = 7,         // the plug-in cannot be loaded or failed otherwise
};

// The exit code that stands for a kind of failure.
int exitCodeFor(FailureCause cause);

// What happened or would happen to one script.
enum class Verdict {
    WouldRun,    // status: commands first..last would run
    WouldResume, // status: an interrupted run would resume at first
    WouldFollow, // status: would run after the scripts before it in the chain (first..last, when
                 // known, are what the plug-in would run of it on the database as it is now)
    Applied,     // already applied to the database
    Refused,     // refused (reason holds the plug-in's text)
    Ran,         // up: commands first..last ran and the new version was recorded
    Failed,      // up: stopped at a failure (reason)
    NotReached,  // up: not run because an earlier step failed
    NotChained,  // up: an unversioned script, never chained
};

// The name of a verdict in JSON ("would-run", ...).
const char* verdictName(Verdict verdict);

struct ScriptReport {
    ScriptReport(std::string scriptPath, script::RsqlHeader scriptHeader)
        : path(std::move(scriptPath)), header(std::move(scriptHeader)) {}

    std::string path;          // as given (file system bytes)
    script::RsqlHeader header; // values in the ANSI code page
    Verdict verdict = Verdict::NotReached;
    int first = 0; // the commands that run or would run: first..last
    int last = 0;
    std::vector<std::string> pendingLines; // status: first line of each pending command (ANSI)
    bool createsVersionTable = false;      // R_VERSION is created first
    int commandsRun = 0;
    double seconds = 0;
    std::optional<FailureCause> cause; // Refused or Failed: why
    std::string reason;                // Refused or Failed: the text (ANSI)
};

struct ErrorReport {
    FailureCause cause = FailureCause::Other;
    std::string text;   // ANSI
    int pluginCode = 0; // the plug-in's error code; 1 for failures found by the runner
    std::string script; // the script at fault, when there is one
};

struct RunReport {
    std::string command;  // "status" or "up"
    std::string database; // alias, or the database file (ANSI)
    bool versionTable = true;
    std::string code;          // the database's code, as the version check delivered it
    std::string versionBefore; // the database's version before
    std::string versionAfter;  // and after (the same for status)
    std::vector<ScriptReport> scripts;
    double seconds = 0;
    std::optional<ErrorReport> error;

    // Records a failure as the report's error.
    void fail(const RunFailure& failure, const std::string& script = {});
    // The exit code: the error's, else for status 1 when a script would not run (5 when one is
    // damaged), else 0.
    int exitCode() const;
};

// The report as one JSON object; texts converted to UTF-8.
nlohmann::json toJson(const RunReport& report);

} // namespace vt::runner
