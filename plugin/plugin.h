// The plug-in's module-wide state and the nine operations of its binary interface.
#pragma once

#include "plugin/commitgroup.h"
#include "plugin/dbsession.h"
#include "plugin/versioncheck.h"
#include "script/rsqlscript.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vt::plugin {

// One script and one database connection at a time, for one caller thread. Every operation
// catches every failure and reports it by its result, the last error code and the last error
// text (see plugin/vtutils.h for the contract of each).
class Plugin final {
public:
    Plugin();
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    const char* piInit(const char* scriptFile, const char* aliasConfigFile) noexcept;
    int dbConnect(const char* alias, const char* user, const char* password) noexcept;
    int checkDataBaseParams(int* first, int* last, const char** code, const char** version,
                            bool create) noexcept;
    const char* makeSQLCommand(int n) noexcept;
    int execrSQL(const char* command) noexcept;
    int upDateVersion() noexcept;
    int piDone() noexcept;
    int lastError() const noexcept { return m_errorCode; }
    const char* lastErrorMessage() noexcept;
    int lastErrorCause() const noexcept { return m_errorCode == 0 ? VT_CAUSE_NONE : m_cause; }

private:
    void openScript(const std::string& path);
    std::string readAliases();
    // Refuses to resume a run of another script: the recorded steps must be the script's own.
    // Starts the chain from the commands before first.
    void checkResume(int first);
    // The text of the script's command n.
    std::string scriptCommand(int n) const;
    // The chain through the command counted at step, whose executed text is text when it is the
    // command under way; the commands before it are taken from the script where the chain does
    // not cover them yet (after a resume, or counts that went back).
    FingerprintChain chainThrough(int step, std::string_view text) const;
    // A command took effect: one command fewer remains, and the chain (versioned runs) is the one
    // through it.
    void countCommand(const FingerprintChain& chain);
    // After a lost connection: reconnects, then finds out whether the command under way when it
    // broke took effect; true when it did (it is then counted and not run again).
    bool recoverConnection(const std::string& command);
    // The progress record that leaves remaining commands to run, covering the commands from
    // firstStep on; fingerprint is the chain through the last one.
    ProgressUpdate progressAt(int remaining, int firstStep, std::string fingerprint) const;
    // Runs a command in the open group (starting one); false when the server runs it only on its
    // own, the group being as before it. A failed command is undone alone and the group's
    // earlier commands commit before its failure is reported.
    bool runGrouped(const std::string& command);
    // Commits the open group with the progress of its commands (and the version when asked).
    void commitGroup(bool recordVersion = false);
    // After a failure that cost the group its transaction: the counts go back to before the
    // group, and the run stops for good (a new run resumes at the group's first command).
    [[noreturn]] void loseGroup(const PluginError& error);
    // The number of the command under way.
    int commandUnderWay() const;
    // Rolls back the transaction the script left open and refuses the run: nothing from the
    // command that opened it on is committed, and the progress counts are those committed.
    [[noreturn]] void refuseOpenTransaction();
    void fail(int code, VtErrorCause cause, const char* text) noexcept;
    template <typename Result, typename Body>
    Result guarded(int code, VtErrorCause cause, Result onFailure, Body body);

    // The open script and the header values read from it.
    std::unique_ptr<script::RsqlScript> m_script;
    ScriptHeaderValues m_header;
    // The text returned by piInit and MakeSQLCommand.
    std::string m_result;
    int m_errorCode = 0;
    VtErrorCause m_cause = VT_CAUSE_NONE;
    std::string m_errorText;
    std::string m_unknownErrorText;
    bool m_engineStarted = false;
    DbSession m_session;
    // The rows of R_VERSION; the code and version outputs point into them.
    std::vector<VersionRow> m_rows;
    // DBCode of the row the script runs against (or the script's code): the row updates address.
    std::string m_matchingCode;
    // Commands still to run.
    int m_remaining = 0;
    // The Counter of the matching row as this run last read or committed it.
    std::int64_t m_storedCounter = 0;
    // The commands run since the last commit, in the plug-in's own transaction.
    CommitGroup m_group;
    // Versioned runs: the chain over the script's commands counted so far (1..N - m_remaining),
    // recorded as the hash of each progress record's step.
    FingerprintChain m_chain;
    // The number MakeSQLCommand was last asked for: the command under way.
    int m_commandNumber = 0;
    // The command that opened the transaction the script holds open (0: none), and the counts
    // committed before it.
    int m_openedBy = 0;
    int m_remainingAtOpen = 0;
    std::int64_t m_storedAtOpen = 0;
    // Set when the run can no longer go on (its open transaction was lost): every later command
    // fails with this text.
    std::string m_brokenText;
};

// The plug-in instance behind the exported functions.
Plugin& thePlugin();

} // namespace vt::plugin
