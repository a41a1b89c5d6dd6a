// The plug-in's database connection: login, version table, commands and progress records.
#include "plugin/dbsession.h"

#include "plugin/pluginerror.h"
#include "plugin/plugintexts.h"

namespace vt::plugin {
namespace {

namespace dbi = dbengine::dbi;
namespace st = dbengine::status;

// PostgreSQL's answers to a command that cannot run inside a transaction block: "cannot run
// inside a transaction block" and "invalid transaction termination" (a procedure or DO block
// that commits).
bool refusedInTransaction(const PluginError& error) {
    static const std::int32_t activeTransaction = dbengine::nativeCodeFromSqlState("25001");
    static const std::int32_t invalidTermination = dbengine::nativeCodeFromSqlState("2D000");
    return error.hasNativeCode(activeTransaction) || error.hasNativeCode(invalidTermination);
}

// Closes a cursor when it goes out of scope.
class CursorGuard final {
public:
    explicit CursorGuard(dbi::CursorHandle& cursor) : m_cursor(cursor) {}
    ~CursorGuard() {
        if (m_cursor)
            dbi::closeCursor(m_cursor);
    }
    CursorGuard(const CursorGuard&) = delete;
    CursorGuard& operator=(const CursorGuard&) = delete;

private:
    dbi::CursorHandle& m_cursor;
};

// A text field without the blanks a Char column pads it with.
std::string withoutTrailingBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

bool DbSession::connect(const std::string& alias, const std::string& user,
                        const std::string& password) {
    if (m_db) {
        try {
            close();
        } catch (const PluginError&) {
            // The old connection is forgotten either way.
        }
    }
    m_alias = alias;
    m_user = user;
    m_password = password;
    open();
    try {
        dbi::CursorHandle cursor = nullptr;
        CursorGuard guard(cursor);
        const dbengine::Status s = dbi::openTable(m_db, texts::kVersionTable.data(), cursor);
        if (s == st::kNoSuchTable || s == st::kNoSuchTableAlt)
            return false;
        checkEngine(s);
        return true;
    } catch (...) {
        dbi::closeDatabase(m_db);
        forgetStatements();
        throw;
    }
}

void DbSession::open() {
    std::vector<dbi::OptionalParam> params;
    params.push_back({std::string(texts::kUserNameParam), m_user});
    dbi::DatabaseHandle db = nullptr;
    checkEngine(dbi::openDatabase(m_alias.c_str(), m_password.c_str(), params, db));
    m_db = db;
    forgetStatements();
    m_scriptTransactionOpen = false;
    try {
        std::string driver;
        checkEngine(dbi::getDriverName(m_db, driver));
        m_dialect = driver == "PGSQL" ? SqlDialect::PostgreSQL : SqlDialect::SQLite;
        bool transactional = false;
        checkEngine(dbi::supportsTransactionalDdl(m_db, transactional));
        m_transactionalDdl = transactional;
    } catch (...) {
        dbi::closeDatabase(m_db);
        throw;
    }
}

void DbSession::close() {
    if (!m_db)
        return;
    const dbengine::Status s = dbi::closeDatabase(m_db);
    m_db = nullptr;
    forgetStatements();
    m_scriptTransactionOpen = false;
    checkEngine(s);
}

void DbSession::forgetStatements() {
    // Closing a database releases its statements with it.
    m_counterStmt = nullptr;
    m_versionStmt = nullptr;
}

void DbSession::createVersionTable(const std::string& code) {
    const bool inTransaction = m_transactionalDdl;
    if (inTransaction)
        checkEngine(dbi::beginTransaction(m_db));
    dbi::StatementHandle stmt = nullptr;
    try {
        checkEngine(dbi::execDirect(m_db, texts::kCreateTable.data(), nullptr));
        checkEngine(dbi::allocStatement(m_db, stmt));
        checkEngine(dbi::prepareWithParams(stmt, texts::kInsertFirstRow.data()));
        checkEngine(dbi::bindText(stmt, 1, code.c_str()));
        checkEngine(dbi::execute(stmt, nullptr));
        dbi::freeStatement(stmt);
        if (inTransaction)
            checkEngine(dbi::commitTransaction(m_db));
    } catch (...) {
        if (stmt)
            dbi::freeStatement(stmt);
        rollbackQuietly();
        throw;
    }
}

std::vector<VersionRow> DbSession::readRows() {
    std::vector<VersionRow> rows;
    dbi::CursorHandle cursor = nullptr;
    CursorGuard guard(cursor);
    checkEngine(dbi::execDirect(m_db, texts::kSelectRows.data(), &cursor));
    if (!cursor)
        return rows;
    dbi::Record record;
    while (dbi::getNextRecord(cursor, record) == 0) {
        VersionRow row;
        bool blank = false;
        checkEngine(dbi::getField(cursor, 1, record, row.version, blank));
        checkEngine(dbi::getField(cursor, 2, record, row.dbCode, blank));
        checkEngine(dbi::getField(cursor, 3, record, row.counter, blank));
        row.version = withoutTrailingBlanks(std::move(row.version));
        row.dbCode = withoutTrailingBlanks(std::move(row.dbCode));
        rows.push_back(std::move(row));
    }
    return rows;
}

void DbSession::runCommand(std::string_view command, const ProgressUpdate* progress,
                           bool& commandDone) {
    commandDone = false;
    const CommandTraits traits = classifyCommand(command, m_dialect);
    if (progress && m_transactionalDdl && traits.fitsInTransaction && !m_scriptTransactionOpen) {
        // The command and its progress record commit together.
        try {
            executeWithProgress(command, *progress);
            commandDone = true;
            return;
        } catch (const PluginError& error) {
            // Only the command itself can be refused inside a transaction: the progress
            // statements are plain updates.
            if (m_dialect != SqlDialect::PostgreSQL || !refusedInTransaction(error))
                throw;
            // The server runs this command only on its own: run it as below.
        }
    }
    executeCommand(command);
    commandDone = true;
    if (traits.effect == TransactionEffect::Opens)
        m_scriptTransactionOpen = true;
    else if (traits.effect == TransactionEffect::Closes)
        m_scriptTransactionOpen = false;
    if (progress)
        writeProgressOnItsOwn(*progress);
}

void DbSession::reconnect(const ProgressUpdate* progress, bool& commandDone) {
    commandDone = false;
    close();
    open();
    commandDone = true;
    if (progress)
        writeProgressOnItsOwn(*progress);
}

void DbSession::updateVersion(const std::string& version, const std::string& code) {
    executeUpdate(m_versionStmt, texts::kUpdateVersion, version, code);
}

void DbSession::executeCommand(std::string_view command) {
    dbi::StatementHandle stmt = nullptr;
    checkEngine(dbi::allocStatement(m_db, stmt));
    const std::string text(command);
    dbengine::Status s = dbi::prepare(stmt, text.c_str());
    if (s == 0)
        s = dbi::execute(stmt, nullptr);
    if (s != 0) {
        // The error is read before freeing the statement replaces it.
        PluginError error = PluginError::engine(s);
        dbi::freeStatement(stmt);
        throw error;
    }
    dbi::freeStatement(stmt);
}

void DbSession::executeWithProgress(std::string_view command, const ProgressUpdate& progress) {
    // One atomic request: the command, the counter and, at the end, the version.
    bindUpdate(m_counterStmt, texts::kUpdateCounter, progress.remaining, *progress.code);
    const bool withVersion = progress.remaining == 0 && progress.version;
    if (withVersion)
        bindUpdate(m_versionStmt, texts::kUpdateVersion, *progress.version, *progress.code);
    dbi::StatementHandle stmt = nullptr;
    checkEngine(dbi::allocStatement(m_db, stmt));
    const std::string text(command);
    dbengine::Status s = dbi::prepare(stmt, text.c_str());
    if (s == 0) {
        std::vector<dbi::StatementHandle> statements{stmt, m_counterStmt};
        if (withVersion)
            statements.push_back(m_versionStmt);
        s = dbi::executeAtomically(m_db, statements);
    }
    if (s != 0) {
        // The error is read before freeing the statement replaces it.
        PluginError error = PluginError::engine(s);
        dbi::freeStatement(stmt);
        throw error;
    }
    dbi::freeStatement(stmt);
}

void DbSession::writeProgress(const ProgressUpdate& progress) {
    executeUpdate(m_counterStmt, texts::kUpdateCounter, progress.remaining, *progress.code);
    if (progress.remaining == 0 && progress.version)
        executeUpdate(m_versionStmt, texts::kUpdateVersion, *progress.version, *progress.code);
}

void DbSession::writeProgressOnItsOwn(const ProgressUpdate& progress) {
    // Inside a transaction of the script the record joins it and commits with it.
    const bool own = !m_scriptTransactionOpen;
    if (own)
        checkEngine(dbi::beginTransaction(m_db));
    try {
        writeProgress(progress);
        if (own)
            checkEngine(dbi::commitTransaction(m_db));
    } catch (...) {
        if (own)
            rollbackQuietly();
        throw;
    }
}

void DbSession::prepareOnce(dbi::StatementHandle& stmt, std::string_view sql) {
    if (stmt)
        return;
    checkEngine(dbi::allocStatement(m_db, stmt));
    const dbengine::Status s = dbi::prepareWithParams(stmt, sql.data());
    if (s != 0) {
        PluginError error = PluginError::engine(s);
        dbi::freeStatement(stmt);
        stmt = nullptr;
        throw error;
    }
}

void DbSession::bindUpdate(dbi::StatementHandle& stmt, std::string_view sql,
                           const std::string& value, const std::string& code) {
    prepareOnce(stmt, sql);
    checkEngine(dbi::bindText(stmt, 1, value.c_str()));
    checkEngine(dbi::bindText(stmt, 2, code.c_str()));
}

void DbSession::bindUpdate(dbi::StatementHandle& stmt, std::string_view sql, std::int64_t value,
                           const std::string& code) {
    prepareOnce(stmt, sql);
    checkEngine(dbi::bindInteger(stmt, 1, value));
    checkEngine(dbi::bindText(stmt, 2, code.c_str()));
}

void DbSession::executeUpdate(dbi::StatementHandle& stmt, std::string_view sql,
                              const std::string& value, const std::string& code) {
    bindUpdate(stmt, sql, value, code);
    checkEngine(dbi::execute(stmt, nullptr));
}

void DbSession::executeUpdate(dbi::StatementHandle& stmt, std::string_view sql, std::int64_t value,
                              const std::string& code) {
    bindUpdate(stmt, sql, value, code);
    checkEngine(dbi::execute(stmt, nullptr));
}

void DbSession::rollbackQuietly() {
    bool active = false;
    if (m_db && dbi::inTransaction(m_db, active) == 0 && active)
        dbi::rollbackTransaction(m_db);
}

} // namespace vt::plugin
