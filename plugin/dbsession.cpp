// The plug-in's database connection: login, version table, commands and progress records.
#include "plugin/dbsession.h"

#include "platform/asciitext.h"
#include "platform/codepage.h"
#include "plugin/plugintexts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace vt::plugin {
namespace {

constexpr int kDefaultLockTimeout = 60;
constexpr auto kLockPollInterval = std::chrono::milliseconds(100);

// VT_LOCK_TIMEOUT: whole seconds a run waits for another run's lock (default 60).
int runLockTimeoutSeconds() {
    const char* text = std::getenv("VT_LOCK_TIMEOUT");
    if (!text || !*text)
        return kDefaultLockTimeout;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > 86400 * 7)
        return kDefaultLockTimeout;
    return static_cast<int>(value);
}

// A notice for whoever watches the run: the plug-in's interface has no channel for it, so it
// goes to the standard error in the terminal's charset.
void notice(const std::string& ansiText) {
    const std::string text = platform::ansiToTerminal(ansiText) + "\n";
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

namespace dbi = dbengine::dbi;
namespace st = dbengine::status;

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

// Frees a statement when it goes out of scope (after the error of a failure has been read).
class StatementGuard final {
public:
    explicit StatementGuard(dbi::StatementHandle& stmt) : m_stmt(stmt) {}
    ~StatementGuard() {
        if (m_stmt)
            dbi::freeStatement(m_stmt);
    }
    StatementGuard(const StatementGuard&) = delete;
    StatementGuard& operator=(const StatementGuard&) = delete;

private:
    dbi::StatementHandle& m_stmt;
};

// VT_GROUP_COMMIT=0 turns group commit off for every database.
bool groupCommitWanted() {
    const char* text = std::getenv("VT_GROUP_COMMIT");
    return !text || std::string_view(text) != "0";
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
    m_lockWanted = false; // a new run takes it with its version check
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
    const dbengine::Status opened =
        dbi::openDatabase(m_alias.c_str(), m_password.c_str(), params, db);
    if (opened != 0)
        throw PluginError::engine(opened).withCause(VT_CAUSE_CONNECT);
    m_db = db;
    forgetStatements();
    m_scriptTransactionOpen = false;
    m_groupOpen = false;
    m_lost = false;
    m_stepsReady = false;
    try {
        checkEngine(dbi::getSqlDialect(m_db, m_dialect));
        checkEngine(dbi::getTransactionRefusalCodes(m_db, m_transactionRefusalCodes));
        bool transactional = false;
        checkEngine(dbi::supportsTransactionalDdl(m_db, transactional));
        m_transactionalDdl = transactional;
        std::string groupCommit;
        checkEngine(dbi::getAliasParam(m_db, texts::kGroupCommitParam.data(), groupCommit));
        m_groupCommit = transactional && groupCommit != "0" && groupCommitWanted();
    } catch (...) {
        dbi::closeDatabase(m_db);
        throw;
    }
}

bool DbSession::refusedInTransaction(const PluginError& error) const {
    return std::ranges::any_of(m_transactionRefusalCodes,
                               [&](std::int32_t code) { return error.hasNativeCode(code); });
}

void DbSession::close() {
    if (!m_db)
        return;
    // Closing ends the connection and with it the run lock.
    const dbengine::Status s = dbi::closeDatabase(m_db);
    m_db = nullptr;
    forgetStatements();
    m_scriptTransactionOpen = false;
    m_groupOpen = false; // closing rolled it back
    checkEngine(s);
}

void DbSession::lockRun() {
    m_lockWanted = true;
    takeRunLock();
}

void DbSession::takeRunLock() {
    bool acquired = false;
    std::string since;
    checkEngine(dbi::tryRunLock(m_db, acquired, since));
    if (acquired)
        return;
    const int timeout = runLockTimeoutSeconds();
    if (since.empty())
        since = platform::ansi(texts::kUnknownSince);
    const std::string seconds = std::to_string(timeout);
    if (timeout > 0)
        notice(fillTemplate(texts::kRunLockWait, {m_alias, since, seconds}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kLockPollInterval);
        std::string holderSince;
        checkEngine(dbi::tryRunLock(m_db, acquired, holderSince));
        if (acquired)
            return;
    }
    throw PluginError::message(texts::kRunLockTimeout, {m_alias, since, seconds})
        .withCause(VT_CAUSE_LOCK_TIMEOUT);
}

bool DbSession::enforcesColumnTypes() {
    bool enforced = false;
    checkEngine(dbi::enforcesColumnTypes(m_db, enforced));
    return enforced;
}

void DbSession::recover() {
    if (m_db) {
        dbi::closeDatabase(m_db); // a broken connection may fail to close cleanly: forget it
        m_db = nullptr;
        forgetStatements();
        m_groupOpen = false;
    }
    open();
    if (m_lockWanted)
        takeRunLock();
}

bool DbSession::transactionActive() {
    bool active = false;
    return m_db && dbi::inTransaction(m_db, active) == 0 && active;
}

void DbSession::rollbackScriptTransaction() {
    rollbackQuietly();
    m_scriptTransactionOpen = false;
    // Statements prepared inside it may name a table its rollback took away.
    releaseProgressStatements();
    m_stepsReady = false;
}

void DbSession::forgetStatements() {
    // Closing a database releases its statements with it.
    m_counterStmt = nullptr;
    m_versionStmt = nullptr;
    m_stepStmt = nullptr;
    m_clearStepsStmt = nullptr;
}

void DbSession::releaseProgressStatements() {
    for (dbi::StatementHandle* stmt :
         {&m_counterStmt, &m_versionStmt, &m_stepStmt, &m_clearStepsStmt})
        if (*stmt && m_db)
            dbi::freeStatement(*stmt);
    forgetStatements();
}

bool DbSession::checkLost() {
    bool alive = true;
    if (m_db && (dbi::isAlive(m_db, alive) != 0 || !alive))
        m_lost = true;
    return m_lost;
}

PluginError DbSession::noteLostConnection(const PluginError& error) {
    return checkLost() ? error.withCause(VT_CAUSE_CONNECT) : error;
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
        row.version.resize(platform::trimRight(row.version, " ").size());
        row.dbCode.resize(platform::trimRight(row.dbCode, " ").size());
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
            if (!refusedInTransaction(error))
                throw explainProgressFailure(error, *progress);
            // The server runs this command only on its own: run it as below.
        }
    }
    try {
        executeCommand(command);
    } catch (const PluginError& error) {
        throw noteLostConnection(error);
    }
    commandDone = true;
    // Whether the script has a transaction of its own open is the driver's to say.
    const bool wasOpen = m_scriptTransactionOpen;
    m_scriptTransactionOpen = transactionActive();
    if (!progress)
        return;
    ProgressUpdate record = *progress;
    if (!wasOpen && m_scriptTransactionOpen) {
        m_counterAtScriptOpen = progress->expected;
    } else if (wasOpen && !m_scriptTransactionOpen) {
        // The script ended its transaction. A rollback took the progress written inside it
        // along: the Counter is back at its value from before the transaction.
        const std::optional<std::int64_t> counter = readCounter(*progress->code);
        if (counter && *counter == m_counterAtScriptOpen)
            record.expected = *counter;
    }
    writeProgressOnItsOwn(record);
}

bool DbSession::groupable(std::string_view command) {
    return m_groupCommit && !m_scriptTransactionOpen &&
           classifyCommand(command, m_dialect).fitsInTransaction;
}

GroupedRun DbSession::runGrouped(std::string_view command) {
    if (!m_groupOpen) {
        checkEngine(dbi::beginTransaction(m_db));
        m_groupOpen = true;
    }
    dbi::StatementHandle stmt = nullptr;
    checkEngine(dbi::allocStatement(m_db, stmt));
    StatementGuard guard(stmt);
    checkEngine(dbi::prepare(stmt, std::string(command).c_str()));
    const dbengine::Status s = dbi::executeInSavepoint(m_db, stmt);
    if (s == 0)
        return GroupedRun::Done;
    const PluginError error = PluginError::engine(s);
    // Only the server can tell some commands it refuses inside a transaction.
    if (refusedInTransaction(error) && groupIntact())
        return GroupedRun::MustRunAlone;
    throw noteLostConnection(error);
}

bool DbSession::groupIntact() {
    return m_groupOpen && transactionActive();
}

void DbSession::commitGroup(const ProgressUpdate* progress) {
    if (!m_groupOpen)
        return;
    m_groupOpen = false;
    commitWithProgress(progress);
}

void DbSession::abandonGroup() {
    if (m_groupOpen)
        rollbackQuietly();
    m_groupOpen = false;
}

void DbSession::reconnect(const ProgressUpdate* progress, bool& commandDone) {
    commandDone = false;
    close();
    open();
    if (m_lockWanted)
        takeRunLock();
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
    StatementGuard guard(stmt);
    checkEngine(dbi::prepare(stmt, std::string(command).c_str()));
    checkEngine(dbi::execute(stmt, nullptr));
}

void DbSession::executeWithProgress(std::string_view command, const ProgressUpdate& progress) {
    if (!m_stepsReady)
        m_stepsReady = stepsTableExists();
    dbi::StatementHandle stmt = nullptr;
    checkEngine(dbi::allocStatement(m_db, stmt));
    StatementGuard guard(stmt);
    checkEngine(dbi::prepare(stmt, std::string(command).c_str()));
    if (m_stepsReady) {
        // One atomic request: the command, its step, the counter and, at the end, the version.
        std::vector<dbi::StatementHandle> statements{stmt};
        for (dbi::StatementHandle progressStmt : bindProgress(progress))
            statements.push_back(progressStmt);
        checkEngine(dbi::executeAtomically(m_db, statements));
        return;
    }
    // The first record of the database: the step table is made in the same transaction, and
    // the progress statements are prepared inside it.
    try {
        checkEngine(dbi::beginTransaction(m_db));
        checkEngine(dbi::execDirect(m_db, texts::kCreateStepsTable.data(), nullptr));
        checkEngine(dbi::execute(stmt, nullptr));
        for (dbi::StatementHandle progressStmt : bindProgress(progress))
            checkEngine(dbi::execute(progressStmt, nullptr));
        checkEngine(dbi::commitTransaction(m_db));
    } catch (...) {
        rollbackQuietly();
        releaseProgressStatements();
        throw;
    }
    m_stepsReady = true;
}

std::vector<dbi::StatementHandle> DbSession::bindProgress(const ProgressUpdate& progress) {
    std::vector<dbi::StatementHandle> statements;
    const std::string& code = *progress.code;
    if (progress.firstStep == 1) {
        // A new run: the records of an earlier one go.
        prepareOnce(m_clearStepsStmt, texts::kClearSteps);
        checkEngine(dbi::bindText(m_clearStepsStmt, 1, code.c_str()));
        statements.push_back(m_clearStepsStmt);
    }
    prepareOnce(m_stepStmt, texts::kInsertStep);
    checkEngine(dbi::bindText(m_stepStmt, 1, code.c_str()));
    checkEngine(dbi::bindInteger(m_stepStmt, 2, progress.step));
    checkEngine(dbi::bindText(m_stepStmt, 3, code.c_str()));
    checkEngine(dbi::bindInteger(m_stepStmt, 4, progress.expected));
    checkEngine(dbi::bindText(m_stepStmt, 5, progress.fingerprint.c_str()));
    statements.push_back(m_stepStmt);
    bindUpdate(m_counterStmt, texts::kUpdateCounter, progress.remaining, code);
    statements.push_back(m_counterStmt);
    if ((progress.remaining == 0 || progress.recordVersion) && progress.version) {
        bindUpdate(m_versionStmt, texts::kUpdateVersion, *progress.version, code);
        statements.push_back(m_versionStmt);
    }
    return statements;
}

void DbSession::writeProgressOnItsOwn(const ProgressUpdate& progress) {
    if (!m_scriptTransactionOpen) {
        const dbengine::Status begun = dbi::beginTransaction(m_db);
        if (begun != 0)
            throw explainProgressFailure(PluginError::engine(begun), progress);
        commitWithProgress(&progress);
        return;
    }
    // Inside a transaction of the script the record joins it and commits with it.
    try {
        if (!m_stepsReady)
            checkEngine(dbi::execDirect(m_db, texts::kCreateStepsTable.data(), nullptr));
        for (dbi::StatementHandle stmt : bindProgress(progress))
            checkEngine(dbi::execute(stmt, nullptr));
    } catch (const PluginError& error) {
        if (!m_stepsReady)
            releaseProgressStatements();
        throw explainProgressFailure(error, progress);
    }
    if (!m_stepsReady)
        releaseProgressStatements(); // the table may yet go with the script's rollback
}

void DbSession::commitWithProgress(const ProgressUpdate* progress) {
    try {
        if (progress) {
            if (!m_stepsReady && !stepsTableExists())
                checkEngine(dbi::execDirect(m_db, texts::kCreateStepsTable.data(), nullptr));
            for (dbi::StatementHandle stmt : bindProgress(*progress))
                checkEngine(dbi::execute(stmt, nullptr));
        }
        checkEngine(dbi::commitTransaction(m_db));
    } catch (const PluginError& error) {
        rollbackQuietly();
        if (!m_stepsReady)
            releaseProgressStatements();
        throw progress ? explainProgressFailure(error, *progress) : noteLostConnection(error);
    }
    if (progress)
        m_stepsReady = true;
}

PluginError DbSession::explainProgressFailure(const PluginError& error,
                                              const ProgressUpdate& progress) {
    PluginError lost = noteLostConnection(error);
    if (m_lost || transactionActive())
        return lost;
    std::optional<std::int64_t> counter;
    try {
        counter = readCounter(*progress.code);
    } catch (const PluginError&) {
        return error;
    }
    if (counter && *counter == progress.expected)
        return error; // the progress is as this run left it: the command itself failed
    return PluginError::message(texts::kConcurrentRun,
                                {counter ? std::to_string(*counter) : std::string("-"),
                                 std::to_string(progress.expected)})
        .withCause(VT_CAUSE_CONCURRENT);
}

bool DbSession::stepsTableExists() {
    // Asked before creating it: creating a table needs a right that a run of plain data
    // changes may lack, even when the table is there.
    dbi::CursorHandle cursor = nullptr;
    CursorGuard guard(cursor);
    const dbengine::Status s = dbi::openTable(m_db, texts::kStepsTable.data(), cursor);
    if (s == st::kNoSuchTable || s == st::kNoSuchTableAlt)
        return false;
    checkEngine(s);
    return true;
}

std::vector<StepRecord> DbSession::readSteps(const std::string& code) {
    std::vector<StepRecord> steps;
    if (!stepsTableExists())
        return steps;
    queryByCode(texts::kSelectSteps, code, [&](dbi::CursorHandle cursor, const dbi::Record& rec) {
        StepRecord step;
        bool blank = false;
        checkEngine(dbi::getField(cursor, 1, rec, step.step, blank));
        checkEngine(dbi::getField(cursor, 2, rec, step.hash, blank));
        step.hash.resize(platform::trimRight(step.hash, " ").size());
        steps.push_back(std::move(step));
    });
    return steps;
}

std::optional<std::int64_t> DbSession::readCounter(const std::string& code) {
    std::optional<std::int64_t> counter;
    queryByCode(texts::kSelectCounter, code, [&](dbi::CursorHandle cursor, const dbi::Record& rec) {
        std::int64_t value = 0;
        bool blank = false;
        checkEngine(dbi::getField(cursor, 1, rec, value, blank));
        if (!counter)
            counter = value;
    });
    return counter;
}

void DbSession::queryByCode(
    std::string_view sql, const std::string& code,
    const std::function<void(dbi::CursorHandle, const dbi::Record&)>& visit) {
    dbi::StatementHandle stmt = nullptr;
    checkEngine(dbi::allocStatement(m_db, stmt));
    StatementGuard guard(stmt); // its cursor goes with it
    dbi::CursorHandle cursor = nullptr;
    checkEngine(dbi::prepareWithParams(stmt, sql.data()));
    checkEngine(dbi::bindText(stmt, 1, code.c_str()));
    checkEngine(dbi::execute(stmt, &cursor));
    dbi::Record record;
    while (cursor && dbi::getNextRecord(cursor, record) == 0)
        visit(cursor, record);
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

void DbSession::rollbackQuietly() {
    bool active = false;
    if (m_db && dbi::inTransaction(m_db, active) == 0 && active)
        dbi::rollbackTransaction(m_db);
}

} // namespace vt::plugin
