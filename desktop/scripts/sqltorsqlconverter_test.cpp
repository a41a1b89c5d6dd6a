// Tests of converting SQL files into rSQL scripts.
#include "desktop/scripts/sqltorsqlconverter.h"

#include <gtest/gtest.h>

#include <fstream>

#include "desktop/errors/evtutilserror.h"
#include "desktop/scripts/commandsink.h"
#include "desktop/scripts/rsqltosqlconverter.h"
#include "desktop/scripts/scriptkinds.h"
#include "platform/exception.h"
#include "script/inifile.h"
#include "script/linereader.h"
#include "script/rsqlscript.h"
#include "script/scramble.h"
#include "script/testfiles.h"

namespace vt::desktop {
namespace {

using script::testing::readBytes;
using script::testing::TempDir;
using script::testing::writeBytes;

SplitSettings exampleSettings() {
    ScriptKind kind;
    kind.delimiter = ";";
    kind.command = "SET TERM";
    kind.ignoreCommand = "CONNECT;COMMIT";
    kind.commentBegin = "/*";
    kind.commentEnd = "*/";
    return SplitSettings::fromKind(kind);
}

constexpr std::string_view kExampleSql = "/* first comment */\r\n"
                                         "CREATE TABLE A (X INT);\r\n"
                                         "COMMIT;\r\n"
                                         "/* RECONNECT */\r\n"
                                         "INSERT INTO A VALUES (1)\r\n";

class SqlToRsqlConverterTest : public ::testing::Test {
protected:
    TempDir m_dir;
    std::string m_sql = m_dir.file("update.sql");
    std::string m_rsql = m_dir.file("update.rsql");
};

TEST_F(SqlToRsqlConverterTest, WritesThePlainScriptInTheConvertersOrder) {
    writeBytes(m_sql, kExampleSql);
    RsqlHeaderValues header;
    header.code = " SHOP ";
    header.oldVersion = "1.0";
    header.newVersion = " ";
    header.user = " admin ";
    header.comments = {"first", "second"};
    EXPECT_EQ(SqlToRsqlConverter(exampleSettings()).convert(m_sql, m_rsql, header), 3u);
    EXPECT_EQ(readBytes(m_rsql), "[Tools]\r\nCrypt=0\r\nVersion=1.2\r\n\r\n"
                                 "[DataBase]\r\nCode=SHOP\r\nOldVersion=1.0\r\nCommands=3\r\n\r\n"
                                 "[Connect]\r\nUser= admin \r\n\r\n"
                                 "[Comment]\r\nLine0=first\r\nLine1=second\r\n\r\n"
                                 "[Command1]\r\nL1=%CREATE TABLE A (X INT)\r\n\r\n"
                                 "[Command2]\r\nL1=%$$$RECONNECT\r\n\r\n"
                                 "[Command3]\r\nL1=%INSERT INTO A VALUES (1)\r\n");
}

TEST_F(SqlToRsqlConverterTest, APasswordScramblesHeaderValuesAndCommandLines) {
    writeBytes(m_sql, "SELECT 1\r\n  FROM A;\r\n");
    RsqlHeaderValues header;
    header.code = "SHOP";
    header.newVersion = "2.0";
    header.user = "admin";
    header.crypt = true;
    header.password = "secret";
    SqlToRsqlConverter(exampleSettings()).convert(m_sql, m_rsql, header);
    script::IniFile ini(m_rsql);
    EXPECT_EQ(ini.readString("Tools", "Crypt"), "1");
    EXPECT_EQ(ini.readString("Tools", "Key"), script::scrambleHeader("secret"));
    EXPECT_EQ(ini.readString("DataBase", "Code"), script::scrambleHeader("SHOP"));
    EXPECT_FALSE(ini.hasKey("DataBase", "OldVersion"));
    EXPECT_EQ(ini.readString("DataBase", "NewVersion"), script::scrambleHeader("2.0"));
    EXPECT_EQ(ini.readString("Connect", "User"), "admin");
    EXPECT_EQ(ini.readRawString("Command1", "L2"), "%" + script::scrambleCommand("  FROM A"));
    const script::RsqlScript script(m_rsql);
    EXPECT_EQ(script.commandText(1), "SELECT 1\r\n  FROM A\r\n");
}

TEST_F(SqlToRsqlConverterTest, AnEmptyFileGivesZeroCommandsAndIsWrittenAllTheSame) {
    writeBytes(m_sql, "");
    EXPECT_EQ(SqlToRsqlConverter(exampleSettings()).convert(m_sql, m_rsql, {}), 0u);
    const script::RsqlScript script(m_rsql);
    EXPECT_EQ(script.header().commandsText, "0");
    EXPECT_FALSE(script.ini().hasKey("Tools", "Key"));
}

TEST_F(SqlToRsqlConverterTest, AMissingSqlFileIsReportedAndNothingIsWritten) {
    try {
        SqlToRsqlConverter(exampleSettings()).convert(m_sql, m_rsql, {});
        FAIL() << "no exception";
    } catch (const EVTUtilsError& e) {
        EXPECT_STREQ(e.what(), ("Файл " + m_sql + " не существует.").c_str());
    }
    EXPECT_EQ(script::testing::listFolder(m_dir.path()), "");
}

TEST_F(SqlToRsqlConverterTest, ALineTheReadersWouldCutOffLeavesTheOldScriptAsItWas) {
    writeBytes(m_rsql, "old");
    writeBytes(m_sql, "SELECT '" + std::string(2040, 'x') + "';\r\n");
    EXPECT_THROW(SqlToRsqlConverter(exampleSettings()).convert(m_sql, m_rsql, {}), EConvertError);
    EXPECT_EQ(readBytes(m_rsql), "old");
    EXPECT_EQ(script::testing::listFolder(m_dir.path()), "update.rsql;update.sql;");
}

// SQL the script cannot hold stops the conversion with its reason; no output file, no temporary
// file and no scratch file remain, whether the count goes first or last.
TEST_F(SqlToRsqlConverterTest, RefusedSqlLeavesNothingBehind) {
    struct Case {
        std::string sql;
        std::string message;
    };
    const Case cases[] = {
        {"SELECT 1;\r\nSELECT 2;\r\nSELECT '" + std::string(1, '\0') + "';\r\n",
         "Строка 3 SQL-скрипта содержит нулевой байт."},
        {"SELECT 1;\r\n" + std::string(SqlToRsqlConverter::kMaxSqlLine + 1, 'x'),
         "Строка 2 SQL-скрипта длиннее 1048576 байт."},
    };
    for (const Case& c : cases) {
        for (const char* code : {"", "SHOP"}) {
            writeBytes(m_sql, c.sql);
            RsqlHeaderValues header;
            header.code = code;
            try {
                SqlToRsqlConverter(exampleSettings()).convert(m_sql, m_rsql, header);
                FAIL() << "no error";
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.what(), c.message);
            }
            EXPECT_EQ(script::testing::listFolder(m_dir.path()), "update.sql;");
        }
    }
}

TEST_F(SqlToRsqlConverterTest, TheLongestLineTheReadersTakeInWholeIsWritten) {
    const std::string line = "SELECT '" + std::string(2037, 'x') + "'"; // 2046 bytes
    writeBytes(m_sql, line + ";\r\n");
    SqlToRsqlConverter(exampleSettings()).convert(m_sql, m_rsql, {});
    EXPECT_EQ(script::RsqlScript(m_rsql).commandLines(1), std::vector<std::string>{line});
}

TEST_F(SqlToRsqlConverterTest, ProgressStartsAtZeroAdvancesPerLineAndReturnsToZero) {
    SqlToRsqlConverter converter(exampleSettings());
    std::vector<std::pair<std::size_t, std::size_t>> calls;
    converter.setProgress([&](std::size_t pos, std::size_t max) { calls.emplace_back(pos, max); });
    converter.split("a;\nb\n\nc;");
    EXPECT_EQ(calls, (std::vector<std::pair<std::size_t, std::size_t>>{
                         {0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}, {0, 4}}));
}

// Hashes the commands handed to it, so that two large scripts can be compared in little memory.
class CommandHash final : public CommandSink {
public:
    void addLine(std::string_view line) override {
        mix(line);
        mix("\n");
    }
    void endCommand() override {
        mix("\f");
        ++m_commands;
    }
    uint64_t hash() const { return m_hash; }
    std::size_t commands() const { return m_commands; }

private:
    void mix(std::string_view text) {
        for (const char c : text)
            m_hash = (m_hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    uint64_t m_hash = 14695981039346656037ull;
    std::size_t m_commands = 0;
};

CommandHash hashCommands(const SplitSettings& settings, const std::string& path) {
    CommandHash hash;
    SqlSplitter splitter(settings, hash);
    script::LineReader reader(path, SqlToRsqlConverter::kMaxSqlLine);
    std::string_view line;
    while (reader.next(line))
        splitter.addLine(line);
    splitter.finish();
    return hash;
}

TEST_F(SqlToRsqlConverterTest, AHundredMegabyteScriptRoundTripsToTheSameCommands) {
    {
        std::ofstream out(m_sql, std::ios::binary);
        std::string chunk;
        for (std::size_t i = 0, size = 0; size < 100u << 20; ++i) {
            const std::string n = std::to_string(i);
            chunk.clear();
            switch (i % 8) {
            case 0:
                chunk = "/* part " + n + " */\r\nCONNECT 'db';\r\n";
                break;
            case 1:
                chunk = "SET TERM ^ ;\r\nCREATE PROCEDURE P" + n + " AS\r\nBEGIN\r\n  X = " + n +
                        ";\r\nEND^\r\nSET TERM ; ^\r\n";
                break;
            case 2:
                chunk = "/* RECONNECT */\r\n";
                break;
            case 3:
                chunk = "UPDATE T\r\n\r\n   SET A = '" + n + "' /* why */\r\n WHERE B = 1;\r\n";
                break;
            default:
                chunk = "INSERT INTO T VALUES (" + n + ", 'text of the row " + n + "');\r\n";
            }
            out << chunk;
            size += chunk.size();
        }
    }
    RsqlHeaderValues header;
    header.code = "SHOP";
    header.newVersion = "2.0";
    const SqlToRsqlConverter converter(exampleSettings());
    const std::size_t commands = converter.convert(m_sql, m_rsql, header);

    ScriptKind kind;
    kind.delimiter = ";";
    kind.command = "SET TERM";
    kind.commentBegin = "/*";
    kind.commentEnd = "*/";
    const std::string back = m_dir.file("back.sql");
    ASSERT_EQ(RsqlToSqlConverter(kind).convert(m_rsql, back, "^", ""),
              RsqlToSqlConverter::Result::Done);

    const CommandHash before = hashCommands(exampleSettings(), m_sql);
    const CommandHash after = hashCommands(exampleSettings(), back);
    EXPECT_EQ(before.commands(), commands);
    EXPECT_EQ(after.commands(), commands);
    EXPECT_EQ(after.hash(), before.hash());
}

struct EnableCase {
    const char* name;
    const char* sqlFile;
    const char* rsqlFile;
    bool kindChosen;
    const char* oldVersion;
    const char* code;
    bool enabled;
};

void PrintTo(const EnableCase& c, std::ostream* os) {
    *os << c.name;
}

class ConvertToRsqlEnableTest : public ::testing::TestWithParam<EnableCase> {};

TEST_P(ConvertToRsqlEnableTest, FollowsTheExecuteRule) {
    const EnableCase& c = GetParam();
    EXPECT_EQ(canConvertToRsql(c.sqlFile, c.rsqlFile, c.kindChosen, c.oldVersion, c.code),
              c.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertToRsqlEnableTest,
    ::testing::Values(
        EnableCase{"FilesAndKindWithoutVersionsEnable", "a.sql", "a.rsql", true, "", "", true},
        EnableCase{"AnOldVersionWithACodeEnables", "a.sql", "a.rsql", true, "1.0", "SHOP", true},
        EnableCase{"AnOldVersionWithoutCodeDisables", "a.sql", "a.rsql", true, "1.0", " ", false},
        EnableCase{"ABlankSqlFileDisables", " ", "a.rsql", true, "", "", false},
        EnableCase{"ABlankRsqlFileDisables", "a.sql", "", true, "", "", false},
        EnableCase{"NoKindDisables", "a.sql", "a.rsql", false, "", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::desktop
