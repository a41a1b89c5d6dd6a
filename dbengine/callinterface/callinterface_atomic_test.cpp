// Tests of executeAtomically and executeInSavepoint over both drivers: all statements commit, or
// none does; a statement under a savepoint fails alone.
#include "dbengine/callinterface/callinterface.h"

#include "dbengine/testkit/driverfixture.h"

namespace vt::dbengine {
namespace {

using namespace dbi;
using testkit::DriverTest;
using testkit::lastErrorEntries;
using testkit::TestDriver;

class AtomicTest : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_EQ(init(), 0);
        started = true;
        std::vector<OptionalParam> params;
        if (isPg())
            params.push_back({"USER NAME", user});
        ASSERT_EQ(openDatabase("DB", password.c_str(), params, db), 0) << lastErrorEntries();
        ASSERT_EQ(execDirect(db,
                             "create table t(a int not null primary key); "
                             "create table p(n int); insert into p values(0)",
                             nullptr),
                  0)
            << lastErrorEntries();
    }
    void TearDown() override {
        for (StatementHandle& s : statements)
            if (s)
                freeStatement(s);
        if (started) {
            EXPECT_EQ(exit(), 0);
        }
        DriverTest::TearDown();
    }

    // A statement with the text run as it stands.
    StatementHandle plain(const char* sql) {
        StatementHandle s = nullptr;
        EXPECT_EQ(allocStatement(db, s), 0);
        EXPECT_EQ(prepare(s, sql), 0) << lastErrorEntries();
        statements.push_back(s);
        return s;
    }

    // A statement with one '?' marker bound to value (nullptr: NULL).
    StatementHandle withParam(const char* sql, const char* value) {
        StatementHandle s = nullptr;
        EXPECT_EQ(allocStatement(db, s), 0);
        EXPECT_EQ(prepareWithParams(s, sql), 0) << lastErrorEntries();
        EXPECT_EQ(bindText(s, 1, value), 0) << lastErrorEntries();
        statements.push_back(s);
        return s;
    }

    bool active() {
        bool inside = true;
        EXPECT_EQ(inTransaction(db, inside), 0);
        return inside;
    }

    DatabaseHandle db = nullptr;
    std::vector<StatementHandle> statements;
    bool started = false;
};

TEST_P(AtomicTest, StatementsOfTextAndParametersCommitTogether) {
    StatementHandle insert = plain("insert into t values(1)");
    StatementHandle update = withParam("update p set n = ?", "7");
    ASSERT_EQ(executeAtomically(db, {insert, update}), 0) << lastErrorEntries();
    EXPECT_EQ(direct("select count(*) from t"), "1");
    EXPECT_EQ(direct("select n from p"), "7");
    std::int64_t rows = 0;
    ASSERT_EQ(getRowsAffected(update, rows), 0);
    EXPECT_EQ(rows, 1);
    EXPECT_FALSE(active());
    ASSERT_EQ(bindText(update, 1, "8"), 0);
    ASSERT_EQ(executeAtomically(db, {plain("insert into t values(2)"), update}), 0)
        << "the connection serves the next request: " << lastErrorEntries();
    EXPECT_EQ(direct("select n from p"), "8");
    EXPECT_EQ(execDirect(db, "select 1", nullptr), 0) << "and ordinary requests after it";
}

struct AtomicFailure {
    const char* name;
    const char* first;  // run as text
    const char* second; // with one marker bound to value
    const char* value;
    const char* alone; // the failing statement run on its own, for its error
    Status code;
};

TEST_P(AtomicTest, AFailureLeavesNothingChangedAndReportsTheStatementsOwnError) {
    ASSERT_EQ(execDirect(db, "insert into t values(5)", nullptr), 0);
    const AtomicFailure cases[] = {
        {"the second statement violates a constraint", "insert into t values(1)",
         "insert into t values(?)", "5", "insert into t values(5)", status::kKeyViolation},
        {"the second statement binds NULL to a required column", "insert into t values(1)",
         "insert into t values(?)", nullptr, "insert into t values(null)", status::kRequiredValue},
        {"the first statement has a syntax error", "insert int t values(1)", "update p set n = ?",
         "1", "insert int t values(1)", status::kSqlSyntax},
        {"a text of several statements fails in its second",
         "insert into t values(1); "
         "insert into t values(5)",
         "update p set n = ?", "1", "insert into t values(5)", status::kKeyViolation},
    };
    for (const AtomicFailure& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(execDirect(db, c.alone, nullptr), 0);
        const std::string expected = lastErrorEntries();
        EXPECT_EQ(executeAtomically(db, {plain(c.first), withParam(c.second, c.value)}), c.code);
        EXPECT_EQ(lastErrorEntries(), expected);
        EXPECT_EQ(direct("select count(*) from t"), "1") << "the first statement is undone";
        EXPECT_EQ(direct("select n from p"), "0");
        EXPECT_FALSE(active());
    }
}

TEST_P(AtomicTest, MisuseIsRefusedWithoutRunningAnything) {
    StatementHandle insert = plain("insert into t values(1)");
    EXPECT_EQ(executeAtomically(db, {}), status::kInvalidParameter);
    StatementHandle unbound = nullptr;
    ASSERT_EQ(allocStatement(db, unbound), 0);
    statements.push_back(unbound);
    EXPECT_EQ(executeAtomically(db, {insert, unbound}), status::kNotPrepared);
    ASSERT_EQ(prepareWithParams(unbound, "update p set n = ?"), 0);
    EXPECT_EQ(executeAtomically(db, {insert, unbound}), status::kParameterCount);
    EXPECT_EQ(executeAtomically(db, {insert, nullptr}), status::kInvalidHandle);
    ASSERT_EQ(beginTransaction(db), 0);
    EXPECT_EQ(executeAtomically(db, {insert}), status::kTransactionState);
    ASSERT_EQ(rollbackTransaction(db), 0);
    EXPECT_EQ(direct("select count(*) from t"), "0");
}

TEST_P(AtomicTest, AStatementOfAnotherDatabaseIsRefused) {
    std::vector<OptionalParam> params;
    if (isPg())
        params.push_back({"USER NAME", user});
    DatabaseHandle other = nullptr;
    ASSERT_EQ(openDatabase("DB2", password.c_str(), params, other), 0) << lastErrorEntries();
    StatementHandle foreign = nullptr;
    ASSERT_EQ(allocStatement(other, foreign), 0);
    ASSERT_EQ(prepare(foreign, "select 1"), 0);
    EXPECT_EQ(executeAtomically(db, {plain("insert into t values(1)"), foreign}),
              status::kInvalidParameter);
    EXPECT_EQ(direct("select count(*) from t"), "0");
    EXPECT_EQ(closeDatabase(other), 0);
}

TEST_P(AtomicTest, ACommandRefusedInsideATransactionFailsAsAfterBeginTransaction) {
    if (!isPg())
        GTEST_SKIP() << "SQLite refuses no single command inside a transaction";
    ASSERT_EQ(beginTransaction(db), 0);
    ASSERT_EQ(execDirect(db, "VACUUM", nullptr), status::kTransactionState);
    const std::string expected = lastErrorEntries();
    ASSERT_EQ(rollbackTransaction(db), 0);
    EXPECT_EQ(executeAtomically(db, {withParam("update p set n = ?", "3"), plain("VACUUM")}),
              status::kTransactionState);
    EXPECT_EQ(lastErrorEntries(), expected);
    EXPECT_NE(expected.find(" 25001 "), std::string::npos) << expected;
    EXPECT_EQ(direct("select n from p"), "0");
    EXPECT_FALSE(active());
}

TEST_P(AtomicTest, AConstraintCheckedAtCommitUndoesEverything) {
    if (!isPg())
        GTEST_SKIP() << "SQLite checks unique constraints at once";
    ASSERT_EQ(execDirect(db,
                         "create table d(a int unique deferrable initially deferred); "
                         "insert into d values(1)",
                         nullptr),
              0);
    Status st = executeAtomically(
        db, {plain("insert into d values(1)"), withParam("update p set n = ?", "4")});
    EXPECT_EQ(st, status::kKeyViolation) << lastErrorEntries();
    EXPECT_NE(lastErrorEntries().find("(SQLSTATE 23505)"), std::string::npos) << lastErrorEntries();
    EXPECT_EQ(direct("select count(*) from d"), "1");
    EXPECT_EQ(direct("select n from p"), "0");
    EXPECT_FALSE(active());
}

struct SavepointFailure {
    const char* name;
    const char* sql; // a statement with one marker bound to value, or text when value is ""
    const char* value;
    Status code;
};

TEST_P(AtomicTest, AStatementUnderASavepointFailsAloneAndTheTransactionGoesOn) {
    const SavepointFailure cases[] = {
        {"a key violation", "insert into t values(?)", "1", status::kKeyViolation},
        {"NULL for a required column", "insert into t values(?)", nullptr, status::kRequiredValue},
        {"a syntax error", "insert int t values(3)", "", status::kSqlSyntax},
        {"a text of several statements failing in its second",
         "insert into t values(3); insert into t values(1)", "", status::kKeyViolation},
    };
    for (const SavepointFailure& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(beginTransaction(db), 0);
        ASSERT_EQ(executeInSavepoint(db, withParam("insert into t values(?)", "1")), 0)
            << lastErrorEntries();
        ASSERT_EQ(executeInSavepoint(db, plain("update p set n = n + 1")), 0);
        StatementHandle failing = c.value && !*c.value ? plain(c.sql) : withParam(c.sql, c.value);
        EXPECT_EQ(executeInSavepoint(db, failing), c.code) << lastErrorEntries();
        EXPECT_TRUE(active());
        ASSERT_EQ(executeInSavepoint(db, plain("insert into t values(2)")), 0)
            << "the transaction takes further statements: " << lastErrorEntries();
        ASSERT_EQ(commitTransaction(db), 0) << lastErrorEntries();
        EXPECT_EQ(direct("select count(*) from t"), "2") << "3 went with its failure";
        EXPECT_EQ(direct("select n from p"), "1");
        ASSERT_EQ(execDirect(db, "delete from t; update p set n = 0", nullptr), 0);
    }
}

TEST_P(AtomicTest, ASavepointNeedsAnActiveTransaction) {
    EXPECT_EQ(executeInSavepoint(db, plain("insert into t values(1)")), status::kTransactionState);
    EXPECT_EQ(direct("select count(*) from t"), "0");
}

TEST_P(AtomicTest, ACommandRefusedInsideATransactionFailsAloneUnderASavepoint) {
    if (!isPg())
        GTEST_SKIP() << "SQLite refuses no single command inside a transaction";
    ASSERT_EQ(beginTransaction(db), 0);
    ASSERT_EQ(executeInSavepoint(db, withParam("update p set n = ?", "3")), 0);
    EXPECT_EQ(executeInSavepoint(db, plain("VACUUM")), status::kTransactionState);
    EXPECT_NE(lastErrorEntries().find(" 25001 "), std::string::npos) << lastErrorEntries();
    EXPECT_TRUE(active());
    ASSERT_EQ(commitTransaction(db), 0) << lastErrorEntries();
    EXPECT_EQ(direct("select n from p"), "3");
}

TEST_P(AtomicTest, AliasKeysAreReadBackAndGroupCommitIsNoServerParameter) {
    const std::string location =
        isPg() ? "DRIVER=PGSQL\nSERVER NAME=" + testkit::PgServer::fromEnvironment()->serverName(pg1->name()) +
                     "\nUSER NAME=" + user
               : "DRIVER=STANDARD\nPATH=" + file1;
    writeAliases("[GROUPED]\n" + location + "\nGROUP COMMIT=0\n");
    std::vector<OptionalParam> params;
    DatabaseHandle grouped = nullptr;
    ASSERT_EQ(openDatabase("GROUPED", password.c_str(), params, grouped), 0) << lastErrorEntries();
    std::string value;
    EXPECT_EQ(getAliasParam(grouped, "group commit", value), 0);
    EXPECT_EQ(value, "0");
    EXPECT_EQ(getAliasParam(db, "GROUP COMMIT", value), 0);
    EXPECT_EQ(value, "");
    EXPECT_EQ(getAliasParam(db, nullptr, value), status::kInvalidParameter);
    EXPECT_EQ(closeDatabase(grouped), 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, AtomicTest,
                         ::testing::Values(TestDriver::Sqlite, TestDriver::Postgres),
                         testkit::testDriverName);

} // namespace
} // namespace vt::dbengine
