// PgConnection and PgDriver: connecting to PostgreSQL and serving the driver interface.
#include "dbengine/pg/pgconnection.h"

#include "dbengine/core/sqlscan.h"
#include "dbengine/pg/pgcursor.h"
#include "dbengine/pg/pgdriver.h"
#include "platform/asciitext.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vt::dbengine {

using pgutil::Result;

namespace {

// The advisory lock key of a script run: a pair of 32-bit numbers ('VTRN', 1) that other
// applications of the server are unlikely to use.
constexpr const char* kRunLockKey = "1448366670, 1";

void ignoreNotice(void*, const char*) {}

struct ServerName {
    std::string host, port, database;
};

ServerName parseServerName(const std::string& text, const std::string& alias) {
    auto slash = text.rfind('/');
    if (text.empty() || slash == std::string::npos || slash + 1 == text.size())
        throw EDBEngineError::engine(status::kInvalidAlias,
                                     "SERVER NAME of alias " + alias +
                                         " must read host[:port]/database, not \"" + text + "\"");
    ServerName s;
    s.database = text.substr(slash + 1);
    std::string hostPort = text.substr(0, slash);
    if (!hostPort.empty() && hostPort.front() == '[') {
        auto close = hostPort.find(']');
        s.host = hostPort.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        if (close != std::string::npos && close + 1 < hostPort.size() && hostPort[close + 1] == ':')
            s.port = hostPort.substr(close + 2);
    } else if (!hostPort.empty() && hostPort.front() == '/') {
        s.host = hostPort; // a socket folder
    } else {
        auto colon = hostPort.rfind(':');
        s.host = hostPort.substr(0, colon);
        if (colon != std::string::npos)
            s.port = hostPort.substr(colon + 1);
    }
    return s;
}

// The first word of SQL text in upper case, after blanks and comments.
std::string leadingKeyword(std::string_view sql) {
    std::size_t i = 0;
    while (i < sql.size()) {
        if (std::isspace(static_cast<unsigned char>(sql[i]))) {
            ++i;
        } else if (sql.substr(i, 2) == "--") {
            i = sql.find('\n', i);
        } else if (sql.substr(i, 2) == "/*") {
            // Block comments nest in PostgreSQL.
            int depth = 0;
            while (i < sql.size()) {
                if (sql.substr(i, 2) == "/*") {
                    ++depth;
                    i += 2;
                } else if (sql.substr(i, 2) == "*/") {
                    i += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++i;
                }
            }
        } else {
            break;
        }
    }
    std::string word;
    while (i < sql.size() && std::isalpha(static_cast<unsigned char>(sql[i])))
        word += platform::toUpperAscii(sql[i++]);
    return word;
}

// Whether SQL text can join a pipelined transaction: the extended protocol takes one statement
// per message, COPY needs the connection to itself, and transaction control would end the
// transaction around it.
bool fitsPipeline(std::string_view sql) {
    static constexpr std::array<std::string_view, 10> kOwnRequest = {
        "COPY",     "BEGIN", "START",     "COMMIT",  "END",
        "ROLLBACK", "ABORT", "SAVEPOINT", "RELEASE", "PREPARE"};
    if (splitSqlStatements(sql, script::SqlDialect::PostgreSQL).size() != 1)
        return false;
    const std::string word = leadingKeyword(sql);
    return std::find(kOwnRequest.begin(), kOwnRequest.end(), word) == kOwnRequest.end();
}

} // namespace

std::unique_ptr<Connection> PgDriver::connect(const AliasDefinition& alias, const std::string& user,
                                              const std::string& password) const {
    ServerName server = parseServerName(alias.params.value("SERVER NAME"), alias.name);
    std::vector<std::pair<std::string, std::string>> params;
    auto set = [&](const std::string& key, const std::string& value) {
        for (auto& p : params)
            if (p.first == key) {
                p.second = value;
                return;
            }
        params.emplace_back(key, value);
    };
    set("connect_timeout", "10");
    set("application_name", "Vantrel Utilities");
    for (const auto& [key, value] : alias.params.items()) {
        if (platform::equalsNoCase(key, "SERVER NAME") ||
            platform::equalsNoCase(key, "USER NAME") || platform::equalsNoCase(key, "PASSWORD") ||
            platform::equalsNoCase(key, "GROUP COMMIT"))
            continue;
        std::string k = platform::toLowerAscii(key);
        std::replace(k.begin(), k.end(), ' ', '_');
        set(k, value);
    }
    if (!server.host.empty())
        set("host", server.host);
    if (!server.port.empty())
        set("port", server.port);
    set("dbname", server.database);
    if (!user.empty())
        set("user", user);
    std::string pass = password.empty() ? alias.params.value("PASSWORD") : password;
    if (!pass.empty())
        set("password", pass);
    set("client_encoding", "UTF8");
    std::vector<const char*> keys, values;
    for (const auto& [k, v] : params) {
        keys.push_back(k.c_str());
        values.push_back(v.c_str());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        std::string message = conn ? PQerrorMessage(conn) : "";
        EDBEngineError err = message.find("invalid connection option") != std::string::npos
                                 ? EDBEngineError::engine(status::kInvalidAlias,
                                                          "alias " + alias.name + ": " + message)
                                 : pgutil::connectError(conn);
        PQfinish(conn);
        throw err;
    }
    return std::make_unique<PgConnection>(conn);
}

PgConnection::PgConnection(PGconn* conn) : m_conn(conn) {
    PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
    m_identity = std::string("PGSQL:") + PQhost(m_conn) + ":" + PQport(m_conn) + "/" + PQdb(m_conn);
    try {
        exec("SET DateStyle = ISO");
    } catch (...) {
        PQfinish(m_conn);
        throw;
    }
}

PgConnection::~PgConnection() {
    closeChildren();
    m_streaming = nullptr;
    if (m_runLocked && PQstatus(m_conn) == CONNECTION_OK) {
        // The server lets go of a session's locks only once the session has ended, a moment
        // after PQfinish returns: the next run of this process must find the lock free.
        if (PQtransactionStatus(m_conn) != PQTRANS_IDLE)
            Result rollback(PQexec(m_conn, "ROLLBACK"));
        Result unlock(PQexec(
            m_conn, (std::string("SELECT pg_advisory_unlock(") + kRunLockKey + ")").c_str()));
    }
    PQfinish(m_conn);
}

PGconn* PgConnection::handle() const {
    if (!m_conn)
        throw EDBEngineError::engine(status::kNotConnected);
    return m_conn;
}

void PgConnection::settle() {
    if (m_streaming) {
        PgStreamCursor* cursor = m_streaming;
        cursor->bufferRest();
        m_streaming = nullptr;
    }
}

void PgConnection::beforeSend() {
    PGTransactionStatusType st = PQtransactionStatus(m_conn);
    m_sentInTransaction = st == PQTRANS_INTRANS || st == PQTRANS_INERROR;
}

void PgConnection::raise(const PGresult* result) const {
    throw pgutil::error(m_conn, result);
}

std::string PgConnection::nextStatementName() {
    return "vt_stmt_" + std::to_string(++m_statementCounter);
}

Result PgConnection::exec(std::string_view sql) {
    settle();
    std::string text(sql);
    Result r(PQexec(handle(), text.c_str()));
    switch (PQresultStatus(r.get())) {
    case PGRES_COMMAND_OK:
    case PGRES_TUPLES_OK:
    case PGRES_EMPTY_QUERY:
        return r;
    case PGRES_COPY_IN:
        PQputCopyEnd(m_conn, "COPY FROM STDIN is not supported here");
        while (Result rest{PQgetResult(m_conn)}) {
        }
        throw EDBEngineError::engine(status::kNotSupported, "COPY FROM STDIN");
    case PGRES_COPY_OUT: {
        char* buf = nullptr;
        while (PQgetCopyData(m_conn, &buf, 0) > 0)
            PQfreemem(buf);
        while (Result rest{PQgetResult(m_conn)}) {
        }
        throw EDBEngineError::engine(status::kNotSupported, "COPY TO STDOUT");
    }
    default:
        raise(r.get());
    }
}

Result PgConnection::execParams(std::string_view sql,
                                const std::vector<std::optional<std::string>>& params) {
    settle();
    std::string text(sql);
    std::vector<const char*> values;
    for (const auto& p : params)
        values.push_back(p ? p->c_str() : nullptr);
    Result r(PQexecParams(handle(), text.c_str(), static_cast<int>(values.size()), nullptr,
                          values.data(), nullptr, nullptr, 0));
    ExecStatusType st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        raise(r.get());
    return r;
}

std::unique_ptr<Cursor> PgConnection::query(std::string_view sql) {
    auto statements = splitSqlStatements(sql, script::SqlDialect::PostgreSQL);
    if (statements.size() > 1) {
        Result r = exec(sql);
        if (PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQnfields(r.get()) > 0)
            return std::make_unique<PgResultCursor>(std::move(r));
        return nullptr;
    }
    settle();
    std::string text(sql);
    beforeSend();
    if (!PQsendQuery(handle(), text.c_str()))
        raise(nullptr);
    PQsetSingleRowMode(m_conn);
    return PgStreamCursor::start(*this);
}

std::unique_ptr<Statement> PgConnection::prepare(std::string_view sql) {
    return std::make_unique<PgStatement>(*this, sql);
}

std::vector<ColumnInfo> PgConnection::describeQuery(std::string_view sql) {
    auto statements = splitSqlStatements(sql, script::SqlDialect::PostgreSQL);
    if (statements.size() != 1)
        throw EDBEngineError::engine(status::kInvalidParameter,
                                     statements.empty() ? "the text holds no statement"
                                                        : "the text holds more than one statement");
    settle();
    std::string text(sql);
    Result prepared(PQprepare(handle(), "", text.c_str(), 0, nullptr));
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
        raise(prepared.get());
    Result d(PQdescribePrepared(m_conn, ""));
    if (PQresultStatus(d.get()) != PGRES_COMMAND_OK)
        raise(d.get());
    std::vector<ColumnInfo> columns;
    std::vector<std::pair<Oid, int>> types;
    for (int i = 0; i < PQnfields(d.get()); ++i) {
        columns.push_back(
            pgutil::columnFromType(PQfname(d.get(), i), PQftype(d.get(), i), PQfmod(d.get(), i)));
        types.emplace_back(PQftype(d.get(), i), PQfmod(d.get(), i));
    }
    completeTypes(columns, types);
    return columns;
}

void PgConnection::completeTypes(std::vector<ColumnInfo>& columns,
                                 const std::vector<std::pair<Oid, int>>& types) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].type != ColumnType::Other)
            continue;
        Result r = execParams("SELECT format_type($1::oid, $2::int)",
                              {std::to_string(types[i].first), std::to_string(types[i].second)});
        if (PQntuples(r.get()) == 1 && !PQgetisnull(r.get(), 0, 0))
            columns[i].declaredType = PQgetvalue(r.get(), 0, 0);
    }
}

void PgConnection::begin() {
    if (inTransaction())
        throw EDBEngineError::engine(status::kTransactionState, "a transaction is already active");
    exec("BEGIN");
}

void PgConnection::commit() {
    settle();
    PGTransactionStatusType st = PQtransactionStatus(handle());
    if (st == PQTRANS_IDLE)
        throw EDBEngineError::engine(status::kTransactionState, "no transaction is active");
    auto rolledBack = [] {
        return EDBEngineError::engine(
            status::kTransactionState,
            "the transaction was rolled back because a statement in it failed");
    };
    if (st == PQTRANS_INERROR) {
        exec("ROLLBACK");
        throw rolledBack();
    }
    Result r = exec("COMMIT");
    if (std::string_view(PQcmdStatus(r.get())) == "ROLLBACK")
        throw rolledBack();
}

void PgConnection::runAtomically(const std::vector<AtomicStep>& steps) {
    for (const AtomicStep& step : steps)
        if (!step.prepared && !fitsPipeline(step.sql)) {
            Connection::runAtomically(steps);
            return;
        }
    if (inTransaction())
        throw EDBEngineError::engine(status::kTransactionState, "a transaction is already active");
    // An explicit transaction block keeps the server's rules for what runs inside a transaction
    // (commands refused there fail as they would after beginTransaction).
    std::optional<EDBEngineError> failure = runPipeline("BEGIN", steps, "COMMIT");
    if (!failure)
        return;
    PGconn* c = handle();
    if (PQstatus(c) == CONNECTION_OK && PQtransactionStatus(c) != PQTRANS_IDLE) {
        Result r(PQexec(c, "ROLLBACK"));
    }
    throw *failure;
}

void PgConnection::runInSavepoint(const AtomicStep& step) {
    if (!step.prepared && !fitsPipeline(step.sql)) {
        Connection::runInSavepoint(step);
        return;
    }
    if (!inTransaction())
        throw EDBEngineError::engine(status::kTransactionState, "no transaction is active");
    std::optional<EDBEngineError> failure = runPipeline(kSavepointSql, {step}, kReleaseSql);
    if (!failure)
        return;
    undoSavepoint();
    throw *failure;
}

std::optional<EDBEngineError> PgConnection::runPipeline(std::string_view before,
                                                        const std::vector<AtomicStep>& steps,
                                                        std::string_view after) {
    settle();
    PGconn* c = handle();
    if (!PQenterPipelineMode(c))
        raise(nullptr);
    std::optional<EDBEngineError> failure;
    std::vector<PgStatement*> statementOf; // per request sent; nullptr for SQL text
    auto sendText = [&](const std::string& text) {
        if (!PQsendQueryParams(c, text.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0))
            raise(nullptr);
        statementOf.push_back(nullptr);
    };
    try {
        sendText(std::string(before));
        for (const AtomicStep& step : steps) {
            if (step.prepared) {
                auto* statement = static_cast<PgStatement*>(step.prepared);
                statement->sendInPipeline();
                statementOf.push_back(statement);
            } else {
                sendText(std::string(step.sql));
            }
        }
        sendText(std::string(after));
    } catch (const EDBEngineError& e) {
        failure = e; // what was queued runs to the Sync below, then is undone by the caller
    }
    if (!PQpipelineSync(c) && !failure)
        failure = pgutil::error(c, nullptr);
    // One sequence of results per request, each ended by nullptr, then the sync point.
    for (PgStatement* statement : statementOf) {
        while (Result r{PQgetResult(c)}) {
            ExecStatusType st = PQresultStatus(r.get());
            if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK || st == PGRES_EMPTY_QUERY) {
                if (statement)
                    statement->takeResult(r.get());
            } else if (st != PGRES_PIPELINE_ABORTED && !failure) {
                failure = pgutil::error(c, r.get());
            }
        }
        if (PQstatus(c) != CONNECTION_OK)
            break;
    }
    if (PQstatus(c) == CONNECTION_OK) {
        Result sync(PQgetResult(c));
        if (PQresultStatus(sync.get()) != PGRES_PIPELINE_SYNC && !failure)
            failure = pgutil::error(c, sync.get());
    }
    if (!PQexitPipelineMode(c) && !failure)
        failure = pgutil::error(c, nullptr);
    return failure;
}

void PgConnection::rollback() {
    if (!inTransaction())
        throw EDBEngineError::engine(status::kTransactionState, "no transaction is active");
    exec("ROLLBACK");
}

bool PgConnection::inTransaction() const {
    if (!m_conn)
        return false;
    PGTransactionStatusType st = PQtransactionStatus(m_conn);
    if (st == PQTRANS_ACTIVE)
        return m_sentInTransaction;
    return st == PQTRANS_INTRANS || st == PQTRANS_INERROR;
}

void PgConnection::setIsolation(Isolation level) {
    const char* name = level == Isolation::DirtyRead        ? "READ UNCOMMITTED"
                       : level == Isolation::RepeatableRead ? "REPEATABLE READ"
                                                            : "READ COMMITTED";
    exec(std::string("SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL ") + name);
}

bool PgConnection::alive() {
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK)
        return false;
    if (m_streaming)
        return true;
    Result r(PQexec(m_conn, ""));
    return PQstatus(m_conn) == CONNECTION_OK && r && PQresultStatus(r.get()) == PGRES_EMPTY_QUERY;
}

std::vector<std::int32_t> PgConnection::transactionRefusalCodes() const {
    return {nativeCodeFromSqlState("25001"), nativeCodeFromSqlState("2D000")};
}

bool PgConnection::tryLockRun(std::string& heldSince) {
    heldSince.clear();
    if (m_runLocked)
        return true; // a second take would have to be released twice
    Result r = exec(std::string("SELECT pg_try_advisory_lock(") + kRunLockKey + ")");
    if (PQntuples(r.get()) == 1 && PQgetvalue(r.get(), 0, 0)[0] == 't') {
        m_runLocked = true;
        return true;
    }
    Result holder =
        exec("SELECT to_char(a.backend_start, 'YYYY-MM-DD HH24:MI:SS') FROM pg_locks l "
             "JOIN pg_stat_activity a ON a.pid = l.pid WHERE l.locktype = 'advisory' AND l.granted "
             "AND l.classid = 1448366670 AND l.objid = 1 AND l.objsubid = 2 "
             "AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database())");
    if (PQntuples(holder.get()) >= 1 && !PQgetisnull(holder.get(), 0, 0))
        heldSince = PQgetvalue(holder.get(), 0, 0);
    return false;
}

void PgConnection::unlockRun() {
    if (!m_runLocked)
        return;
    exec(std::string("SELECT pg_advisory_unlock(") + kRunLockKey + ")");
    m_runLocked = false;
}

namespace {

constexpr const char* kRelKinds = "c.relkind IN ('r','v','m','f','p')";

} // namespace

std::vector<std::string> PgConnection::tableNames(bool systemTables) {
    std::string sql = std::string("SELECT n.nspname, c.relname, pg_table_is_visible(c.oid) "
                                  "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                                  "WHERE ") +
                      kRelKinds;
    if (!systemTables)
        sql += " AND n.nspname NOT IN ('pg_catalog', 'information_schema') "
               "AND n.nspname NOT LIKE 'pg\\_toast%' AND n.nspname NOT LIKE 'pg\\_temp%'";
    Result r = exec(sql);
    std::vector<std::string> names;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        bool visible = PQgetvalue(r.get(), i, 2)[0] == 't';
        names.push_back(visible ? std::string(PQgetvalue(r.get(), i, 1))
                                : std::string(PQgetvalue(r.get(), i, 0)) + "." +
                                      PQgetvalue(r.get(), i, 1));
    }
    return names;
}

std::optional<Oid> PgConnection::resolve(std::string_view name) {
    auto lookup = [&](const std::string& schema, const std::string& table) -> std::optional<Oid> {
        Result r = execParams(std::string("SELECT c.oid FROM pg_class c JOIN pg_namespace n ON "
                                          "n.oid = c.relnamespace WHERE ") +
                                  kRelKinds +
                                  " AND c.relname = $2 AND CASE WHEN $1 = '' THEN "
                                  "pg_table_is_visible(c.oid) ELSE n.nspname = $1 END",
                              {schema, table});
        if (PQntuples(r.get()) == 0)
            return std::nullopt;
        return static_cast<Oid>(std::strtoul(PQgetvalue(r.get(), 0, 0), nullptr, 10));
    };
    auto tryBoth = [&](const std::string& schema, const std::string& table) -> std::optional<Oid> {
        if (auto oid = lookup(schema, table))
            return oid;
        return lookup(platform::toLowerAscii(schema), platform::toLowerAscii(table));
    };
    if (auto oid = tryBoth("", std::string(name)))
        return oid;
    auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    return tryBoth(std::string(name.substr(0, dot)), std::string(name.substr(dot + 1)));
}

std::optional<TableRef> PgConnection::findTable(std::string_view name) {
    auto oid = resolve(name);
    if (!oid)
        return std::nullopt;
    Result r = execParams("SELECT n.nspname, c.relname, pg_table_is_visible(c.oid) FROM pg_class c "
                          "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = $1",
                          {std::to_string(*oid)});
    if (PQntuples(r.get()) == 0)
        return std::nullopt;
    std::string schema = PQgetvalue(r.get(), 0, 0);
    std::string relname = PQgetvalue(r.get(), 0, 1);
    TableRef ref;
    ref.name = PQgetvalue(r.get(), 0, 2)[0] == 't' ? relname : schema + "." + relname;
    ref.sql = quoteIdentifier(schema) + "." + quoteIdentifier(relname);
    return ref;
}

TableInfo PgConnection::describeTable(const TableRef& table) {
    auto oid = resolve(table.name);
    if (!oid)
        throw EDBEngineError::engine(status::kNoSuchTable, table.name);
    std::string id = std::to_string(*oid);
    TableInfo info;
    info.ref = table;
    Result cols = execParams("SELECT a.attname, a.atttypid, a.atttypmod, a.attnotnull, "
                             "format_type(a.atttypid, a.atttypmod) FROM pg_attribute a "
                             "WHERE a.attrelid = $1 AND a.attnum > 0 AND NOT a.attisdropped "
                             "ORDER BY a.attnum",
                             {id});
    for (int i = 0; i < PQntuples(cols.get()); ++i) {
        ColumnInfo c = pgutil::columnFromType(
            PQgetvalue(cols.get(), i, 0),
            static_cast<Oid>(std::strtoul(PQgetvalue(cols.get(), i, 1), nullptr, 10)),
            std::atoi(PQgetvalue(cols.get(), i, 2)));
        c.notNull = PQgetvalue(cols.get(), i, 3)[0] == 't';
        c.declaredType = PQgetvalue(cols.get(), i, 4);
        info.columns.push_back(std::move(c));
    }
    Result keys =
        execParams("SELECT i.indexrelid, i.indisprimary, a.attname FROM pg_index i "
                   "CROSS JOIN LATERAL unnest(i.indkey::int2[]) WITH ORDINALITY AS k(attnum, ord) "
                   "JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum "
                   "WHERE i.indrelid = $1 AND (i.indisprimary OR i.indisunique) "
                   "AND i.indpred IS NULL AND i.indexprs IS NULL "
                   "ORDER BY i.indisprimary DESC, i.indexrelid, k.ord",
                   {id});
    std::string current;
    for (int i = 0; i < PQntuples(keys.get()); ++i) {
        std::string index = PQgetvalue(keys.get(), i, 0);
        bool primary = PQgetvalue(keys.get(), i, 1)[0] == 't';
        std::string column = PQgetvalue(keys.get(), i, 2);
        if (primary) {
            info.primaryKey.push_back(column);
        } else {
            if (index != current)
                info.uniqueKeys.emplace_back();
            info.uniqueKeys.back().push_back(column);
        }
        current = index;
    }
    return info;
}

std::string PgConnection::columnTypeSql(const ColumnInfo& column) const {
    return pgutil::columnTypeSql(column);
}

std::unique_ptr<BulkInserter> PgConnection::bulkInserter(const TableRef& table,
                                                         const std::vector<ColumnInfo>& columns) {
    return std::make_unique<PgCopyInserter>(*this, table, columns);
}

} // namespace vt::dbengine
