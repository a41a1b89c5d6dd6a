// Kill test: a runner killed at any moment leaves every command applied and counted, or neither.
//
// A child process (vtutils_run) runs a versioned script of a few hundred commands through the
// plug-in and is killed with SIGKILL at random moments, right after chosen commands and right
// after the last command; the script is then run again until it completes or is refused as
// already executed. Every command must have taken effect exactly once and the version must be
// recorded. Group commit is on, as by default; some runs pause past its age bound in the
// middle of the script, so that a group commits there and the kill falls in the next one.
#include "platform/codepage.h"
#include "plugin/testkit/childprocess.h"
#include "plugin/testkit/testdatabase.h"
#include "plugin/testkit/vtutilsapi.h"
#include "script/rsqlwriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

namespace vt::plugin::testkit {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCommands = 300;
// Time spent on killing trials per driver (the loop stops starting new trials after it).
constexpr auto kTrialBudget = std::chrono::seconds(40);
constexpr int kMaxTrials = 60;
constexpr int kMaxRunsPerTrial = 40;

class KillTest : public ::testing::TestWithParam<Driver> {
protected:
    void SetUp() override {
        if (GetParam() == Driver::PostgreSQL)
            VT_REQUIRE_PG();
        // A killed process loses nothing the kernel holds, so the SQLite file may live in
        // memory, where a commit costs no disk flush and many more kills fit in the time.
        std::error_code ec;
        const bool shm =
            std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0;
        db = TestDatabase::create(GetParam(), shm ? "/dev/shm" : "");
        script::RsqlContent content;
        content.code = "KILL";
        content.newVersion = "1.0";
        content.commands.push_back({"CREATE TABLE t (k integer)"});
        for (int k = 2; k <= kCommands; ++k)
            content.commands.push_back({"INSERT INTO t VALUES (" + std::to_string(k) + ")"});
        scriptFile = db->folder() + "/kill.rsql";
        script::writeRsqlScript(scriptFile, content);
    }

    // The helper's arguments; stop is its STOP_AFTER[:PAUSE_MS] (none when empty).
    std::vector<std::string> args(const std::string& stop = {}) const {
        std::vector<std::string> a = {helperFile(), VtUtilsApi::defaultFile(),
                                      scriptFile,   TestDatabase::kAlias,
                                      db->user(),   db->password()};
        if (!stop.empty())
            a.push_back(stop);
        return a;
    }

    // Checks that the script's effect is complete and single, then empties the database.
    void verifyAndReset(const std::string& trial) {
        const Rows counts = db->query("SELECT count(*), count(DISTINCT k), min(k), max(k) FROM t");
        ASSERT_EQ(counts.size(), 1u) << trial;
        EXPECT_EQ(counts[0][0].value_or("-"), std::to_string(kCommands - 1)) << trial;
        EXPECT_EQ(counts[0][1].value_or("-"), std::to_string(kCommands - 1)) << trial;
        EXPECT_EQ(counts[0][2].value_or("-"), "2") << trial;
        EXPECT_EQ(counts[0][3].value_or("-"), std::to_string(kCommands)) << trial;
        const Rows version =
            db->query("SELECT rtrim(DBCode), rtrim(Version), Counter FROM R_VERSION");
        ASSERT_EQ(version.size(), 1u) << trial;
        EXPECT_EQ(version[0][0].value_or("-") + "|" + version[0][1].value_or("-") + "|" +
                      version[0][2].value_or("-"),
                  "KILL|1.0|0")
            << trial;
        db->dropTables({"t", "R_VERSION"});
    }

    // A run that was not killed must have completed or been refused as already executed.
    // Returns true when the script is done.
    bool finished(const ChildRun& run, const std::string& trial) {
        if (run.killed)
            return false;
        if (run.exitCode == 0 && run.output == "completed\n")
            return true;
        EXPECT_EQ(run.output, "refused: " + alreadyExecuted + "\n") << trial;
        return true;
    }

    std::unique_ptr<TestDatabase> db;
    std::string scriptFile;
    const std::string alreadyExecuted =
        platform::ansi("Скрипт данной версии уже был выполнен на БД.");
};

TEST_P(KillTest, EveryCommandTakesEffectOnceWhateverTheMomentOfTheKill) {
    // The fastest of a few undisturbed runs gives the time scale of the random kills.
    ChildRun run;
    auto fullRun = std::chrono::microseconds::max();
    for (int i = 0; i < 3; ++i) {
        const auto started = Clock::now();
        run = runChild(args(), std::nullopt);
        fullRun = std::min(
            fullRun, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started));
        ASSERT_EQ(run.output, "completed\n");
        verifyAndReset("undisturbed run");
    }

    std::mt19937 random(std::random_device{}());
    auto randomDelay = [&] {
        std::uniform_int_distribution<long> pick(0, fullRun.count());
        return std::chrono::microseconds(pick(random));
    };
    std::uniform_int_distribution<long> pickCommand(1, kCommands - 1);

    int trials = 0, kills = 0;
    const auto deadline = Clock::now() + kTrialBudget;
    while (trials < kMaxTrials && (trials < 6 || Clock::now() < deadline)) {
        const int kind = trials % 4;
        const std::string trial =
            "trial " + std::to_string(trials) + " kind " + std::to_string(kind);
        ++trials;
        if (kind == 0) {
            // Killed right after the last command: the next run is refused as already executed.
            run = runChild(args(std::to_string(kCommands)), std::nullopt);
            ASSERT_TRUE(run.killed) << trial << ": " << run.output;
            ++kills;
            run = runChild(args(), std::nullopt);
            EXPECT_EQ(run.output, "refused: " + alreadyExecuted + "\n") << trial;
            verifyAndReset(trial);
            continue;
        }
        if (kind == 1) {
            run = runChild(args(std::to_string(pickCommand(random))), std::nullopt);
        } else if (kind == 3) {
            // A pause past the age bound: the command after it commits its group, and the kill
            // falls later in the run.
            const std::string pause = std::to_string(pickCommand(random)) + ":250";
            run = runChild(args(pause), std::chrono::milliseconds(250) + randomDelay());
        } else {
            const auto started = Clock::now();
            run = runChild(args(), randomDelay());
            if (!run.killed) // a whole run ended within the delay: follow its pace
                fullRun = (fullRun * 3 + std::chrono::duration_cast<std::chrono::microseconds>(
                                             Clock::now() - started)) /
                          4;
        }
        kills += run.killed ? 1 : 0;
        bool done = finished(run, trial);
        for (int attempt = 0; !done && attempt < kMaxRunsPerTrial; ++attempt) {
            // Further runs are killed at random too, until the last attempts.
            const bool kill = attempt < kMaxRunsPerTrial / 2 && random() % 2 == 0;
            run = runChild(args(), kill ? std::optional(randomDelay()) : std::nullopt);
            kills += run.killed ? 1 : 0;
            done = finished(run, trial);
        }
        ASSERT_TRUE(done) << trial;
        verifyAndReset(trial);
        if (HasFailure())
            return;
    }
    std::printf("[ kill test ] %d trials, %d kills, full run %.1f ms\n", trials, kills,
                fullRun.count() / 1000.0);
    EXPECT_GT(kills, trials / 2);
}

INSTANTIATE_TEST_SUITE_P(Drivers, KillTest, ::testing::Values(Driver::SQLite, Driver::PostgreSQL),
                         [](const auto& info) {
                             return info.param == Driver::SQLite ? std::string("SQLite")
                                                                 : std::string("PostgreSQL");
                         });

} // namespace
} // namespace vt::plugin::testkit
