// SqliteConnection: one open SQLite database file.
#pragma once

#include "dbengine/core/driver.h"

#include <sqlite3.h>

namespace vt::dbengine {

// An open SQLite file (STANDARD driver).
class SqliteConnection final : public Connection {
public:
    // Opens the file; create makes a missing file (and its folder).
    SqliteConnection(const std::string& path, bool create);
    ~SqliteConnection() override;

    std::string driverName() const override { return "STANDARD"; }
    std::string identity() const override { return "STANDARD:" + m_realPath; }
    std::unique_ptr<Cursor> query(std::string_view sql) override;
    std::unique_ptr<Statement> prepare(std::string_view sql) override;
    std::vector<ColumnInfo> describeQuery(std::string_view sql) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override;
    void setIsolation(Isolation) override {}
    bool transactionalDdl() const override { return true; }
    bool alive() override { return m_db != nullptr; }
    bool enforcesColumnTypes() const override { return false; }
    // An exclusive flock on the file "<database>-vtlock" beside the database, which records the
    // holder's process and start time for those who wait.
    bool tryLockRun(std::string& heldSince) override;
    void unlockRun() override;
    std::vector<std::string> tableNames(bool systemTables) override;
    std::optional<TableRef> findTable(std::string_view name) override;
    TableInfo describeTable(const TableRef& table) override;
    std::string columnTypeSql(const ColumnInfo& column) const override;
    std::unique_ptr<BulkInserter> bulkInserter(const TableRef& table,
                                               const std::vector<ColumnInfo>& columns) override;

    // The open handle; raises kNotConnected when closed.
    sqlite3* db() const;

private:
    // Prepares the first statement of text; tail receives the rest; nullptr when the text holds
    // only blanks and comments.
    sqlite3_stmt* prepareOne(std::string_view text, std::string_view& tail, unsigned flags = 0);
    // Rows of a one-column text query with text parameters.
    std::vector<std::string> textColumn(std::string_view sql, const std::vector<std::string>& args);

    sqlite3* m_db = nullptr;
    std::string m_realPath;
    // The open lock file while this connection holds the run lock, else -1.
    int m_runLockFd = -1;
    // The run lock is held without a file: the folder is read-only, so no run can write.
    bool m_runLockImplicit = false;
    struct TableLocation {
        std::string schema, name;
    };
    std::optional<TableLocation> locate(std::string_view name);
};

} // namespace vt::dbengine
