// The PostgreSQL driver's cursors (streamed and buffered) and prepared statement.
#pragma once

#include "dbengine/core/driver.h"
#include "dbengine/pg/pgutil.h"

#include <deque>
#include <optional>

namespace vt::dbengine {

class PgConnection;

// Rows of a request sent in single-row mode, read from the server one at a time.
class PgStreamCursor final : public Cursor, public ConnectionChild {
public:
    // Reads the first result of a request just sent; nullptr when it returns no rows (the
    // request has then finished). Raises the request's error.
    static std::unique_ptr<Cursor> start(PgConnection& conn);
    ~PgStreamCursor() override;
    const std::vector<ColumnInfo>& columns() const override { return m_columns; }
    bool next() override;
    const std::vector<Value>& row() const override { return m_row; }
    void connectionClosing() override;
    // Reads the remaining rows into memory, so the connection is free for other requests.
    void bufferRest();

private:
    PgStreamCursor(PgConnection& conn, pgutil::Result first);
    // Reads the server's next result: true with a row in m_row, false at the end.
    bool fetch();
    void drain();
    void take(const PGresult* r);

    PgConnection* m_conn;
    std::vector<ColumnInfo> m_columns;
    std::vector<Oid> m_types;
    std::vector<Value> m_row;
    pgutil::Result m_pending; // a first row not yet handed out
    bool m_finished = false;  // the server sent everything
    bool m_buffered = false;  // rows come from m_buffer
    std::deque<std::vector<Value>> m_buffer;
    std::optional<EDBEngineError> m_error; // met while buffering, raised in order
};

// Rows of a complete result held in memory.
class PgResultCursor final : public Cursor {
public:
    explicit PgResultCursor(pgutil::Result result);
    const std::vector<ColumnInfo>& columns() const override { return m_columns; }
    bool next() override;
    const std::vector<Value>& row() const override { return m_row; }

private:
    pgutil::Result m_result;
    std::vector<ColumnInfo> m_columns;
    std::vector<Oid> m_types;
    std::vector<Value> m_row;
    int m_next = 0;
};

// One server-side prepared statement with '?' markers turned into $n.
class PgStatement final : public Statement, public ConnectionChild {
public:
    PgStatement(PgConnection& conn, std::string_view sql);
    ~PgStatement() override;
    int parameterCount() const override { return m_paramCount; }
    void bind(int index, const Value& value) override;
    std::unique_ptr<Cursor> execute() override;
    std::int64_t rowsAffected() const override { return m_rows; }
    void connectionClosing() override { m_conn = nullptr; }
    // Queues an execution with the current bindings on a connection in pipeline mode.
    void sendInPipeline();
    // Takes the rows-affected count from the result of an execution sent in a pipeline.
    void takeResult(const PGresult* result);

private:
    // The bound values for libpq; raises kParameterCount when a marker is unbound.
    std::vector<const char*> boundValues() const;

    PgConnection* m_conn;
    std::string m_name;
    int m_paramCount = 0;
    bool m_returnsRows = false;
    std::vector<Oid> m_paramTypes;
    std::vector<std::optional<std::string>> m_values;
    std::vector<bool> m_bound;
    std::int64_t m_rows = 0;
};

// Appends rows with COPY ... FROM STDIN in text format.
class PgCopyInserter final : public BulkInserter, public ConnectionChild {
public:
    PgCopyInserter(PgConnection& conn, const TableRef& table,
                   const std::vector<ColumnInfo>& columns);
    ~PgCopyInserter() override;
    void add(const std::vector<Value>& row) override;
    void finish() override;
    std::int64_t failedRow() const override { return m_failed; }
    void connectionClosing() override { m_conn = nullptr; }

private:
    void flush();
    // Ends the COPY and reads its result; raises its error.
    void end(const char* abortReason);

    PgConnection* m_conn;
    std::vector<bool> m_boolean;
    std::string m_buffer;
    std::int64_t m_rows = 0;
    std::int64_t m_failed = 0;
    bool m_open = false;
};

} // namespace vt::dbengine
