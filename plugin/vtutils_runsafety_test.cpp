// Tests of run safety: one run per database, progress that another run changed, resumes tied to
// the script, transactions the script leaves open, and Retry after a lost connection.
#include "plugin/fingerprintchain.h"
#include "plugin/testkit/childprocess.h"
#include "plugin/testkit/pluginfixture.h"
#include "script/rsqlscript.h"

#include <future>
#include <thread>

namespace vt::plugin::testkit {
namespace {

const std::string kAlreadyExecuted = ansi("Скрипт данной версии уже был выполнен на БД.");

class RunSafety : public PluginFixture {
protected:
    // The helper's arguments for a silent run of the script.
    std::vector<std::string> runArgs(const std::string& file, const std::string& stop = {}) {
        std::vector<std::string> a = {helperFile(), VtUtilsApi::defaultFile(),
                                      file,         TestDatabase::kAlias,
                                      db->user(),   db->password()};
        if (!stop.empty())
            a.push_back(stop);
        return a;
    }

    // count(*), count(DISTINCT k) of t.
    std::string counts() {
        const Rows rows = db->query("SELECT count(*), count(DISTINCT k) FROM t");
        return rows.at(0)[0].value_or("-") + "/" + rows.at(0)[1].value_or("-");
    }
};

TEST_P(RunSafety, TwoRunsStartedTogetherRunEachCommandOnce) {
    constexpr int kCommands = 300;
    const std::string file =
        writeScript(scriptWith("ABC", "", "1.0", insertingCommands(kCommands)));
    db->exec("CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint);"
             "INSERT INTO R_VERSION (DBCode) VALUES ('ABC')");
    auto first = std::async(std::launch::async, [&] { return runChild(runArgs(file)); });
    auto second = std::async(std::launch::async, [&] { return runChild(runArgs(file)); });
    const ChildRun a = first.get();
    const ChildRun b = second.get();
    // The second run waits for the first, then finds the version recorded.
    const std::string outputs = a.output + b.output;
    EXPECT_TRUE((a.output == "completed\n") != (b.output == "completed\n")) << outputs;
    const ChildRun& loser = a.output == "completed\n" ? b : a;
    EXPECT_EQ(loser.exitCode, 3) << outputs;
    EXPECT_EQ(loser.output, "refused: " + kAlreadyExecuted + "\n");
    EXPECT_EQ(counts(), std::to_string(kCommands - 1) + "/" + std::to_string(kCommands - 1));
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

TEST_P(RunSafety, ASecondRunGivesUpAfterTheLockTimeout) {
    commitEachCommand();
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", insertingCommands(3)));
    db->exec("CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint);"
             "INSERT INTO R_VERSION (DBCode) VALUES ('ABC')");
    // The holder pauses 3 s after command 1, holding the lock.
    auto holder = std::async(std::launch::async, [&] { return runChild(runArgs(file, "1:3000")); });
    for (int i = 0; i < 100 && versionRows() != std::vector<std::string>{"ABC|-|2"}; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(versionRows(), std::vector<std::string>{"ABC|-|2"});

    const ScopedEnv timeout("VT_LOCK_TIMEOUT", "1");
    ASSERT_EQ(open(file), 0);
    const CheckResult r = check(false);
    EXPECT_EQ(r.result, -3);
    EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_LOCK_TIMEOUT);
    const std::string prefix = ansi("База данных TESTDB занята другим запуском скрипта (с ");
    EXPECT_EQ(r.message.substr(0, prefix.size()), prefix) << r.message;
    EXPECT_NE(r.message.find(ansi("); ожидание прекращено через 1 с.")), std::string::npos)
        << r.message;
    api->piDone();

    const ChildRun held = holder.get();
    EXPECT_EQ(held.output, "completed\n");
    EXPECT_EQ(counts(), "2/2");
}

TEST_P(RunSafety, AKilledHoldersLockIsReleasedAndTheNextRunResumes) {
    commitEachCommand();
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", insertingCommands(4)));
    db->exec("CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint);"
             "INSERT INTO R_VERSION (DBCode) VALUES ('ABC')");
    const ChildRun killed = runChild(runArgs(file, "2:60000"), std::chrono::seconds(2));
    ASSERT_TRUE(killed.killed);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|2"});

    const ScopedEnv timeout("VT_LOCK_TIMEOUT", "10");
    const ChildRun next = runChild(runArgs(file));
    EXPECT_EQ(next.output, "completed\n");
    EXPECT_EQ(counts(), "3/3");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

TEST_P(RunSafety, AProgressChangedByAnotherRunStopsTheRunWithItsCommandUndone) {
    commitEachCommand();
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", insertingCommands(5)));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 2), 0) << api->lastMessage();
    // Another run, or a tool, moves the Counter on behind this run's back.
    db->exec("UPDATE R_VERSION SET Counter = 1");
    EXPECT_EQ(runCommands(3, 3), 3);
    EXPECT_EQ(api->GetLastVTError(), -5);
    EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_CONCURRENT);
    EXPECT_EQ(api->lastMessage(),
              ansi("Другой запуск изменил ход выполнения скрипта на БД (счётчик R_VERSION 1 "
                   "вместо 3); выполнение остановлено, команда не сохранена."));
    EXPECT_EQ(keys(), "2") << "the command went with its progress record";
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|1"});
}

TEST_P(RunSafety, AResumeWithAnEditedEarlierCommandIsRefused) {
    commitEachCommand();
    std::vector<std::string> commands = insertingCommands(4);
    commands.push_back("INSERT INTO missing VALUES (5)");
    ASSERT_EQ(open(writeScript(scriptWith("ABC", "", "1.0", commands))), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 5), 5);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|1"});

    std::vector<std::string> inserted = commands;
    inserted.insert(inserted.begin() + 1, "INSERT INTO t VALUES (1)");
    std::vector<std::string> fixed = commands;
    fixed[4] = "INSERT INTO t VALUES (5)";
    std::vector<std::string> other = {"CREATE TABLE u (k integer)", "select 2", "select 3",
                                      "select 4", "select 5"};
    expectResumes(
        {
            {"ACommandInsertedEarly", inserted, 2},
            {"AnotherScriptOfTheSameLength", other, 1},
            {"TheFailedCommandFixed", fixed, 0},
        },
        5);
    EXPECT_EQ(keys(), "2,3,4,5");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

TEST_P(RunSafety, StepRecordsOfAnEarlierReleaseStillResume) {
    std::vector<std::string> commands = insertingCommands(4);
    commands.push_back("INSERT INTO missing VALUES (5)");
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", commands));
    // An earlier release ran commands 1 and 2, recording each with its own fingerprint.
    db->exec("CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint);"
             "INSERT INTO R_VERSION VALUES (NULL, 'ABC', 3);"
             "CREATE TABLE R_VERSION_STEPS (DBCode VarChar(10) Not Null, Step Integer Not Null, "
             "Hash Char(16) Not Null, Primary Key (DBCode, Step));"
             "CREATE TABLE t (k integer); INSERT INTO t VALUES (2)");
    const script::RsqlScript script(file);
    for (int step = 1; step <= 2; ++step)
        db->exec("INSERT INTO R_VERSION_STEPS VALUES ('ABC', " + std::to_string(step) + ", '" +
                 commandFingerprint(script.commandText(step)) + "')");

    // This release goes on, its group of commands 3 and 4 committing before command 5 fails.
    ASSERT_EQ(open(file), 0);
    CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    ASSERT_EQ(r.first, 3);
    EXPECT_EQ(runCommands(r.first, r.last), 5);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|1"});

    // The old rows and the new one agree with the script; an edit of command 2 is still seen.
    std::vector<std::string> edited = commands;
    edited[1] = "INSERT INTO t VALUES (20)";
    reload();
    ASSERT_EQ(open(writeScript(scriptWith("ABC", "", "1.0", edited))), 0);
    r = check(false);
    EXPECT_EQ(r.result, -3);
    EXPECT_EQ(r.message, resumeMismatch(2));

    reload();
    db->exec("CREATE TABLE missing (k integer)");
    ASSERT_EQ(open(file), 0);
    r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 5);
    ASSERT_EQ(runCommands(r.first, r.last), 0) << api->lastMessage();
    ASSERT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(keys(), "2,3,4");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

TEST_P(RunSafety, DeletingTheStepRecordsOverridesTheRefusalDeliberately) {
    commitEachCommand();
    std::vector<std::string> commands = insertingCommands(3);
    commands.push_back("INSERT INTO missing VALUES (4)");
    ASSERT_EQ(open(writeScript(scriptWith("ABC", "", "1.0", commands))), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 4), 4);

    commands[1] = "INSERT INTO t VALUES (20)";
    commands[3] = "INSERT INTO t VALUES (4)";
    const std::string edited = writeScript(scriptWith("ABC", "", "1.0", commands));
    reload();
    ASSERT_EQ(open(edited), 0);
    ASSERT_EQ(check(false).result, -3);
    db->exec("DELETE FROM R_VERSION_STEPS WHERE DBCode = 'ABC'");
    reload();
    ASSERT_EQ(open(edited), 0);
    const CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 4);
}

TEST_P(RunSafety, ACounterBeyondTheScriptIsRefusedAsDamagedProgress) {
    db->exec("CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint);"
             "INSERT INTO R_VERSION VALUES (NULL, 'ABC', 303)");
    ASSERT_EQ(open(writeScript(scriptWith("ABC", "", "1.0", insertingCommands(3)))), 0);
    const CheckResult r = check(false);
    EXPECT_EQ(r.result, -3);
    EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_VERSION);
    EXPECT_EQ(r.message, ansi("Счётчик R_VERSION (303) повреждён: в скрипте 3 команд."));
    EXPECT_EQ(firstValue(db->query("SELECT count(*) FROM R_VERSION")), "1");
}

TEST_P(RunSafety, AStatusCheckWritesNothing) {
    db->exec("CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint);"
             "INSERT INTO R_VERSION VALUES ('0.9', 'ABC', 0)");
    ASSERT_EQ(open(writeScript(scriptWith("ABC", "0.9", "1.0", insertingCommands(3)))), 0);
    ASSERT_EQ(check(false).result, 0);
    api->piDone();
    const std::string steps =
        GetParam() == Driver::SQLite
            ? "SELECT count(*) FROM sqlite_master WHERE name LIKE 'R_VERSION_%'"
            : "SELECT count(*) FROM pg_tables WHERE tablename LIKE 'r_version_%'";
    EXPECT_EQ(firstValue(db->query(steps)), "0");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|0.9|0"});
}

TEST_P(RunSafety, ATransactionTheScriptLeavesOpenFailsTheRun) {
    script::RsqlContent content = scriptWith(
        "ABC", "", "1.0",
        {"CREATE TABLE t (k integer)", "", "INSERT INTO t VALUES (1)", "INSERT INTO t VALUES (2)"});
    content.commands[1] = {"-- the converter kept this one", "BEGIN;"};
    const std::string file = writeScript(content);
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 4), 0) << api->lastMessage();
    EXPECT_EQ(api->UpDateVersion(), -6);
    EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_COMMAND);
    EXPECT_EQ(api->lastMessage(),
              ansi("Скрипт не завершил транзакцию, начатую командой 2: изменения, начиная с этой "
                   "команды, не сохранены."));
    EXPECT_EQ(keys(), "");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|3"})
        << "the progress is what was committed: command 1";

    // A rerun resumes at the command that opened the transaction.
    reload();
    ASSERT_EQ(open(file), 0);
    EXPECT_EQ(check(false).first, 2);
}

TEST_P(RunSafety, AnUnversionedScriptLeavingATransactionOpenFailsToo) {
    ASSERT_EQ(
        open(writeScript(scriptWith(
            "ABC", "", "", {"CREATE TABLE t (k integer)", "BEGIN", "INSERT INTO t VALUES (1)"}))),
        1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 3), 0) << api->lastMessage();
    EXPECT_EQ(api->UpDateVersion(), -6);
    EXPECT_EQ(keys(), "");
}

INSTANTIATE_TEST_SUITE_P(Drivers, RunSafety, ::testing::Values(Driver::SQLite, Driver::PostgreSQL),
                         driverName);

// A connection the server ends: Retry reconnects and goes on.
class LostConnection : public PluginFixture {};

TEST_P(LostConnection, RetryReconnectsAndTheRunGoesOn) {
    commitEachCommand();
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", insertingCommands(5)));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 2), 0);
    ASSERT_TRUE(db->terminateOtherConnections());
    const std::string third = api->MakeSQLCommand(3);
    EXPECT_EQ(api->ExecrSQL(third.c_str()), -5);
    EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_CONNECT);
    // Retry: the same command again.
    EXPECT_EQ(api->ExecrSQL(api->MakeSQLCommand(3)), 0) << api->lastMessage();
    ASSERT_EQ(runCommands(4, 5), 0) << api->lastMessage();
    ASSERT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(keys(), "2,3,4,5");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

TEST_P(LostConnection, InsideTheScriptsTransactionTheRunCannotGoOn) {
    const std::string file = writeScript(
        scriptWith("ABC", "", "1.0",
                   {"CREATE TABLE t (k integer)", "BEGIN", "INSERT INTO t VALUES (3)", "COMMIT"}));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 3), 0);
    ASSERT_TRUE(db->terminateOtherConnections());
    EXPECT_EQ(runCommands(4, 4), 4);
    const std::string lost = ansi("Соединение с БД потеряно внутри транзакции, начатой командой 2: "
                                  "изменения, начиная с этой команды, не сохранены. Запустите "
                                  "скрипт заново.");
    EXPECT_EQ(runCommands(4, 4), 4);
    EXPECT_EQ(api->lastMessage(), lost);
    EXPECT_EQ(runCommands(4, 4), 4) << "every retry is refused";
    EXPECT_EQ(api->lastMessage(), lost);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|3"});

    reload();
    ASSERT_EQ(open(file), 0);
    const CheckResult r = check(false);
    EXPECT_EQ(r.first, 2);
    ASSERT_EQ(runCommands(r.first, r.last), 0) << api->lastMessage();
    EXPECT_EQ(keys(), "3");
}

INSTANTIATE_TEST_SUITE_P(Drivers, LostConnection, ::testing::Values(Driver::PostgreSQL),
                         driverName);

} // namespace
} // namespace vt::plugin::testkit
