// Tests of the script kinds kept in sqltools.ini.
#include "desktop/scripts/scriptkinds.h"

#include <gtest/gtest.h>

#include "platform/exception.h"
#include "script/inifile.h"
#include "script/testfiles.h"

namespace vt::desktop {
namespace {

using script::IniFile;
using script::testing::readBytes;
using script::testing::TempDir;
using script::testing::writeBytes;

class ScriptKindsTest : public ::testing::Test {
protected:
    void write(std::string_view text) { writeBytes(m_path, text); }
    std::string text() const { return readBytes(m_path); }

    TempDir m_dir;
    std::string m_path = m_dir.file("sqltools.ini");
};

ScriptKind kindNamed(std::string name, bool useDefault) {
    ScriptKind kind;
    kind.name = std::move(name);
    kind.useDefault = useDefault;
    kind.delimiter = ";";
    kind.command = "SET TERM";
    kind.ignoreCommand = "CONNECT;COMMIT";
    kind.userName = " sysdba ";
    kind.defaultPath = "/srv/sql";
    kind.commentBegin = "/*";
    kind.commentEnd = "*/";
    kind.dbCode = "SHOP";
    return kind;
}

TEST_F(ScriptKindsTest, AMissingFileHasNoKindsAndNoDefault) {
    IniFile ini(m_path);
    ScriptKinds kinds(ini);
    EXPECT_TRUE(kinds.names().empty());
    EXPECT_EQ(kinds.defaultKindName(), std::nullopt);
    EXPECT_EQ(kinds.find("Any"), std::nullopt);
}

TEST_F(ScriptKindsTest, KindNamesDifferingInCyrillicLetterCaseAreOneKind) {
    write("[\xCE\xF0\xE0\xEA\xEB]\r\nDelimeter=;\r\n"); // "Оракл" in CP1251
    IniFile ini(m_path);
    ScriptKinds kinds(ini);
    ASSERT_TRUE(kinds.find("\xCE\xD0\xC0\xCA\xCB").has_value());                 // "ОРАКЛ"
    EXPECT_EQ(kinds.find("\xEE\xF0\xE0\xEA\xEB")->name, "\xCE\xF0\xE0\xEA\xEB"); // "оракл"
    ScriptKind kind = kindNamed("\xCE\xD0\xC0\xCA\xCB", false);
    kind.delimiter = "^";
    kinds.save(kind);
    EXPECT_EQ(kinds.names(), std::vector<std::string>{"\xCE\xF0\xE0\xEA\xEB"});
    EXPECT_EQ(kinds.load("\xCE\xF0\xE0\xEA\xEB").delimiter, "^");
}

TEST_F(ScriptKindsTest, TheDialectIsWrittenOnlyWhenSetAndRemovedWhenCleared) {
    IniFile ini(m_path);
    ScriptKinds kinds(ini);
    ScriptKind kind = kindNamed("Lite", false);
    kinds.save(kind);
    EXPECT_EQ(text().find("Dialect"), std::string::npos);
    kind.dialect = "SQLite";
    kinds.save(kind);
    EXPECT_EQ(kinds.load("Lite").dialect, "SQLite");
    kind.dialect.clear();
    kinds.save(kind);
    EXPECT_EQ(text().find("Dialect"), std::string::npos);
}

TEST_F(ScriptKindsTest, KindsAreListedInFileOrder) {
    write("[Zeta]\r\nDelimeter=;\r\n[alpha]\r\n[Mid]\r\n");
    IniFile ini(m_path);
    EXPECT_EQ(ScriptKinds(ini).names(), (std::vector<std::string>{"Zeta", "alpha", "Mid"}));
}

TEST_F(ScriptKindsTest, LoadingReadsEveryKeyAndMissingKeysAsEmpty) {
    write("[Firebird]\r\nUseDefault=1\r\nDelimeter=;\r\nCommand=SET TERM\r\n"
          "Ignore Command=CONNECT;COMMIT\r\nUserName=SYSDBA\r\nDefault Path=/srv/sql\r\n"
          "CommentBegin=/*\r\nCommentEnd=*/\r\nDBCode=SHOP\r\n[Bare]\r\n");
    IniFile ini(m_path);
    ScriptKinds kinds(ini);
    const ScriptKind full = kinds.load("Firebird");
    EXPECT_EQ(full.name, "Firebird");
    EXPECT_TRUE(full.useDefault);
    EXPECT_EQ(full.delimiter, ";");
    EXPECT_EQ(full.command, "SET TERM");
    EXPECT_EQ(full.ignoreCommand, "CONNECT;COMMIT");
    EXPECT_EQ(full.userName, "SYSDBA");
    EXPECT_EQ(full.defaultPath, "/srv/sql");
    EXPECT_EQ(full.commentBegin, "/*");
    EXPECT_EQ(full.commentEnd, "*/");
    EXPECT_EQ(full.dbCode, "SHOP");
    const ScriptKind bare = kinds.load("Bare");
    EXPECT_FALSE(bare.useDefault);
    EXPECT_EQ(bare.delimiter, "");
    EXPECT_EQ(bare.commentEnd, "");
}

TEST_F(ScriptKindsTest, FindingMatchesWithoutRegardToCaseAndKeepsTheFilesSpelling) {
    write("[Firebird]\r\nDelimeter=;\r\n");
    IniFile ini(m_path);
    const std::optional<ScriptKind> kind = ScriptKinds(ini).find("FIREBIRD");
    ASSERT_TRUE(kind.has_value());
    EXPECT_EQ(kind->name, "Firebird");
    EXPECT_EQ(kind->delimiter, ";");
}

TEST_F(ScriptKindsTest, SavingANewKindWritesTheKeysInTheirOrderValuesAsTyped) {
    IniFile ini(m_path);
    ScriptKinds(ini).save(kindNamed("Firebird", false));
    EXPECT_EQ(text(), "[Firebird]\r\nUseDefault=0\r\nDelimeter=;\r\nCommand=SET TERM\r\n"
                      "Ignore Command=CONNECT;COMMIT\r\nUserName= sysdba \r\n"
                      "Default Path=/srv/sql\r\nCommentBegin=/*\r\nCommentEnd=*/\r\n"
                      "DBCode=SHOP\r\n");
}

TEST_F(ScriptKindsTest, SavingTheDefaultClearsUseDefaultInEveryOtherKind) {
    write("[A]\r\nUseDefault=1\r\n\r\n[B]\r\nDelimeter=^\r\n\r\n[C]\r\nUseDefault=1\r\n");
    IniFile ini(m_path);
    ScriptKinds kinds(ini);
    kinds.save(kindNamed("C", true));
    IniFile reread(m_path);
    EXPECT_EQ(reread.readString("A", "UseDefault"), "0");
    EXPECT_EQ(reread.readString("B", "UseDefault"), "0");
    EXPECT_EQ(reread.readString("C", "UseDefault"), "1");
    EXPECT_EQ(ScriptKinds(reread).defaultKindName(), "C");
}

TEST_F(ScriptKindsTest, SavingWithoutDefaultWritesZeroForThisKindOnly) {
    write("[A]\r\nUseDefault=1\r\n\r\n[B]\r\nDelimeter=^\r\n");
    IniFile ini(m_path);
    ScriptKinds(ini).save(kindNamed("B", false));
    IniFile reread(m_path);
    EXPECT_EQ(reread.readString("A", "UseDefault"), "1");
    EXPECT_EQ(reread.readString("B", "UseDefault"), "0");
    EXPECT_EQ(ScriptKinds(reread).defaultKindName(), "A");
}

TEST_F(ScriptKindsTest, ANameDifferingOnlyInCaseIsTheSameKind) {
    write("[Firebird]\r\nDelimeter=^\r\n");
    IniFile ini(m_path);
    ScriptKinds kinds(ini);
    kinds.save(kindNamed("FIREBIRD", false));
    EXPECT_EQ(kinds.names(), (std::vector<std::string>{"Firebird"}));
    EXPECT_EQ(kinds.load("Firebird").delimiter, ";");
}

TEST_F(ScriptKindsTest, SavingUnderAnotherNameKeepsTheOldKind) {
    IniFile ini(m_path);
    ScriptKinds kinds(ini);
    kinds.save(kindNamed("Old", false));
    ScriptKind copy = kinds.load("Old");
    copy.name = "New";
    copy.delimiter = "^";
    kinds.save(copy);
    EXPECT_EQ(kinds.names(), (std::vector<std::string>{"Old", "New"}));
    EXPECT_EQ(kinds.load("Old").delimiter, ";");
    EXPECT_EQ(kinds.load("New").delimiter, "^");
}

TEST_F(ScriptKindsTest, ANameThatCannotBeASectionChangesNothing) {
    write("[A]\r\nUseDefault=1\r\n");
    IniFile ini(m_path);
    ScriptKinds kinds(ini);
    try {
        kinds.save(kindNamed("X]Y", true));
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_TRUE(
            std::string(e.what()).ends_with(": a section name cannot hold ']' or a line break"))
            << e.what();
    }
    ScriptKind broken = kindNamed("B", true);
    broken.dbCode = "A\nB";
    EXPECT_THROW(kinds.save(broken), EConvertError);
    EXPECT_EQ(text(), "[A]\r\nUseDefault=1\r\n");
    EXPECT_EQ(kinds.defaultKindName(), "A");
    // The file object is usable and writes at once again.
    kinds.save(kindNamed("C", false));
    EXPECT_EQ(IniFile(m_path).readString("C", "Delimeter"), ";");
}

TEST_F(ScriptKindsTest, RemovingAKindErasesItsSection) {
    write("[A]\r\nDelimeter=;\r\n\r\n[B]\r\nDelimeter=^\r\n");
    IniFile ini(m_path);
    ScriptKinds kinds(ini);
    kinds.remove("a");
    EXPECT_EQ(kinds.names(), (std::vector<std::string>{"B"}));
    EXPECT_FALSE(IniFile(m_path).hasSection("A"));
}

TEST_F(ScriptKindsTest, TheDefaultIsTheFirstKindWhoseUseDefaultReadsOne) {
    write("[A]\r\nUseDefault=0\r\n[B]\r\nUseDefault=yes\r\n[C]\r\nUseDefault=1\r\n"
          "[D]\r\nUseDefault=1\r\n");
    IniFile ini(m_path);
    EXPECT_EQ(ScriptKinds(ini).defaultKindName(), "C");
}

TEST_F(ScriptKindsTest, WithoutUseDefaultOneThereIsNoDefault) {
    write("[A]\r\nUseDefault=2\r\n[B]\r\n");
    IniFile ini(m_path);
    EXPECT_EQ(ScriptKinds(ini).defaultKindName(), std::nullopt);
}

struct SaveRuleCase {
    const char* name;
    const char* kindName;
    const char* delimiter;
    const char* commentBegin;
    bool enabled;
};

void PrintTo(const SaveRuleCase& c, std::ostream* os) {
    *os << c.name;
}

class SaveRuleTest : public ::testing::TestWithParam<SaveRuleCase> {};

TEST_P(SaveRuleTest, EnablesSaveExactlyForNameTerminatorAndCommentMarker) {
    const SaveRuleCase& c = GetParam();
    EXPECT_EQ(ScriptKinds::canSave(c.kindName, c.delimiter, c.commentBegin), c.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveRuleTest,
    ::testing::Values(
        SaveRuleCase{"AllThreeGivenEnableSave", "Firebird", ";", "/*", true},
        SaveRuleCase{"ABlankNameDisablesSave", " \t", ";", "/*", false},
        SaveRuleCase{"ATerminatorOfBlanksOnlyDisablesSave", "Firebird", "   ", "/*", false},
        SaveRuleCase{"AMissingCommentMarkerDisablesSave", "Firebird", ";", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::desktop
