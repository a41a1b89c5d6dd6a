// Tests of vtconsole status and up in memory through the scriptable fake plug-in: exit codes,
// the streams, JSON, and the order of the plug-in's calls.
#include "console/pipelineapp.h"

#include <filesystem>
#include <regex>
#include <sstream>
#include <utility>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "console/testsupport/appfixture.h"
#include "plugin/vtutils.h"

namespace vt::console::testing {
namespace {

struct PipelineOutcome {
    int code = 0;
    std::string out;
    std::string err;
    std::vector<std::string> calls;
};

class PipelineTest : public AppFixture {
protected:
    PipelineOutcome pipeline(std::vector<std::string> args) {
        std::ostringstream out, err;
        ConsoleEnvironment env{"/opt/vantrel/vtconsole", configFile(), std::nullopt};
        PipelineOutcome o;
        o.code = PipelineApp(out, err, env).run(args);
        o.out = out.str();
        o.err = err.str();
        o.calls = readLines(logFile());
        return o;
    }
};

struct ExitCase {
    const char* name;
    const char* command;
    const char* plugin; // registered alias: "fake", or "noupdate" (no failure-cause query)
    std::vector<std::pair<const char*, const char*>> env;
    int exitCode;
    const char* errorCause; // the JSON error's cause; nullptr when the report has no error
};

class PipelineExitTest : public PipelineTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(PipelineExitTest, EndsWithTheExitCodeOfTheFailureKind) {
    const ExitCase& c = GetParam();
    for (const auto& [name, value] : c.env)
        setenv(name, value, 1);
    setenv("VT_FAKE_DBVERSION", "", 1); // up then starts with the script from version ""
    PipelineOutcome o = pipeline(
        {c.command, scriptPath, "-p", c.plugin, "-alias", "ALPHA", "-pass", "pw", "--json"});
    EXPECT_EQ(o.code, c.exitCode) << o.out << o.err;
    const nlohmann::json j = nlohmann::json::parse(o.out); // nothing but one JSON object
    EXPECT_EQ(j["exitCode"], c.exitCode);
    EXPECT_EQ(j["command"], c.command);
    if (c.errorCause) {
        EXPECT_EQ(j["error"]["cause"], c.errorCause);
        EXPECT_EQ(j["error"]["exitCode"], c.exitCode);
        EXPECT_NE(o.err.find("ERROR: "), std::string::npos);
    } else {
        EXPECT_TRUE(j["error"].is_null());
    }
    EXPECT_EQ(o.out.find("pw"), std::string::npos);
    EXPECT_EQ(o.err.find("pw"), std::string::npos);
    // Whatever happens, the plug-in is closed last.
    ASSERT_FALSE(o.calls.empty());
    EXPECT_EQ(o.calls.back(), "piDone");
}

const char* const kLock = "3"; // VT_CAUSE_LOCK_TIMEOUT, and so on
INSTANTIATE_TEST_SUITE_P(
    Cases, PipelineExitTest,
    ::testing::Values(
        ExitCase{"status_would_run", "status", "fake", {}, 0, nullptr},
        ExitCase{"status_applied",
                 "status",
                 "fake",
                 {{"VT_FAKE_CHECK_ERROR", "applied"}, {"VT_FAKE_CAUSE", "5"}},
                 0,
                 nullptr},
        ExitCase{"status_version_refused",
                 "status",
                 "fake",
                 {{"VT_FAKE_CHECK_ERROR", "wrong version"}, {"VT_FAKE_CAUSE", "4"}},
                 1,
                 nullptr},
        ExitCase{"status_wrong_password",
                 "status",
                 "fake",
                 {{"VT_FAKE_CONNECT", "-1"}, {"VT_FAKE_CAUSE", "2"}},
                 3,
                 "connect"},
        ExitCase{"status_lock_held",
                 "status",
                 "fake",
                 {{"VT_FAKE_CHECK_ERROR", "locked"}, {"VT_FAKE_CAUSE", kLock}},
                 4,
                 "lock-timeout"},
        ExitCase{"status_damaged_script",
                 "status",
                 "fake",
                 {{"VT_FAKE_INIT_ERROR", "damaged"}, {"VT_FAKE_CAUSE", "1"}},
                 5,
                 nullptr},
        ExitCase{"up_done", "up", "fake", {}, 0, nullptr},
        ExitCase{"up_wrong_password",
                 "up",
                 "fake",
                 {{"VT_FAKE_CONNECT", "-1"}, {"VT_FAKE_CAUSE", "2"}},
                 3,
                 "connect"},
        ExitCase{"up_lock_held",
                 "up",
                 "fake",
                 {{"VT_FAKE_CHECK_ERROR", "locked"}, {"VT_FAKE_CAUSE", kLock}},
                 4,
                 "lock-timeout"},
        ExitCase{"up_progress_changed_by_another_run",
                 "up",
                 "fake",
                 {{"VT_FAKE_FAIL", "2"}, {"VT_FAKE_CAUSE", "6"}},
                 4,
                 "concurrent"},
        ExitCase{"up_damaged_script",
                 "up",
                 "fake",
                 {{"VT_FAKE_INIT_ERROR", "damaged"}, {"VT_FAKE_CAUSE", "1"}},
                 5,
                 "script"},
        ExitCase{"up_version_refused",
                 "up",
                 "fake",
                 {{"VT_FAKE_CHECK_ERROR", "wrong code"}, {"VT_FAKE_CAUSE", "4"}},
                 1,
                 "version"},
        ExitCase{"up_command_failed",
                 "up",
                 "fake",
                 {{"VT_FAKE_FAIL", "2"}, {"VT_FAKE_CAUSE", "7"}},
                 6,
                 "command"},
        ExitCase{"up_unknown_cause_judged_by_the_function",
                 "up",
                 "fake",
                 {{"VT_FAKE_FAIL", "2"}, {"VT_FAKE_CAUSE", "99"}},
                 6,
                 "command"},
        // Without the failure-cause query the kind comes from the function that failed.
        ExitCase{"minimal_plugin_connect",
                 "status",
                 "noupdate",
                 {{"VT_FAKE_CONNECT", "-1"}},
                 3,
                 "connect"},
        ExitCase{
            "minimal_plugin_open", "status", "noupdate", {{"VT_FAKE_INIT_ERROR", "x"}}, 5, nullptr},
        ExitCase{"minimal_plugin_check",
                 "status",
                 "noupdate",
                 {{"VT_FAKE_CHECK_ERROR", "x"}},
                 1,
                 nullptr},
        ExitCase{"minimal_plugin_command", "up", "noupdate", {{"VT_FAKE_FAIL", "1"}}, 6, "command"},
        ExitCase{
            "minimal_plugin_lacks_UpDateVersion", "up", "noupdate", {}, 7, "missing-function"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PipelineTest, UpRunsEachScriptThroughTheWholeCallOrderAfterReadingTheVersion) {
    setenv("VT_FAKE_DBVERSION", "", 1);
    PipelineOutcome o = pipeline({"up", scriptPath, "-p", "fake", "-alias", "ALPHA"});
    EXPECT_EQ(o.code, 0) << o.err;
    const std::string init = "piInit|" + scriptPath + "|vtxutils.ini";
    EXPECT_EQ(o.calls,
              (std::vector<std::string>{
                  init, "dbConnect|ALPHA|owner|", "CheckDataBaseParams|1|0", "piDone", init,
                  "dbConnect|ALPHA|owner|", "CheckDataBaseParams|1|0", "MakeSQLCommand|1",
                  "ExecrSQL|SELECT 1\\r\\n", "MakeSQLCommand|2", "ExecrSQL|SELECT 2\\r\\n",
                  "MakeSQLCommand|3", "ExecrSQL|SELECT 3\\r\\n", "UpDateVersion", "piDone"}));
    // The seconds are the machine's; the rest of the result line is fixed.
    EXPECT_EQ(std::regex_replace(o.out, std::regex(R"(\(\d+\.\d\d s\))"), "(S s)"),
              "upd.rsql: (none) -> 1.0 applied, commands 1..3 (S s)\n"
              "Database ALPHA is up to date (version 1.0)\n");
    EXPECT_EQ(o.err, "Applying upd.rsql ((none) -> 1.0), commands 1..3\n");
}

TEST_F(PipelineTest, UpStopsAtTheFailedCommandWithoutAskingOrRecordingTheVersion) {
    setenv("VT_FAKE_DBVERSION", "", 1);
    setenv("VT_FAKE_FAIL", "2", 1);
    setenv("VT_FAKE_CAUSE", "7", 1);
    PipelineOutcome o = pipeline({"up", scriptPath, "-p", "fake", "-dbname", "/x/shop.db"});
    EXPECT_EQ(o.code, 6);
    EXPECT_EQ(callsOf(o.calls, "ExecrSQL").size(), 2u);
    EXPECT_TRUE(callsOf(o.calls, "UpDateVersion").empty());
    EXPECT_EQ(callsOf(o.calls, "dbConnect").front(), "dbConnect|DBName=/x/shop.db|owner|");
    EXPECT_NE(o.err.find("ERROR: failure of command 2 (upd.rsql)\n"), std::string::npos) << o.err;
    EXPECT_NE(o.out.find("upd.rsql: failure of command 2\n"), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find("up to date"), std::string::npos);
}

TEST_F(PipelineTest, UpTellsTheCommandReachedWithinALongScript) {
    setenv("VT_FAKE_DBVERSION", "", 1);
    std::ostringstream out, err;
    ConsoleEnvironment env{"/opt/vantrel/vtconsole", configFile(), std::nullopt};
    const int code = PipelineApp(out, err, env, std::chrono::milliseconds(0))
                         .run({"up", scriptPath, "-p", "fake", "-alias", "ALPHA"});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(err.str(), "Applying upd.rsql ((none) -> 1.0), commands 1..3\n"
                         "  command 1 of 3 done\n"
                         "  command 2 of 3 done\n"
                         "  command 3 of 3 done\n");
}

TEST_F(PipelineTest, StatusShowsTheRecordAndThePendingCommandsAndRunsNothing) {
    setenv("VT_FAKE_FIRST", "2", 1);
    setenv("VT_FAKE_DBVERSION", "", 1);
    setenv("VT_FAKE_COMMAND_2", "insert into t\r\nvalues (2)\r\n", 1);
    PipelineOutcome o = pipeline({"status", scriptPath, "-p", "fake", "-alias", "ALPHA"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "Database ALPHA: code FAKE, version (none)\n"
                     "  interrupted run of upd.rsql: 2 command(s) left\n"
                     "upd.rsql: SHOP (none) -> 1.0, 3 commands\n"
                     "  would resume at command 2 (commands 2..3)\n"
                     "    2: insert into t\n"
                     "    3: SELECT 3\n");
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(callsOf(o.calls, "ExecrSQL").empty());
    EXPECT_TRUE(callsOf(o.calls, "UpDateVersion").empty());
}

// Three chained scripts a (0.0 -> 1.0), b (1.0 -> 1.1) and c (1.1 -> 1.2) in a folder of their own.
class ChainPipelineTest : public PipelineTest {
protected:
    void SetUp() override {
        PipelineTest::SetUp();
        folder = dir.file("chain");
        std::filesystem::create_directory(folder);
        const char* steps[][3] = {
            {"a.rsql", "0.0", "1.0"}, {"b.rsql", "1.0", "1.1"}, {"c.rsql", "1.1", "1.2"}};
        for (const auto& [file, from, to] : steps)
            script::writeRsqlScript(folder + "/" + file, scriptContent("SHOP", from, to, {"x"}));
    }

    std::vector<std::string> verdicts(const std::string& jsonText) {
        const nlohmann::json report = nlohmann::json::parse(jsonText);
        std::vector<std::string> out;
        for (const auto& s : report["scripts"])
            out.push_back(s["verdict"]);
        return out;
    }

    std::string folder;
};

struct OvertakeCase {
    const char* name;
    const char* checks; // the version each check sees; "!" refuses
    const char* cause;
    int exitCode;
    std::vector<std::string> verdicts;
};

class OvertakeTest : public ChainPipelineTest,
                     public ::testing::WithParamInterface<OvertakeCase> {};

TEST_P(OvertakeTest, UpGoesOnFromWhereAnotherRunLeftTheDatabaseOnlyWhenItLiesAhead) {
    const OvertakeCase& c = GetParam();
    setenv("VT_FAKE_CHECKS", c.checks, 1);
    setenv("VT_FAKE_CAUSE", c.cause, 1);
    PipelineOutcome o = pipeline({"up", folder, "-p", "fake", "-alias", "A", "--json"});
    EXPECT_EQ(o.code, c.exitCode) << o.out << o.err;
    EXPECT_EQ(verdicts(o.out), c.verdicts);
    // b never runs: only a and c reach ExecrSQL, three fake commands each at most.
    EXPECT_LE(callsOf(o.calls, "ExecrSQL").size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OvertakeTest,
    ::testing::Values(
        // The probe and a see 0.0; by b's check another run applied b: go on with c.
        OvertakeCase{"applied_meanwhile", "0.0,0.0,1.1!,1.1", "5", 0, {"ran", "applied", "ran"}},
        OvertakeCase{"moved_past_the_end", "0.0,0.0,1.2!", "4", 0, {"ran", "applied", "applied"}},
        // A version behind the script is a refusal, not a reason to go back.
        OvertakeCase{"moved_back", "0.0,0.0,0.0!", "4", 1, {"ran", "refused", "not-reached"}},
        OvertakeCase{
            "lock_wait_timed_out", "0.0,0.0,1.1!", "3", 4, {"ran", "failed", "not-reached"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChainPipelineTest, StatusReadsRefusalsInTheChainOnlyForScriptsOfTheDatabasesCode) {
    setenv("VT_FAKE_DBVERSION", "1.0", 1);
    setenv("VT_FAKE_CHECK_ERROR", "refused", 1);
    setenv("VT_FAKE_CAUSE", "4", 1);
    setenv("VT_FAKE_DBCODE", "shop", 1);
    PipelineOutcome o = pipeline({"status", folder, "-p", "fake", "-alias", "A", "--json"});
    EXPECT_EQ(verdicts(o.out), (std::vector<std::string>{"applied", "refused", "would-follow"}));
    EXPECT_EQ(o.code, 1);

    setenv("VT_FAKE_DBCODE", "OTHER", 1);
    o = pipeline({"status", folder, "-p", "fake", "-alias", "A", "--json"});
    EXPECT_EQ(verdicts(o.out), (std::vector<std::string>{"refused", "refused", "refused"}));
}

TEST_F(ChainPipelineTest, UpOnADatabaseOfAnotherCodeEndsWithThePluginsReason) {
    setenv("VT_FAKE_DBVERSION", "1.0", 1);
    setenv("VT_FAKE_DBCODE", "OTHER", 1);
    setenv("VT_FAKE_CHECK_ERROR", "wrong database code", 1);
    setenv("VT_FAKE_CAUSE", "4", 1);
    PipelineOutcome o = pipeline({"up", folder, "-p", "fake", "-alias", "A", "--json"});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(nlohmann::json::parse(o.out)["error"]["text"], "wrong database code");
    // Nothing counts as applied on a database the scripts are not meant for.
    EXPECT_EQ(verdicts(o.out),
              (std::vector<std::string>{"not-reached", "not-reached", "not-reached"}));
    EXPECT_TRUE(callsOf(o.calls, "ExecrSQL").empty());
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class PipelineUsageTest : public PipelineTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(PipelineUsageTest, RefusesTheCommandLineWithTheUsageAndExitCode2) {
    PipelineOutcome o = pipeline(GetParam().args);
    EXPECT_EQ(o.code, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.rfind(GetParam().message, 0), 0u) << o.err;
    EXPECT_NE(o.err.find("Usage:"), std::string::npos);
    EXPECT_TRUE(o.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PipelineUsageTest,
    ::testing::Values(
        UsageCase{"unknown_switch", {"status", "a.rsql", "-alias", "A", "-s"}, "Unknown switch -s"},
        UsageCase{"init_is_for_up_only",
                  {"status", "a.rsql", "-alias", "A", "--init"},
                  "Unknown switch --init"},
        UsageCase{"switch_without_value", {"up", "a.rsql", "-alias"}, "Switch -alias needs"},
        UsageCase{"no_script", {"up", "-alias", "A"}, "No script given"},
        UsageCase{"no_database", {"up", "a.rsql"}, "Give the database"},
        UsageCase{"two_databases",
                  {"up", "a.rsql", "-alias", "A", "-dbname", "f.db"},
                  "Give the database"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PipelineTest, APluginThatCannotBeLoadedIsAnOtherFailure) {
    writeFile(configFile(), "[Plugin]\r\ngone=/nonexistent/plugin.so\r\n");
    PipelineOutcome o = pipeline({"up", scriptPath, "-p", "gone", "-alias", "A", "--json"});
    EXPECT_EQ(o.code, 7);
    const nlohmann::json j = nlohmann::json::parse(o.out);
    EXPECT_EQ(j["error"]["cause"], "other");
    EXPECT_NE(o.err.find("Error loading library '/nonexistent/plugin.so'."), std::string::npos);
}

} // namespace
} // namespace vt::console::testing
