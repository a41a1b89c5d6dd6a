// The command r of the console runner: one script run through a loaded plug-in.
#pragma once

#include <string>

#include "console/commandline.h"
#include "console/consolewriter.h"
#include "console/prompter.h"
#include "console/runend.h"
#include "runner/pluginlibrary.h"
#include "runner/runprogress.h"
#include "runner/runquestions.h"
#include "runner/scriptsession.h"

namespace vt::console {

// Settings of a run taken from the command line.
struct RunSettings {
    bool verbose = false;        // -v: each command and its outcome instead of dots
    bool silent = false;         // -s: never ask or wait (but for a failed command)
    bool showComments = true;    // no -n
    bool listAliases = false;    // -c without -s
    std::string aliasConfigFile; // -file, handed to piInit
};

// Shows the script's header, chooses the database, logs in, lets the plug-in check the version
// record, runs the commands with progress output and records the new version, through the run
// workflow of runner::ScriptSession; answers its questions on the terminal. The plug-in must be
// loaded with GetLastVTErrorMessage, GetLastVTError, MakeSQLCommand and piDone bound.
class ScriptRun final : private runner::RunQuestions, private runner::RunProgress {
public:
    ScriptRun(ConsoleWriter& out, Prompter& prompter, runner::PluginLibrary& plugin,
              const CommandLine& args, RunSettings settings);

    // Runs the script named by the second argument. Returns how the run ends: the completion
    // message with code 0, or the failure's message and exit code.
    RunEnd execute();

private:
    void openScript();
    void confirmStart();
    void initPlugin();
    void chooseDatabase();
    void login();
    bool connect();
    void checkVersion(bool create);
    void runCommands();

    bool createVersionTable() override;
    runner::FailureChoice commandFailed(int n, const runner::RunFailure& failure,
                                        bool ignorable) override;
    void commandStarting(int n, const std::string& text) override;
    void commandSucceeded(int n) override;

    ConsoleWriter& m_out;
    Prompter& m_prompt;
    runner::ScriptSession m_session;
    const CommandLine& m_args;
    RunSettings m_settings;

    std::string m_file;        // script file name, as given (file system bytes)
    std::string m_newVersion;  // NewVersion as shown; only its emptiness is used
    std::string m_scriptUser;  // Connect/User
    std::string m_aliases;     // piInit's result
    std::string m_database;    // text handed to dbConnect
    std::string m_displayName; // m_database without "DBName="
    std::string m_user;
    std::string m_password;
    int m_first = 1;
    int m_last = 0;
};

// The integer value of a typed answer; 0 when it is not a number.
int parseChoice(const std::string& text);

// The command as verbose mode shows it: a one-line command without its line end, else its first
// line followed by "...".
std::string shownCommand(const std::string& text);

} // namespace vt::console
