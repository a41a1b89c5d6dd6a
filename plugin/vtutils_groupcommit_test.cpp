// Tests of group commit: commands share a transaction, each under its own savepoint; a failure,
// a lost connection or a crash loses exactly the uncommitted commands, whose progress was not
// committed either.
#include "plugin/testkit/pluginfixture.h"

#include <unistd.h>

#include <chrono>
#include <thread>

namespace vt::plugin::testkit {
namespace {

const std::string kNotSavedFrom1 = ansi("Изменения, начиная с команды 1, не сохранены; выполнение "
                                        "остановлено. Запустите скрипт заново: он продолжится с "
                                        "этой команды.");

class GroupCommit : public PluginFixture {
protected:
    // The script, connected and checked on a fresh database (R_VERSION created).
    void start(const std::vector<std::string>& commands, const std::string& newVersion = "1.0") {
        ASSERT_EQ(open(writeScript(scriptWith("ABC", "", newVersion, commands))), 1);
        const CheckResult r = check(true);
        ASSERT_EQ(r.result, 0) << r.message;
    }
};

TEST_P(GroupCommit, AFailedCommandCommitsTheGroupBeforeItAndRetryStartsANewOne) {
    std::vector<std::string> commands = insertingCommands(3);
    commands.push_back("INSERT INTO missing VALUES (4)");
    commands.push_back("INSERT INTO t VALUES (5)");
    commands.push_back("INSERT INTO t VALUES (6)");
    start(commands);
    ASSERT_EQ(runCommands(1, 3), 0) << api->lastMessage();
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|-"}) << "nothing committed yet";

    EXPECT_EQ(runCommands(4, 4), 4);
    EXPECT_EQ(api->GetLastVTError(), -5);
    EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_COMMAND);
    EXPECT_EQ(api->lastMessage().find(ansi("Изменения")), std::string::npos)
        << "the command's own error: " << api->lastMessage();
    // Before the failure was reported, the commands before it committed with the Counter
    // pointing at it, and no lock is left behind: another connection can write at once.
    EXPECT_EQ(keys(), "2,3");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|3"});
    db->exec("CREATE TABLE missing (k integer)");

    // Retry runs the command again, in a new group.
    ASSERT_EQ(api->ExecrSQL(api->MakeSQLCommand(4)), 0) << api->lastMessage();
    ASSERT_EQ(runCommands(5, 6), 0) << api->lastMessage();
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"})
        << "the last command commits its group with the version";
    ASSERT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(keys(), "2,3,5,6");
    EXPECT_EQ(keys("missing"), "4");
}

TEST_P(GroupCommit, IgnoreLeavesTheFailedCommandOutAndTheRunGoesOn) {
    start({"CREATE TABLE t (k integer)", "INSERT INTO t VALUES (1)",
           "INSERT INTO missing VALUES (2)", "INSERT INTO t VALUES (3)",
           "INSERT INTO t VALUES (4)"},
          "");
    EXPECT_EQ(runCommands(1, 3), 3);
    EXPECT_EQ(keys(), "1");
    // Ignore: the runner goes on with the next command.
    ASSERT_EQ(runCommands(4, 5), 0) << api->lastMessage();
    ASSERT_EQ(api->UpDateVersion(), 0) << api->lastMessage();
    ASSERT_EQ(api->piDone(), 0) << api->lastMessage();
    EXPECT_EQ(keys(), "1,3,4");
}

TEST_P(GroupCommit, AVersionedRunStoppedAfterAFailureResumesAtTheFailedCommand) {
    std::vector<std::string> commands = insertingCommands(4);
    commands.push_back("INSERT INTO missing VALUES (5)");
    start(commands);
    EXPECT_EQ(runCommands(1, 5), 5);
    reload();
    db->exec("CREATE TABLE missing (k integer)");
    ASSERT_EQ(open(writeScript(scriptWith("ABC", "", "1.0", commands))), 0);
    const CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 5);
    ASSERT_EQ(runCommands(r.first, r.last), 0) << api->lastMessage();
    ASSERT_EQ(api->UpDateVersion(), 0);
    EXPECT_EQ(keys(), "2,3,4");
    EXPECT_EQ(keys("missing"), "5");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

TEST_P(GroupCommit, AResumeWithACommandOfACommittedGroupEditedIsRefused) {
    std::vector<std::string> commands = insertingCommands(4);
    commands.push_back("INSERT INTO missing VALUES (5)");
    start(commands);
    EXPECT_EQ(runCommands(1, 5), 5);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|1"});
    EXPECT_EQ(firstValue(db->query("SELECT count(*) FROM R_VERSION_STEPS")), "1")
        << "one record for the group of commands 1 to 4";

    std::vector<std::string> middle = commands;
    middle[1] = "INSERT INTO t VALUES (20)";
    std::vector<std::string> first = commands;
    first[0] = "CREATE TABLE t (k bigint)";
    std::vector<std::string> fixed = commands;
    fixed[4] = "INSERT INTO t VALUES (5)";
    // The group's record covers its commands: an edit inside the group is named at the group's
    // last command, the one its record is for.
    expectResumes(
        {
            {"ACommandInTheMiddleOfTheGroup", middle, 4},
            {"TheGroupsFirstCommand", first, 4},
            {"TheFailedCommandFixed", fixed, 0},
        },
        5);
    EXPECT_EQ(keys(), "2,3,4,5");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

TEST_P(GroupCommit, ACommandSkippedInAVersionedRunStillCountsAtItsStep) {
    std::vector<std::string> commands = insertingCommands(6);
    commands[2] = "INSERT INTO missing VALUES (3)";
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", commands));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    EXPECT_EQ(runCommands(1, 3), 3);
    // A caller of the plug-in goes on past the failure; only successful commands are counted, so
    // commands 4 and 5 count as steps 3 and 4, whose records cover the script's commands 1 to 4.
    ASSERT_EQ(runCommands(4, 5), 0) << api->lastMessage();
    reload();
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|2"});
    ASSERT_EQ(open(file), 0);
    const CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 5);
}

TEST_P(GroupCommit, TheAgeBoundCommitsAGroupOfSlowCommands) {
    const bool pg = GetParam() == Driver::PostgreSQL;
    start({"CREATE TABLE t (k integer)", "INSERT INTO t VALUES (2)",
           pg ? "SELECT pg_sleep(0.3)" : "SELECT 3", "INSERT INTO t VALUES (4)",
           "INSERT INTO t VALUES (5)"});
    ASSERT_EQ(runCommands(1, 2), 0) << api->lastMessage();
    if (!pg) // SQLite has no sleep: the runner is slow instead
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(runCommands(3, 3), 0) << api->lastMessage();
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|2"});
    EXPECT_EQ(keys(), "2");
    ASSERT_EQ(runCommands(4, 4), 0) << api->lastMessage();
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|2"}) << "a new group, still young";
}

TEST_P(GroupCommit, TheAliasKeyGroupCommit0CommitsEachCommand) {
    db->writeAliases("GROUP COMMIT=0\n");
    start(insertingCommands(4));
    ASSERT_EQ(runCommands(1, 2), 0) << api->lastMessage();
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|2"});
    EXPECT_EQ(keys(), "2");
}

TEST_P(GroupCommit, GroupingStepsAsideForCommandsThatRunOnTheirOwn) {
    const bool pg = GetParam() == Driver::PostgreSQL;
    const std::string other = "vt_gc_" + std::to_string(::getpid());
    std::vector<std::string> commands = {"CREATE TABLE t (k integer)",
                                         "INSERT INTO t VALUES (1)",
                                         "VACUUM",
                                         "INSERT INTO t VALUES (2)",
                                         "BEGIN",
                                         "INSERT INTO t VALUES (3)",
                                         "COMMIT",
                                         "INSERT INTO t VALUES (4)"};
    if (pg) {
        db->exec("DROP DATABASE IF EXISTS " + other);
        commands.push_back("CREATE DATABASE " + other);
        commands.push_back("INSERT INTO t VALUES (5)");
        commands.push_back("DROP DATABASE " + other);
    }
    start(commands);
    ASSERT_EQ(runCommands(1, static_cast<int>(commands.size())), 0) << api->lastMessage();
    ASSERT_EQ(api->UpDateVersion(), 0) << api->lastMessage();
    EXPECT_EQ(keys(), pg ? "1,2,3,4,5" : "1,2,3,4");
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

INSTANTIATE_TEST_SUITE_P(Drivers, GroupCommit,
                         ::testing::Values(Driver::SQLite, Driver::PostgreSQL), driverName);

// A thousand commands within the age bound: on SQLite, where a command takes microseconds.
class SizeBound : public GroupCommit {};

TEST_P(SizeBound, CommitsEveryThousandCommands) {
    constexpr int kCommands = 1003;
    start(insertingCommands(kCommands));
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(runCommands(1, 1001), 0) << api->lastMessage();
    if (std::chrono::steady_clock::now() - started > std::chrono::milliseconds(150))
        GTEST_SKIP() << "the machine is too slow to stay under the age bound";
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|3"});
    ASSERT_EQ(runCommands(1002, kCommands), 0) << api->lastMessage();
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|1.0|0"});
}

INSTANTIATE_TEST_SUITE_P(Drivers, SizeBound, ::testing::Values(Driver::SQLite), driverName);

// Failures that cost a group its transaction: the run stops, and the next resumes at the group's
// first command. PostgreSQL ends connections on request, and lets another connection change the
// Counter while a group is open.
class LostGroup : public PluginFixture {};

TEST_P(LostGroup, ALostConnectionStopsTheRunAndTheNextResumesAtTheGroup) {
    const std::vector<std::string> commands = insertingCommands(5);
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", commands));
    ASSERT_EQ(open(file), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 2), 0);
    ASSERT_TRUE(db->terminateOtherConnections());
    EXPECT_EQ(runCommands(3, 3), 3);
    EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_CONNECT);
    const std::string message = api->lastMessage();
    EXPECT_EQ(message.substr(message.size() - kNotSavedFrom1.size()), kNotSavedFrom1) << message;
    EXPECT_EQ(runCommands(3, 3), 3) << "Retry is refused";
    EXPECT_EQ(api->lastMessage(), message);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|-"});

    reload();
    ASSERT_EQ(open(file), 0);
    const CheckResult r = check(false);
    ASSERT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.first, 1);
    ASSERT_EQ(runCommands(r.first, r.last), 0) << api->lastMessage();
    EXPECT_EQ(keys(), "2,3,4,5");
}

TEST_P(LostGroup, ACounterChangedByAnotherRunFailsTheGroupsCommit) {
    ASSERT_EQ(open(writeScript(scriptWith("ABC", "", "1.0", insertingCommands(4)))), 1);
    ASSERT_EQ(check(true).result, 0);
    ASSERT_EQ(runCommands(1, 2), 0);
    db->exec("UPDATE R_VERSION SET Counter = 1");
    ASSERT_EQ(runCommands(3, 3), 0);
    EXPECT_EQ(runCommands(4, 4), 4) << "the last command commits the group";
    EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_CONCURRENT);
    EXPECT_EQ(api->lastMessage(),
              ansi("Другой запуск изменил ход выполнения скрипта на БД (счётчик R_VERSION 1 "
                   "вместо 0); выполнение остановлено, команда не сохранена.") +
                  "\r\n" + kNotSavedFrom1);
    EXPECT_EQ(api->UpDateVersion(), -6);
    EXPECT_EQ(versionRows(), std::vector<std::string>{"ABC|-|1"});
    EXPECT_EQ(firstValue(db->query("SELECT count(*) FROM pg_tables WHERE tablename = 't'")), "0");
}

INSTANTIATE_TEST_SUITE_P(Drivers, LostGroup, ::testing::Values(Driver::PostgreSQL), driverName);

} // namespace
} // namespace vt::plugin::testkit
