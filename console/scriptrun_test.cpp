// Tests of a script run in memory through the scriptable fake plug-in.
#include "console/scriptrun.h"

#include <map>

#include <gtest/gtest.h>

#include "console/testsupport/appfixture.h"

namespace vt::console::testing {
namespace {

using RunTest = AppFixture;

std::string afterBanner(const std::string& output) {
    std::size_t at = output.find("\n\n");
    return at == std::string::npos ? output : output.substr(at + 2);
}

TEST_F(RunTest, InteractiveRunThroughPipedAnswersShowsEveryStepInOrder) {
    Outcome o = run({"r", scriptPath, "-p", "fake"}, "\nALPHA\n\nsecret\n\n");
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(afterBanner(o.output), "     New version: 1.0\n"
                                     "   DataBase Code: SHOP\n"
                                     "Previous version: \n"
                                     "        Commands: 3\n"
                                     "\n"
                                     "Comments:\n"
                                     "\n"
                                     "First comment\n"
                                     "Second comment\n"
                                     "\n"
                                     "Press ENTER to continue or CTRL-C to abort...\n"
                                     "\n"
                                     "Enter alias of Database: \n"
                                     "Enter username for ALPHA (owner): \n"
                                     "Enter password for owner: \n"
                                     "\n"
                                     "Connecting to database ALPHA ...\n"
                                     "\n"
                                     "DB code: FAKE  DB Version: 1.0\n"
                                     "\n"
                                     "Executing script ...\n"
                                     "\n"
                                     "Script completed successfully!\n"
                                     "\n"
                                     "Press Enter to quit...\n");
    EXPECT_EQ(o.calls, (std::vector<std::string>{
                           "piInit|" + scriptPath + "|vtxutils.ini",
                           "dbConnect|ALPHA|owner|secret",
                           "CheckDataBaseParams|1|0",
                           "MakeSQLCommand|1",
                           "ExecrSQL|SELECT 1\\r\\n",
                           "MakeSQLCommand|2",
                           "ExecrSQL|SELECT 2\\r\\n",
                           "MakeSQLCommand|3",
                           "ExecrSQL|SELECT 3\\r\\n",
                           "UpDateVersion",
                           "piDone",
                       }));
    EXPECT_EQ(o.output.find("secret"), std::string::npos);
    EXPECT_EQ(o.unreadLines, 0u);
}

TEST_F(RunTest, ScrambledHeaderIsShownReadable) {
    script::RsqlContent content = scriptContent("SHOP", "1.0", "1.1", {"x"});
    content.crypt = true;
    content.password = "key";
    std::string path = writeScript("scrambled.rsql", content);
    Outcome o = run({"r", path, "-p", "fake", "-alias", "A", "-s", "-n"});
    EXPECT_EQ(o.code, 0);
    EXPECT_NE(o.output.find(
                  "     New version: 1.1\n   DataBase Code: SHOP\n"
                  "Previous version: 1.0\n        Commands: 1\n\n\nConnecting to database A ...\n"),
              std::string::npos)
        << o.output;
}

TEST_F(RunTest, ScriptWithoutCommentsSaysSo) {
    std::string path = writeScript("bare.rsql", scriptContent("", "", "", {}));
    Outcome o = run({"r", path, "-p", "fake", "-alias", "A", "-s"});
    EXPECT_NE(o.output.find("   DataBase Code: \n"), std::string::npos);
    EXPECT_NE(o.output.find("\nComments:\n\nNo comments.\n\n"), std::string::npos);
}

TEST_F(RunTest, HeaderValuesAreWrittenAsTheyAreAndPluginTextsAreConverted) {
    std::string path = writeScript("cyr.rsql", scriptContent("\xC0\xC1", "", "", {"x"}));
    setenv("VT_FAKE_CHECK_ERROR", "\xCE\xF8\xE8\xE1\xEA\xE0", 1); // "Ошибка" in CP1251
    Outcome o = run({"r", path, "-p", "fake", "-alias", "A", "-s"});
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.output.find("   DataBase Code: \xC0\xC1\n"), std::string::npos);
    EXPECT_NE(o.output.find("ERROR: Ошибка\n"), std::string::npos);
}

struct EndCase {
    const char* name;
    std::vector<std::string> args; // after "r"
    std::map<std::string, std::string> env;
    std::string input;
    int code;
    std::string message; // the line after "ERROR: ", or "" for an end without message
};

class RunEndTest : public AppFixture, public ::testing::WithParamInterface<EndCase> {};

TEST_P(RunEndTest, EndsWithTheMessageAndExitCode) {
    const EndCase& c = GetParam();
    for (const auto& [k, v] : c.env)
        setenv(k.c_str(), v.c_str(), 1);
    std::vector<std::string> args{"r"};
    for (const std::string& a : c.args)
        args.push_back(a == "SCRIPT" ? scriptPath : a == "DIR" ? dir.path() : a);
    Outcome o = run(args, c.input);
    EXPECT_EQ(o.code, c.code) << o.output;
    if (c.message.empty()) {
        EXPECT_EQ(o.output.find("ERROR: ", o.output.rfind("Error executing command")),
                  std::string::npos);
    } else {
        EXPECT_NE(o.output.find("\nERROR: " + c.message + "\n\n"), std::string::npos) << o.output;
    }
    EXPECT_EQ(o.output.find("Script completed successfully!"), std::string::npos);
    if (!o.calls.empty()) {
        EXPECT_EQ(o.calls.back(), "piDone");
    }
}

const std::vector<std::string> kSilentAlias = {"SCRIPT", "-p", "fake", "-alias", "A", "-s"};

INSTANTIATE_TEST_SUITE_P(
    Cases, RunEndTest,
    ::testing::Values(
        EndCase{"question_mark_in_silent_mode",
                {"?", "-p", "fake", "-s"},
                {},
                "",
                1,
                "File  not found"},
        EndCase{"script_file_missing", {"DIR/nosuch", "-p", "fake", "-s"}, {}, "", 2, ""},
        EndCase{"piInit_fails",
                kSilentAlias,
                {{"VT_FAKE_INIT_ERROR", "bad format"}},
                "",
                -1,
                "bad format"},
        EndCase{"dbConnect_fails",
                kSilentAlias,
                {{"VT_FAKE_CONNECT", "-1"}, {"VT_FAKE_CONNECT_ERROR", "login failed"}},
                "",
                -1,
                "login failed"},
        EndCase{"dbConnect_fails_with_minus_two",
                kSilentAlias,
                {{"VT_FAKE_CONNECT", "-2"}},
                "",
                -2,
                "cannot connect"},
        EndCase{"version_check_fails",
                kSilentAlias,
                {{"VT_FAKE_CHECK_ERROR", "too old"}},
                "",
                1,
                "too old"},
        EndCase{"command_text_fails",
                kSilentAlias,
                {{"VT_FAKE_MAKE_ERROR", "2"}},
                "",
                -4,
                "cannot build command 2"},
        EndCase{"version_update_fails_is_reported",
                kSilentAlias,
                {{"VT_FAKE_UPDATE_ERROR", "update refused"}},
                "",
                -6,
                "update refused"},
        EndCase{"no_aliases_to_choose_from",
                {"SCRIPT", "-p", "fake", "-c"},
                {{"VT_FAKE_ALIASES", ";;"}},
                "\n",
                5,
                "No available aliases"},
        EndCase{"alias_choice_zero",
                {"SCRIPT", "-p", "fake", "-c"},
                {},
                "\n0\n",
                1,
                "Index of alias is out of bounds"},
        EndCase{"alias_choice_past_the_list",
                {"SCRIPT", "-p", "fake", "-c"},
                {},
                "\n3\n",
                1,
                "Index of alias is out of bounds"},
        EndCase{"alias_choice_text",
                {"SCRIPT", "-p", "fake", "-c"},
                {},
                "\nBETA\n",
                1,
                "Index of alias is out of bounds"},
        EndCase{"silent_without_alias",
                {"SCRIPT", "-p", "fake", "-s"},
                {},
                "",
                1,
                "Missing database alias"},
        EndCase{
            "typed_alias_empty", {"SCRIPT", "-p", "fake"}, {}, "\n\n", 1, "Missing database alias"},
        EndCase{"no_version_table_in_silent_mode",
                kSilentAlias,
                {{"VT_FAKE_CONNECT", "1"}},
                "",
                1,
                "Table R_Version does not exists"},
        EndCase{"failed_command_aborted", kSilentAlias, {{"VT_FAKE_FAIL", "2"}}, "A\n", 5, ""},
        EndCase{"failed_command_at_end_of_input_aborts",
                kSilentAlias,
                {{"VT_FAKE_FAIL", "2"}},
                "",
                5,
                ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunTest, MissingScriptNamesTheFileWithItsExtension) {
    Outcome o = run({"r", dir.file("upd2"), "-p", "fake", "-s"});
    EXPECT_EQ(o.code, 2);
    EXPECT_NE(o.output.find("ERROR: File " + dir.file("upd2.rsql") + " not found\n"),
              std::string::npos);
}

TEST_F(RunTest, FileNameWithoutExtensionIsOpenedWithRsql) {
    Outcome o = run({"r", dir.file("upd"), "-p", "fake", "-alias", "A", "-s"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.calls.front(), "piInit|" + scriptPath + "|vtxutils.ini");
}

TEST_F(RunTest, QuestionMarkAsksForTheFileName) {
    Outcome o = run({"r", "?", "-p", "fake", "-alias", "A", "-pass", "", "-user", "u", "-n"},
                    dir.file("upd") + "\n\n\n");
    EXPECT_EQ(o.code, 0);
    EXPECT_NE(o.output.find("Enter file name: \n     New version: 1.0"), std::string::npos);
}

TEST_F(RunTest, AliasFileSwitchReachesPiInit) {
    Outcome o = run({"r", scriptPath, "-p", "fake", "-alias", "A", "-s", "-FILE", "/etc/a.ini"});
    EXPECT_EQ(o.calls.front(), "piInit|" + scriptPath + "|/etc/a.ini");
}

TEST_F(RunTest, AliasChosenFromTheNumberedList) {
    Outcome o = run({"r", scriptPath, "-p", "fake", "-c", "-pass", "p"}, "\n 2 \n\n\n");
    EXPECT_EQ(o.code, 0);
    EXPECT_NE(o.output.find("\n  1. ALPHA\n  2. BETA\n\nChoice aliasname: \n"), std::string::npos)
        << o.output;
    EXPECT_EQ(callsOf(o.calls, "dbConnect").at(0), "dbConnect|BETA|owner|p");
}

TEST_F(RunTest, ListSwitchIsIgnoredWhenSilent) {
    Outcome o = run({"r", scriptPath, "-p", "fake", "-c", "-s", "-alias", "ALPHA"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.output.find("Choice aliasname"), std::string::npos);
    EXPECT_EQ(callsOf(o.calls, "dbConnect").at(0), "dbConnect|ALPHA|owner|");
}

TEST_F(RunTest, DatabaseFileSwitchHandsDbNameToThePlugin) {
    Outcome o =
        run({"r", scriptPath, "-p", "fake", "-dbname", "/data/x.db", "-pass", ""}, "\nbob\n\n");
    EXPECT_EQ(o.code, 0);
    EXPECT_NE(o.output.find("Enter username for /data/x.db (owner): \n"), std::string::npos);
    EXPECT_NE(o.output.find("Connecting to database /data/x.db ...\n"), std::string::npos);
    EXPECT_EQ(callsOf(o.calls, "dbConnect").at(0), "dbConnect|DBName=/data/x.db|bob|");
}

struct PasswordCase {
    const char* name;
    std::vector<std::string> extra;
    std::optional<std::string> environment;
    std::string input;
    std::string expectedPassword;
    bool prompted;
};

class PasswordTest : public AppFixture, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordTest, TakesThePasswordFromTheRightSource) {
    const PasswordCase& c = GetParam();
    std::vector<std::string> args{"r", scriptPath, "-p", "fake", "-alias", "A", "-user", "u"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    Outcome o = run(args, c.input, c.environment);
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_EQ(callsOf(o.calls, "dbConnect").at(0), "dbConnect|A|u|" + c.expectedPassword);
    EXPECT_EQ(o.output.find("Enter password for u: ") != std::string::npos, c.prompted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordTest,
    ::testing::Values(
        PasswordCase{
            "switch_wins_over_environment", {"-pass", "cmd", "-s"}, "env", "", "cmd", false},
        PasswordCase{"environment_serves_silent_runs", {"-s"}, "env", "", "env", false},
        PasswordCase{"environment_spares_the_prompt", {}, "env", "\n\n", "env", false},
        PasswordCase{"silent_without_password_is_empty", {"-s"}, std::nullopt, "", "", false},
        PasswordCase{"typed_after_the_prompt", {}, std::nullopt, "\ntyped\n\n", "typed", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunTest, EmptyUserMeansTheScriptsUser) {
    Outcome o = run({"r", scriptPath, "-p", "fake", "-alias", "A", "-user", "", "-s"});
    EXPECT_EQ(callsOf(o.calls, "dbConnect").at(0), "dbConnect|A|owner|");
}

struct CreateCase {
    const char* name;
    bool versioned;
    std::string input; // after the ENTER to continue
    std::string expectedCreate;
    bool asked;
};

class CreateTest : public AppFixture, public ::testing::WithParamInterface<CreateCase> {};

TEST_P(CreateTest, DecidesWhetherToCreateTheVersionTable) {
    const CreateCase& c = GetParam();
    setenv("VT_FAKE_CONNECT", "1", 1);
    std::string path =
        c.versioned ? scriptPath : writeScript("plain.rsql", scriptContent("X", "", "", {"a"}));
    Outcome o = run({"r", path, "-p", "fake", "-alias", "A", "-pass", "", "-user", "u", "-n"},
                    "\n" + c.input);
    EXPECT_EQ(callsOf(o.calls, "CheckDataBaseParams").at(0),
              "CheckDataBaseParams|1|" + c.expectedCreate);
    EXPECT_EQ(o.output.find("Need to run initialization script. Run it now?(Y/N)") !=
                  std::string::npos,
              c.asked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CreateTest,
    ::testing::Values(CreateCase{"answer_Y_creates", true, "Y\n", "1", true},
                      CreateCase{"answer_N_does_not", true, "N\n", "0", true},
                      CreateCase{"small_y_is_ignored_until_a_capital_comes", true, "y\nyes\nN\n",
                                 "0", true},
                      CreateCase{"end_of_input_counts_as_no", true, "", "0", true},
                      CreateCase{"unversioned_script_is_not_asked", false, "", "1", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunTest, AnswerToTheInitialisationQuestionIsEchoed) {
    setenv("VT_FAKE_CONNECT", "1", 1);
    Outcome o = runFake({"-s"}, "Y\n");
    EXPECT_EQ(o.code, 1); // silent mode refuses before asking
    o = runFake({"-user", "u", "-n"}, "\nY\n\n");
    EXPECT_NE(o.output.find("Run it now?(Y/N)Y\nDB code: FAKE  DB Version: 1.0\n\n"),
              std::string::npos)
        << o.output;
}

TEST_F(RunTest, ResumedRunFetchesOnlyTheRemainingCommands) {
    setenv("VT_FAKE_FIRST", "3", 1);
    setenv("VT_FAKE_LAST", "5", 1);
    Outcome o = runFake({"-s"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(
        callsOf(o.calls, "MakeSQLCommand"),
        (std::vector<std::string>{"MakeSQLCommand|3", "MakeSQLCommand|4", "MakeSQLCommand|5"}));
    EXPECT_NE(o.output.find("\nExecuting script ...\n"), std::string::npos);
}

TEST_F(RunTest, EmptyRangeRunsNoCommandButRecordsTheVersion) {
    setenv("VT_FAKE_FIRST", "4", 1);
    Outcome o = runFake({"-s"});
    EXPECT_EQ(o.code, 0);
    EXPECT_TRUE(callsOf(o.calls, "MakeSQLCommand").empty());
    EXPECT_EQ(callsOf(o.calls, "UpDateVersion").size(), 1u);
}

TEST_F(RunTest, VerboseModeShowsEachCommandWithItsMarker) {
    setenv("VT_FAKE_COMMAND_1", "create table t (a int)\r\n", 1);
    setenv("VT_FAKE_COMMAND_2", "insert into t\r\nvalues (1)\r\n", 1);
    setenv("VT_FAKE_COMMAND_3", "", 1);
    Outcome o = runFake({"-s", "-v"});
    EXPECT_EQ(o.code, 0);
    const std::string ok = " [  OK  ]\n";
    auto row = [&](const std::string& text) {
        return text + std::string(60 - text.size(), ' ') + ok;
    };
    EXPECT_NE(o.output.find("DB Version: 1.0\n\n" + row("Command 1: create table t (a int)") +
                            row("Command 2: insert into t...") + row("Command 3: ") +
                            "\nScript completed successfully!\n"),
              std::string::npos)
        << o.output;
    EXPECT_EQ(o.output.find("Executing script"), std::string::npos);
}

TEST_F(RunTest, RetryAfterAFailureFetchesTheCommandAgain) {
    setenv("VT_FAKE_FAIL", "2:1", 1);
    Outcome o = runFake({"-s"}, "R\n");
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(callsOf(o.calls, "MakeSQLCommand|2").size(), 2u);
    const std::string failedLine = "Executing script ..";
    EXPECT_NE(o.output.find(failedLine + std::string(60 - failedLine.size(), ' ') +
                            " [ FAILED ]\n\nERROR: failure of command 2\n\n"
                            "Error executing command (2) [A(Abort)/R(Retry)]:R\n"
                            "Executing script ..\n\nScript completed successfully!"),
              std::string::npos)
        << o.output;
}

TEST_F(RunTest, IgnoreIsOfferedOnlyForScriptsWithoutNewVersion) {
    setenv("VT_FAKE_FAIL", "1", 1);
    Outcome versioned = runFake({"-s"}, "I\nA\n");
    EXPECT_EQ(versioned.code, 5);
    EXPECT_EQ(versioned.unreadLines, 0u);

    writeFile(logFile(), "");
    std::string path = writeScript("plain.rsql", scriptContent("X", "", "", {"a", "b", "c"}));
    Outcome plain = run({"r", path, "-p", "fake", "-alias", "A", "-s"}, "I\n");
    EXPECT_EQ(plain.code, 0);
    EXPECT_NE(plain.output.find("Error executing command (1) [A(Abort)/R(Retry)/I(Ignore)]:I\n"
                                "Executing script ..\n"),
              std::string::npos)
        << plain.output;
    EXPECT_EQ(callsOf(plain.calls, "ExecrSQL").size(), 3u);
}

TEST_F(RunTest, VerboseFailureShowsTheFailedMarkerAfterTheCommand) {
    setenv("VT_FAKE_FAIL", "1", 1);
    Outcome o = runFake({"-s", "-v"}, "A\n");
    EXPECT_EQ(o.code, 5);
    const std::string shown = "Command 1: SELECT 1";
    EXPECT_NE(o.output.find(shown + std::string(60 - shown.size(), ' ') + " [ FAILED ]\n"),
              std::string::npos);
}

} // namespace
} // namespace vt::console::testing
