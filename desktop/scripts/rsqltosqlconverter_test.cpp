// Tests of writing rSQL scripts back as SQL.
#include "desktop/scripts/rsqltosqlconverter.h"

#include <gtest/gtest.h>

#include "desktop/errors/evtutilserror.h"
#include "desktop/scripts/scriptkinds.h"
#include "script/rsqlscript.h"
#include "script/rsqlwriter.h"
#include "script/scramble.h"
#include "script/testfiles.h"

namespace vt::desktop {
namespace {

using script::testing::readBytes;
using script::testing::TempDir;
using script::testing::writeBytes;

ScriptKind exampleKind() {
    ScriptKind kind;
    kind.name = "Example";
    kind.delimiter = ";";
    kind.command = "SET TERM";
    kind.ignoreCommand = "CONNECT;COMMIT";
    kind.commentBegin = "/*";
    kind.commentEnd = "*/";
    return kind;
}

class RsqlToSqlConverterTest : public ::testing::Test {
protected:
    void writeScript(const std::vector<std::vector<std::string>>& commands,
                     const std::string& password = {}, bool crypt = false) {
        script::RsqlContent content;
        content.commands = commands;
        content.crypt = crypt;
        content.password = password;
        script::writeRsqlScript(m_rsql, content);
    }

    std::string convert(const ScriptKind& kind, std::string_view term,
                        std::string_view password = {}) {
        EXPECT_EQ(RsqlToSqlConverter(kind).convert(m_rsql, m_sql, term, password),
                  RsqlToSqlConverter::Result::Done);
        return readBytes(m_sql);
    }

    TempDir m_dir;
    std::string m_rsql = m_dir.file("update.rsql");
    std::string m_sql = m_dir.file("update.sql");
};

TEST_F(RsqlToSqlConverterTest, TheKindsOwnTerminatorFollowsEachCommandWithoutSettingLines) {
    writeScript({{"CREATE TABLE A (", "  X INT)"}, {"SELECT 1"}});
    EXPECT_EQ(convert(exampleKind(), ";"),
              "CREATE TABLE A (\r\n  X INT)\r\n;\r\nSELECT 1\r\n;\r\n");
}

TEST_F(RsqlToSqlConverterTest, AnotherTerminatorIsSetAroundTheScript) {
    writeScript({{"SELECT 1"}});
    EXPECT_EQ(convert(exampleKind(), " ^ "), "SET TERM ^ ;\r\nSELECT 1\r\n^\r\nSET TERM ; ^\r\n");
}

TEST_F(RsqlToSqlConverterTest, AKindWithoutSettingStatementWritesNoSettingLines) {
    writeScript({{"SELECT 1"}});
    ScriptKind kind = exampleKind();
    kind.command.clear();
    EXPECT_EQ(convert(kind, "GO"), "SELECT 1\r\nGO\r\n");
}

TEST_F(RsqlToSqlConverterTest, TheSettingStatementIsWrittenAsStored) {
    writeScript({});
    ScriptKind kind = exampleKind();
    kind.command = "set term";
    EXPECT_EQ(convert(kind, "^"), "set term ^ ;\r\nset term ; ^\r\n");
}

TEST_F(RsqlToSqlConverterTest, TheReconnectCommandBecomesACommentWithoutTerminator) {
    writeScript({{"SELECT 1"}, {"$$$RECONNECT"}, {"$$$reconnect"}});
    EXPECT_EQ(convert(exampleKind(), ";"),
              "SELECT 1\r\n;\r\n/*RECONNECT*/\r\n$$$reconnect\r\n;\r\n");
}

TEST_F(RsqlToSqlConverterTest, AMissingCommandSectionGivesATerminatorLineOnly) {
    writeBytes(m_rsql, "[DataBase]\r\nCommands=3\r\n[Command1]\r\nL1=%a\r\n"
                       "[Command3]\r\nL1=%c\r\n");
    EXPECT_EQ(convert(exampleKind(), ";"), "a\r\n;\r\n;\r\nc\r\n;\r\n");
}

TEST_F(RsqlToSqlConverterTest, CommandLinesAreReadAsTheRunnerReadsThem) {
    // Entries in file order, text after the first '%', an entry without '%' whole.
    writeBytes(m_rsql, "[DataBase]\r\nCommands=1\r\n[Command1]\r\nL2=%second\r\n"
                       "L1=%first %x\r\nNote=plain\r\nL3=%\r\n");
    EXPECT_EQ(convert(exampleKind(), ";"), "second\r\nfirst %x\r\nNote=plain\r\n\r\n;\r\n");
}

TEST_F(RsqlToSqlConverterTest, AScrambledScriptIsWrittenBackWithItsPassword) {
    // Lines whose scrambled form starts or ends with a blank or control byte come back whole.
    writeScript({{"\tSELECT '\xff'", "\xffz", "FROM A "}, {"$$$RECONNECT"}}, "secret", true);
    EXPECT_EQ(convert(exampleKind(), ";", "secret"),
              "\tSELECT '\xff'\r\n\xffz\r\nFROM A \r\n;\r\n/*RECONNECT*/\r\n");
}

struct PasswordCase {
    const char* name;
    bool crypt;
    const char* scriptPassword;
    const char* typed;
    bool matches;
};

void PrintTo(const PasswordCase& c, std::ostream* os) {
    *os << c.name;
}

class PasswordTest : public RsqlToSqlConverterTest,
                     public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordTest, OnlyTheRightPasswordUnlocksAScrambledScript) {
    const PasswordCase& c = GetParam();
    writeScript({{"SELECT 1"}}, c.scriptPassword, c.crypt);
    writeBytes(m_sql, "kept");
    const auto result = RsqlToSqlConverter(exampleKind()).convert(m_rsql, m_sql, ";", c.typed);
    if (c.matches) {
        EXPECT_EQ(result, RsqlToSqlConverter::Result::Done);
        EXPECT_EQ(readBytes(m_sql), "SELECT 1\r\n;\r\n");
    } else {
        EXPECT_EQ(result, RsqlToSqlConverter::Result::WrongPassword);
        EXPECT_EQ(readBytes(m_sql), "kept");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordTest,
    ::testing::Values(PasswordCase{"TheRightPasswordUnlocks", true, "secret", "secret", true},
                      PasswordCase{"AWrongPasswordIsRefused", true, "secret", "Secret", false},
                      PasswordCase{"AnEmptyPasswordIsRefusedForAKey", true, "secret", "", false},
                      PasswordCase{"AnEmptyKeyTakesAnEmptyPassword", true, "", "", true},
                      PasswordCase{"APlainScriptNeedsNoPassword", false, "", "any", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RsqlToSqlConverterTest, AMissingScriptIsReportedAndNothingIsWritten) {
    try {
        RsqlToSqlConverter(exampleKind()).convert(m_rsql, m_sql, ";", "");
        FAIL() << "no exception";
    } catch (const EVTUtilsError& e) {
        EXPECT_STREQ(e.what(), ("Файл " + m_rsql + " не существует.").c_str());
        EXPECT_STREQ(e.className(), "EVTUtilsError");
    }
    EXPECT_EQ(script::testing::listFolder(m_dir.path()), "");
}

TEST_F(RsqlToSqlConverterTest, ProgressStartsAtZeroAdvancesPerCommandAndReturnsToZero) {
    writeScript({{"a"}, {"b"}});
    RsqlToSqlConverter converter(exampleKind());
    std::vector<std::pair<std::size_t, std::size_t>> calls;
    converter.setProgress([&](std::size_t pos, std::size_t max) { calls.emplace_back(pos, max); });
    converter.convert(m_rsql, m_sql, ";", "");
    EXPECT_EQ(calls,
              (std::vector<std::pair<std::size_t, std::size_t>>{{0, 2}, {1, 2}, {2, 2}, {0, 2}}));
}

struct LayoutCase {
    const char* name;
    std::string rsql; // after a [Tools] section
    bool crypt;
};

// Scripts laid out otherwise than the converter writes them are read whole; either way the SQL
// written is what the runner's reader gives.
const LayoutCase kLayouts[] = {
    {"TheConvertersLayout",
     "[DataBase]\r\nCommands=3\r\n[Command1]\r\nL1=%a\r\nL2=%  b  \r\n[Command3]\r\nl1=%c\r\n",
     false},
    {"TheCountAfterTheCommands",
     "[Command1]\r\nL1=%a\r\n[command2]\r\nL1=%b\r\n[Command3]\r\nL1=%c\r\n"
     "[DataBase]\r\nCommands=2\r\n",
     false},
    {"SectionsOutOfOrder",
     "[DataBase]\r\nCommands=2\r\n[Command2]\r\nL1=%b\r\n[Command1]\r\nL1=%a\r\n", false},
    {"ARepeatedSection",
     "[DataBase]\r\nCommands=1\r\n[Command1]\r\nL1=%a\r\n[Command1]\r\nL1=%x\r\n", false},
    {"KeysOutOfOrderAndWithoutPercent",
     "[DataBase]\r\nCommands=1\r\n[Command1]\r\nL2=%b\r\nL1=%a\r\n; note\r\nL3=c\r\n", false},
    {"ALeadingZeroIsAnotherSection",
     "[DataBase]\r\nCommands=1\r\n[Command01]\r\nL1=%x\r\n[Command1]\r\nL1=%a\r\n", false},
    {"AScrambledScript",
     "[DataBase]\r\nCommands=1\r\n[Command1]\r\nL1=%" + script::scrambleCommand(" x ") +
         "\r\nL2=" + script::scrambleCommand("y") + "\r\n",
     true},
};

class RsqlLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(RsqlLayouts, AreWrittenBackAsTheRunnerReadsThem) {
    const LayoutCase& c = GetParam();
    TempDir dir;
    const std::string rsql = dir.file("s.rsql");
    const std::string sql = dir.file("s.sql");
    writeBytes(rsql,
               std::string("[Tools]\r\nCrypt=") + (c.crypt ? "1\r\nKey=\r\n" : "0\r\n") + c.rsql);
    const RsqlToSqlConverter converter(exampleKind());
    ASSERT_EQ(converter.convert(rsql, sql, "^", ""), RsqlToSqlConverter::Result::Done);
    const script::RsqlScript script(rsql);
    EXPECT_EQ(readBytes(sql), converter.sqlText(script, "^"));
    EXPECT_EQ(script::testing::listFolder(dir.path()), "s.rsql;s.sql;");
}

INSTANTIATE_TEST_SUITE_P(Layouts, RsqlLayouts, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertToSqlEnable, NeedsBothFilesAndAKind) {
    EXPECT_TRUE(canConvertToSql("a.rsql", "a.sql", true));
    EXPECT_FALSE(canConvertToSql(" ", "a.sql", true));
    EXPECT_FALSE(canConvertToSql("a.rsql", "", true));
    EXPECT_FALSE(canConvertToSql("a.rsql", "a.sql", false));
}

} // namespace
} // namespace vt::desktop
