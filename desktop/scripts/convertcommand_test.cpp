// Tests of vtconvert: its command line in process, and round trips through the program itself.
#include "desktop/scripts/convertcommand.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>

#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/sqlsplitter.h"
#include "desktop/scripts/sqltorsqlconverter.h"
#include "script/inifile.h"
#include "script/rsqlscript.h"
#include "script/scramble.h"
#include "script/testfiles.h"

extern char** environ;

namespace vt::desktop {
namespace {

using script::testing::readBytes;
using script::testing::TempDir;
using script::testing::writeBytes;

constexpr std::string_view kKinds = "[Lines]\r\nDelimeter=;\r\nCommentBegin=--\r\n"
                                    "UserName=lines_user\r\n\r\n"
                                    "[Firebird]\r\nUseDefault=1\r\nDelimeter=;\r\n"
                                    "Command=SET TERM\r\nIgnore Command=CONNECT;COMMIT\r\n"
                                    "UserName=SYSDBA\r\nCommentBegin=/*\r\nCommentEnd=*/\r\n"
                                    "DBCode=SHOP\r\n";

// A script with everything the splitter knows: comments, ignored statements, a terminator
// block, blank and indented lines, the reconnect comment and CP1251 text.
constexpr std::string_view kRichSql =
    "/* Update of the shop */\r\n"
    "CONNECT 'shop.fdb' USER 'SYSDBA';\r\n"
    "CREATE TABLE GOODS (\r\n"
    "\tID INTEGER NOT NULL,\r\n"
    "\r\n"
    "\tNAME VARCHAR(40) /* \xcd\xe0\xe7\xe2\xe0\xed\xe8\xe5 */\r\n"
    ");\r\n"
    "COMMIT;\r\n"
    "SET TERM ^ ;\r\n"
    "CREATE PROCEDURE P AS\r\n"
    "BEGIN\r\n"
    "  INSERT INTO GOODS VALUES (1, '\xff\xe1\xeb\xee\xea\xee');\r\n"
    "END^\r\n"
    "SET TERM ; ^\r\n"
    "\r\n"
    "/* RECONNECT */\r\n"
    "  UPDATE GOODS SET NAME = 'x'\r\n"
    "   WHERE ID = 1;\r\n"
    "DELETE FROM GOODS\r\n";

class ConvertCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("VT_CONFIG_DIR", m_config.path().c_str(), 1);
        ::unsetenv("VT_PASSWORD");
        ::unsetenv("VT_SCRIPT_PASSWORD");
    }
    void TearDown() override {
        ::unsetenv("VT_PASSWORD");
        ::unsetenv("VT_SCRIPT_PASSWORD");
    }

    void writeKinds(std::string_view text = kKinds) {
        writeBytes(m_config.file("sqltools.ini"), text);
    }

    int run(const std::vector<std::string>& args) {
        m_out.str({});
        m_err.str({});
        return ConvertCommand(m_out, m_err).run(args);
    }

    TempDir m_config;
    TempDir m_dir;
    std::string m_sql = m_dir.file("update.sql");
    std::string m_rsql = m_dir.file("update.rsql");
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(ConvertCommandTest, NoArgumentsPrintTheUsageAndFail) {
    EXPECT_EQ(run({}), 1);
    EXPECT_EQ(m_err.str(), ConvertCommand::usage());
    EXPECT_EQ(m_out.str(), "");
}

TEST_F(ConvertCommandTest, HelpPrintsTheUsageAndSucceeds) {
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_EQ(m_out.str(), ConvertCommand::usage());
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class ConvertCommandUsageTest : public ConvertCommandTest,
                                public ::testing::WithParamInterface<UsageCase> {};

TEST_P(ConvertCommandUsageTest, WrongArgumentsPrintTheProblemAndTheUsage) {
    writeKinds();
    EXPECT_EQ(run(GetParam().args), 1);
    EXPECT_EQ(m_err.str(),
              "vtconvert: " + std::string(GetParam().message) + "\n" + ConvertCommand::usage());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertCommandUsageTest,
    ::testing::Values(
        UsageCase{"AnUnknownCommand", {"convert", "a", "b"}, "unknown command 'convert'"},
        UsageCase{
            "AnUnknownOption", {"sql2rsql", "a", "b", "--term", ";"}, "unknown option '--term'"},
        UsageCase{"AnOptionWithoutValue", {"rsql2sql", "a", "b", "--kind"}, "--kind needs a value"},
        UsageCase{
            "ForceWithAValue", {"rsql2sql", "a", "b", "--force=yes"}, "--force takes no value"},
        UsageCase{"AMissingFileName", {"sql2rsql", "a"}, "'sql2rsql' takes 2 file names"},
        UsageCase{"AFileNameTooMany", {"kinds", "a"}, "'kinds' takes 0 file names"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConvertCommandTest, KindsAreListedWithTheDefaultMarked) {
    writeKinds();
    EXPECT_EQ(run({"kinds"}), 0);
    EXPECT_EQ(m_out.str(), "  Lines\n* Firebird\n");
}

TEST_F(ConvertCommandTest, KindNamesCrossTheTerminalsCharset) {
    // "Пост" in CP1251 in the file, typed and shown in UTF-8.
    writeKinds("[\xcf\xee\xf1\xf2]\r\nDelimeter=;\r\nCommentBegin=--\r\n");
    writeBytes(m_sql, "SELECT 1;\r\n");
    EXPECT_EQ(run({"kinds"}), 0);
    EXPECT_EQ(m_out.str(), "  Пост\n");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql, "--kind", "Пост"}), 0) << m_err.str();
}

TEST_F(ConvertCommandTest, WithoutKindsTheListSaysSo) {
    EXPECT_EQ(run({"kinds"}), 0);
    EXPECT_EQ(m_out.str(), "");
    EXPECT_EQ(m_err.str(), "no script kinds in " + m_config.file("sqltools.ini") + "\n");
}

TEST_F(ConvertCommandTest, WithoutAnyKindTheConversionFails) {
    writeBytes(m_sql, "SELECT 1;\r\n");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: no script kinds in " + m_config.file("sqltools.ini") + "\n");
    EXPECT_EQ(script::testing::listFolder(m_dir.path()), "update.sql;");
}

TEST_F(ConvertCommandTest, WithoutDefaultKindTheKindMustBeNamed) {
    writeKinds("[Lines]\r\nDelimeter=;\r\n");
    writeBytes(m_rsql, "");
    EXPECT_EQ(run({"rsql2sql", m_rsql, m_sql}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: no default script kind in " + m_config.file("sqltools.ini") +
                               "; name one with --kind\n");
    EXPECT_EQ(run({"rsql2sql", m_rsql, m_sql, "--kind", "nosuch"}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: no script kind named 'nosuch' in " +
                               m_config.file("sqltools.ini") + "\n");
    EXPECT_EQ(run({"rsql2sql", m_rsql, m_sql, "--kind=LINES"}), 0);
}

TEST_F(ConvertCommandTest, TheKindGivesCodeUserAndDialect) {
    writeKinds();
    writeBytes(m_sql, "-- head\r\nSELECT 1;\r\n");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql, "--new", "2.0"}), 0);
    script::RsqlScript fromDefault(m_rsql);
    EXPECT_EQ(fromDefault.header().code, "SHOP");
    EXPECT_EQ(fromDefault.header().user, "SYSDBA");
    EXPECT_EQ(fromDefault.header().newVersion, "2.0");
    EXPECT_EQ(fromDefault.commandText(1), "-- head\r\nSELECT 1\r\n"); // not a Firebird comment

    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql, "--kind", "Lines", "--force", "--comment", "one\ntwo",
                   "--comment", "three"}),
              0);
    script::RsqlScript fromLines(m_rsql);
    EXPECT_EQ(fromLines.header().code, "EVERYTHING"); // no DBCode: no Code entry
    EXPECT_EQ(fromLines.header().user, "lines_user");
    EXPECT_EQ(fromLines.commandText(1), "SELECT 1\r\n");
    EXPECT_EQ(fromLines.comments(), (std::vector<std::string>{"one", "two", "three"}));

    EXPECT_EQ(
        run({"sql2rsql", m_sql, m_rsql, "--force", "--code", "BANK", "--user", "", "--old", "1.0"}),
        0);
    script::RsqlScript overridden(m_rsql);
    EXPECT_EQ(overridden.header().code, "BANK");
    EXPECT_EQ(overridden.header().oldVersion, "1.0");
    EXPECT_EQ(overridden.header().user, "");
}

TEST_F(ConvertCommandTest, AnOldVersionNeedsADatabaseCode) {
    writeKinds();
    writeBytes(m_sql, "SELECT 1;\r\n");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql, "--kind", "Lines", "--old", "1.0"}), 1);
    EXPECT_EQ(m_err.str(),
              "vtconvert: an old version needs a database code (--code, or DBCode of the kind)\n");
    EXPECT_EQ(script::testing::listFolder(m_dir.path()), "update.sql;");
}

TEST_F(ConvertCommandTest, AnExistingOutputIsReplacedOnlyWithForce) {
    writeKinds();
    writeBytes(m_sql, "SELECT 1;\r\n");
    writeBytes(m_rsql, "old");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: " + m_rsql + " exists; --force replaces it\n");
    EXPECT_EQ(readBytes(m_rsql), "old");
    EXPECT_EQ(run({"rsql2sql", m_rsql, m_sql}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: " + m_sql + " exists; --force replaces it\n");
    EXPECT_EQ(readBytes(m_sql), "SELECT 1;\r\n");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql, "--force"}), 0);
    EXPECT_EQ(script::RsqlScript(m_rsql).commandText(1), "SELECT 1\r\n");
}

TEST_F(ConvertCommandTest, NotEvenForceWritesOverTheScriptBeingRead) {
    writeKinds();
    writeBytes(m_sql, "SELECT 1;\r\n");
    const std::string sameSql = m_dir.path() + "/./update.sql";
    EXPECT_EQ(run({"sql2rsql", m_sql, sameSql, "--force"}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: " + sameSql +
                               " is the file being converted; give the output another name\n");
    EXPECT_EQ(readBytes(m_sql), "SELECT 1;\r\n");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql}), 0);
    const std::string link = m_dir.path() + "/link.rsql";
    ASSERT_EQ(::symlink(m_rsql.c_str(), link.c_str()), 0);
    const std::string before = readBytes(m_rsql);
    EXPECT_EQ(run({"rsql2sql", m_rsql, link, "--force"}), 1);
    EXPECT_EQ(readBytes(m_rsql), before);
}

TEST_F(ConvertCommandTest, ZeroCommandsAreReportedAndTheScriptWrittenAllTheSame) {
    writeKinds();
    writeBytes(m_sql, "/* nothing */\r\nCOMMIT;\r\n");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql}), 0);
    EXPECT_EQ(m_err.str(), "В скрипт не добавлена ни одна команда.\n");
    EXPECT_EQ(script::RsqlScript(m_rsql).header().commandsText, "0");
}

TEST_F(ConvertCommandTest, AMissingInputIsReported) {
    writeKinds();
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: Файл " + m_sql + " не существует.\n");
    EXPECT_EQ(run({"rsql2sql", m_rsql, m_sql}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: Файл " + m_rsql + " не существует.\n");
    EXPECT_EQ(script::testing::listFolder(m_dir.path()), "");
}

TEST_F(ConvertCommandTest, APasswordFromTheEnvironmentScramblesAndUnlocks) {
    writeKinds();
    writeBytes(m_sql, "SELECT 1;\r\n");
    ::setenv("VT_SCRIPT_PASSWORD", "secret", 1);
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql}), 0);
    EXPECT_EQ(script::IniFile(m_rsql).readString("Tools", "Key"), script::scrambleHeader("secret"));
    const std::string back = m_dir.file("back.sql");
    EXPECT_EQ(run({"rsql2sql", m_rsql, back}), 0);
    EXPECT_EQ(readBytes(back), "SELECT 1\r\n;\r\n");
    // --password wins over the environment.
    EXPECT_EQ(run({"rsql2sql", m_rsql, back, "--force", "--password", "other"}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: Пароль раскодирования неверен.\n");
}

TEST_F(ConvertCommandTest, TheDatabasePasswordNeverScramblesAScript) {
    writeKinds();
    writeBytes(m_sql, "SELECT 1;\r\n");
    ::setenv("VT_PASSWORD", "dbsecret", 1);
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql}), 0);
    script::IniFile ini(m_rsql);
    EXPECT_EQ(ini.readString("Tools", "Crypt"), "0");
    EXPECT_FALSE(ini.hasKey("Tools", "Key"));
}

// An output path that is a symbolic link (planted in a shared folder, say) is replaced by the new
// file; the file it points to is never written.
TEST_F(ConvertCommandTest, ForceReplacesALinkAtTheOutputAndNotItsTarget) {
    writeKinds();
    writeBytes(m_sql, "SELECT 1;\r\n");
    const std::string victim = m_config.file("victim.txt");
    writeBytes(victim, "precious");
    const std::string back = m_dir.file("back.sql");
    for (const std::string& output : {m_rsql, back}) {
        ASSERT_EQ(::symlink(victim.c_str(), output.c_str()), 0);
        EXPECT_EQ(output == m_rsql ? run({"sql2rsql", m_sql, m_rsql})
                                   : run({"rsql2sql", m_rsql, back}),
                  1);
        EXPECT_EQ(m_err.str(), "vtconvert: " + output + " exists; --force replaces it\n");
        EXPECT_EQ(output == m_rsql ? run({"sql2rsql", m_sql, m_rsql, "--force"})
                                   : run({"rsql2sql", m_rsql, back, "--force"}),
                  0)
            << m_err.str();
        struct stat st {};
        ASSERT_EQ(::lstat(output.c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << output;
        EXPECT_EQ(readBytes(victim), "precious");
    }
    EXPECT_EQ(readBytes(back), "SELECT 1\r\n;\r\n");
    EXPECT_EQ(script::testing::listFolder(m_dir.path()), "back.sql;update.rsql;update.sql;");
}

TEST_F(ConvertCommandTest, KindNamesMatchInAnyLetterCaseCyrillicIncluded) {
    // "Оракл" in CP1251, as the kinds file holds it.
    writeKinds("[\xCE\xF0\xE0\xEA\xEB]\r\nDelimeter=;\r\nCommentBegin=--\r\n");
    writeBytes(m_sql, "SELECT 1;\r\n");
    ::setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql, "--kind", "оракл"}), 0) << m_err.str();
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql, "--kind", "ОРАКЛ", "--force"}), 0) << m_err.str();
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql, "--kind", "орак", "--force"}), 1);
    ::unsetenv("LC_ALL");
}

TEST_F(ConvertCommandTest, AScrambledScriptWithoutPasswordIsRefused) {
    writeKinds();
    writeBytes(m_sql, "SELECT 1;\r\n");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql, "--password", "secret"}), 0);
    EXPECT_EQ(run({"rsql2sql", m_rsql, m_dir.file("back.sql")}), 1);
    EXPECT_EQ(m_err.str(), "vtconvert: Пароль раскодирования неверен.\n");
    EXPECT_EQ(script::testing::listFolder(m_dir.path()), "update.rsql;update.sql;");
}

// Runs the vtconvert program; returns its exit code and fills the two outputs.
int runProgram(const TempDir& dir, const std::vector<std::string>& args,
               const std::vector<std::string>& env, std::string& out, std::string& err) {
    const char* bin = std::getenv("VT_PROGRAM_BIN");
    const std::string program = std::string(bin ? bin : ".") + "/vtconvert";
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = env;
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        bool overridden = false;
        for (const std::string& mine : env)
            overridden = overridden || entry.substr(0, entry.find('=') + 1) ==
                                           std::string_view(mine).substr(0, mine.find('=') + 1);
        if (!overridden && !entry.starts_with("VT_PASSWORD=") &&
            !entry.starts_with("VT_SCRIPT_PASSWORD="))
            envStrings.emplace_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const std::string outFile = dir.file("stdout.txt");
    const std::string errFile = dir.file("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    out = readBytes(outFile);
    err = readBytes(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class VtconvertProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(m_config.file("sqltools.ini"), kKinds);
        writeBytes(m_sql, kRichSql);
    }

    int run(const std::vector<std::string>& args, std::vector<std::string> env = {}) {
        env.push_back("VT_CONFIG_DIR=" + m_config.path());
        env.push_back("LC_ALL=C.UTF-8");
        return runProgram(m_out, args, env, m_stdout, m_stderr);
    }

    // The commands the splitter finds in an SQL file, with the kind Firebird.
    static std::vector<std::vector<std::string>> commandsOf(const std::string& sqlFile) {
        ScriptKind kind;
        kind.delimiter = ";";
        kind.command = "SET TERM";
        kind.ignoreCommand = "CONNECT;COMMIT";
        kind.commentBegin = "/*";
        kind.commentEnd = "*/";
        return SqlToRsqlConverter(SplitSettings::fromKind(kind)).split(readBytes(sqlFile));
    }

    // The command texts of an rSQL script as the runner's reader gives them.
    static std::vector<std::string> textsOf(const std::string& rsqlFile) {
        const script::RsqlScript script(rsqlFile);
        std::vector<std::string> texts;
        for (long k = 1; k <= script.header().commands; ++k)
            texts.push_back(script.commandText(k));
        return texts;
    }

    TempDir m_config;
    TempDir m_dir;
    TempDir m_out;
    std::string m_sql = m_dir.file("update.sql");
    std::string m_rsql = m_dir.file("update.rsql");
    std::string m_back = m_dir.file("back.sql");
    std::string m_again = m_dir.file("again.rsql");
    std::string m_stdout;
    std::string m_stderr;
};

const std::vector<std::vector<std::string>> kRichCommands = {
    {"CREATE TABLE GOODS (", "\tID INTEGER NOT NULL,", "",
     "\tNAME VARCHAR(40) /* \xcd\xe0\xe7\xe2\xe0\xed\xe8\xe5 */", ")"},
    {"CREATE PROCEDURE P AS", "BEGIN",
     "  INSERT INTO GOODS VALUES (1, '\xff\xe1\xeb\xee\xea\xee');", "END"},
    {"$$$RECONNECT"},
    {"  UPDATE GOODS SET NAME = 'x'", "   WHERE ID = 1"},
    {"DELETE FROM GOODS"}};

TEST_F(VtconvertProgramTest, ARichScriptSplitsIntoTheExpectedCommands) {
    EXPECT_EQ(commandsOf(m_sql), kRichCommands);
}

TEST_F(VtconvertProgramTest, TheRunnersReaderGetsTheCommandTextsBothPlainAndScrambled) {
    std::vector<std::string> expected;
    for (const auto& command : kRichCommands) {
        std::string text;
        for (const std::string& line : command)
            text += line + "\r\n";
        expected.push_back(text);
    }
    ASSERT_EQ(run({"sql2rsql", m_sql, m_rsql}), 0) << m_stderr;
    EXPECT_EQ(textsOf(m_rsql), expected);
    ASSERT_EQ(run({"sql2rsql", m_sql, m_again, "--password", "пароль"}), 0) << m_stderr;
    EXPECT_EQ(textsOf(m_again), expected);
    EXPECT_TRUE(script::RsqlScript(m_again).header().crypt);
}

TEST_F(VtconvertProgramTest, ARoundTripWithTheKindsTerminatorGivesBackEveryCommand) {
    ASSERT_EQ(run({"sql2rsql", m_sql, m_rsql}), 0) << m_stderr;
    ASSERT_EQ(run({"rsql2sql", m_rsql, m_back, "--term", "^"}), 0) << m_stderr;
    EXPECT_EQ(m_stderr, "");
    std::string expected = "SET TERM ^ ;\r\n";
    for (const auto& command : kRichCommands) {
        if (command[0] == "$$$RECONNECT") {
            expected += "/*RECONNECT*/\r\n";
            continue;
        }
        for (const std::string& line : command)
            expected += line + "\r\n";
        expected += "^\r\n";
    }
    expected += "SET TERM ; ^\r\n";
    EXPECT_EQ(readBytes(m_back), expected);
    EXPECT_EQ(commandsOf(m_back), kRichCommands);
}

TEST_F(VtconvertProgramTest, ARoundTripWithAPasswordGivesBackTheSameScript) {
    ASSERT_EQ(run({"sql2rsql", m_sql, m_rsql}), 0) << m_stderr;
    ASSERT_EQ(run({"rsql2sql", m_rsql, m_back, "--term", "^"}), 0) << m_stderr;
    const std::string plainBack = readBytes(m_back);

    ASSERT_EQ(run({"sql2rsql", m_sql, m_again}, {"VT_SCRIPT_PASSWORD=top secret"}), 0) << m_stderr;
    const std::string scrambled = readBytes(m_again);
    EXPECT_EQ(scrambled.find("GOODS"), std::string::npos);
    ASSERT_EQ(run({"rsql2sql", m_again, m_back, "--term", "^", "--force"}),
              1); // no password given
    EXPECT_EQ(m_stderr, "vtconvert: Пароль раскодирования неверен.\n");
    ASSERT_EQ(run({"rsql2sql", m_again, m_back, "--term=^", "--force", "--password", "top secret"}),
              0)
        << m_stderr;
    EXPECT_EQ(readBytes(m_back), plainBack);
}

TEST_F(VtconvertProgramTest, MessagesFollowTheTerminalsCharset) {
    writeBytes(m_sql, "");
    EXPECT_EQ(run({"sql2rsql", m_sql, m_rsql}, {"LC_ALL=ru_RU.KOI8-R"}), 0);
    // "В скрипт" in KOI8-R.
    EXPECT_TRUE(m_stderr.starts_with("\xf7 \xd3\xcb\xd2\xc9\xd0\xd4")) << m_stderr;
}

TEST_F(VtconvertProgramTest, UsageAndExitCodes) {
    EXPECT_EQ(run({}), 1);
    EXPECT_EQ(m_stderr, ConvertCommand::usage());
    EXPECT_EQ(run({"kinds"}), 0);
    EXPECT_EQ(m_stdout, "  Lines\n* Firebird\n");
}

} // namespace
} // namespace vt::desktop
