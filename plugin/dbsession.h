// The plug-in's database connection: login, version table, commands and progress records.
#pragma once

#include "dbengine/callinterface.h"
#include "plugin/commandclassifier.h"
#include "plugin/versioncheck.h"

#include <string>
#include <string_view>
#include <vector>

namespace vt::plugin {

// The progress record written with a command of a versioned script.
struct ProgressUpdate {
    int remaining = 0;                    // Counter after the command
    const std::string* code = nullptr;    // the matching code: the row to update
    const std::string* version = nullptr; // NewVersion, recorded too when remaining reaches 0
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

    // Closes the database and opens it again with the saved login, then writes progress.
    // commandDone as for runCommand.
    void reconnect(const ProgressUpdate* progress, bool& commandDone);

    // Records the version in the row of code.
    void updateVersion(const std::string& version, const std::string& code);

private:
    void open();
    void forgetStatements();
    void executeCommand(std::string_view command);
    // Runs the command and writes its progress as one transaction.
    void executeWithProgress(std::string_view command, const ProgressUpdate& progress);
    void writeProgress(const ProgressUpdate& progress);
    void writeProgressOnItsOwn(const ProgressUpdate& progress);
    void executeUpdate(dbengine::dbi::StatementHandle& stmt, std::string_view sql,
                       const std::string& value, const std::string& code);
    void executeUpdate(dbengine::dbi::StatementHandle& stmt, std::string_view sql,
                       std::int64_t value, const std::string& code);
    void bindUpdate(dbengine::dbi::StatementHandle& stmt, std::string_view sql,
                    const std::string& value, const std::string& code);
    void bindUpdate(dbengine::dbi::StatementHandle& stmt, std::string_view sql, std::int64_t value,
                    const std::string& code);
    void prepareOnce(dbengine::dbi::StatementHandle& stmt, std::string_view sql);
    void rollbackQuietly();

    dbengine::dbi::DatabaseHandle m_db = nullptr;
    std::string m_alias;
    std::string m_user;
    std::string m_password;
    SqlDialect m_dialect = SqlDialect::SQLite;
    bool m_transactionalDdl = false;
    // The script opened a transaction of its own (BEGIN ...) that it has not ended yet.
    bool m_scriptTransactionOpen = false;
    // The progress statements, prepared once per connection.
    dbengine::dbi::StatementHandle m_counterStmt = nullptr;
    dbengine::dbi::StatementHandle m_versionStmt = nullptr;
};

} // namespace vt::plugin
