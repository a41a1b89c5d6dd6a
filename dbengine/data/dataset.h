// DataSet: the common base of Table and Query, a forward-only stream of rows of one database.
#pragma once

#include "dbengine/core/columninfo.h"
#include "dbengine/core/value.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::dbengine {

class Connection;
class Cursor;
class Database;
class Session;

// Rows of a table or query. The database name names a database object of the session; when no
// object has that name and it is an alias (or "DBName=<path>"), the dataset opens a private
// connection through it without a password. Rows stream from the server: memory does not grow
// with the row count. Text is UTF-8.
class DataSet {
public:
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    Session& session() const { return *m_session; }
    const std::string& databaseName() const { return m_databaseName; }
    // Sets the database name; closes the dataset first.
    void setDatabaseName(std::string_view name);

    // Runs the table's or query's select and positions before the first row. Raises
    // EDBEngineError (kNoSuchTable, SQL errors, ...) or EDatabaseError (no database name).
    void open();
    // Ends the rows (nothing when closed).
    void close();
    bool active() const { return m_cursor != nullptr; }

    // The columns; a closed dataset is described without reading rows.
    const std::vector<ColumnInfo>& columns();
    // The column names, in column order.
    std::vector<std::string> columnNames();

    // Moves to the next row: true, or false after the last one. Raises EDatabaseError when
    // closed.
    bool next();
    // The current row's values (valid after next() returned true).
    const std::vector<Value>& row() const;
    // Rows read since open().
    std::int64_t rowNumber() const { return m_rowNumber; }

    // The number of rows when it can be told without reading them (a table's row count),
    // else nullopt.
    virtual std::optional<std::int64_t> cheapRowCount();

    // The database object the dataset reads from (resolved by name; may be the private one).
    Database& database();
    // The connection it reads through (opening the database when it is private).
    Connection& connection();

    // Reads the rows through another connection to the same database (batch moves use it to
    // keep one SQLite file on one connection). nullptr returns to the database's own.
    void setConnectionOverride(Connection* connection);

protected:
    explicit DataSet(Session& session);

    // The select that produces the rows (the driver's SQL, UTF-8).
    virtual std::string selectSql(Connection& connection) = 0;
    // Describes the columns without reading rows.
    virtual std::vector<ColumnInfo> describe(Connection& connection) = 0;
    // Forgets the cached description (on a change of name or text).
    void invalidateDescription();

private:
    Session* m_session;
    std::string m_databaseName;
    std::unique_ptr<Database> m_private;
    Connection* m_override = nullptr;
    std::unique_ptr<Cursor> m_cursor;
    std::optional<std::vector<ColumnInfo>> m_columns;
    std::int64_t m_rowNumber = 0;
};

} // namespace vt::dbengine
