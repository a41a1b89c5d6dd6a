// End-to-end tests of the vtconsole program with the fake plug-in: pipes, a terminal, exit codes.
#include <cstdlib>
#include <map>

#include <gtest/gtest.h>

#include "console/testsupport/processrunner.h"
#include "console/testsupport/rsqlfixture.h"
#include "script/inifile.h"
#include "script/rsqlwriter.h"

namespace vt::console::testing {
namespace {

std::string programBin() {
    const char* bin = std::getenv("VT_PROGRAM_BIN");
    return std::string(bin ? bin : "build/bin") + "/vtconsole";
}

class VtconsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(dir.file("vtconsole.ini"), std::string("[Plugin]\nfake=") + VT_FAKE_PLUGIN +
                                                 "\nnoupdate=" + VT_FAKE_PLUGIN_NOUPDATE + "\n");
        script::RsqlContent content = scriptContent("SHOP", "", "1.0", {"a", "b", "c"});
        content.user = "owner";
        script = dir.file("upd.rsql");
        script::writeRsqlScript(script, content);
    }

    ProcessLaunch launch(std::vector<std::string> args,
                         std::map<std::string, std::string> env = {}) {
        ProcessLaunch s;
        s.program = programBin();
        s.args = std::move(args);
        s.env = {{"VT_CONFIG_DIR", dir.path()},
                 {"VT_FAKE_LOG", dir.file("calls.log")},
                 {"LC_ALL", "C.UTF-8"}};
        for (const auto& [k, v] : env)
            s.env[k] = v;
        s.unset = {"NO_COLOR", "VT_PASSWORD", "VT_CODEPAGE", "VT_FAKE_FAIL", "VT_FAKE_CONNECT"};
        s.timeoutSeconds = 60;
        return s;
    }

    std::vector<std::string> calls() { return readLines(dir.file("calls.log")); }

    TempDir dir;
    std::string script;
};

TEST_F(VtconsoleTest, PipedAnswersCarryAnInteractiveRunToCompletion) {
    ProcessResult r = runProcess(launch({"r", script, "-p", "fake"}), "\nALPHA\nbob\npw\n\n");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Script completed successfully!\n\nPress Enter to quit...\n"),
              std::string::npos);
    EXPECT_EQ(r.output.find('\033'), std::string::npos) << "no colours off a terminal";
    EXPECT_EQ(r.output.rfind(programBin() + "\nVantrel Utilities, Command Line Support 2.1\n", 0),
              0u);
    EXPECT_EQ(calls().at(1), "dbConnect|ALPHA|bob|pw");
}

struct ExitCase {
    const char* name;
    std::map<std::string, std::string> env;
    int status;
};

class ExitStatusTest : public VtconsoleTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitStatusTest, PluginErrorCodesBecomeTheExitStatus) {
    ProcessResult r =
        runProcess(launch({"r", script, "-p", "fake", "-alias", "A", "-s"}, GetParam().env));
    EXPECT_EQ(r.exitCode, GetParam().status) << r.output;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitStatusTest,
    ::testing::Values(
        ExitCase{"completed_is_zero", {}, 0},
        ExitCase{"piInit_failure_is_minus_one", {{"VT_FAKE_INIT_ERROR", "x"}}, 255},
        ExitCase{"command_text_failure_is_minus_four", {{"VT_FAKE_MAKE_ERROR", "1"}}, 252},
        ExitCase{"version_update_failure_is_minus_six", {{"VT_FAKE_UPDATE_ERROR", "x"}}, 250},
        ExitCase{"abort_is_five", {{"VT_FAKE_FAIL", "1"}}, 5},
        ExitCase{"missing_version_table_is_one", {{"VT_FAKE_CONNECT", "1"}}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VtconsoleTest, EndOfInputNeverHangs) {
    // Not silent, nothing on standard input: every prompt reads an empty line, the question
    // counts as No and the failed command as Abort.
    ProcessResult r = runProcess(launch({"r", script, "-p", "fake", "-alias", "A"},
                                        {{"VT_FAKE_FAIL", "2"}, {"VT_FAKE_CONNECT", "1"}}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_NE(r.output.find("Run it now?(Y/N)N\n"), std::string::npos);
    EXPECT_NE(r.output.find("[A(Abort)/R(Retry)]:A\n"), std::string::npos);
}

TEST_F(VtconsoleTest, OnATerminalColoursShowAndTypedPasswordsDoNot) {
    ProcessResult r = runConversation(
        launch({"r", script, "-p", "fake", "-alias", "A", "-user", "u"}, {{"VT_FAKE_FAIL", "1"}}),
        {{"to abort...", "\r"},
         {"Enter password for u: ", "topsecret\r"},
         {"[A(Abort)/R(Retry)]:", "xa"}, // not allowed, then a small letter: both ignored
         {"", "A"},
         {"Press Enter to quit...", "\r"}},
        true);
    ASSERT_FALSE(r.timedOut) << r.output;
    EXPECT_EQ(r.exitCode, 5) << r.output;
    EXPECT_EQ(r.output.find("topsecret"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\033[97mERROR: \033[39m"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\033[91m FAILED \033[39m]"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("[A(Abort)/R(Retry)]:A\r\n"), std::string::npos) << r.output;
    EXPECT_EQ(calls().at(1), "dbConnect|A|u|topsecret");
}

TEST_F(VtconsoleTest, NoColorKeepsTheTerminalPlain) {
    ProcessResult r =
        runConversation(launch({"r", script, "-p", "fake", "-alias", "A", "-pass", "", "-s", "-v"},
                               {{"NO_COLOR", "1"}}),
                        {}, true);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find('\033'), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(" [  OK  ]"), std::string::npos);
}

TEST_F(VtconsoleTest, RegisteringWritesTheSettingsFolderConfiguration) {
    ProcessResult r = runProcess(launch({"i", "dbx=/x/other.so"}));
    EXPECT_EQ(r.exitCode, 0);
    script::IniFile ini(dir.file("vtconsole.ini"));
    EXPECT_EQ(ini.readString("Plugin", "dbx"), "/x/other.so");
    r = runProcess(launch({"i", "dby"}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(ini.hasKey("Plugin", "dby"));
}

TEST_F(VtconsoleTest, UsageWaitsForEnterEvenWhenSilent) {
    ProcessResult r =
        runConversation(launch({"x", "-s"}), {{"Press Enter to quit...\n", "\n"}}, false);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.stepsDone, 1u);
}

TEST_F(VtconsoleTest, PluginWithoutUpDateVersionEndsWithOneAfterEveryCommand) {
    ProcessResult r = runProcess(launch({"r", script, "-p", "noupdate", "-alias", "A", "-s"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("Required function 'UpDateVersion' not defined in this library."),
              std::string::npos);
    auto log = calls();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& c) { return c.rfind("ExecrSQL", 0) == 0; }),
              3);
}

TEST_F(VtconsoleTest, LibraryThatCannotBeLoadedEndsWithOne) {
    writeFile(dir.file("vtconsole.ini"), "[Plugin]\nbad=" + dir.file("nothing.so") + "\n");
    ProcessResult r = runProcess(launch({"r", script, "-p", "bad", "-s"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("ERROR: Error loading library '" + dir.file("nothing.so") + "'."),
              std::string::npos);
    EXPECT_TRUE(calls().empty());
}

} // namespace
} // namespace vt::console::testing
