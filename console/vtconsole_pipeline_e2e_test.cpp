// End-to-end tests of vtconsole status and up with the real plug-in, against SQLite files and
// the PostgreSQL server of the test run.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "console/testsupport/processrunner.h"
#include "console/testsupport/rsqlfixture.h"
#include "console/testsupport/testdatabase.h"
#include "script/rsqlwriter.h"

namespace vt::console::testing {
namespace {

using nlohmann::json;

class PipelineRunTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        std::filesystem::create_directory(folder());
        script("01_schema.rsql", "0.0", "1.0",
               {"create table t (a int)", "insert into t values (1)"});
        script("02_more.rsql", "1.0", "1.1",
               {"insert into t values (2)", "insert into fix_me values (2)",
                "insert into t values (3)"});
        script("03_last.rsql", "1.1", "1.2", {"insert into t values (4)"});
    }

    std::string folder() const { return dir.file("scripts"); }

    void script(const std::string& name, const std::string& from, const std::string& to,
                const std::vector<std::string>& commands) {
        script::RsqlContent content = scriptContent("SHOP", from, to, commands);
        const auto server = testkit::PgServer::fromEnvironment();
        content.user = server ? server->user : "";
        script::writeRsqlScript(folder() + "/" + name, content);
    }

    // Runs "vtconsole COMMAND args... -alias ALIAS" with the test's settings folder.
    ProcessResult vtconsole(const std::string& command, std::vector<std::string> args,
                            const std::map<std::string, std::string>& env = {}) {
        args.insert(args.begin(), command);
        args.insert(args.end(), {"-alias", db->alias()});
        return runProcess(vtconsoleLaunch(std::move(args), env));
    }

    // The JSON object of a --json run; fails the test unless standard output holds exactly one.
    json parsed(const ProcessResult& r) {
        try {
            return json::parse(r.output);
        } catch (const json::exception& e) {
            ADD_FAILURE() << e.what() << "\n" << r.output;
            return json::object();
        }
    }

    static std::vector<std::string> verdicts(const json& report) {
        std::vector<std::string> out;
        for (const json& s : report["scripts"])
            out.push_back(s["verdict"]);
        return out;
    }

    std::vector<std::string> version() {
        return db->query("select Version, DBCode, Counter from R_VERSION");
    }
};

TEST_P(PipelineRunTest, StatusOnAFreshDatabaseChangesNothing) {
    ProcessResult text = vtconsole("status", {folder()});
    EXPECT_EQ(text.exitCode, 0) << text.output << text.errors;
    EXPECT_NE(text.output.find(": no R_VERSION table\n"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("01_schema.rsql: SHOP 0.0 -> 1.0, 2 commands\n"
                               "  would create R_VERSION and run commands 1..2\n"
                               "    1: create table t (a int)\n"),
              std::string::npos)
        << text.output;

    const json j = parsed(vtconsole("status", {folder(), "--json"}));
    EXPECT_EQ(j["versionTable"], false);
    EXPECT_TRUE(j["versionBefore"].is_null());
    EXPECT_EQ(verdicts(j), (std::vector<std::string>{"would-run", "would-follow", "would-follow"}));
    EXPECT_EQ(j["scripts"][0]["createsVersionTable"], true);
    EXPECT_EQ(j["scripts"][1]["pendingCommands"][1], "insert into fix_me values (2)");
    EXPECT_FALSE(db->hasTable("R_VERSION"));
    EXPECT_FALSE(db->hasTable("t"));
}

TEST_P(PipelineRunTest, UpWithoutInitLeavesAFreshDatabaseAlone) {
    ProcessResult r = vtconsole("up", {folder()});
    EXPECT_EQ(r.exitCode, 1) << r.output << r.errors;
    EXPECT_NE(r.errors.find("ERROR: The database has no R_VERSION table; run again with --init"),
              std::string::npos)
        << r.errors;
    EXPECT_FALSE(db->hasTable("R_VERSION"));
}

TEST_P(PipelineRunTest, UpAppliesTheChainThenIsUpToDate) {
    script("02_more.rsql", "1.0", "1.1", {"insert into t values (2)"});
    ProcessResult r = vtconsole("up", {folder(), "--init", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.output << r.errors;
    json j = parsed(r);
    EXPECT_TRUE(j["versionBefore"].is_null());
    EXPECT_EQ(j["versionAfter"], "1.2");
    EXPECT_EQ(verdicts(j), (std::vector<std::string>{"ran", "ran", "ran"}));
    EXPECT_EQ(j["scripts"][0]["commandsRun"], 2);
    EXPECT_TRUE(j["error"].is_null());
    EXPECT_EQ(version(), std::vector<std::string>{"1.2|SHOP|0"});

    r = vtconsole("up", {folder()});
    EXPECT_EQ(r.exitCode, 0) << r.errors;
    EXPECT_NE(r.output.find("Database " + db->alias() + " is up to date (version 1.2)\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(db->query("select a from t order by a"), (std::vector<std::string>{"1", "2", "4"}));

    j = parsed(vtconsole("status", {folder(), "--json"}));
    EXPECT_EQ(j["exitCode"], 0);
    EXPECT_EQ(j["versionBefore"], "1.2");
    EXPECT_EQ(verdicts(j), (std::vector<std::string>{"applied", "applied", "applied"}));
}

TEST_P(PipelineRunTest, InterruptedChainResumesAtTheFailedCommandThenGoesOn) {
    ProcessResult r = vtconsole("up", {folder(), "--init", "--json"});
    EXPECT_EQ(r.exitCode, 6) << r.output << r.errors;
    json j = parsed(r);
    EXPECT_EQ(verdicts(j), (std::vector<std::string>{"ran", "failed", "not-reached"}));
    EXPECT_EQ(j["error"]["cause"], "command");
    EXPECT_EQ(j["error"]["exitCode"], 6);
    EXPECT_EQ(j["scripts"][1]["commandsRun"], 1);
    EXPECT_EQ(j["versionAfter"], "1.0");
    EXPECT_EQ(version(), std::vector<std::string>{"1.0|SHOP|2"});

    // Half run: the status shows where the next run resumes, and runs nothing.
    ProcessResult status = vtconsole("status", {folder()});
    EXPECT_EQ(status.exitCode, 0) << status.output << status.errors;
    EXPECT_NE(status.output.find("  would resume at command 2 (commands 2..3)\n"
                                 "    2: insert into fix_me values (2)\n"),
              std::string::npos)
        << status.output;
    j = parsed(vtconsole("status", {folder(), "--json"}));
    EXPECT_EQ(verdicts(j), (std::vector<std::string>{"applied", "would-resume", "would-follow"}));
    EXPECT_EQ(j["progress"]["resumeAt"], 2);
    EXPECT_EQ(version(), std::vector<std::string>{"1.0|SHOP|2"});

    db->exec("create table fix_me (a int)");
    r = vtconsole("up", {folder(), "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.output << r.errors;
    j = parsed(r);
    EXPECT_EQ(verdicts(j), (std::vector<std::string>{"applied", "ran", "ran"}));
    EXPECT_EQ(j["scripts"][1]["firstCommand"], 2);
    EXPECT_EQ(j["versionBefore"], "1.0");
    EXPECT_EQ(j["versionAfter"], "1.2");
    EXPECT_EQ(db->query("select a from t order by a"),
              (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(version(), std::vector<std::string>{"1.2|SHOP|0"});
}

TEST_P(PipelineRunTest, ForkedChainIsRefusedBeforeAnythingRuns) {
    script("02_other.rsql", "1.0", "2.0", {"insert into t values (9)"});
    ProcessResult r = vtconsole("up", {folder(), "--init", "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.output << r.errors;
    const json j = parsed(r);
    EXPECT_EQ(j["error"]["cause"], "version");
    EXPECT_NE(std::string(j["error"]["text"]).find("both start from version '1.0'"),
              std::string::npos);
    EXPECT_FALSE(db->hasTable("R_VERSION"));
    EXPECT_FALSE(db->hasTable("t"));
}

TEST_P(PipelineRunTest, DamagedScriptEndsWithItsOwnExitCode) {
    writeFile(dir.file("damaged.rsql"), "[Tools]\r\nVersion=9.9\r\n[DataBase]\r\nCommands=0\r\n");
    // status lets the plug-in open the script; up refuses it before anything runs.
    ProcessResult status = vtconsole("status", {dir.file("damaged.rsql"), "--json"});
    EXPECT_EQ(status.exitCode, 5) << status.output << status.errors;
    EXPECT_EQ(parsed(status)["scripts"][0]["cause"], "script");
    ProcessResult up = vtconsole("up", {folder(), dir.file("damaged.rsql"), "--init"});
    EXPECT_EQ(up.exitCode, 5) << up.output << up.errors;
    EXPECT_NE(up.errors.find("damaged.rsql: script format version 9.9 is newer"), std::string::npos)
        << up.errors;
    EXPECT_FALSE(db->hasTable("R_VERSION"));
}

INSTANTIATE_TEST_SUITE_P(Backends, PipelineRunTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return backendName(info.param); });

class PipelineSqliteTest : public PipelineRunTest {};

TEST_P(PipelineSqliteTest, ARunLockHeldElsewhereEndsWithTheLockTimeoutExit) {
    // Another process holding the database's run lock: the lock file beside the database.
    const std::string lockFile =
        std::filesystem::canonical(dir.file("lite.db")).string() + "-vtlock";
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ProcessResult r = vtconsole("up", {folder(), "--init", "--json"}, {{"VT_LOCK_TIMEOUT", "1"}});
    ::close(fd);
    EXPECT_EQ(r.exitCode, 4) << r.output << r.errors;
    EXPECT_EQ(parsed(r)["error"]["cause"], "lock-timeout");
    EXPECT_FALSE(db->hasTable("t"));
    // Once the holder is gone the same command goes through.
    EXPECT_EQ(vtconsole("up", {folder(), "--init"}).exitCode, 6);
}

INSTANTIATE_TEST_SUITE_P(Backends, PipelineSqliteTest, ::testing::Values(Backend::Sqlite),
                         [](const auto& info) { return backendName(info.param); });

class PipelinePostgresTest : public PipelineRunTest {};

TEST_P(PipelinePostgresTest, WrongPasswordIsACannotConnectExit) {
    ProcessResult r =
        vtconsole("up", {folder(), "--init", "--json"}, {{"VT_PASSWORD", "not-the-password"}});
    EXPECT_EQ(r.exitCode, 3) << r.output << r.errors;
    const json j = parsed(r);
    EXPECT_EQ(j["error"]["cause"], "connect");
    EXPECT_EQ(r.output.find("not-the-password"), std::string::npos);
    EXPECT_EQ(r.errors.find("not-the-password"), std::string::npos);
    EXPECT_EQ(vtconsole("status", {folder()}, {{"VT_PASSWORD", "wrong"}}).exitCode, 3);
}

INSTANTIATE_TEST_SUITE_P(Backends, PipelinePostgresTest, ::testing::Values(Backend::Postgres),
                         [](const auto& info) { return backendName(info.param); });

} // namespace
} // namespace vt::console::testing
