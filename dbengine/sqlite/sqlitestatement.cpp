// The SQLite driver's cursor, prepared statement and bulk insertion.
#include "dbengine/sqlite/sqlitestatement.h"

#include "dbengine/core/sqlscan.h"
#include "dbengine/sqlite/sqliteconnection.h"
#include "dbengine/sqlite/sqliteutil.h"

namespace vt::dbengine {

SqliteCursor::SqliteCursor(SqliteConnection& conn, sqlite3_stmt* stmt, SqliteStatement* owner)
    : m_conn(&conn), m_stmt(stmt), m_owner(owner) {
    int n = sqlite3_column_count(stmt);
    m_columns.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const char* decl = sqlite3_column_decltype(stmt, i);
        m_columns.push_back(
            sqliteutil::columnFromDecl(sqlite3_column_name(stmt, i), decl ? decl : ""));
    }
    m_row.resize(static_cast<std::size_t>(n));
    conn.attachChild(this);
}

SqliteCursor::~SqliteCursor() {
    if (m_conn)
        m_conn->detachChild(this);
    release();
}

void SqliteCursor::release() {
    if (m_stmt) {
        if (!m_owner)
            sqlite3_finalize(m_stmt);
        else
            sqlite3_reset(m_stmt);
    }
    m_stmt = nullptr;
    m_done = true;
    if (SqliteStatement* owner = m_owner) {
        m_owner = nullptr;
        owner->cursorGone(this);
    }
}

void SqliteCursor::connectionClosing() {
    release();
    m_conn = nullptr;
}

bool SqliteCursor::next() {
    if (!m_conn)
        throw EDBEngineError::engine(status::kNotConnected);
    if (m_done || !m_stmt)
        return false;
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        for (int i = 0, n = static_cast<int>(m_row.size()); i < n; ++i)
            sqliteutil::readColumn(m_stmt, i, m_row[static_cast<std::size_t>(i)]);
        return true;
    }
    m_done = true;
    if (rc == SQLITE_DONE)
        return false;
    EDBEngineError err = sqliteutil::error(sqlite3_db_handle(m_stmt), rc);
    if (m_owner)
        sqlite3_reset(m_stmt);
    throw err;
}

SqliteStatement::SqliteStatement(SqliteConnection& conn, std::string_view sql) : m_conn(&conn) {
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v3(conn.db(), sql.data(), static_cast<int>(sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &m_stmt, &tail);
    if (rc != SQLITE_OK)
        sqliteutil::raise(conn.db(), rc);
    std::string_view rest = sql.substr(static_cast<std::size_t>(tail - sql.data()));
    if (!m_stmt || !splitSqlStatements(rest, SqlDialect::sqlite()).empty()) {
        bool none = !m_stmt;
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw EDBEngineError::engine(status::kInvalidParameter,
                                     none ? "the text holds no statement"
                                          : "the text holds more than one statement");
    }
    conn.attachChild(this);
}

SqliteStatement::~SqliteStatement() {
    if (m_conn)
        m_conn->detachChild(this);
    if (m_cursor)
        m_cursor->release();
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::connectionClosing() {
    if (m_cursor)
        m_cursor->release();
    m_cursor = nullptr;
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_conn = nullptr;
}

void SqliteStatement::cursorGone(SqliteCursor* cursor) {
    if (m_cursor == cursor)
        m_cursor = nullptr;
}

int SqliteStatement::parameterCount() const {
    return m_stmt ? sqlite3_bind_parameter_count(m_stmt) : 0;
}

void SqliteStatement::bind(int index, const Value& value) {
    if (!m_stmt)
        throw EDBEngineError::engine(status::kNotConnected);
    if (m_cursor) {
        m_cursor->release();
        m_cursor = nullptr;
    }
    sqlite3_reset(m_stmt);
    int rc = sqliteutil::bindValue(m_stmt, index + 1, value);
    if (rc != SQLITE_OK)
        sqliteutil::raise(sqlite3_db_handle(m_stmt), rc);
}

std::unique_ptr<Cursor> SqliteStatement::execute() {
    if (!m_stmt || !m_conn)
        throw EDBEngineError::engine(status::kNotConnected);
    if (m_cursor) {
        m_cursor->release();
        m_cursor = nullptr;
    }
    sqlite3_reset(m_stmt);
    m_changes = 0;
    if (sqlite3_column_count(m_stmt) > 0) {
        auto cursor = std::make_unique<SqliteCursor>(*m_conn, m_stmt, this);
        m_cursor = cursor.get();
        return cursor;
    }
    sqlite3* db = sqlite3_db_handle(m_stmt);
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        EDBEngineError err = sqliteutil::error(db, rc);
        sqlite3_reset(m_stmt);
        throw err;
    }
    m_changes = sqlite3_changes64(db);
    sqlite3_reset(m_stmt);
    return nullptr;
}

SqliteInserter::SqliteInserter(SqliteConnection& conn, const TableRef& table,
                               const std::vector<ColumnInfo>& columns) {
    std::string sql = "INSERT INTO " + table.sql + " (";
    std::string marks;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += (i ? ", " : "") + conn.quoteIdentifier(columns[i].name);
        marks += i ? ", ?" : "?";
    }
    sql += ") VALUES (" + marks + ")";
    m_stmt = std::make_unique<SqliteStatement>(conn, sql);
}

void SqliteInserter::add(const std::vector<Value>& row) {
    ++m_rows;
    sqlite3_stmt* stmt = m_stmt->handle();
    if (!stmt)
        throw EDBEngineError::engine(status::kNotConnected);
    for (std::size_t i = 0; i < row.size(); ++i) {
        int rc = sqliteutil::bindValue(stmt, static_cast<int>(i) + 1, row[i], false);
        if (rc != SQLITE_OK) {
            m_failed = m_rows;
            sqliteutil::raise(sqlite3_db_handle(stmt), rc);
        }
    }
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) {
        m_failed = m_rows;
        EDBEngineError err = sqliteutil::error(sqlite3_db_handle(stmt), rc);
        sqlite3_reset(stmt);
        throw err;
    }
    sqlite3_reset(stmt);
}

} // namespace vt::dbengine
