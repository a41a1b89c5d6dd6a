// The console runner's own texts, declared once; English, so the same bytes in every code page.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>

namespace vt::console::texts {

inline constexpr std::string_view kTitle = "Vantrel Utilities, Command Line Support 2.1";
inline constexpr std::string_view kNotice =
    "Copyright (C) 2026 Vantrel Software. Runs rSQL scripts through a plug-in.";

inline constexpr std::string_view kDefaultPlugin = "vtutils.so";
inline constexpr std::string_view kDefaultAliasConfig = "vtxutils.ini";
inline constexpr std::string_view kConfigFileName = "vtconsole.ini";
inline constexpr std::string_view kPluginSection = "Plugin";
inline constexpr std::string_view kPasswordVariable = "VT_PASSWORD";

inline constexpr std::string_view kUsageCommandLine = "vtconsole <command> <filename> [<switches>]";
inline constexpr std::string_view kPressEnterToQuit = "Press Enter to quit...";
inline constexpr std::string_view kErrorLabel = "ERROR: ";

// Ending messages; "{}" stands for the value filled in.
inline constexpr std::string_view kErrorLoadingLibrary = "Error loading library '{}'.";
inline constexpr std::string_view kFileNotFound = "File {} not found";
inline constexpr std::string_view kNoAliases = "No available aliases";
inline constexpr std::string_view kAliasOutOfBounds = "Index of alias is out of bounds";
inline constexpr std::string_view kMissingAlias = "Missing database alias";
inline constexpr std::string_view kNoVersionTable = "Table R_Version does not exists";
inline constexpr std::string_view kCompleted = "Script completed successfully!";
inline constexpr std::string_view kCannotRegister = "Cannot register the plug-in: {}";

// Prompts and progress.
inline constexpr std::string_view kEnterFileName = "Enter file name: ";
inline constexpr std::string_view kPressEnterToContinue =
    "Press ENTER to continue or {} to abort...";
inline constexpr std::string_view kBreakKey = "CTRL-C";
inline constexpr std::string_view kChoiceAlias = "Choice aliasname: ";
inline constexpr std::string_view kEnterAlias = "Enter alias of Database: ";
inline constexpr std::string_view kEnterUser = "Enter username for {} ({}): ";
inline constexpr std::string_view kEnterPassword = "Enter password for {}: ";
inline constexpr std::string_view kConnecting = "Connecting to database {} ...";
inline constexpr std::string_view kInitQuestion = "Need to run initialization script. Run it now?";
inline constexpr std::string_view kYesNo = "(Y/N)";
inline constexpr std::string_view kDbCode = "DB code: ";
inline constexpr std::string_view kDbVersion = "  DB Version: ";
inline constexpr std::string_view kExecuting = "Executing script ";
inline constexpr std::string_view kErrorExecuting = "Error executing command ({})";
inline constexpr std::string_view kChoicesAbortRetry = " [A(Abort)/R(Retry)]:";
inline constexpr std::string_view kChoicesAbortRetryIgnore = " [A(Abort)/R(Retry)/I(Ignore)]:";
inline constexpr std::string_view kCommandLabel = "Command {}: ";
inline constexpr std::string_view kComments = "Comments:";
inline constexpr std::string_view kNoComments = "No comments.";

// Header labels, 18 characters wide, right-aligned.
inline constexpr std::string_view kLabelNewVersion = "     New version: ";
inline constexpr std::string_view kLabelCode = "   DataBase Code: ";
inline constexpr std::string_view kLabelOldVersion = "Previous version: ";
inline constexpr std::string_view kLabelCommands = "        Commands: ";

// The pipeline commands status and up.
inline constexpr std::string_view kStatusCommand = "status";
inline constexpr std::string_view kUpCommand = "up";
inline constexpr std::string_view kPipelineUsage =
    "Usage:\n"
    "  vtconsole status SCRIPT... (-alias ALIAS | -dbname FILE) [-user USER] [-pass PASS] "
    "[--json]\n"
    "  vtconsole up PATH... (-alias ALIAS | -dbname FILE) [-user USER] [-pass PASS] [--init] "
    "[--json]\n"
    "Also: -p PLUGIN_ALIAS, -file FILE. PATH is a script or a folder of *.rsql scripts.\n"
    "The password comes from -pass, else from VT_PASSWORD.\n"
    "Exit codes: 0 done or up to date, 1 refused by the version check, 2 usage, 3 cannot\n"
    "connect or log in, 4 lock wait timed out or another run interfered, 5 damaged script,\n"
    "6 command failed, 7 other failure.\n";
inline constexpr std::string_view kUnknownSwitch = "Unknown switch {}";
inline constexpr std::string_view kSwitchNeedsValue = "Switch {} needs a value";
inline constexpr std::string_view kNoPaths = "No script given";
inline constexpr std::string_view kOneDatabase = "Give the database with either -alias or -dbname";
inline constexpr std::string_view kStatusDatabase = "Database {}: code {}, version {}";
inline constexpr std::string_view kStatusInterrupted =
    "  interrupted run of {}: {} command(s) left";
inline constexpr std::string_view kStatusNoTable = "Database {}: no R_VERSION table";
inline constexpr std::string_view kScriptLine = "{}: {} {} -> {}, {} commands";
inline constexpr std::string_view kWouldRun = "  would run commands {}..{}";
inline constexpr std::string_view kWouldRunCreating =
    "  would create R_VERSION and run commands {}..{}";
inline constexpr std::string_view kWouldResume = "  would resume at command {} (commands {}..{})";
inline constexpr std::string_view kNothingToRun = "  would run no command";
inline constexpr std::string_view kPendingLine = "    {}: {}";
inline constexpr std::string_view kAlreadyApplied = "  already applied";
inline constexpr std::string_view kWouldFollow = "  would run after the scripts before it";
inline constexpr std::string_view kRefused = "  refused: {}";
inline constexpr std::string_view kUpApplying = "Applying {} ({} -> {}), commands {}..{}";
inline constexpr std::string_view kUpCommandDone = "  command {} of {} done";
inline constexpr std::string_view kUpRan = "{}: {} -> {} applied, commands {}..{} ({:.2f} s)";
inline constexpr std::string_view kUpApplied = "{}: already applied";
inline constexpr std::string_view kUpFailed = "{}: {}";
inline constexpr std::string_view kUpNotChained = "{}: not versioned, not chained (run it with r)";
inline constexpr std::string_view kUpNotReached = "{}: not run";
inline constexpr std::string_view kNoVersion = "(none)";

inline constexpr std::string_view kScriptExtension = ".rsql";
inline constexpr std::string_view kDbNamePrefix = "DBName=";

// A text with its "{}" places filled in.
template <typename... Args> std::string fill(std::string_view text, Args&&... args) {
    return fmt::format(fmt::runtime(text), std::forward<Args>(args)...);
}

} // namespace vt::console::texts
