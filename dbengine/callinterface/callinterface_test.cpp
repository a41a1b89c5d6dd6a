// Tests of the call interface over both drivers, as the plug-in uses it.
#include "dbengine/callinterface/callinterface.h"

#include "dbengine/testkit/driverfixture.h"
#include "platform/codepage.h"

#include <arpa/inet.h>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vt::dbengine {
namespace {

using namespace dbi;
using testkit::DriverTest;
using testkit::lastErrorEntries;
using testkit::TestDriver;

class CallInterfaceTest : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_EQ(init(), 0);
        started = true;
    }
    void TearDown() override {
        if (started) {
            EXPECT_EQ(exit(), 0);
        }
        DriverTest::TearDown();
    }

    DatabaseHandle open(const char* alias = "DB") {
        DatabaseHandle db = nullptr;
        std::vector<OptionalParam> params;
        if (isPg())
            params.push_back({"USER NAME", user});
        Status st = openDatabase(alias, password.c_str(), params, db);
        EXPECT_EQ(st, 0) << lastErrorEntries();
        return db;
    }

    bool started = false;
};

TEST_P(CallInterfaceTest, TheAliasListYieldsOneRecordPerAliasThenEndOfData) {
    CursorHandle cur = nullptr;
    ASSERT_EQ(openAliasList(cur), 0);
    ASSERT_NE(cur, nullptr);
    std::vector<std::string> names, drivers;
    Record rec;
    Status st;
    while ((st = getNextRecord(cur, rec)) == 0) {
        std::string name, driver;
        bool blank = true;
        ASSERT_EQ(getField(cur, 1, rec, name, blank), 0);
        ASSERT_EQ(getField(cur, 2, rec, driver, blank), 0);
        names.push_back(name);
        drivers.push_back(driver);
    }
    EXPECT_EQ(st, status::kEndOfData);
    EXPECT_EQ(getNextRecord(cur, rec), status::kEndOfData) << "the end stays the end";
    EXPECT_EQ(names, (std::vector<std::string>{"DB", "DB2"}));
    EXPECT_EQ(drivers[0], isPg() ? "PGSQL" : "STANDARD");
    ASSERT_EQ(closeCursor(cur), 0);
    EXPECT_EQ(cur, nullptr);
}

TEST_P(CallInterfaceTest, TheVersionTableIsMissingThenCreatedFilledAndRead) {
    DatabaseHandle db = open();
    CursorHandle cur = reinterpret_cast<CursorHandle>(1);
    EXPECT_EQ(openTable(db, "R_VERSION", cur), status::kNoSuchTable);
    EXPECT_EQ(cur, nullptr);
    ASSERT_EQ(
        execDirect(db,
                   "Create Table R_Version (Version Char(10), DBCode Char(10), Counter Smallint)",
                   nullptr),
        0)
        << lastErrorEntries();
    ASSERT_EQ(execDirect(db, "Insert Into R_Version(DBCode) Values('ABC')", nullptr), 0)
        << lastErrorEntries();
    ASSERT_EQ(openTable(db, "R_VERSION", cur), 0) << lastErrorEntries();
    ASSERT_EQ(closeCursor(cur), 0);

    ASSERT_EQ(execDirect(db, "Select VERSION, DBCODE, COUNTER from R_VERSION", &cur), 0)
        << lastErrorEntries();
    ASSERT_NE(cur, nullptr);
    CursorProps props;
    ASSERT_EQ(getCursorProps(cur, props), 0);
    EXPECT_EQ(props.fieldCount, 3);
    std::vector<FieldDesc> descs;
    ASSERT_EQ(getFieldDescs(cur, descs), 0);
    ASSERT_EQ(descs.size(), 3u);
    EXPECT_EQ(descs[0].type, FieldType::Text);
    EXPECT_EQ(descs[0].size, 11);
    EXPECT_EQ(descs[2].type, FieldType::Integer);
    EXPECT_EQ(props.recordSize, 11u + 11u + 8u);

    Record rec;
    ASSERT_EQ(getNextRecord(cur, rec), 0);
    std::string text = "x";
    bool blank = false;
    ASSERT_EQ(getField(cur, 1, rec, text, blank), 0);
    EXPECT_EQ(text, "");
    EXPECT_TRUE(blank);
    ASSERT_EQ(getField(cur, 2, rec, text, blank), 0);
    EXPECT_EQ(text.substr(0, 3), "ABC");
    EXPECT_FALSE(blank);
    std::int64_t counter = 7;
    ASSERT_EQ(getField(cur, 3, rec, counter, blank), 0);
    EXPECT_EQ(counter, 0);
    EXPECT_TRUE(blank);
    EXPECT_EQ(getField(cur, 4, rec, text, blank), status::kInvalidFieldNumber);
    EXPECT_EQ(getField(cur, 2, rec, counter, blank), status::kConversion);
    EXPECT_EQ(getNextRecord(cur, rec), status::kEndOfData);
    EXPECT_EQ(closeCursor(cur), 0);
    EXPECT_EQ(closeDatabase(db), 0);
    EXPECT_EQ(db, nullptr);
}

TEST_P(CallInterfaceTest, BoundParametersUpdateTheCounterWithoutQuoting) {
    DatabaseHandle db = open();
    ASSERT_EQ(
        execDirect(db,
                   "Create Table R_Version (Version Char(10), DBCode Char(10), Counter Smallint); "
                   "Insert Into R_Version(DBCode) Values('O''K')",
                   nullptr),
        0)
        << lastErrorEntries();
    StatementHandle stmt = nullptr;
    ASSERT_EQ(allocStatement(db, stmt), 0);
    ASSERT_EQ(prepareWithParams(stmt, "Update R_VERSION Set Counter = ? where DBCODE = ? -- '?'"),
              0)
        << lastErrorEntries();
    EXPECT_EQ(execute(stmt, nullptr), status::kParameterCount) << "markers must be bound";
    ASSERT_EQ(bindInteger(stmt, 1, 5), 0);
    ASSERT_EQ(bindText(stmt, 2, "O'K"), 0);
    EXPECT_EQ(bindText(stmt, 3, "x"), status::kParameterCount);
    ASSERT_EQ(execute(stmt, nullptr), 0) << lastErrorEntries();
    std::int64_t rows = 0;
    ASSERT_EQ(getRowsAffected(stmt, rows), 0);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(direct("select Counter from R_Version"), "5");
    ASSERT_EQ(bindInteger(stmt, 1, 4), 0);
    ASSERT_EQ(execute(stmt, nullptr), 0) << "a statement runs again with new bindings";
    EXPECT_EQ(direct("select Counter from R_Version"), "4");
    ASSERT_EQ(freeStatement(stmt), 0);
    EXPECT_EQ(stmt, nullptr);
}

TEST_P(CallInterfaceTest, APlainStatementRunsItsTextAsGiven) {
    DatabaseHandle db = open();
    StatementHandle stmt = nullptr;
    ASSERT_EQ(allocStatement(db, stmt), 0);
    EXPECT_EQ(execute(stmt, nullptr), status::kNotPrepared);
    ASSERT_EQ(
        prepare(stmt, "create table x(a int); insert into x values(1); insert into x values(2)"),
        0);
    ASSERT_EQ(execute(stmt, nullptr), 0) << lastErrorEntries();
    EXPECT_EQ(direct("select count(*) from x"), "2");
    CursorHandle cur = nullptr;
    ASSERT_EQ(prepare(stmt, "select a from x order by a"), 0);
    ASSERT_EQ(execute(stmt, &cur), 0) << lastErrorEntries();
    ASSERT_NE(cur, nullptr);
    ASSERT_EQ(freeStatement(stmt), 0);
    Record rec;
    EXPECT_EQ(getNextRecord(cur, rec), status::kInvalidHandle) << "freeing closes its cursors";
}

TEST_P(CallInterfaceTest, RollbackUndoesDdlAndCommitKeepsIt) {
    DatabaseHandle db = open();
    bool supported = false;
    ASSERT_EQ(supportsTransactionalDdl(db, supported), 0);
    EXPECT_TRUE(supported);
    EXPECT_EQ(commitTransaction(db), status::kTransactionState);
    ASSERT_EQ(beginTransaction(db), 0);
    EXPECT_EQ(beginTransaction(db), status::kTransactionState);
    bool active = false;
    ASSERT_EQ(inTransaction(db, active), 0);
    EXPECT_TRUE(active);
    ASSERT_EQ(execDirect(db, "create table t(a int)", nullptr), 0);
    ASSERT_EQ(execDirect(db, "insert into t values(1)", nullptr), 0);
    ASSERT_EQ(rollbackTransaction(db), 0);
    CursorHandle cur = nullptr;
    EXPECT_EQ(openTable(db, "t", cur), status::kNoSuchTable);
    ASSERT_EQ(beginTransaction(db), 0);
    ASSERT_EQ(execDirect(db, "create table t(a int)", nullptr), 0);
    ASSERT_EQ(commitTransaction(db), 0);
    EXPECT_EQ(openTable(db, "t", cur), 0);
}

TEST_P(CallInterfaceTest, ACommitAfterAFailedStatementReportsTheRollback) {
    DatabaseHandle db = open();
    ASSERT_EQ(execDirect(db, "create table t(a int primary key)", nullptr), 0);
    ASSERT_EQ(beginTransaction(db), 0);
    ASSERT_EQ(execDirect(db, "insert into t values(1)", nullptr), 0);
    EXPECT_EQ(execDirect(db, "insert into t values(1)", nullptr), status::kKeyViolation);
    Status st = commitTransaction(db);
    if (isPg()) {
        EXPECT_EQ(st, status::kTransactionState) << "PostgreSQL aborts the whole transaction";
        EXPECT_EQ(direct("select count(*) from t"), "0");
    } else {
        EXPECT_EQ(st, 0) << "SQLite keeps the statements that succeeded";
        EXPECT_EQ(direct("select count(*) from t"), "1");
    }
}

struct FailureCase {
    const char* name;
    const char* sql;
    Status code;
    std::int32_t sqliteNative; // extended result code
    const char* pgState;
    const char* sqliteText; // part of the text
    const char* pgText;
};

TEST_P(CallInterfaceTest, ServerErrorsCarryANativeCodeAndTheServerText) {
    const FailureCase cases[] = {
        {"syntax", "selec 1", status::kSqlSyntax, 1, "42601", "syntax error", "syntax error"},
        {"missing table", "select * from nope", status::kNoSuchTable, 1, "42P01",
         "no such table: nope", "relation \"nope\" does not exist"},
        {"missing column", "select nope from k", status::kNoSuchColumn, 1, "42703",
         "no such column", "column \"nope\" does not exist"},
        {"key violation", "insert into k values(1)", status::kKeyViolation, 1555, "23505",
         "UNIQUE constraint failed", "duplicate key value"},
        {"not null", "insert into k values(null)", status::kRequiredValue, 1299, "23502",
         "NOT NULL constraint failed", "null value"},
    };
    DatabaseHandle db = open();
    ASSERT_EQ(execDirect(db, "create table k(id int not null primary key); insert into k values(1)",
                         nullptr),
              0)
        << lastErrorEntries();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(execDirect(db, c.sql, nullptr), c.code) << lastErrorEntries();
        std::int32_t native = 0;
        std::string text;
        EXPECT_EQ(getErrorEntry(1, native, text), c.code);
        EXPECT_EQ(native, isPg() ? nativeCodeFromSqlState(c.pgState) : c.sqliteNative);
        EXPECT_NE(text.find(isPg() ? c.pgText : c.sqliteText), std::string::npos) << text;
        if (isPg()) {
            EXPECT_NE(text.find(std::string("(SQLSTATE ") + c.pgState + ")"), std::string::npos)
                << text;
        }
        EXPECT_EQ(getErrorEntry(2, native, text), status::kNoMoreErrors);
        EXPECT_EQ(getErrorEntry(0, native, text), status::kNoMoreErrors);
    }
    EXPECT_EQ(execDirect(db, "select 1", nullptr), 0);
    std::int32_t native = 0;
    std::string text;
    EXPECT_EQ(getErrorEntry(1, native, text), status::kNoMoreErrors) << "success clears the error";
}

TEST_P(CallInterfaceTest, EngineFailuresHaveNoNativeCodeAndAGeneralText) {
    DatabaseHandle db = nullptr;
    EXPECT_EQ(openDatabase("NOPE", "", {}, db), status::kUnknownAlias);
    EXPECT_EQ(db, nullptr);
    std::int32_t native = -1;
    std::string text;
    EXPECT_EQ(getErrorEntry(1, native, text), status::kUnknownAlias);
    EXPECT_EQ(native, 0);
    EXPECT_EQ(text, "Unknown database alias: NOPE");
    EXPECT_EQ(getErrorText(status::kUnknownAlias, text), 0);
    EXPECT_EQ(text, "Unknown database alias");
    EXPECT_EQ(getErrorText(0x2202, text), 0);
    EXPECT_EQ(text, "At end of table");
    EXPECT_EQ(getErrorText(0x1234, text), status::kInvalidParameter);
    EXPECT_EQ(openDatabase("DB", "", {{"ROLE", "x"}}, db), status::kInvalidParameter);
}

TEST_P(CallInterfaceTest, StaleAndForeignHandlesAreRefusedWithoutACrash) {
    DatabaseHandle db = open();
    CursorHandle cur = nullptr;
    ASSERT_EQ(execDirect(db, "create table t(a int); insert into t values(1)", nullptr), 0);
    ASSERT_EQ(execDirect(db, "select a from t", &cur), 0);
    CursorHandle stale = cur;
    DatabaseHandle staleDb = db;
    ASSERT_EQ(closeDatabase(db), 0);
    Record rec;
    EXPECT_EQ(getNextRecord(stale, rec), status::kInvalidHandle)
        << "closing a database closes its cursors";
    EXPECT_EQ(execDirect(staleDb, "select 1", nullptr), status::kInvalidHandle);
    EXPECT_EQ(closeCursor(stale), status::kInvalidHandle);
    CursorHandle none = nullptr;
    EXPECT_EQ(closeCursor(none), status::kInvalidHandle);
    EXPECT_EQ(execDirect(reinterpret_cast<DatabaseHandle>(stale), "select 1", nullptr),
              status::kInvalidHandle);
}

TEST_P(CallInterfaceTest, ARecordOfAnotherCursorIsNoRecordOfThisOne) {
    DatabaseHandle db = open();
    CursorHandle a = nullptr, b = nullptr;
    ASSERT_EQ(execDirect(db, "select 1", &a), 0);
    ASSERT_EQ(execDirect(db, "select 2", &b), 0);
    Record rec;
    ASSERT_EQ(getNextRecord(a, rec), 0);
    std::string text;
    bool blank;
    EXPECT_EQ(getField(b, 1, rec, text, blank), status::kNoRecord);
    EXPECT_EQ(getField(a, 1, rec, text, blank), 0);
    EXPECT_EQ(text, "1");
}

TEST_P(CallInterfaceTest, TextCrossesTheBoundaryInTheAnsiCodePage) {
    auto saved = platform::ansiCodePage();
    platform::setAnsiCodePage(platform::AnsiCodePage::Cp1251);
    DatabaseHandle db = open();
    const std::string utf8 = "Привет, мир";
    const std::string cp1251 = platform::utf8ToCp1251(utf8);
    ASSERT_EQ(execDirect(db, "create table t(a varchar(40))", nullptr), 0);
    StatementHandle stmt = nullptr;
    ASSERT_EQ(allocStatement(db, stmt), 0);
    ASSERT_EQ(prepareWithParams(stmt, "insert into t values(?)"), 0);
    ASSERT_EQ(bindText(stmt, 1, cp1251.c_str()), 0);
    ASSERT_EQ(execute(stmt, nullptr), 0);
    ASSERT_EQ(
        execDirect(db, platform::utf8ToCp1251("insert into t values('Ёлка')").c_str(), nullptr), 0);
    EXPECT_EQ(direct("select a from t order by a desc"), utf8) << "the database holds UTF-8";
    CursorHandle cur = nullptr;
    ASSERT_EQ(execDirect(db, "select a from t order by a desc", &cur), 0);
    Record rec;
    std::string text;
    bool blank;
    ASSERT_EQ(getNextRecord(cur, rec), 0);
    ASSERT_EQ(getField(cur, 1, rec, text, blank), 0);
    EXPECT_EQ(text, cp1251);
    ASSERT_EQ(getNextRecord(cur, rec), 0);
    ASSERT_EQ(getField(cur, 1, rec, text, blank), 0);
    EXPECT_EQ(text, platform::utf8ToCp1251("Ёлка"));
    platform::setAnsiCodePage(saved);
}

TEST_P(CallInterfaceTest, SessionsGroupDatabasesAndTheDefaultStays) {
    SessionHandle first = nullptr, second = nullptr, current = nullptr;
    ASSERT_EQ(getCurrentSession(first), 0);
    ASSERT_EQ(startSession(second), 0);
    ASSERT_EQ(getCurrentSession(current), 0);
    EXPECT_EQ(current, second);
    DatabaseHandle db = open();
    ASSERT_EQ(closeSession(second), 0);
    EXPECT_EQ(execDirect(db, "select 1", nullptr), status::kInvalidHandle)
        << "closed with its session";
    ASSERT_EQ(getCurrentSession(current), 0);
    EXPECT_EQ(current, first);
    EXPECT_EQ(closeSession(first), status::kInvalidParameter);
}

TEST_P(CallInterfaceTest, AConnectionReportsItIsAlive) {
    DatabaseHandle db = open();
    bool alive = false;
    ASSERT_EQ(isAlive(db, alive), 0);
    EXPECT_TRUE(alive);
    std::string driver;
    ASSERT_EQ(getDriverName(db, driver), 0);
    EXPECT_EQ(driver, isPg() ? "PGSQL" : "STANDARD");
    EXPECT_EQ(setProperty(db, 0x00040004, 1), status::kNotSupported);
    EXPECT_EQ(setProperty(db, kPropTransIsolation, 0), 0);
}

// Takes the run lock without waiting; since receives what the call says of another holder.
bool takeRunLock(DatabaseHandle db, std::string* since = nullptr) {
    bool acquired = false;
    std::string held;
    EXPECT_EQ(tryRunLock(db, acquired, held), 0) << lastErrorEntries();
    if (since)
        *since = held;
    return acquired;
}

TEST_P(CallInterfaceTest, OneHandleHoldsTheRunLockAndClosingLetsTheNextOneIn) {
    DatabaseHandle first = open();
    DatabaseHandle second = open();
    DatabaseHandle other = open("DB2");
    EXPECT_TRUE(takeRunLock(first));
    EXPECT_TRUE(takeRunLock(first)) << "the holder takes it again without waiting";
    std::string since;
    EXPECT_FALSE(takeRunLock(second, &since));
    EXPECT_EQ(since.size(), 19u) << "the holder's time, YYYY-MM-DD HH:MM:SS: " << since;
    EXPECT_TRUE(takeRunLock(other)) << "another database has a lock of its own";

    ASSERT_EQ(closeDatabase(first), 0);
    EXPECT_TRUE(takeRunLock(second));
    EXPECT_EQ(releaseRunLock(second), 0);
    DatabaseHandle third = open();
    EXPECT_TRUE(takeRunLock(third));
    EXPECT_EQ(releaseRunLock(third), 0);
    EXPECT_EQ(releaseRunLock(third), 0) << "releasing a lock not held changes nothing";
    EXPECT_TRUE(takeRunLock(second));
}

TEST_P(CallInterfaceTest, OnlyTheServerEnforcesDeclaredColumnTypes) {
    DatabaseHandle db = open();
    bool enforced = false;
    ASSERT_EQ(enforcesColumnTypes(db, enforced), 0);
    EXPECT_EQ(enforced, isPg());
}

INSTANTIATE_TEST_SUITE_P(Drivers, CallInterfaceTest,
                         ::testing::Values(TestDriver::Sqlite, TestDriver::Postgres),
                         testkit::testDriverName);

// ---- driver-specific behaviour ----

class CallInterfaceSqliteTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(init(), 0); }
    void TearDown() override { EXPECT_EQ(exit(), 0); }
    testkit::EngineEnv env;
};

TEST_F(CallInterfaceSqliteTest, TheDefaultAliasCreatesItsFileInTheSettingsFolder) {
    DatabaseHandle db = nullptr;
    ASSERT_EQ(openDatabase("DEFAULT", "", {}, db), 0);
    EXPECT_TRUE(std::ifstream(env.dir().file("default.db")).good());
    EXPECT_EQ(closeDatabase(db), 0);
}

TEST_F(CallInterfaceSqliteTest, DbNameOpensAnExistingFileAndRefusesOthers) {
    std::string file = env.newSqliteFile("direct.db");
    DatabaseHandle db = nullptr;
    ASSERT_EQ(openDatabase(("DBName=" + file).c_str(), "", {}, db), 0);
    EXPECT_EQ(closeDatabase(db), 0);

    std::string missing = env.dir().file("missing.db");
    EXPECT_EQ(openDatabase(("DBName=" + missing).c_str(), "", {}, db), status::kFileNotFound);
    EXPECT_FALSE(std::ifstream(missing).good()) << "a missing file is not created";

    std::string text = env.dir().file("text.db");
    std::ofstream(text) << "this is no database, just some text that is long enough to be read";
    EXPECT_EQ(openDatabase(("DBName=" + text).c_str(), "", {}, db), status::kNotADatabase);
    std::int32_t native = 0;
    std::string message;
    EXPECT_EQ(getErrorEntry(2, native, message), status::kNotADatabase);
    EXPECT_EQ(native, 26);
}

TEST_F(CallInterfaceSqliteTest, CallsBeforeInitAreRefused) {
    ASSERT_EQ(exit(), 0);
    SessionHandle s = nullptr;
    EXPECT_EQ(getCurrentSession(s), status::kNotInitialized);
    EXPECT_EQ(exit(), status::kNotInitialized);
    ASSERT_EQ(init(), 0);
}

class CallInterfacePgTest : public ::testing::Test {
protected:
    void SetUp() override {
        VT_REQUIRE_PG();
        server = *testkit::pgServer();
        ASSERT_EQ(init(), 0);
        started = true;
    }
    void TearDown() override {
        if (started) {
            EXPECT_EQ(exit(), 0);
        }
    }
    void alias(const std::string& serverName) {
        env.writeAliases("[PG]\nDRIVER=PGSQL\nSERVER NAME=" + serverName +
                         "\nUSER NAME=" + server.user + "\n");
    }
    testkit::EngineEnv env;
    testkit::PgServer server;
    bool started = false;
};

TEST_F(CallInterfacePgTest, AWrongPasswordIsALoginFailureReportedByTheServer) {
    alias(server.serverName(server.database));
    DatabaseHandle db = nullptr;
    EXPECT_EQ(openDatabase("PG", "wrong", {{"USER NAME", server.user}}, db), status::kLoginFailed);
    std::int32_t native = 0;
    std::string text;
    EXPECT_EQ(getErrorEntry(1, native, text), status::kLoginFailed);
    EXPECT_EQ(native, nativeCodeFromSqlState("28P01"));
    EXPECT_NE(text.find("password authentication failed"), std::string::npos) << text;
    EXPECT_EQ(text.find("wrong"), std::string::npos) << "the password never shows";
}

TEST_F(CallInterfacePgTest, AServerThatIsNotRunningCannotBeReached) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    int port = ntohs(addr.sin_port);
    close(s);
    alias("127.0.0.1:" + std::to_string(port) + "/nothing");
    DatabaseHandle db = nullptr;
    EXPECT_EQ(openDatabase("PG", server.password.c_str(), {}, db), status::kCannotConnect);
    std::int32_t native = -1;
    std::string text;
    EXPECT_EQ(getErrorEntry(1, native, text), status::kCannotConnect);
    EXPECT_EQ(native, 0);
    EXPECT_NE(text.find("Unable to connect to the database server"), std::string::npos) << text;
}

TEST_F(CallInterfacePgTest, CommandsTheServerRefusesInATransactionAreRecognisable) {
    testkit::PgScratchDatabase scratch(server);
    alias(server.serverName(scratch.name()));
    DatabaseHandle db = nullptr;
    ASSERT_EQ(openDatabase("PG", server.password.c_str(), {}, db), 0);
    ASSERT_EQ(beginTransaction(db), 0);
    EXPECT_EQ(execDirect(db, "VACUUM", nullptr), status::kTransactionState);
    std::int32_t native = 0;
    std::string text;
    getErrorEntry(1, native, text);
    EXPECT_EQ(native, 25001);
    ASSERT_EQ(rollbackTransaction(db), 0);
    EXPECT_EQ(execDirect(db, "VACUUM", nullptr), 0) << "outside a transaction it runs";
}

TEST_F(CallInterfacePgTest, AStreamingCursorSurvivesOtherCommandsOnItsConnection) {
    testkit::PgScratchDatabase scratch(server);
    scratch.run("create table t(a int); insert into t select generate_series(1, 1000)");
    alias(server.serverName(scratch.name()));
    DatabaseHandle db = nullptr;
    ASSERT_EQ(openDatabase("PG", server.password.c_str(), {}, db), 0);
    CursorHandle cur = nullptr;
    ASSERT_EQ(openTable(db, "T", cur), 0);
    Record rec;
    ASSERT_EQ(getNextRecord(cur, rec), 0);
    ASSERT_EQ(execDirect(db, "update t set a = -a", nullptr), 0);
    int rows = 1;
    while (getNextRecord(cur, rec) == 0)
        ++rows;
    EXPECT_EQ(rows, 1000);
    EXPECT_EQ(scratch.run("select min(a) from t"), "-1000");
}

TEST_F(CallInterfacePgTest, ABrokenConnectionIsNotAlive) {
    testkit::PgScratchDatabase scratch(server);
    alias(server.serverName(scratch.name()));
    DatabaseHandle db = nullptr;
    ASSERT_EQ(openDatabase("PG", server.password.c_str(), {}, db), 0);
    scratch.run("select pg_terminate_backend(pid) from pg_stat_activity where datname = '" +
                scratch.name() + "' and application_name = 'Vantrel Utilities'");
    bool alive = true;
    EXPECT_EQ(isAlive(db, alive), 0);
    EXPECT_FALSE(alive);
    EXPECT_EQ(execDirect(db, "select 1", nullptr), status::kConnectionLost);
}

} // namespace
} // namespace vt::dbengine
