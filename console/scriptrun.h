// The command r of the console runner: one script run through a loaded plug-in.
#pragma once

#include <string>

#include "console/commandline.h"
#include "console/consolewriter.h"
#include "console/pluginlibrary.h"
#include "console/prompter.h"
#include "console/runend.h"

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
// record, runs the commands with progress output and records the new version. The plug-in must
// be loaded with GetLastVTErrorMessage, GetLastVTError, MakeSQLCommand and piDone bound; the
// other functions are looked up just before their first call.
class ScriptRun final {
public:
    ScriptRun(ConsoleWriter& out, Prompter& prompter, PluginLibrary& plugin,
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
    void runCommand(int n);
    std::string fetchCommand(int n);
    void updateVersion();

    // Binds the plug-in function or ends the run with the missing-function message.
    void need(PluginFunction function);
    // Ends the run with the plug-in's last error text and the given code (the plug-in's result
    // when its last error code is 0, so that a failure never ends with 0).
    [[noreturn]] void failWithPluginError(int code);

    ConsoleWriter& m_out;
    Prompter& m_prompt;
    PluginLibrary& m_plugin;
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
