// PgConnection: one open PostgreSQL connection.
#pragma once

#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/pg/pgutil.h"

#include <optional>

namespace vt::dbengine {

class PgStreamCursor;

// An open PostgreSQL connection (PGSQL driver). At most one cursor streams rows from the server
// at a time; any other request first reads that cursor's remaining rows into memory.
class PgConnection final : public Connection {
public:
    // Takes over an established connection.
    explicit PgConnection(PGconn* conn);
    ~PgConnection() override;

    std::string driverName() const override { return "PGSQL"; }
    std::string identity() const override { return m_identity; }
    std::unique_ptr<Cursor> query(std::string_view sql) override;
    std::unique_ptr<Statement> prepare(std::string_view sql) override;
    std::vector<ColumnInfo> describeQuery(std::string_view sql) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override;
    void setIsolation(Isolation level) override;
    // One request in pipeline mode: BEGIN, the steps and COMMIT before one Sync, when every
    // step is a single statement without transaction control or COPY; else as by default.
    void runAtomically(const std::vector<AtomicStep>& steps) override;
    // SAVEPOINT, the step and RELEASE in one request in pipeline mode, under the same condition.
    void runInSavepoint(const AtomicStep& step) override;
    bool transactionalDdl() const override { return true; }
    bool alive() override;
    bool enforcesColumnTypes() const override { return true; }
    script::SqlDialect sqlDialect() const override { return script::SqlDialect::PostgreSQL; }
    // SQLSTATE 25001 (a statement such as CREATE DATABASE or VACUUM inside a transaction block)
    // and 2D000 (a procedure that commits, called inside one).
    std::vector<std::int32_t> transactionRefusalCodes() const override;
    bool connectionsExcludeEachOther() const override { return false; }
    bool keepsUntypedValues() const override { return false; }
    // A session-level advisory lock of the database: the server releases it when the session
    // ends, however it ends.
    bool tryLockRun(std::string& heldSince) override;
    void unlockRun() override;
    std::vector<std::string> tableNames(bool systemTables) override;
    std::optional<TableRef> findTable(std::string_view name) override;
    TableInfo describeTable(const TableRef& table) override;
    std::string columnTypeSql(const ColumnInfo& column) const override;
    std::unique_ptr<BulkInserter> bulkInserter(const TableRef& table,
                                               const std::vector<ColumnInfo>& columns) override;

    // The libpq handle; raises kNotConnected when closed.
    PGconn* handle() const;
    // Frees the connection for a new request: a streaming cursor reads its rest into memory.
    void settle();
    // The cursor that streams now (set and cleared by PgStreamCursor).
    void setStreaming(PgStreamCursor* cursor) { m_streaming = cursor; }
    // Runs one request and checks its status; raises the server's error.
    pgutil::Result exec(std::string_view sql);
    // Runs one statement with text parameters ($1, ...; nullopt is NULL).
    pgutil::Result execParams(std::string_view sql,
                              const std::vector<std::optional<std::string>>& params);
    // Raises the error of a failed result (nullptr: of the connection).
    [[noreturn]] void raise(const PGresult* result) const;
    // Notes, before a request is sent in single-row mode, whether it runs inside a transaction.
    void beforeSend();
    // A name for a new server-side prepared statement.
    std::string nextStatementName();

private:
    // Sends before, the steps and after in pipeline mode before one Sync and reads every result;
    // the first failure, if any (what followed it was not run).
    std::optional<EDBEngineError> runPipeline(std::string_view before,
                                              const std::vector<AtomicStep>& steps,
                                              std::string_view after);
    // Fills column declaredType of Other columns from the server's catalog.
    void completeTypes(std::vector<ColumnInfo>& columns,
                       const std::vector<std::pair<Oid, int>>& types);
    std::optional<Oid> resolve(std::string_view name);

    PGconn* m_conn;
    std::string m_identity;
    PgStreamCursor* m_streaming = nullptr;
    bool m_sentInTransaction = false;
    unsigned m_statementCounter = 0;
    bool m_runLocked = false;
};

} // namespace vt::dbengine
