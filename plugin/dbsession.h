// The plug-in's database connection: login, version table, commands and progress records.
#pragma once

#include "dbengine/callinterface/callinterface.h"
#include "plugin/commandclassifier.h"
#include "plugin/pluginerror.h"
#include "plugin/versioncheck.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::plugin {

// The progress record written with a command of a versioned script (or with a group's last): the
// Counter, and the chained fingerprint through the command as the row of its step. The step row is
// only written while the Counter still holds the value expected, so a run whose progress another
// run has changed fails with its command undone.
struct ProgressUpdate {
    int remaining = 0;                    // Counter after the command
    std::int64_t expected = 0;            // Counter the row must still hold before it
    int step = 0;                         // the command's number in the script (N - remaining)
    int firstStep = 0;                    // the first command the record covers (a group's
                                          // first; 1 clears the step rows of an earlier run)
    std::string fingerprint;              // FingerprintChain::text() through step
    const std::string* code = nullptr;    // the matching code: the row to update
    const std::string* version = nullptr; // NewVersion, recorded too when remaining reaches 0
    bool recordVersion = false;           // record the version whatever remaining is
};

// How a command offered to a group went.
enum class GroupedRun {
    Done,        // it took effect inside the group's transaction
    MustRunAlone // the server runs it only outside a transaction; the group is as before it
};

// One database connection of the engine's call interface. Failures throw PluginError with the
// engine's error text. Destroying the session neither closes the database nor ends the engine:
// piDone does that.
class DbSession final {
public:
    // Opens the database (closing one opened before) with the user as the optional parameter
    // "USER NAME"; true when the table R_VERSION exists. On failure no database stays open.
    bool connect(const std::string& alias, const std::string& user, const std::string& password);

    // Closes the database when one is open; the handle is forgotten even when closing fails.
    void close();

    bool isOpen() const { return m_db != nullptr; }

    // Takes the database's run lock, waiting up to VT_LOCK_TIMEOUT seconds (default 60) while
    // another run holds it (saying so once on the standard error); the lock is taken again
    // whenever the session reopens the database, and ends when it is closed. Throws
    // PluginError of cause VT_CAUSE_LOCK_TIMEOUT when the wait ends without it.
    void lockRun();

    // Whether the database refuses values beyond the declared column types.
    bool enforcesColumnTypes();

    // The connection broke during the last failed call: recover() must come first.
    bool connectionLost() const { return m_lost; }

    // After a failure: whether the connection broke (a round trip on a server); notes it.
    bool checkLost();

    // Opens the database again with the saved login (and the run lock when it was taken).
    void recover();

    // Whether a transaction the script opened is still open.
    bool scriptTransactionOpen() const { return m_scriptTransactionOpen; }

    // Rolls back the transaction the script left open.
    void rollbackScriptTransaction();

    // Creates R_VERSION with its first row for code, in one transaction where the engine
    // supports transactional DDL.
    void createVersionTable(const std::string& code);

    // All rows of R_VERSION in the order the database delivers them, up to the first record the
    // engine does not deliver.
    std::vector<VersionRow> readRows();

    // Runs one command of a script. With progress, the progress record is written too: in the
    // command's own transaction where possible, so that a crash leaves both or neither; else
    // after it. commandDone becomes true as soon as the command has taken effect, also when a
    // later step fails.
    void runCommand(std::string_view command, const ProgressUpdate* progress, bool& commandDone);

    // Whether a command may join a group: group commit is on for the database (its alias key
    // "GROUP COMMIT" and VT_GROUP_COMMIT are not "0"), the command may run inside a transaction
    // and the script has no transaction of its own open.
    bool groupable(std::string_view command);

    // Runs a command inside the group's transaction (opened first when none is), under a
    // savepoint of its own: a failure undoes the command alone and throws its error, leaving
    // the group's earlier commands in place unless the failure ended the transaction
    // (groupIntact() tells).
    GroupedRun runGrouped(std::string_view command);

    // Whether the group's transaction is still there with its commands (after a failure).
    bool groupIntact();

    // Writes the progress (when given) into the group's transaction and commits it. On failure
    // the group is rolled back and the error explained as for a progress record.
    void commitGroup(const ProgressUpdate* progress);

    // Rolls the group back, when one is open.
    void abandonGroup();

    // Closes the database and opens it again with the saved login, then writes progress.
    // commandDone as for runCommand.
    void reconnect(const ProgressUpdate* progress, bool& commandDone);

    // Records the version in the row of code.
    void updateVersion(const std::string& version, const std::string& code);

    // The step records of a run of code in progress, by step (none without the table).
    std::vector<StepRecord> readSteps(const std::string& code);

    // The Counter of the row of code (0 for NULL), or nullopt without such a row.
    std::optional<std::int64_t> readCounter(const std::string& code);

private:
    void open();
    void takeRunLock();
    bool stepsTableExists();
    void forgetStatements();
    void releaseProgressStatements();
    bool transactionActive();
    void executeCommand(std::string_view command);
    // Runs the command and writes its progress as one transaction.
    void executeWithProgress(std::string_view command, const ProgressUpdate& progress);
    // The prepared, bound statements that write the progress, in the order they must run.
    std::vector<dbengine::dbi::StatementHandle> bindProgress(const ProgressUpdate& progress);
    void writeProgressOnItsOwn(const ProgressUpdate& progress);
    // Writes progress into the open transaction and commits it; rolls back on failure.
    void commitWithProgress(const ProgressUpdate* progress);
    // After a failed write of progress: the error to report (another run's change of the
    // Counter, a lost connection, or the failure as it is).
    PluginError explainProgressFailure(const PluginError& error, const ProgressUpdate& progress);
    // After a failed call: the error, of cause VT_CAUSE_CONNECT when the connection broke.
    PluginError noteLostConnection(const PluginError& error);
    // Runs a query with the code bound to its one marker and visits each record.
    void queryByCode(std::string_view sql, const std::string& code,
                     const std::function<void(dbengine::dbi::CursorHandle,
                                              const dbengine::dbi::Record&)>& visit);
    void executeUpdate(dbengine::dbi::StatementHandle& stmt, std::string_view sql,
                       const std::string& value, const std::string& code);
    void bindUpdate(dbengine::dbi::StatementHandle& stmt, std::string_view sql,
                    const std::string& value, const std::string& code);
    void bindUpdate(dbengine::dbi::StatementHandle& stmt, std::string_view sql, std::int64_t value,
                    const std::string& code);
    void prepareOnce(dbengine::dbi::StatementHandle& stmt, std::string_view sql);
    void rollbackQuietly();
    // Whether the server refused to run the command inside a transaction block.
    bool refusedInTransaction(const PluginError& error) const;

    dbengine::dbi::DatabaseHandle m_db = nullptr;
    std::string m_alias;
    std::string m_user;
    std::string m_password;
    script::SqlDialect m_dialect = script::SqlDialect::SQLite;
    // The driver's native codes for a statement refused inside a transaction block.
    std::vector<std::int32_t> m_transactionRefusalCodes;
    bool m_transactionalDdl = false;
    // Commands may share a transaction (see groupable), and one such group is open.
    bool m_groupCommit = false;
    bool m_groupOpen = false;
    // The script opened a transaction of its own (BEGIN ...) that it has not ended yet, as the
    // driver sees it after each command.
    bool m_scriptTransactionOpen = false;
    // The Counter committed before the script's transaction opened.
    std::int64_t m_counterAtScriptOpen = 0;
    // The run lock was taken, and is taken again on each reopening.
    bool m_lockWanted = false;
    // The connection broke; recover() reopens it.
    bool m_lost = false;
    // R_VERSION_STEPS exists for certain (a progress write with it has committed).
    bool m_stepsReady = false;
    // The progress statements, prepared once per connection.
    dbengine::dbi::StatementHandle m_counterStmt = nullptr;
    dbengine::dbi::StatementHandle m_versionStmt = nullptr;
    dbengine::dbi::StatementHandle m_stepStmt = nullptr;
    dbengine::dbi::StatementHandle m_clearStepsStmt = nullptr;
};

} // namespace vt::plugin
