// One script run through a loaded plug-in: the call order, the status checks and the command
// loop, shared by every runner.
#pragma once

#include <optional>
#include <string>

#include "runner/pluginlibrary.h"
#include "runner/runfailure.h"
#include "runner/runprogress.h"
#include "runner/runquestions.h"

namespace vt::runner {

// What the version check said: the range of commands still to run and the database's record.
struct VersionCheck {
    int first = 1;
    int last = 0;
    std::string code;                  // the database's code (ANSI), empty when no row was read
    std::string version;               // the database's version (ANSI)
    std::optional<RunFailure> refusal; // set when the check refused the script
};

// Drives the plug-in for one script in the order of its interface: open, connect, check, the
// commands, the new version, close. The plug-in must be loaded with GetLastVTErrorMessage,
// GetLastVTError, MakeSQLCommand and piDone bound; the other functions are looked up just
// before their first call. Every call goes to the plug-in on the caller's thread, one after the
// other; the object holds no state of its own. "versioned" below means the script has a new
// version, so that R_VERSION counts its progress.
class ScriptSession final {
public:
    explicit ScriptSession(PluginLibrary& plugin);

    // piInit: opens the script; returns the plug-in's alias list ("A;B;").
    std::string open(const std::string& scriptFile, const std::string& aliasConfigFile);

    // dbConnect: true when the database has no R_VERSION table.
    bool connect(const std::string& database, const std::string& user, const std::string& password);

    // Whether the check is to create R_VERSION: never when the table exists, always for an
    // unversioned script (which creates nothing), else as the user answers.
    bool createDecision(bool tableMissing, bool versioned, RunQuestions& questions);

    // CheckDataBaseParams with the first command preset to 1; a refusal is returned, not thrown.
    VersionCheck check(bool create);

    // MakeSQLCommand: the text of command n (ANSI).
    std::string commandText(int n);

    // Runs commands first..last: fetch, execute, and after a failure the user's choice: retry
    // (fetch and execute again), ignore (only for an unversioned script) or abort, which throws
    // the command's failure. Returns false when progress asked to stop after a command, true
    // when every command ended.
    bool runCommands(int first, int last, bool versioned, RunQuestions& questions,
                     RunProgress& progress);

    // UpDateVersion.
    void updateVersion();

    // piDone; returns its result.
    int close();

    // Binds the function or throws the missing-function failure.
    void need(PluginFunction function);

private:
    // The failure of the plug-in's last call, made of its error code, text and cause.
    RunFailure lastFailure(PluginFunction function, int result);

    PluginLibrary& m_plugin;
};

} // namespace vt::runner
