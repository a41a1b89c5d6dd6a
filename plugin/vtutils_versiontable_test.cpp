// Tests of the plug-in's database side against SQLite and PostgreSQL, through dlopen.
#include "plugin/testkit/pluginfixture.h"

namespace vt::plugin::testkit {
namespace {

const std::string kAlreadyExecuted = ansi("Скрипт данной версии уже был выполнен на БД.");
const std::string kWrongCode = ansi("Неверный код базы данных.");

std::string mismatch(const std::string& db, const std::string& old) {
    return ansi("Версия БД (" + db + ") не совпадает с требуемой (старой) версией (" + old + ").");
}

// Five commands: a table and four rows.
const std::vector<std::string> kFiveCommands = {
    "CREATE TABLE t (k integer)", "INSERT INTO t VALUES (2)", "INSERT INTO t VALUES (3)",
    "INSERT INTO t VALUES (4)", "INSERT INTO t VALUES (5)"};

const char* kCreateVersionTable =
    "CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint)";

class VersionTable : public PluginFixture {};

TEST_P(VersionTable, AFreshDatabaseIsInitialisedAndBroughtToTheNewVersion) {
    commitEachCommand();
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", kFiveCommands));
    ASSERT_EQ(open(file), 1) << api->lastMessage();
    const CheckResult r = check(true);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 5);
    EXPECT_EQ(r.code, "ABC");
    EXPECT_EQ(r.version, "");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|-"});

    const char* counters[] = {"4", "3", "2", "1", "0"};
    for (int n = 1; n <= 5; ++n) {
        ASSERT_EQ(runCommands(n, n), 0) << api->lastMessage();
        EXPECT_EQ(firstValue(db->query("SELECT Counter FROM R_VERSION")), counters[n - 1]);
    }
    // The last command recorded the new version with it.
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
    EXPECT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
    EXPECT_EQ(keys(), "2,3,4,5");
}

TEST_P(VersionTable, RunningTheSameScriptAgainIsRefused) {
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", kFiveCommands));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 5), 0);
    ASSERT_EQ(api->UpDateVersion(), 0);
    reload();

    ASSERT_EQ(open(file), 0);
    CheckResult r = check(false);
    EXPECT_EQ(r.result, -3);
    EXPECT_EQ(api->GetLastVTError(), -3);
    EXPECT_EQ(r.message, kAlreadyExecuted);
    EXPECT_EQ(r.code, "ABC");
    EXPECT_EQ(r.version, "1.0");

    const std::string older = writeScript(scriptWith("ABC", "0.9", "1.0", kFiveCommands));
    reload();
    ASSERT_EQ(open(older), 0);
    r = check(false);
    EXPECT_EQ(r.result, -3);
    EXPECT_EQ(r.message, mismatch("1.0", "0.9"));
    EXPECT_EQ(r.first, 0);
    EXPECT_EQ(keys(), "2,3,4,5");
}

TEST_P(VersionTable, AnAbortedRunResumesAtTheFirstCommandNotDone) {
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", kFiveCommands));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 2), 0);
    reload(); // the runner stops after command 2
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|3"});

    ASSERT_EQ(open(file), 0);
    const CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 3);
    EXPECT_EQ(r.last, 5);
    ASSERT_EQ(runCommands(r.first, r.last), 0) << api->lastMessage();
    ASSERT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(keys(), "2,3,4,5");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

TEST_P(VersionTable, AScriptForOneCodeFindsItsRowAndUpdatesOnlyIt) {
    commitEachCommand();
    db->exec(kCreateVersionTable);
    db->exec("INSERT INTO R_VERSION VALUES (NULL, 'A', NULL)");
    db->exec("INSERT INTO R_VERSION VALUES ('0.5', 'B', 0)");
    const std::string file = writeScript(scriptWith("b", "0.5", "0.6", {"SELECT 1", "SELECT 2"}));
    ASSERT_EQ(open(file), 0);
    const CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.code, "B");
    EXPECT_EQ(r.version, "0.5");
    EXPECT_EQ(r.message, ansi("Неизвестная ошибка DLL")); // the first row's error was emptied
    ASSERT_EQ(runCommands(1, 1), 0);
    EXPECT_EQ(versionRows(), (std::vector<std::string>{"A|-|-", "B|0.5|1"}));
    ASSERT_EQ(runCommands(2, 2), 0);
    ASSERT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(versionRows(), (std::vector<std::string>{"A|-|-", "B|0.6|0"}));
}

TEST_P(VersionTable, AScriptForACodeWithoutRowIsRefusedWithTheLastRowsError) {
    db->exec(kCreateVersionTable);
    db->exec("INSERT INTO R_VERSION VALUES (NULL, 'A', NULL)");
    db->exec("INSERT INTO R_VERSION VALUES (NULL, 'B', NULL)");
    const std::string file = writeScript(scriptWith("C", "", "1.0", {"SELECT 1"}));
    ASSERT_EQ(open(file), 0);
    const CheckResult r = check(false);
    EXPECT_EQ(r.result, -3);
    EXPECT_EQ(r.message, kWrongCode);
    EXPECT_EQ(r.code, "B");
}

TEST_P(VersionTable, EverythingTakesTheFirstRowDelivered) {
    db->exec(kCreateVersionTable);
    db->exec("INSERT INTO R_VERSION VALUES (NULL, 'A', NULL)");
    db->exec("INSERT INTO R_VERSION VALUES (NULL, 'B', NULL)");
    const std::string file = writeScript(scriptWith("", "", "1.0", {"SELECT 1"}));
    ASSERT_EQ(open(file), 0);
    const CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.code, "A");
    ASSERT_EQ(runCommands(1, 1), 0);
    ASSERT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(versionRows(), (std::vector<std::string>{"A|1.0|0", "B|-|-"}));
}

TEST_P(VersionTable, AnUnversionedScriptOnADatabaseWithoutTheTableRunsEverything) {
    const std::string file = writeScript(scriptWith("ABC", "", "", kFiveCommands));
    ASSERT_EQ(open(file), 1);
    const CheckResult r = check(true);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 5);
    ASSERT_EQ(runCommands(1, 5), 0) << api->lastMessage();
    EXPECT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(keys(), "2,3,4,5");
    EXPECT_THROW(db->query("SELECT * FROM R_VERSION"), std::runtime_error);
}

TEST_P(VersionTable, AnUnversionedScriptIgnoresAndKeepsTheCounter) {
    db->exec(kCreateVersionTable);
    db->exec("INSERT INTO R_VERSION VALUES ('0.5', 'ABC', 7)");
    const std::string file = writeScript(scriptWith("ABC", "", "", kFiveCommands));
    ASSERT_EQ(open(file), 0);
    const CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 5);
    ASSERT_EQ(runCommands(1, 5), 0);
    ASSERT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|0.5|7"});
}

TEST_P(VersionTable, AVersionedScriptWithoutTheTableFailsWithTheEnginesText) {
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", kFiveCommands));
    ASSERT_EQ(open(file), 1);
    const CheckResult r = check(false); // the user did not agree to create the table
    EXPECT_EQ(r.result, -3);
    EXPECT_EQ(api->GetLastVTError(), -3);
    EXPECT_NE(r.message, ansi("Неизвестная ошибка DLL"));
    EXPECT_NE(r.message, "");
}

TEST_P(VersionTable, TheReconnectCommandInSmallLettersReconnectsAndCounts) {
    const std::string file =
        writeScript(scriptWith("ABC", "", "1.0",
                               {"CREATE TEMP TABLE tmp (k integer)", "INSERT INTO tmp VALUES (1)",
                                "$$$reconnect", "INSERT INTO tmp VALUES (2)"}));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 2), 0) << api->lastMessage();
    EXPECT_EQ(std::string(api->MakeSQLCommand(3)), "$$$reconnect\r\n");
    ASSERT_EQ(runCommands(3, 3), 0) << api->lastMessage();
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|1"});
    // The temporary table went with the old connection.
    EXPECT_EQ(runCommands(4, 4), 4);
    EXPECT_EQ(api->GetLastVTError(), -5);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|1"});
}

TEST_P(VersionTable, ACommandTheDatabaseRejectsIsNotCountedAndLeavesNothing) {
    commitEachCommand();
    const std::string file = writeScript(scriptWith(
        "ABC", "", "1.0",
        {"CREATE TABLE t (k integer)", "INSERT INTO t VALUES (1); INSERT INTO missing VALUES (2)",
         "INSERT INTO t VALUES (3)"}));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 1), 0);
    EXPECT_EQ(runCommands(2, 2), 2);
    EXPECT_EQ(api->GetLastVTError(), -5);
    EXPECT_NE(api->lastMessage(), ansi("Неизвестная ошибка DLL"));
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|2"});
    EXPECT_EQ(keys(), ""); // the command's first statement was undone with it
    // Remaining was not lowered by the failure.
    ASSERT_EQ(runCommands(3, 3), 0);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|1"});
}

TEST_P(VersionTable, QuotesInTheCodeAndVersionAreValuesNotSql) {
    const std::string file = writeScript(scriptWith("O'Br", "", "1'0", {"SELECT 1"}));
    ASSERT_EQ(open(file), 1);
    const CheckResult r = check(true);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.code, "O'Br");
    ASSERT_EQ(runCommands(1, 1), 0) << api->lastMessage();
    ASSERT_EQ(api->UpDateVersion(), 0) << api->lastMessage();
    EXPECT_EQ(versionRows(), std::vector<std::string>{"O'Br|1'0|0"});
    reload();
    ASSERT_EQ(open(file), 0);
    EXPECT_EQ(check(false).message, kAlreadyExecuted);
}

TEST_P(VersionTable, CommandsThatCannotRunInATransactionRunOnTheirOwnAndCount) {
    std::vector<std::string> commands = {"CREATE TABLE t (k integer)", "VACUUM"};
    if (GetParam() == Driver::PostgreSQL) {
        commands.push_back("CREATE INDEX CONCURRENTLY t_k ON t (k)");
        // Not recognised by its words: the server's refusal sends it to run on its own.
        commands.push_back("DO $$ BEGIN INSERT INTO t VALUES (1); COMMIT; END $$");
    } else {
        commands.push_back("PRAGMA user_version = 7");
        commands.push_back("INSERT INTO t VALUES (1)");
    }
    commands.push_back("INSERT INTO t VALUES (2)");
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", commands));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 5), 0) << api->lastMessage();
    EXPECT_EQ(keys(), "1,2");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
    if (GetParam() == Driver::SQLite) {
        EXPECT_EQ(firstValue(db->query("PRAGMA user_version")), "7");
    }
}

TEST_P(VersionTable, AScriptsOwnTransactionCarriesTheProgressWithIt) {
    const std::string file = writeScript(
        scriptWith("ABC", "", "1.0",
                   {"CREATE TABLE t (k integer)", "BEGIN", "INSERT INTO t VALUES (1)", "COMMIT",
                    "INSERT INTO t VALUES (2)", "BEGIN TRANSACTION", "INSERT INTO t VALUES (3)",
                    "ROLLBACK", "INSERT INTO t VALUES (4)"}));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 9), 0) << api->lastMessage();
    ASSERT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(keys(), "1,2,4");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

// Connections a test can end from outside: PostgreSQL's server ends them on request.
class DeadConnection : public PluginFixture {};

TEST_P(DeadConnection, FailsTheNextCommandWithTheEnginesTextAndCountsNothing) {
    commitEachCommand();
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", kFiveCommands));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 2), 0);
    ASSERT_TRUE(db->terminateOtherConnections());
    EXPECT_EQ(runCommands(3, 3), 3);
    EXPECT_EQ(api->GetLastVTError(), -5);
    EXPECT_NE(api->lastMessage(), ansi("Неизвестная ошибка DLL"));
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|3"});
    EXPECT_EQ(keys(), "2");

    reload();
    ASSERT_EQ(open(file), 0) << api->lastMessage();
    const CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 3);
    ASSERT_EQ(runCommands(3, 5), 0) << api->lastMessage();
    EXPECT_EQ(keys(), "2,3,4,5");
}

INSTANTIATE_TEST_SUITE_P(Drivers, VersionTable,
                         ::testing::Values(Driver::SQLite, Driver::PostgreSQL), driverName);
INSTANTIATE_TEST_SUITE_P(Drivers, DeadConnection, ::testing::Values(Driver::PostgreSQL),
                         driverName);

} // namespace
} // namespace vt::plugin::testkit
