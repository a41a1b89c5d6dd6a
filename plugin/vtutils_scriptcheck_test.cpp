// Tests of the scripts piInit refuses before anything runs: files that are not what their header
// says, and header values the version table cannot hold.
#include "plugin/testkit/pluginfixture.h"

#include <sys/stat.h>

#include <fstream>

namespace vt::plugin::testkit {
namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A header and three plain commands, with Commands set as given.
std::string threeCommands(const std::string& commands) {
    return "[Tools]\r\nCrypt=0\r\nVersion=1.2\r\n[DataBase]\r\nCode=ABC\r\nNewVersion=1.0\r\n"
           "Commands=" +
           commands +
           "\r\n[Command1]\r\nL1=%DELETE FROM t WHERE k = 1\r\n"
           "[Command2]\r\nL1=%DELETE FROM t WHERE k = 2\r\n"
           "[Command3]\r\nL1=%DELETE FROM t WHERE k = 3\r\n";
}

struct DamagedCase {
    const char* name;
    std::string content; // the file's bytes; "" with path set for a special file
    const char* path;    // a special file to open instead, or nullptr
    const char* message; // UTF-8; "%f" stands for the script's path
};

const DamagedCase kDamaged[] = {
    {"AnEmptyFile", "", nullptr,
     "Файл %f не является rSQL-скриптом: в нём нет ни раздела [DataBase], ни команд."},
    {"BinaryGarbage",
     std::string("\x7f"
                 "ELF\x02\x01\x01\0\0\0\xff\xfe=\x80\r\n\x01\x02",
                 18),
     nullptr, "Файл %f не является rSQL-скриптом: в нём нет ни раздела [DataBase], ни команд."},
    {"APlainSqlFile", "-- cleanup\nDELETE FROM t WHERE k = 1;\nDELETE FROM t;\n", nullptr,
     "Файл %f не является rSQL-скриптом: в нём нет ни раздела [DataBase], ни команд."},
    {"ZeroCommandsWithThreePresent", threeCommands("0"), nullptr,
     "Раздел [Command3] не входит в команды скрипта: заголовок объявляет 0 команд."},
    {"ANegativeCount", threeCommands("-5"), nullptr,
     "Неверное число команд в заголовке скрипта: Commands = '-5'."},
    {"ACountThatIsNoNumber", threeCommands("abc"), nullptr,
     "Неверное число команд в заголовке скрипта: Commands = 'abc'."},
    {"ACountBeyondThirtyTwoBits", threeCommands("2147483648"), nullptr,
     "Неверное число команд в заголовке скрипта: Commands = '2147483648'."},
    {"ACountOfTwentyDigits", threeCommands("100000000000000000000"), nullptr,
     "Неверное число команд в заголовке скрипта: Commands = '100000000000000000000'."},
    {"AHexadecimalCount", threeCommands("0x3"), nullptr,
     "Неверное число команд в заголовке скрипта: Commands = '0x3'."},
    {"AThousandDeclaredWithThreePresent", threeCommands("1000"), nullptr,
     "В скрипте нет раздела [Command4], хотя заголовок объявляет 1000 команд."},
    {"AGapAmongTheCommands",
     "[DataBase]\r\nCode=ABC\r\nNewVersion=1.0\r\nCommands=3\r\n[Command1]\r\nL1=%select 1\r\n"
     "[Command3]\r\nL1=%select 3\r\n",
     nullptr, "В скрипте нет раздела [Command2], хотя заголовок объявляет 3 команд."},
    {"ACommandNumberWithALeadingZero",
     "[DataBase]\r\nCommands=1\r\n[Command1]\r\nL1=%select 1\r\n[Command01]\r\nL1=%select 2\r\n",
     nullptr, "Раздел [Command01] не входит в команды скрипта: заголовок объявляет 1 команд."},
    {"ALineTheValueLimitWouldCut",
     "[DataBase]\r\nCommands=1\r\n[Command1]\r\nL1=%DELETE FROM t /* " + std::string(2040, 'x') +
         " */ WHERE k = 1\r\n",
     nullptr,
     "Строка L1 команды 1 превышает предел формата rSQL (2046 символов) и была бы прочитана не "
     "полностью."},
    {"ANulByteInACommand",
     std::string("[DataBase]\r\nCommands=1\r\n[Command1]\r\nL1=%DELETE FROM t\0 WHERE k = 1\r\n",
                 68),
     nullptr, "Команда 1 содержит нулевой байт."},
    {"ADevice", "", "/dev/zero", "/dev/zero не является обычным файлом и не может быть скриптом."},
    {"AMissingFile", "", "missing", "Файл скрипта %f не найден."},
};

class DamagedScript : public ::testing::TestWithParam<DamagedCase> {
protected:
    void SetUp() override {
        db = TestDatabase::create(Driver::SQLite);
        db->exec("CREATE TABLE t (k integer); INSERT INTO t VALUES (1), (2), (3)");
    }
    std::unique_ptr<TestDatabase> db;
};

TEST_P(DamagedScript, IsRefusedByPiInitAndChangesNothing) {
    const DamagedCase& c = GetParam();
    std::string file = db->folder() + "/damaged.rsql";
    if (!c.path)
        writeFile(file, c.content);
    else if (std::string(c.path) == "missing")
        file = db->folder() + "/missing.rsql";
    else
        file = c.path;
    std::string expected = c.message;
    if (const std::size_t at = expected.find("%f"); at != std::string::npos)
        expected.replace(at, 2, file);

    VtUtilsApi api;
    EXPECT_EQ(std::string(api.piInit(file.c_str(), "")), "");
    EXPECT_EQ(api.GetLastVTError(), -1);
    EXPECT_EQ(api.GetLastVTErrorCause(), VT_CAUSE_SCRIPT);
    EXPECT_EQ(api.lastMessage(), ansi(expected));
    EXPECT_EQ(std::string(api.MakeSQLCommand(1)), "") << "no script stays open";
    api.piDone();
    EXPECT_EQ(firstValue(db->query("SELECT count(*) FROM t")), "3");
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedScript, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptFileCheck, AFifoIsRefusedWithoutReadingIt) {
    auto db = TestDatabase::create(Driver::SQLite);
    const std::string fifo = db->folder() + "/pipe.rsql";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    VtUtilsApi api;
    EXPECT_EQ(std::string(api.piInit(fifo.c_str(), "")), "");
    EXPECT_EQ(api.GetLastVTErrorCause(), VT_CAUSE_SCRIPT);
    EXPECT_EQ(api.lastMessage(),
              ansi(fifo + " не является обычным файлом и не может быть скриптом."));
}

struct AcceptedCase {
    const char* name;
    std::string content;
};

const AcceptedCase kAccepted[] = {
    {"ALineOfExactly2046CharactersOfSql",
     "[DataBase]\r\nCommands=1\r\n[Command1]\r\nL1=%" + std::string(2046, 'x') + "\r\n"},
    {"AHeaderWithoutCommands", "[DataBase]\r\nCode=ABC\r\nNewVersion=1.0\r\n"},
    {"CommandsWithoutAToolsSection", threeCommands("3").substr(31)},
    {"ACountWithLeadingZeros", threeCommands("003")},
    {"AnEmptyCommandSection", "[DataBase]\r\nCommands=2\r\n[Command1]\r\n[Command2]\r\nL1=%x\r\n"},
};

class AcceptedScript : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedScript, IsOpened) {
    auto db = TestDatabase::create(Driver::SQLite);
    const std::string file = db->folder() + "/good.rsql";
    writeFile(file, GetParam().content);
    VtUtilsApi api;
    EXPECT_EQ(std::string(api.piInit(file.c_str(), "")), "TESTDB;");
    EXPECT_EQ(api.GetLastVTError(), 0) << api.lastMessage();
    EXPECT_EQ(api.GetLastVTErrorCause(), VT_CAUSE_NONE);
    api.piDone();
}

INSTANTIATE_TEST_SUITE_P(Cases, AcceptedScript, ::testing::ValuesIn(kAccepted),
                         [](const auto& info) { return std::string(info.param.name); });

// Header values that R_VERSION's Char(10) and Smallint columns cannot hold: refused before
// anything runs where the database enforces them, kept where it stores any value (SQLite).
struct TooWideCase {
    const char* name;
    std::string code, newVersion;
    int commands;
    const char* message; // UTF-8
};

const TooWideCase kTooWide[] = {
    {"ACodeOfElevenCharacters", "ABCDEFGHIJK", "1.0", 1,
     "Значение Code скрипта ('ABCDEFGHIJK') длиннее 10 символов, допустимых в таблице R_VERSION."},
    {"ANewVersionOfElevenCharacters", "ABC", "1.0.0.0.0.1", 1,
     "Значение NewVersion скрипта ('1.0.0.0.0.1') длиннее 10 символов, допустимых в таблице "
     "R_VERSION."},
    {"MoreCommandsThanTheCounterHolds", "ABC", "1.0", 32768,
     "Скрипт содержит 32768 команд, а счётчик таблицы R_VERSION вмещает не более 32767."},
};

class VersionTableWidth : public PluginFixture {};

TEST_P(VersionTableWidth, HeaderValuesBeyondItAreRefusedWhereTheDatabaseEnforcesIt) {
    for (const TooWideCase& c : kTooWide) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> commands(static_cast<std::size_t>(c.commands), "select 1");
        const std::string file = writeScript(scriptWith(c.code, "", c.newVersion, commands));
        reload();
        ASSERT_EQ(open(file), 1) << api->lastMessage();
        const CheckResult r = check(true);
        if (GetParam() == Driver::PostgreSQL) {
            EXPECT_EQ(r.result, -3);
            EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_SCRIPT);
            EXPECT_EQ(r.message, ansi(c.message));
            EXPECT_EQ(firstValue(db->query("SELECT count(*) FROM pg_tables WHERE tablename = "
                                           "'r_version'")),
                      "0")
                << "nothing is created";
        } else {
            EXPECT_EQ(r.result, 0) << r.message;
            db->dropTables({"R_VERSION"});
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, VersionTableWidth,
                         ::testing::Values(Driver::SQLite, Driver::PostgreSQL), driverName);

} // namespace
} // namespace vt::plugin::testkit
