// The SQLite driver's cursor, prepared statement and bulk insertion.
#pragma once

#include "dbengine/core/driver.h"

#include <sqlite3.h>

namespace vt::dbengine {

class SqliteConnection;
class SqliteStatement;

// Rows of one sqlite3 statement, owned or borrowed from a SqliteStatement.
class SqliteCursor final : public Cursor, public ConnectionChild {
public:
    // Takes over stmt when owner is nullptr; else the statement belongs to owner.
    SqliteCursor(SqliteConnection& conn, sqlite3_stmt* stmt, SqliteStatement* owner);
    ~SqliteCursor() override;
    const std::vector<ColumnInfo>& columns() const override { return m_columns; }
    bool next() override;
    const std::vector<Value>& row() const override { return m_row; }
    void connectionClosing() override;
    // Ends the cursor (its statement is executed again or freed) and forgets the owner.
    void release();

private:
    SqliteConnection* m_conn;
    sqlite3_stmt* m_stmt;
    SqliteStatement* m_owner;
    bool m_done = false;
    std::vector<ColumnInfo> m_columns;
    std::vector<Value> m_row;
};

// One statement with '?' markers.
class SqliteStatement final : public Statement, public ConnectionChild {
public:
    SqliteStatement(SqliteConnection& conn, std::string_view sql);
    ~SqliteStatement() override;
    int parameterCount() const override;
    void bind(int index, const Value& value) override;
    std::unique_ptr<Cursor> execute() override;
    std::int64_t rowsAffected() const override { return m_changes; }
    void connectionClosing() override;
    // The cursor of the last execute ends.
    void cursorGone(SqliteCursor* cursor);
    sqlite3_stmt* handle() const { return m_stmt; }

private:
    SqliteConnection* m_conn;
    sqlite3_stmt* m_stmt = nullptr;
    SqliteCursor* m_cursor = nullptr;
    std::int64_t m_changes = 0;
};

// Inserts rows through a prepared INSERT.
class SqliteInserter final : public BulkInserter {
public:
    SqliteInserter(SqliteConnection& conn, const TableRef& table,
                   const std::vector<ColumnInfo>& columns);
    void add(const std::vector<Value>& row) override;
    void finish() override {}
    std::int64_t failedRow() const override { return m_failed; }

private:
    std::unique_ptr<SqliteStatement> m_stmt;
    std::int64_t m_rows = 0;
    std::int64_t m_failed = 0;
};

} // namespace vt::dbengine
