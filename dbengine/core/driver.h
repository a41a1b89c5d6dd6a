// The driver interface: what each database library behind the engine provides.
//
// Drivers speak UTF-8 and raise EDBEngineError with their errors normalised (status code,
// native code, server text). One thread at a time per connection.
#pragma once

#include "dbengine/core/aliases.h"
#include "dbengine/core/columninfo.h"
#include "dbengine/core/value.h"
#include "script/sqltokenizer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::dbengine {

// A forward-only stream of rows.
class Cursor {
public:
    virtual ~Cursor() = default;
    // The result's columns (from the result itself; SQLite expression columns have typeKnown
    // false).
    virtual const std::vector<ColumnInfo>& columns() const = 0;
    // Moves to the next row: true, or false after the last one.
    virtual bool next() = 0;
    // The current row (valid after next() returned true, until the next call).
    virtual const std::vector<Value>& row() const = 0;
};

// One SQL statement prepared with '?' markers (translated by the driver).
class Statement {
public:
    virtual ~Statement() = default;
    // Number of markers.
    virtual int parameterCount() const = 0;
    // Binds a value to marker index (from 0); bindings stay until changed.
    virtual void bind(int index, const Value& value) = 0;
    // Runs the statement; a cursor when it returns rows (valid until the next execute or the
    // statement's end), else nullptr.
    virtual std::unique_ptr<Cursor> execute() = 0;
    // Rows inserted, updated or deleted by the last execute.
    virtual std::int64_t rowsAffected() const = 0;
};

// Fast insertion of many rows into one table (PostgreSQL: COPY; SQLite: a prepared insert).
class BulkInserter {
public:
    virtual ~BulkInserter() = default;
    // Adds a row (values already converted to the columns' types, in column order).
    virtual void add(const std::vector<Value>& row) = 0;
    // Sends what is buffered and ends the insertion.
    virtual void finish() = 0;
    // After a failure of add or finish: the number (from 1, in add order) of the row the
    // server rejected, or 0 when it cannot be told.
    virtual std::int64_t failedRow() const = 0;
};

// A table found in a database.
struct TableRef {
    std::string name; // its name as listed ("schema.table" when outside the search path)
    std::string sql;  // its name quoted for SQL
};

// The structure of a table.
struct TableInfo {
    TableRef ref;
    std::vector<ColumnInfo> columns;
    std::vector<std::string> primaryKey;              // column names in key order; may be empty
    std::vector<std::vector<std::string>> uniqueKeys; // other unique indexes, creation order
};

// An object of a driver that lives on a connection (cursor, statement, insertion) and lets go of
// it when the connection closes first; it then fails with kNotConnected instead of touching a
// closed connection.
class ConnectionChild {
public:
    virtual ~ConnectionChild() = default;
    // The connection is closing; forget it.
    virtual void connectionClosing() = 0;
};

// One statement of Connection::runAtomically: SQL text run as it stands, or a statement
// prepared with '?' markers together with its current bindings.
struct AtomicStep {
    std::string_view sql;          // used when prepared is nullptr
    Statement* prepared = nullptr; // a statement of the same connection
};

// Transaction isolation levels a connection can be set to.
enum class Isolation { DirtyRead, ReadCommitted, RepeatableRead };

// One open database.
class Connection {
public:
    virtual ~Connection() = default;

    // The driver's name ("STANDARD", "PGSQL").
    virtual std::string driverName() const = 0;
    // A text that is equal for two connections to the same database (for sharing a
    // connection between the source and destination of a batch move).
    virtual std::string identity() const = 0;

    // Runs SQL text (several statements allowed, in order); a cursor over the rows of the last
    // statement when it returns rows, else nullptr.
    virtual std::unique_ptr<Cursor> query(std::string_view sql) = 0;
    // Prepares one statement with '?' markers; more than one statement raises
    // kInvalidParameter.
    virtual std::unique_ptr<Statement> prepare(std::string_view sql) = 0;
    // Describes the result columns of one statement without running it.
    virtual std::vector<ColumnInfo> describeQuery(std::string_view sql) = 0;

    // Transactions (kTransactionState when misused).
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;
    virtual void setIsolation(Isolation level) = 0;
    // Runs the steps in order as one transaction, discarding any rows: all of them commit, or
    // the first failure's error is raised and none of them has taken effect. Raises
    // kTransactionState when a transaction is active. Drivers may send the steps in one
    // request; by default they run between begin and commit.
    virtual void runAtomically(const std::vector<AtomicStep>& steps);
    // Runs one step inside the active transaction under a savepoint of its own, discarding any
    // rows: when it fails, its error is raised with the transaction rolled back to the moment
    // before the step and still active (unless the failure ended the transaction itself, as a
    // lost connection or an SQLite disk-full error does). kTransactionState when no transaction
    // is active. By default SAVEPOINT, the step and RELEASE run one after the other.
    virtual void runInSavepoint(const AtomicStep& step);
    // Whether DDL runs inside transactions.
    virtual bool transactionalDdl() const = 0;
    // Whether the connection still works.
    virtual bool alive() = 0;
    // Whether the database refuses a value beyond a column's declared type (a text longer than
    // its CHAR(n), a number outside SMALLINT) rather than storing it as it is.
    virtual bool enforcesColumnTypes() const = 0;
    // The SQL dialect the database reads (quoting, comments, which statements need a
    // transaction of their own).
    virtual script::SqlDialect sqlDialect() const = 0;
    // The native codes with which the server refuses to run a statement inside a transaction
    // block (such a statement has to run on its own); empty when the driver cannot tell that
    // refusal from other errors.
    virtual std::vector<std::int32_t> transactionRefusalCodes() const = 0;
    // Whether connections to one database lock each other out while one of them writes (SQLite
    // files), so that what a connection writes has to be read through that same connection.
    virtual bool connectionsExcludeEachOther() const = 0;
    // Whether a column created without a type keeps each value as it comes, so a copied column
    // of unknown type needs no type inferred from its first value.
    virtual bool keepsUntypedValues() const = 0;

    // The run lock: one script run per database at a time. Each driver keeps it in a way that
    // ends with the connection and with the process that holds it, so a crashed holder never
    // leaves it behind. tryLockRun takes it without waiting: true when this connection holds
    // it (also when it did already), false when another connection does; heldSince then tells
    // since when the holder has been connected or held it ("YYYY-MM-DD HH:MM:SS" local time,
    // empty when unknown).
    virtual bool tryLockRun(std::string& heldSince) = 0;
    // Lets go of the run lock (nothing when not held).
    virtual void unlockRun() = 0;

    // Table names (views included), system tables only when asked.
    virtual std::vector<std::string> tableNames(bool systemTables) = 0;
    // Finds a table by the name a user gives; nullopt when there is none.
    virtual std::optional<TableRef> findTable(std::string_view name) = 0;
    // Describes a found table.
    virtual TableInfo describeTable(const TableRef& table) = 0;
    // The SQL type for a column described by any driver (see ColumnType).
    virtual std::string columnTypeSql(const ColumnInfo& column) const = 0;
    // An identifier quoted for SQL.
    virtual std::string quoteIdentifier(std::string_view name) const;
    // Starts a fast insertion into the given columns of a table.
    virtual std::unique_ptr<BulkInserter> bulkInserter(const TableRef& table,
                                                       const std::vector<ColumnInfo>& columns) = 0;

    // Runs SQL text and discards any rows.
    void execute(std::string_view sql);

    // Registration of the driver objects that live on this connection.
    void attachChild(ConnectionChild* child);
    void detachChild(ConnectionChild* child);

protected:
    // The savepoint of runInSavepoint. Scripts that name savepoints of their own never run under
    // it: their transaction control runs outside the engine's transactions.
    static constexpr std::string_view kSavepointSql = "SAVEPOINT vt_step";
    static constexpr std::string_view kReleaseSql = "RELEASE SAVEPOINT vt_step";
    static constexpr std::string_view kUndoSql =
        "ROLLBACK TO SAVEPOINT vt_step; RELEASE SAVEPOINT vt_step";
    // After a failed step of runInSavepoint: back to the step's savepoint and past it, while the
    // transaction is still active.
    void undoSavepoint();
    // Tells every attached object that the connection closes (drivers call it first in their
    // destructor).
    void closeChildren();

private:
    std::vector<ConnectionChild*> m_children;
};

// A database library behind the engine.
class Driver {
public:
    virtual ~Driver() = default;
    virtual std::string name() const = 0;
    // Whether opening a database takes a user and password (false: the driver ignores them).
    virtual bool needsLogin() const = 0;
    // Opens a database of an alias of this driver.
    virtual std::unique_ptr<Connection> connect(const AliasDefinition& alias,
                                                const std::string& user,
                                                const std::string& password) const = 0;
};

} // namespace vt::dbengine
