// The PostgreSQL driver's cursors, prepared statement and COPY insertion.
#include "dbengine/pg/pgcursor.h"

#include "dbengine/core/sqlscan.h"
#include "dbengine/pg/pgconnection.h"

#include <cstdlib>

namespace vt::dbengine {

using pgutil::Result;

namespace {

void describeResult(const PGresult* r, std::vector<ColumnInfo>& columns, std::vector<Oid>& types) {
    int n = PQnfields(r);
    columns.clear();
    types.clear();
    for (int i = 0; i < n; ++i) {
        types.push_back(PQftype(r, i));
        columns.push_back(pgutil::columnFromType(PQfname(r, i), PQftype(r, i), PQfmod(r, i)));
    }
}

} // namespace

// ---- PgStreamCursor ----

std::unique_ptr<Cursor> PgStreamCursor::start(PgConnection& conn) {
    PGconn* c = conn.handle();
    while (true) {
        Result r(PQgetResult(c));
        if (!r)
            return nullptr;
        switch (PQresultStatus(r.get())) {
        case PGRES_SINGLE_TUPLE:
        case PGRES_TUPLES_OK:
            return std::unique_ptr<Cursor>(new PgStreamCursor(conn, std::move(r)));
        case PGRES_COMMAND_OK:
        case PGRES_EMPTY_QUERY:
            continue;
        default: {
            EDBEngineError err = pgutil::error(c, r.get());
            while (Result rest{PQgetResult(c)}) {
            }
            throw err;
        }
        }
    }
}

PgStreamCursor::PgStreamCursor(PgConnection& conn, Result first) : m_conn(&conn) {
    describeResult(first.get(), m_columns, m_types);
    m_row.resize(m_columns.size());
    conn.attachChild(this);
    if (PQresultStatus(first.get()) == PGRES_SINGLE_TUPLE) {
        m_pending = std::move(first);
        conn.setStreaming(this);
    } else {
        drain();
    }
}

PgStreamCursor::~PgStreamCursor() {
    if (!m_conn)
        return;
    if (!m_finished) {
        // Stop the server sending rows nobody reads, unless that would abort a transaction.
        if (!m_conn->inTransaction()) {
            if (PGcancel* cancel = PQgetCancel(m_conn->handle())) {
                char buf[256];
                PQcancel(cancel, buf, sizeof buf);
                PQfreeCancel(cancel);
            }
        }
        drain();
    }
    m_conn->detachChild(this);
}

void PgStreamCursor::connectionClosing() {
    m_conn = nullptr;
    m_finished = true;
    m_pending.reset();
}

void PgStreamCursor::drain() {
    if (m_conn) {
        PGconn* c = m_conn->handle();
        while (Result r{PQgetResult(c)}) {
        }
        m_conn->setStreaming(nullptr);
    }
    m_finished = true;
}

void PgStreamCursor::take(const PGresult* r) {
    for (int i = 0, n = static_cast<int>(m_row.size()); i < n; ++i)
        pgutil::readField(r, 0, i, m_types[static_cast<std::size_t>(i)],
                          m_row[static_cast<std::size_t>(i)]);
}

bool PgStreamCursor::fetch() {
    if (m_pending) {
        take(m_pending.get());
        m_pending.reset();
        return true;
    }
    if (m_finished)
        return false;
    if (!m_conn)
        throw EDBEngineError::engine(status::kNotConnected);
    PGconn* c = m_conn->handle();
    Result r(PQgetResult(c));
    if (!r) {
        m_finished = true;
        m_conn->setStreaming(nullptr);
        return false;
    }
    switch (PQresultStatus(r.get())) {
    case PGRES_SINGLE_TUPLE:
        take(r.get());
        return true;
    case PGRES_TUPLES_OK:
    case PGRES_COMMAND_OK:
        drain();
        return false;
    default: {
        EDBEngineError err = pgutil::error(c, r.get());
        drain();
        throw err;
    }
    }
}

void PgStreamCursor::bufferRest() {
    if (m_buffered)
        return;
    try {
        while (fetch())
            m_buffer.push_back(m_row);
    } catch (const EDBEngineError& e) {
        m_error = e;
    }
    m_buffered = true;
}

bool PgStreamCursor::next() {
    if (!m_buffered) {
        if (!m_conn && !m_finished)
            throw EDBEngineError::engine(status::kNotConnected);
        return fetch();
    }
    if (!m_buffer.empty()) {
        m_row = std::move(m_buffer.front());
        m_buffer.pop_front();
        return true;
    }
    if (m_error) {
        EDBEngineError err = *m_error;
        m_error.reset();
        throw err;
    }
    return false;
}

// ---- PgResultCursor ----

PgResultCursor::PgResultCursor(Result result) : m_result(std::move(result)) {
    describeResult(m_result.get(), m_columns, m_types);
    m_row.resize(m_columns.size());
}

bool PgResultCursor::next() {
    if (m_next >= PQntuples(m_result.get()))
        return false;
    for (int i = 0, n = static_cast<int>(m_row.size()); i < n; ++i)
        pgutil::readField(m_result.get(), m_next, i, m_types[static_cast<std::size_t>(i)],
                          m_row[static_cast<std::size_t>(i)]);
    ++m_next;
    return true;
}

// ---- PgStatement ----

PgStatement::PgStatement(PgConnection& conn, std::string_view sql) : m_conn(&conn) {
    auto statements = splitSqlStatements(sql, SqlDialect::postgres());
    if (statements.size() != 1)
        throw EDBEngineError::engine(status::kInvalidParameter,
                                     statements.empty() ? "the text holds no statement"
                                                        : "the text holds more than one statement");
    int count = 0;
    std::string text = numberSqlMarkers(sql, SqlDialect::postgres(), count);
    conn.settle();
    PGconn* c = conn.handle();
    m_name = conn.nextStatementName();
    Result prepared(PQprepare(c, m_name.c_str(), text.c_str(), 0, nullptr));
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
        conn.raise(prepared.get());
    Result described(PQdescribePrepared(c, m_name.c_str()));
    if (PQresultStatus(described.get()) != PGRES_COMMAND_OK)
        conn.raise(described.get());
    m_paramCount = PQnparams(described.get());
    for (int i = 0; i < m_paramCount; ++i)
        m_paramTypes.push_back(PQparamtype(described.get(), i));
    m_returnsRows = PQnfields(described.get()) > 0;
    m_values.resize(static_cast<std::size_t>(m_paramCount));
    m_bound.assign(static_cast<std::size_t>(m_paramCount), false);
    conn.attachChild(this);
}

PgStatement::~PgStatement() {
    if (!m_conn)
        return;
    m_conn->detachChild(this);
    try {
        if (PQstatus(m_conn->handle()) == CONNECTION_OK) {
            m_conn->settle();
            Result r(PQexec(m_conn->handle(), ("DEALLOCATE " + m_name).c_str()));
        }
    } catch (const EDBEngineError&) {
        // A statement left on a broken session goes with the session.
    }
}

void PgStatement::bind(int index, const Value& value) {
    if (index < 0 || index >= m_paramCount)
        throw EDBEngineError::engine(status::kParameterCount,
                                     "marker " + std::to_string(index + 1) + " of " +
                                         std::to_string(m_paramCount));
    auto i = static_cast<std::size_t>(index);
    if (value.isNull())
        m_values[i].reset();
    else
        m_values[i] = pgutil::paramText(value, pgutil::isBooleanType(m_paramTypes[i]));
    m_bound[i] = true;
}

std::vector<const char*> PgStatement::boundValues() const {
    if (!m_conn)
        throw EDBEngineError::engine(status::kNotConnected);
    for (std::size_t i = 0; i < m_bound.size(); ++i)
        if (!m_bound[i])
            throw EDBEngineError::engine(status::kParameterCount,
                                         "marker " + std::to_string(i + 1) + " is not bound");
    std::vector<const char*> values;
    values.reserve(m_values.size());
    for (const auto& v : m_values)
        values.push_back(v ? v->c_str() : nullptr);
    return values;
}

void PgStatement::sendInPipeline() {
    std::vector<const char*> values = boundValues();
    m_rows = 0;
    if (!PQsendQueryPrepared(m_conn->handle(), m_name.c_str(), m_paramCount, values.data(), nullptr,
                             nullptr, 0))
        m_conn->raise(nullptr);
}

void PgStatement::takeResult(const PGresult* result) {
    m_rows = std::strtoll(PQcmdTuples(const_cast<PGresult*>(result)), nullptr, 10);
}

std::unique_ptr<Cursor> PgStatement::execute() {
    std::vector<const char*> values = boundValues();
    m_conn->settle();
    PGconn* c = m_conn->handle();
    m_rows = 0;
    if (m_returnsRows) {
        m_conn->beforeSend();
        if (!PQsendQueryPrepared(c, m_name.c_str(), m_paramCount, values.data(), nullptr, nullptr,
                                 0))
            m_conn->raise(nullptr);
        PQsetSingleRowMode(c);
        return PgStreamCursor::start(*m_conn);
    }
    Result r(PQexecPrepared(c, m_name.c_str(), m_paramCount, values.data(), nullptr, nullptr, 0));
    ExecStatusType st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        m_conn->raise(r.get());
    m_rows = std::strtoll(PQcmdTuples(r.get()), nullptr, 10);
    return nullptr;
}

// ---- PgCopyInserter ----

PgCopyInserter::PgCopyInserter(PgConnection& conn, const TableRef& table,
                               const std::vector<ColumnInfo>& columns)
    : m_conn(&conn) {
    std::string sql = "COPY " + table.sql + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += (i ? ", " : "") + conn.quoteIdentifier(columns[i].name);
        m_boolean.push_back(columns[i].type == ColumnType::Boolean);
    }
    sql += ") FROM STDIN";
    conn.settle();
    Result r(PQexec(conn.handle(), sql.c_str()));
    if (PQresultStatus(r.get()) != PGRES_COPY_IN)
        conn.raise(r.get());
    m_open = true;
    m_buffer.reserve(1 << 18);
    conn.attachChild(this);
}

PgCopyInserter::~PgCopyInserter() {
    if (!m_conn)
        return;
    m_conn->detachChild(this);
    if (m_open) {
        try {
            end("insertion abandoned");
        } catch (const EDBEngineError&) {
            // The abandoned COPY's own error is expected.
        }
    }
}

void PgCopyInserter::add(const std::vector<Value>& row) {
    if (!m_conn || !m_open)
        throw EDBEngineError::engine(status::kNotConnected);
    ++m_rows;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i)
            m_buffer += '\t';
        pgutil::appendCopyField(m_buffer, row[i], m_boolean[i]);
    }
    m_buffer += '\n';
    if (m_buffer.size() >= (1u << 18))
        flush();
}

void PgCopyInserter::flush() {
    if (m_buffer.empty())
        return;
    if (PQputCopyData(m_conn->handle(), m_buffer.data(), static_cast<int>(m_buffer.size())) != 1) {
        EDBEngineError err = pgutil::error(m_conn->handle(), nullptr);
        m_open = false;
        throw err;
    }
    m_buffer.clear();
}

void PgCopyInserter::finish() {
    if (!m_conn || !m_open)
        throw EDBEngineError::engine(status::kNotConnected);
    flush();
    end(nullptr);
}

void PgCopyInserter::end(const char* abortReason) {
    PGconn* c = m_conn->handle();
    m_open = false;
    if (PQputCopyEnd(c, abortReason) != 1)
        throw pgutil::error(c, nullptr);
    std::optional<EDBEngineError> err;
    while (Result r{PQgetResult(c)}) {
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK && !err) {
            err = pgutil::error(c, r.get());
            m_failed = pgutil::copyErrorLine(r.get());
        }
    }
    if (err)
        throw *err;
}

} // namespace vt::dbengine
