// Tests of the console runner's start-up: banner, usage, registering, loading and ending.
#include "console/consoleapp.h"

#include <gtest/gtest.h>

#include "console/testsupport/appfixture.h"
#include "script/inifile.h"

namespace vt::console::testing {
namespace {

const std::string kBanner = "/opt/vantrel/vtconsole\n"
                            "Vantrel Utilities, Command Line Support 2.1\n"
                            "Copyright (C) 2026 Vantrel Software. Runs rSQL scripts through a "
                            "plug-in.\n\n";

const std::string kUsage = "vtconsole <command> <filename> [<switches>]\n"
                           "\n"
                           "<Commands>\n"
                           "     r                  Run rSQL-script\n"
                           "     i alias=filename   Register new plugin\n"
                           "<Filename>              rSQL-script file name\n"
                           "[Switches]\n"
                           "     -p PLUGIN_ALIAS    Plugin name\n"
                           "     -c                 List available DB aliases\n"
                           "     -v                 Show each command\n"
                           "     -s                 Silent\n"
                           "     -n                 Do not show script comments\n"
                           "     -dbname DBNAME     Database file name\n"
                           "     -alias DBALIAS     Database alias\n"
                           "     -user  USER        Database user\n"
                           "     -pass  PASS        Database user password\n"
                           "     -file  FILE        DB aliases config file\n"
                           "\n"
                           "Press Enter to quit...\n";

using AppTest = AppFixture;

TEST_F(AppTest, UnknownCommandShowsUsageAndWaitsForEnterEvenWhenSilent) {
    Outcome o = run({"x", "-s"}, "\nnot read\n");
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.output, kBanner + kUsage);
    EXPECT_EQ(o.unreadLines, 1u);
    EXPECT_TRUE(o.calls.empty());
}

TEST_F(AppTest, NoCommandShowsUsage) {
    Outcome o = run({});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.output, kBanner + kUsage);
}

TEST_F(AppTest, UsageLeftColumnIsTwentyFourCharactersWide) {
    Outcome o = run({"help"});
    std::size_t rows = 0;
    std::size_t start = 0;
    for (std::size_t end; (end = o.output.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string line = o.output.substr(start, end - start);
        if (line.rfind("     ", 0) != 0 && line.rfind("<Filename>", 0) != 0)
            continue;
        ASSERT_GT(line.size(), 24u) << line;
        EXPECT_EQ(line[23], ' ') << line;
        EXPECT_NE(line[24], ' ') << line;
        ++rows;
    }
    EXPECT_EQ(rows, 13u);
}

struct RegisterCase {
    const char* name;
    std::vector<std::string> args;
    std::string expectedEntry; // value under Plugin/dbx; "" when nothing is written
};

class RegisterTest : public AppFixture, public ::testing::WithParamInterface<RegisterCase> {};

TEST_P(RegisterTest, WritesThePluginSectionAndPrintsOnlyTheBanner) {
    const RegisterCase& c = GetParam();
    std::string before = readFile(configFile());
    Outcome o = run(c.args);
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.output, kBanner);
    script::IniFile ini(configFile());
    EXPECT_EQ(ini.readString("Plugin", "dbx"), c.expectedEntry);
    if (c.expectedEntry.empty()) {
        EXPECT_EQ(readFile(configFile()), before);
    }
    EXPECT_EQ(ini.readString("Plugin", "fake"), VT_FAKE_PLUGIN);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterTest,
    ::testing::Values(
        RegisterCase{"capital_I_registers_alias_and_file", {"I", "dbx=/x/other.so"}, "/x/other.so"},
        RegisterCase{"file_name_may_hold_an_equals_sign", {"i", "dbx=/x/a=b.so"}, "/x/a=b.so"},
        RegisterCase{"without_equals_nothing_is_written", {"i", "dbx"}, ""},
        RegisterCase{"without_second_argument_nothing_is_written", {"i"}, ""},
        RegisterCase{"empty_alias_writes_nothing", {"i", "=x.so"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppTest, RegisteringIntoAFolderThatCannotBeWrittenEndsWithAnError) {
    writeFile(dir.file("plain"), "x");
    MemoryTerminal terminal;
    ConsoleApp app(terminal, {"/p", dir.file("plain") + "/vtconsole.ini", std::nullopt});
    EXPECT_EQ(app.run(CommandLine({"i", "a=b.so", "-s"})), 1);
    EXPECT_NE(terminal.output().find("ERROR: Cannot register the plug-in: "), std::string::npos);
}

TEST_F(AppTest, UnregisteredPluginAliasFallsBackToTheDefaultLibrary) {
    Outcome o = run({"r", scriptPath, "-P", "nosuch", "-s"});
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.output.find("\nERROR: Error loading library 'vtutils.so'.\n"), std::string::npos);
    EXPECT_TRUE(o.calls.empty());
}

TEST_F(AppTest, LibraryThatCannotBeLoadedEndsWithOneAndCallsNothing) {
    writeFile(dir.file("broken.so"), "not a library");
    writeFile(configFile(), "[Plugin]\nbroken=" + dir.file("broken.so") + "\n");
    Outcome o = run({"r", scriptPath, "/p", "broken"}, "\n");
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.output.find("ERROR: Error loading library '" + dir.file("broken.so") + "'."),
              std::string::npos);
    EXPECT_TRUE(o.calls.empty());
    // Not silent: the ending routine waits for Enter.
    EXPECT_NE(o.output.find("Press Enter to quit...\n"), std::string::npos);
    EXPECT_EQ(o.unreadLines, 0u);
}

TEST_F(AppTest, LibraryWithoutTheFunctionsBoundAtLoadEndsWithTheMissingName) {
    writeFile(configFile(), "[Plugin]\nlibm=libm.so.6\n");
    Outcome o = run({"r", scriptPath, "-p", "libm", "-s"});
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.output.find(
                  "ERROR: Required function 'GetLastVTErrorMessage' not defined in this library."),
              std::string::npos);
}

TEST_F(AppTest, PluginWithoutUpDateVersionRunsEveryCommandThenEndsWithTheMissingName) {
    Outcome o = run({"r", scriptPath, "-p", "noupdate", "-alias", "A", "-pass", "", "-s"});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(callsOf(o.calls, "ExecrSQL").size(), 3u);
    EXPECT_NE(o.output.find("ERROR: Required function 'UpDateVersion' not defined in this "
                            "library.\n\n"),
              std::string::npos);
    EXPECT_EQ(o.output.find("Script completed successfully!"), std::string::npos);
    EXPECT_EQ(o.calls.back(), "piDone");
}

TEST_F(AppTest, PluginWithoutExecrSQLEndsWithTheMissingNameAtTheFirstCommand) {
    Outcome o = run({"r", scriptPath, "-p", "noexec", "-alias", "A", "-pass", "", "-s"});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(callsOf(o.calls, "MakeSQLCommand").size(), 1u);
    EXPECT_NE(o.output.find("ERROR: Required function 'ExecrSQL' not defined in this library.\n"),
              std::string::npos)
        << o.output;
    EXPECT_EQ(o.calls.back(), "piDone");
}

TEST_F(AppTest, EndingRoutineShowsErrorLabelInBrightWhiteAndCallsPiDone) {
    setenv("VT_FAKE_CHECK_ERROR", "mismatch", 1);
    MemoryTerminal terminal("");
    terminal.setRecordColours(true);
    ConsoleApp app(terminal, {"/p", configFile(), std::nullopt});
    int code = app.run(CommandLine({"r", scriptPath, "-p", "fake", "-alias", "A", "-s"}));
    EXPECT_EQ(code, 1);
    const std::string& out = terminal.output();
    EXPECT_NE(out.find("\n\n{15}ERROR: {7}mismatch\n\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Press Enter to quit"), std::string::npos);
    EXPECT_EQ(readLines(logFile()).back(), "piDone");
}

TEST_F(AppTest, SuccessfulRunEndsWithCompletionAndWaitsForEnterUnlessSilent) {
    Outcome o = runFake({}, "\n\n");
    EXPECT_EQ(o.code, 0);
    EXPECT_NE(o.output.find("\n\nScript completed successfully!\n\nPress Enter to quit...\n"),
              std::string::npos)
        << o.output;
    EXPECT_EQ(o.output.find("ERROR"), std::string::npos);
    EXPECT_EQ(o.unreadLines, 0u);
}

} // namespace
} // namespace vt::console::testing
