// End-to-end tests of vtconsole with the real plug-in against SQLite files and PostgreSQL.
#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <unistd.h>

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include "console/testsupport/processrunner.h"
#include "console/testsupport/rsqlfixture.h"
#include "console/testsupport/testdatabase.h"
#include "script/rsqlwriter.h"

namespace vt::console::testing {
namespace {

class PluginRunTest : public BackendTest {
protected:
    // Writes a script of one-line commands.
    std::string script(const std::string& name, const std::string& newVersion,
                       const std::vector<std::string>& commands, bool crypt = false) {
        script::RsqlContent content = scriptContent("SHOP", "", newVersion, {});
        for (const auto& c : commands)
            content.commands.push_back({c});
        content.crypt = crypt;
        std::string path = dir.file(name);
        script::writeRsqlScript(path, content);
        return path;
    }

    // Runs "vtconsole r FILE -alias ALIAS <login> args..." with the input on a pipe.
    ProcessResult vtconsole(const std::string& file, std::vector<std::string> args,
                            const std::string& input = {}) {
        ProcessLaunch launch = launchFor(file, std::move(args));
        return runProcess(launch, input);
    }

    ProcessLaunch launchFor(const std::string& file, std::vector<std::string> args) {
        std::vector<std::string> all = {"r", file, "-alias", db->alias()};
        for (const auto& a : db->loginArgs())
            all.push_back(a);
        all.insert(all.end(), args.begin(), args.end());
        return vtconsoleLaunch(std::move(all));
    }

    std::vector<std::string> version() {
        return db->query("select Version, DBCode, Counter from R_VERSION");
    }
};

const std::vector<std::string> kCommands = {"create table t (a int)", "insert into t values (1)",
                                            "insert into t values (2)"};

TEST_P(PluginRunTest, FreshDatabaseAnsweredYesIsInitialisedAndUpdated) {
    ProcessResult r = vtconsole(script("init.rsql", "1.0", kCommands), {}, "\nY\n\n");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Need to run initialization script. Run it now?(Y/N)Y\n"),
              std::string::npos);
    EXPECT_NE(r.output.find("DB code: SHOP  DB Version: \n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Executing script ...\n\nScript completed successfully!"),
              std::string::npos);
    EXPECT_EQ(version(), std::vector<std::string>{"1.0|SHOP|0"});
    EXPECT_EQ(db->query("select count(*) from t"), std::vector<std::string>{"2"});
}

TEST_P(PluginRunTest, FreshDatabaseAnsweredNoEndsWithTheEngineErrorAndCreatesNothing) {
    ProcessResult r = vtconsole(script("init.rsql", "1.0", kCommands), {}, "\nN\n\n");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("Run it now?(Y/N)N\n"), std::string::npos);
    EXPECT_NE(r.output.find("\nERROR: "), std::string::npos);
    EXPECT_FALSE(db->hasTable("R_VERSION"));
    EXPECT_FALSE(db->hasTable("t"));
}

TEST_P(PluginRunTest, SilentRunWithoutVersionTableIsRefused) {
    ProcessResult r = vtconsole(script("init.rsql", "1.0", kCommands), {"-s"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("ERROR: Table R_Version does not exists\n"), std::string::npos);
    EXPECT_FALSE(db->hasTable("R_VERSION"));
}

TEST_P(PluginRunTest, RerunOfAnAppliedScriptIsRefusedAndChangesNothing) {
    std::string file = script("init.rsql", "1.0", kCommands);
    ASSERT_EQ(vtconsole(file, {}, "\nY\n\n").exitCode, 0);
    ProcessResult r = vtconsole(file, {"-s"});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("DB code: SHOP  DB Version: 1.0\n"), std::string::npos);
    EXPECT_NE(r.output.find("ERROR: Скрипт данной версии уже был выполнен на БД."),
              std::string::npos)
        << r.output;
    EXPECT_EQ(version(), std::vector<std::string>{"1.0|SHOP|0"});
    EXPECT_EQ(db->query("select count(*) from t"), std::vector<std::string>{"2"});
}

const std::vector<std::string> kFailingCommands = {
    "create table t (a int)", "insert into t values (1)", "insert into fix_me values (1)",
    "insert into t values (3)"};

TEST_P(PluginRunTest, AbortedRunResumesAtTheFailedCommandAfterTheFix) {
    std::string file = script("fail.rsql", "1.0", kFailingCommands);
    db->exec("Create Table R_Version (Version Char(10), DBCode Char(10), Counter Smallint)");
    db->exec("Insert Into R_Version(DBCode) Values('SHOP')");
    ProcessResult r = vtconsole(file, {"-s"}, "A\n");
    EXPECT_EQ(r.exitCode, 5) << r.output;
    EXPECT_NE(r.output.find("Error executing command (3) [A(Abort)/R(Retry)]:A\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(version(), std::vector<std::string>{"|SHOP|2"});

    db->exec("create table fix_me (a int)");
    r = vtconsole(file, {"-s", "-v"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("Command 2:"), std::string::npos);
    EXPECT_NE(r.output.find("Command 3: insert into fix_me values (1)"), std::string::npos);
    EXPECT_NE(r.output.find("Command 4: insert into t values (3)"), std::string::npos);
    EXPECT_EQ(version(), std::vector<std::string>{"1.0|SHOP|0"});
    EXPECT_EQ(db->query("select a from t order by a"), (std::vector<std::string>{"1", "3"}));
}

TEST_P(PluginRunTest, RetryAfterAFixMadeWhileThePromptWaitsSucceeds) {
    std::string file = script("fail.rsql", "1.0", kFailingCommands);
    db->exec("Create Table R_Version (Version Char(10), DBCode Char(10), Counter Smallint)");
    db->exec("Insert Into R_Version(DBCode) Values('SHOP')");
    ProcessResult r = runConversation(
        launchFor(file, {"-s"}),
        {{"[A(Abort)/R(Retry)]:", "R\n", [&] { db->exec("create table fix_me (a int)"); }}}, false);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("]:R\nExecuting script ..\n\nScript completed successfully!"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(version(), std::vector<std::string>{"1.0|SHOP|0"});
}

TEST_P(PluginRunTest, IgnoreSkipsAFailedCommandOfAnUnversionedScript) {
    std::string file = script("plain.rsql", "", kFailingCommands);
    ProcessResult r = vtconsole(file, {"-s"}, "I\n");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("[A(Abort)/R(Retry)/I(Ignore)]:I\n"), std::string::npos);
    EXPECT_EQ(db->query("select a from t order by a"), (std::vector<std::string>{"1", "3"}));
    EXPECT_FALSE(db->hasTable("R_VERSION"));
}

TEST_P(PluginRunTest, ScrambledScriptWithReconnectRuns) {
    std::string file =
        script("crypt.rsql", "1.0",
               {"create table t (a int)", "$$$RECONNECT", "insert into t values (7)"}, true);
    ProcessResult r = vtconsole(file, {"-v"}, "\nY\n\n");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("     New version: 1.0\n   DataBase Code: SHOP\n"), std::string::npos);
    EXPECT_NE(r.output.find("Command 2: $$$RECONNECT"), std::string::npos);
    EXPECT_EQ(db->query("select a from t"), std::vector<std::string>{"7"});
    EXPECT_EQ(version(), std::vector<std::string>{"1.0|SHOP|0"});
}

INSTANTIATE_TEST_SUITE_P(Backends, PluginRunTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) {
                             return info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
                         });

// Behaviour that does not depend on the database server: SQLite files only.
class SqliteRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(access((binFolder() + "/vtutils.so").c_str(), F_OK), 0)
            << "the real plug-in is not built";
        script::RsqlContent content = scriptContent("SHOP", "", "", {"create table t (a int)"});
        script::writeRsqlScript(dir.file("upd.rsql"), content);
    }

    ProcessResult vtconsole(std::vector<std::string> args, const std::string& input = {},
                            bool withAliasFile = false) {
        ProcessLaunch launch;
        launch.program = binFolder() + "/vtconsole";
        launch.args = std::move(args);
        launch.env = {{"VT_CONFIG_DIR", dir.path()}, {"LC_ALL", "C.UTF-8"}};
        launch.unset = {"NO_COLOR", "VT_CODEPAGE", "VT_PASSWORD", "VT_ALIASES"};
        if (withAliasFile) {
            writeFile(dir.file("first.db"), "");
            writeFile(dir.file("second.db"), "");
            writeFile(dir.file("aliases.ini"),
                      "[FIRST]\nDRIVER=STANDARD\nPATH=" + dir.file("first.db") +
                          "\n[SECOND]\nDRIVER=STANDARD\nPATH=" + dir.file("second.db") + "\n");
            launch.env["VT_ALIASES"] = dir.file("aliases.ini");
        }
        launch.timeoutSeconds = 120;
        return runProcess(launch, input);
    }

    TempDir dir;
};

TEST_F(SqliteRunTest, DefaultAliasIsTheSettingsFolderDatabase) {
    ProcessResult r = vtconsole({"r", dir.file("upd.rsql"), "-alias", "DEFAULT", "-s"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(SqliteDatabase(dir.file("default.db")).query("select count(*) from t"),
              std::vector<std::string>{"0"});
}

TEST_F(SqliteRunTest, UnregisteredPluginAliasLoadsTheDefaultPlugin) {
    ProcessResult r =
        vtconsole({"r", dir.file("upd.rsql"), "-p", "nosuch", "-alias", "DEFAULT", "-s"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Script completed successfully!"), std::string::npos);
}

TEST_F(SqliteRunTest, FileNameWithoutExtensionIsOpenedWithRsql) {
    ProcessResult r = vtconsole({"r", dir.file("upd"), "-alias", "DEFAULT", "-s"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
}

TEST_F(SqliteRunTest, QuestionMarkInSilentModeIsAMissingFile) {
    ProcessResult r = vtconsole({"r", "?", "-alias", "DEFAULT", "-s"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("ERROR: File  not found\n"), std::string::npos);
}

TEST_F(SqliteRunTest, DatabaseFileSwitchOpensTheFileDirectly) {
    SqliteDatabase direct(dir.file("direct.db"), true);
    ProcessResult r =
        vtconsole({"r", dir.file("upd.rsql"), "-dbname", dir.file("direct.db"), "-s"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Connecting to database " + dir.file("direct.db") + " ..."),
              std::string::npos);
    EXPECT_TRUE(direct.hasTable("t"));
}

struct ChoiceCase {
    const char* name;
    std::string answer;
    int exitCode;
    const char* createdIn; // database file that receives the table, or nullptr
};

class AliasChoiceTest : public SqliteRunTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(AliasChoiceTest, ChoosesFromTheEngineAliases) {
    const ChoiceCase& c = GetParam();
    ProcessResult r = vtconsole({"r", dir.file("upd.rsql"), "-c", "-user", "", "-pass", ""},
                                "\n" + c.answer + "\n\n", true);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.output;
    EXPECT_NE(r.output.find("  1. FIRST\n  2. SECOND\n\nChoice aliasname: "), std::string::npos)
        << r.output;
    if (c.createdIn) {
        EXPECT_TRUE(SqliteDatabase(dir.file(c.createdIn)).hasTable("t"));
    } else {
        EXPECT_NE(r.output.find("ERROR: Index of alias is out of bounds"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AliasChoiceTest,
                         ::testing::Values(ChoiceCase{"valid_choice", "2", 0, "second.db"},
                                           ChoiceCase{"zero", "0", 1, nullptr},
                                           ChoiceCase{"past_the_list", "3", 1, nullptr},
                                           ChoiceCase{"text", "SECOND", 1, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::console::testing
