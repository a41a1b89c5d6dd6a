// Tests of the plug-in's interface and script side, driving build/bin/vtutils.so through dlopen.
#include "plugin/testkit/pluginfixture.h"

#include "plugin/testkit/childprocess.h"

#include "script/scramble.h"

#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <set>

namespace vt::plugin::testkit {
namespace {

const std::string kUnknownError = ansi("Неизвестная ошибка DLL");

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class PluginInterface : public PluginFixture {};

TEST_P(PluginInterface, BeforeAnyFailureTheMessageIsTheUnknownError) {
    // In a process of its own, where no earlier test has used the plug-in.
    const ChildRun run = runChild({helperFile(), VtUtilsApi::defaultFile(), "--last-error"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "0 " + kUnknownError + "\n");
}

TEST_P(PluginInterface, UnloadingForgetsTheLastError) {
    api->piInit((db->folder() + "/missing.rsql").c_str(), "");
    api->dbConnect("NO_SUCH_ALIAS", "", "");
    ASSERT_NE(api->lastMessage(), kUnknownError);
    api->piDone();
    api.reset();
    void* stillLoaded = ::dlopen(VtUtilsApi::defaultFile().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (stillLoaded)
        ::dlclose(stillLoaded);
    EXPECT_EQ(stillLoaded, nullptr)
        << "vtutils.so stayed in memory after dlclose: a thread_local object with a destructor "
           "inside the library pins it until the thread ends";
    api = std::make_unique<VtUtilsApi>();
    EXPECT_EQ(api->GetLastVTError(), 0);
    EXPECT_EQ(api->lastMessage(), kUnknownError);
}

TEST_P(PluginInterface, ExportsTheNineFunctionsAndTheCauseQueryOnly) {
    const std::string command = "nm -D --defined-only '" + VtUtilsApi::defaultFile() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        const std::size_t space = text.find_last_of(' ');
        std::string name = text.substr(space + 1);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        const char kind = space >= 1 ? text[space - 1] : '?';
        if (kind == 'T' || kind == 'D' || kind == 'B' || kind == 'R' || kind == 'W' ||
            kind == 'V' || kind == 'i' || kind == 'u')
            names.insert(name);
    }
    ::pclose(pipe);
    const std::set<std::string> expected = {"piInit",
                                            "dbConnect",
                                            "CheckDataBaseParams",
                                            "MakeSQLCommand",
                                            "ExecrSQL",
                                            "UpDateVersion",
                                            "piDone",
                                            "GetLastVTError",
                                            "GetLastVTErrorMessage",
                                            "GetLastVTErrorCause"};
    EXPECT_EQ(names, expected);
}

TEST_P(PluginInterface, PiInitListsTheAliasesEachEndedBySemicolon) {
    db->writeAliases("[SECOND]\nDRIVER=STANDARD\nPATH=" + db->folder() + "/second.db\n");
    const std::string file = writeScript(scriptWith("ABC", "", "", {"select 1"}));
    const std::string aliases = api->piInit(file.c_str(), "ignored");
    EXPECT_EQ(aliases, "TESTDB;SECOND;");
    EXPECT_EQ(api->GetLastVTError(), 0);
}

TEST_P(PluginInterface, WithoutAnAliasesFileTheDefaultAliasIsOffered) {
    std::remove(db->aliasesFile().c_str());
    const std::string saved = std::getenv("VT_ALIASES");
    ::unsetenv("VT_ALIASES");
    const std::string file = writeScript(scriptWith("ABC", "", "", {"select 1"}));
    const std::string aliases = api->piInit(file.c_str(), "");
    ::setenv("VT_ALIASES", saved.c_str(), 1);
    EXPECT_EQ(aliases, "DEFAULT;");
}

TEST_P(PluginInterface, AScriptWithAHeaderAndNoCommandsRunsNothing) {
    const std::string file = db->folder() + "/empty.rsql";
    writeFile(file, "[DataBase]\r\nCode=ABC\r\nCommands=0\r\n");
    EXPECT_EQ(open(file), 1);
    EXPECT_EQ(std::string(api->MakeSQLCommand(1)), "");
    EXPECT_EQ(api->GetLastVTError(), 0);
    const CheckResult r = check(true);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 0);
}

TEST_P(PluginInterface, AScriptThatCannotBeReadFailsWithTheSystemsText) {
    const std::string aliases = api->piInit(db->folder().c_str(), ""); // a folder, not a file
    EXPECT_EQ(aliases, "");
    EXPECT_EQ(api->GetLastVTError(), -1);
    EXPECT_NE(api->lastMessage(), kUnknownError);
    EXPECT_NE(api->lastMessage().find(db->folder()), std::string::npos) << api->lastMessage();
    EXPECT_EQ(std::string(api->MakeSQLCommand(1)), "");
}

TEST_P(PluginInterface, AFileWithoutToolsSectionIsAPlainScriptForAnyDatabase) {
    const std::string file = db->folder() + "/plain.rsql";
    writeFile(file, "[DataBase]\r\nNewVersion=2.0\r\nCommands=1\r\n"
                    "[Command1]\r\nL1=%select 1\r\nL2=% from t\r\n");
    db->exec("CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint);"
             "INSERT INTO R_VERSION VALUES ('1.0', 'SHOP', 0)");
    EXPECT_EQ(open(file), 0);
    EXPECT_EQ(std::string(api->MakeSQLCommand(1)), "select 1\r\n from t\r\n");
    const CheckResult r = check(false);
    EXPECT_EQ(r.result, 0) << r.message;
    EXPECT_EQ(r.code, "SHOP");
    EXPECT_EQ(r.version, "1.0");
    EXPECT_EQ(r.last, 1);
}

struct FormatVersionCase {
    const char* name;
    const char* version;
    bool accepted;
    const char* message; // UTF-8
};

const FormatVersionCase kFormatVersions[] = {
    {"OnePointTwoIsAccepted", "1.2", true, ""},
    {"OneIsAccepted", "1", true, ""},
    {"ZeroIsAccepted", "0", true, ""},
    {"OnePointThreeIsRefused", "1.3", false,
     "Скрипт версии 1.3 не поддерживается данной версией библиотеки."},
    {"OnePointTwentyOneIsRefused", "1.21", false,
     "Скрипт версии 1.21 не поддерживается данной версией библиотеки."},
    {"TwoIsRefusedInItsShortestForm", "2.00", false,
     "Скрипт версии 2 не поддерживается данной версией библиотеки."},
    {"ACommaIsNoDecimalSeparator", "1,2", false, "'1,2' - неверное дробное значение"},
    {"TextIsNoNumber", "abc", false, "'abc' - неверное дробное значение"},
};

class FormatVersion : public ::testing::TestWithParam<FormatVersionCase> {
protected:
    void SetUp() override { db = TestDatabase::create(Driver::SQLite); }
    std::unique_ptr<TestDatabase> db;
};

TEST_P(FormatVersion, DecidesWhetherTheScriptRuns) {
    const FormatVersionCase& c = GetParam();
    const std::string file = db->folder() + "/v.rsql";
    writeFile(file, std::string("[Tools]\r\nCrypt=0\r\nVersion=") + c.version +
                        "\r\n[DataBase]\r\nCommands=1\r\n[Command1]\r\nL1=%select 1\r\n");
    VtUtilsApi api;
    const std::string aliases = api.piInit(file.c_str(), "");
    if (c.accepted) {
        EXPECT_EQ(api.GetLastVTError(), 0) << api.lastMessage();
        EXPECT_EQ(aliases, "TESTDB;");
    } else {
        EXPECT_EQ(api.GetLastVTError(), -1);
        EXPECT_EQ(aliases, "");
        EXPECT_EQ(api.lastMessage(), ansi(c.message));
    }
    api.piDone();
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatVersion, ::testing::ValuesIn(kFormatVersions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(PluginInterface, TheErrorTextIsKeptAfterALaterSuccess) {
    const std::string bad = db->folder() + "/bad.rsql";
    writeFile(bad, "[Tools]\r\nVersion=1.3\r\n");
    api->piInit(bad.c_str(), "");
    ASSERT_EQ(api->GetLastVTError(), -1);
    const std::string message =
        ansi("Скрипт версии 1.3 не поддерживается данной версией библиотеки.");
    ASSERT_EQ(api->lastMessage(), message);

    const std::string good = writeScript(scriptWith("ABC", "", "", {"select 1"}));
    EXPECT_EQ(std::string(api->piInit(good.c_str(), "")), "TESTDB;");
    EXPECT_EQ(api->GetLastVTError(), 0);
    EXPECT_EQ(api->lastMessage(), message);
    EXPECT_EQ(std::string(api->MakeSQLCommand(1)), "select 1\r\n");
    EXPECT_EQ(api->GetLastVTError(), 0);
    EXPECT_EQ(api->lastMessage(), message);
}

TEST_P(PluginInterface, AScrambledScriptYieldsItsPlainCommandText) {
    script::RsqlContent content = scriptWith("ABC", "", "1.0", {});
    content.commands = {{"insert into t", "  values (1)"}, {"$$$RECONNECT"}};
    content.crypt = true;
    content.password = "secret";
    const std::string file = writeScript(content);
    api->piInit(file.c_str(), "");
    EXPECT_EQ(std::string(api->MakeSQLCommand(1)), "insert into t\r\n  values (1)\r\n");
    EXPECT_EQ(std::string(api->MakeSQLCommand(2)), "$$$RECONNECT\r\n");
    EXPECT_EQ(std::string(api->MakeSQLCommand(1)), "insert into t\r\n  values (1)\r\n");
    EXPECT_EQ(std::string(api->MakeSQLCommand(3)), "");
    EXPECT_EQ(api->GetLastVTError(), 0);
}

TEST_P(PluginInterface, AScrambledHeaderThatUnscramblesToJunkIsAWrongCode) {
    const std::string file = db->folder() + "/junk.rsql";
    writeFile(file, std::string("[Tools]\r\nCrypt=1\r\nVersion=1.2\r\n[DataBase]\r\n"
                                "Code=\x01\xff\x7f#\r\nNewVersion=\xfe\x80\r\nCommands=1\r\n"
                                "[Command1]\r\nL1=%\x90\x91\r\n"));
    db->exec("CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint);"
             "INSERT INTO R_VERSION VALUES ('1.0', 'SHOP', 0)");
    EXPECT_EQ(open(file), 0);
    EXPECT_EQ(std::string(api->MakeSQLCommand(1)), script::unscrambleCommand("\x90\x91") + "\r\n");
    const CheckResult r = check(false);
    EXPECT_EQ(r.result, -3);
    EXPECT_EQ(api->GetLastVTError(), -3);
    EXPECT_EQ(r.message, ansi("Неверный код базы данных."));
    EXPECT_EQ(r.code, "SHOP");
}

TEST_P(PluginInterface, OutputsHoldingNullOnEntryAreLeftAlone) {
    const std::string file = writeScript(scriptWith("ABC", "", "1.0", {"select 1"}));
    db->exec("CREATE TABLE R_VERSION (Version char(10), DBCode char(10), Counter smallint);"
             "INSERT INTO R_VERSION VALUES ('0.9', 'ABC', 0)");
    EXPECT_EQ(open(file), 0);
    int first = 7, last = 0;
    const char* code = nullptr;
    const char* version = nullptr;
    EXPECT_EQ(api->CheckDataBaseParams(&first, &last, &code, &version, 0), 0);
    EXPECT_EQ(code, nullptr);
    EXPECT_EQ(version, nullptr);
    EXPECT_EQ(first, 7);
    EXPECT_EQ(last, 1);
}

TEST_P(PluginInterface, AnUnknownAliasFailsToConnectWithTheEnginesText) {
    api->piInit((db->folder() + "/none.rsql").c_str(), "");
    EXPECT_EQ(api->dbConnect("NO_SUCH_ALIAS", "", ""), -1);
    EXPECT_EQ(api->GetLastVTError(), -1);
    EXPECT_NE(api->lastMessage(), kUnknownError);
    EXPECT_NE(api->lastMessage(), "");
    // No database is open: a command fails cleanly.
    EXPECT_EQ(api->ExecrSQL("select 1\r\n"), -5);
    EXPECT_EQ(api->GetLastVTError(), -5);
    EXPECT_EQ(api->piDone(), 0);
}

TEST_P(PluginInterface, CallsWithoutAScriptOrDatabaseFailCleanly) {
    EXPECT_EQ(std::string(api->MakeSQLCommand(1)), "");
    EXPECT_EQ(api->GetLastVTError(), 0);
    EXPECT_EQ(api->ExecrSQL(nullptr), -5);
    EXPECT_EQ(api->UpDateVersion(), 0); // no script: nothing to record
    EXPECT_EQ(api->piDone(), 0);
    EXPECT_EQ(api->GetLastVTError(), 0);
}

INSTANTIATE_TEST_SUITE_P(Driver, PluginInterface, ::testing::Values(Driver::SQLite), driverName);

} // namespace
} // namespace vt::plugin::testkit
