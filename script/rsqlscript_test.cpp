// Tests of reading rSQL scripts: header rules, format version, command texts, bad input.
#include "script/rsqlscript.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "platform/codepage.h"
#include "script/scramble.h"
#include "script/testfiles.h"

using namespace vt::script;
using namespace vt::script::testing;

namespace {

// Opens a script made of the given text.
struct ScriptFile {
    TempDir dir;
    std::unique_ptr<RsqlScript> script;
    explicit ScriptFile(std::string_view text) {
        writeBytes(dir.file("s.rsql"), text);
        script = std::make_unique<RsqlScript>(dir.file("s.rsql"));
    }
    RsqlScript* operator->() const { return script.get(); }
};

struct HeaderCase {
    const char* name;
    std::string text;
    bool crypt;
    const char* code;
    const char* oldVersion;
    const char* newVersion;
    long commands;
};

const std::string kScrambledAbc = scrambleHeader("ABC");

const HeaderCase kHeaderCases[] = {
    {"AFileWithoutToolsIsPlainForAnyDatabase", "[DataBase]\r\nCommands=2\r\n", false, "EVERYTHING",
     "", "", 2},
    {"APlainEmptyCodeStaysEmpty", "[DataBase]\r\nCode=\r\nOldVersion= 1.0 \r\n", false, "", "1.0",
     "", 0},
    {"APlainScriptReadsValuesTrimmed",
     "[Tools]\r\nCrypt=0\r\n[DataBase]\r\nCode= SHOP \r\n"
     "NewVersion=2.0\r\nCommands= 7 \r\n",
     false, "SHOP", "", "2.0", 7},
    {"CryptOtherThanOneIsPlain", "[Tools]\r\nCrypt=yes\r\n[DataBase]\r\nCode=" + kScrambledAbc,
     false, kScrambledAbc.c_str(), "", "", 0},
    {"AScrambledScriptWithoutCodeIsForAnyDatabase",
     "[Tools]\r\nCrypt=1\r\n[DataBase]\r\n"
     "NewVersion=" +
         scrambleHeader("2.0") + "\r\n",
     true, "EVERYTHING", "", "2.0", 0},
    {"AScrambledEmptyCodeIsForAnyDatabase", "[Tools]\r\nCrypt=1\r\n[DataBase]\r\nCode=\r\n", true,
     "EVERYTHING", "", "", 0},
    {"AScrambledScriptUnscramblesItsHeader",
     "[tools]\r\ncrypt= 1\r\n[DATABASE]\r\nCode=" + kScrambledAbc +
         "\r\nOldVersion=" + scrambleHeader("1.0") + "\r\nCommands=x\r\n",
     true, "ABC", "1.0", "", 0},
    // The value "X!" scrambles to " V": its first byte is a blank that must not be trimmed.
    {"AScrambledValueIsTakenAsStoredWithItsBlanks",
     "[Tools]\r\nCrypt=1\r\n[DataBase]\r\nCode= V\r\nNewVersion=" + scrambleHeader("\tv") + "\r\n",
     true, "X!", "", "\tv", 0},
};

class HeaderTable : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTable, ReadsTheHeaderByTheFormatRules) {
    const HeaderCase& c = GetParam();
    ScriptFile s(c.text);
    EXPECT_EQ(s->header().crypt, c.crypt);
    EXPECT_EQ(s->header().code, c.code);
    EXPECT_EQ(s->header().oldVersion, c.oldVersion);
    EXPECT_EQ(s->header().newVersion, c.newVersion);
    EXPECT_EQ(s->header().commands, c.commands);
}

INSTANTIATE_TEST_SUITE_P(Header, HeaderTable, ::testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RsqlScriptTest, AMissingFileReadsAsAnEmptyScript) {
    TempDir dir;
    RsqlScript s(dir.file("none.rsql"));
    EXPECT_EQ(s.header().formatVersion, "0");
    EXPECT_EQ(s.formatVersionNumber(), 0.0);
    EXPECT_FALSE(s.header().crypt);
    EXPECT_EQ(s.header().code, "EVERYTHING");
    EXPECT_EQ(s.header().commands, 0);
    EXPECT_EQ(s.commandText(1), "");
    EXPECT_TRUE(s.comments().empty());
}

TEST(RsqlScriptTest, HeaderTextsAreKeptAsStored) {
    ScriptFile s("[Tools]\r\nVersion= 1.0 \r\nKey= k \r\n[DataBase]\r\nCommands=3x\r\n"
                 "[Connect]\r\nUser= sysdba \r\n[Comment]\r\nLine0= first \r\nLine1=\r\n"
                 "Line2=third\r\n");
    EXPECT_EQ(s->header().formatVersion, "1.0");
    EXPECT_EQ(s->header().key, " k ");
    EXPECT_EQ(s->header().commands, 0);
    EXPECT_EQ(s->header().commandsText, "3x");
    EXPECT_EQ(s->header().user, "sysdba");
    EXPECT_EQ(s->comments(), (std::vector<std::string>{"first", "", "third"}));
}

struct VersionCase {
    const char* name;
    const char* text;
    double value; // NAN: refused as no number
};

const VersionCase kVersionCases[] = {
    {"TheHighestVersion", "1.2", 1.2},
    {"AHigherVersion", "1.21", 1.21},
    {"AWholeNumber", "1", 1.0},
    {"TheDefault", "0", 0.0},
    {"TrailingZero", "1.0", 1.0},
    {"WithAnExponent", "12E-1", 1.2},
    {"ACommaIsNoSeparator", "1,2", NAN},
    {"Empty", "", NAN},
    {"Word", "abc", NAN},
    {"TwoPoints", "1.2.3", NAN},
    {"Infinity", "inf", NAN},
    {"OutOfRange", "1e999", NAN},
};

class VersionTable : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTable, ConvertsWithAPointWhateverTheLocale) {
    const VersionCase& c = GetParam();
    // A locale whose separator is a comma must change nothing, when the system has one.
    const char* locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (locale == nullptr)
        locale = std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");
    if (std::isnan(c.value)) {
        try {
            parseFormatVersion(c.text);
            ADD_FAILURE() << "no error";
        } catch (const FormatVersionError& e) {
            EXPECT_EQ(e.text(), c.text);
        }
    } else {
        EXPECT_EQ(parseFormatVersion(c.text), c.value);
        EXPECT_EQ(parseFormatVersion(c.text) > kMaxFormatVersion, c.value > 1.2);
    }
    std::setlocale(LC_NUMERIC, "C");
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionTable, ::testing::ValuesIn(kVersionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RsqlScriptTest, AVersionThatIsNoNumberGivesTheConversionText) {
    vt::platform::setAnsiCodePage(vt::platform::AnsiCodePage::Cp1251);
    ScriptFile s("[Tools]\r\nVersion=1,2\r\n");
    try {
        s->formatVersionNumber();
        FAIL() << "no error";
    } catch (const FormatVersionError& e) {
        EXPECT_EQ(std::string(e.what()),
                  vt::platform::utf8ToCp1251("'1,2' - неверное дробное значение"));
    }
    EXPECT_EQ(formatShortestDecimal(1.3), "1.3");
    EXPECT_EQ(formatShortestDecimal(2.0), "2");
    EXPECT_EQ(formatShortestDecimal(1.21), "1.21");
}

struct CommandCase {
    const char* name;
    std::string section; // the text of section [Command1]
    bool crypt;
    std::string expected;
};

const CommandCase kCommandCases[] = {
    {"LinesFollowTheirPercentSigns", "L1=%select 1\r\nL2=%from x\r\n", false,
     "select 1\r\nfrom x\r\n"},
    {"AnEntryWithoutPercentGivesItsWholeText", "L1=abc\r\n", false, "L1=abc\r\n"},
    {"LeadingBlanksSurviveBehindThePercent", "L1=%  a  \r\n", false, "  a\r\n"},
    {"OnlyTheFirstPercentCounts", "L1=a%b%c\r\n", false, "b%c\r\n"},
    {"APercentInTheKeyCounts", "L%1=a%b\r\n", false, "1=a%b\r\n"},
    {"EntriesComeInFileOrderNotByName", "L2=%second\r\nL1=%first\r\n", false,
     "second\r\nfirst\r\n"},
    {"AnEmptyLineIsKept", "L1=%a\r\nL2=%\r\nL3=%b\r\n", false, "a\r\n\r\nb\r\n"},
    {"ScrambledLinesAreUnscrambled",
     "L1=%" + scrambleCommand("select 1") + "\r\nL2=%" + scrambleCommand("  from x") + "\r\n", true,
     "select 1\r\n  from x\r\n"},
    // An even line starting with 0xFF scrambles to a text ending in a blank.
    {"AScrambledLineEndingInABlankIsTakenAsStored", "L1=%" + scrambleCommand("\xFFz") + "\r\n",
     true, "\xFFz\r\n"},
    {"AScrambledLineStartingWithATabIsTakenAsStored", "L1=%" + scrambleCommand("\tx") + "\r\n",
     true, "\tx\r\n"},
    {"ScrambledEntriesWithoutPercentAreUnscrambledWhole", "L1=" + scrambleCommand("L1=") + "\r\n",
     true, unscrambleCommand("L1=" + scrambleCommand("L1=")) + "\r\n"},
};

class CommandTable : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandTable, BuildsTheCommandText) {
    const CommandCase& c = GetParam();
    ScriptFile s(std::string("[Tools]\r\nCrypt=") + (c.crypt ? "1" : "0") + "\r\n[Command1]\r\n" +
                 c.section);
    EXPECT_EQ(s->commandText(1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandTable, ::testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RsqlScriptTest, AMissingCommandSectionGivesAnEmptyText) {
    ScriptFile s("[DataBase]\r\nCommands=3\r\n[Command1]\r\nL1=%a\r\n[Command3]\r\nL1=%c\r\n"
                 "[Command4]\r\n");
    EXPECT_EQ(s->commandText(1), "a\r\n");
    EXPECT_EQ(s->commandText(2), "");
    EXPECT_EQ(s->commandText(3), "c\r\n");
    EXPECT_EQ(s->commandText(4), "");
    EXPECT_EQ(s->commandText(0), "");
    EXPECT_EQ(s->commandText(-1), "");
    EXPECT_EQ(s->commandLines(3), std::vector<std::string>{"c"});
}

TEST(RsqlScriptTest, ACommandLineIsReadUpTo2046Characters) {
    const std::string line(3000, 'q');
    ScriptFile s("[Command1]\r\nL1=%" + line + "\r\n");
    EXPECT_EQ(s->commandText(1), line.substr(0, 2046) + "\r\n");
}

TEST(RsqlScriptTest, TheScriptIsReadOnceWhenOpened) {
    TempDir dir;
    writeBytes(dir.file("s.rsql"), "[Command1]\r\nL1=%one\r\n");
    RsqlScript s(dir.file("s.rsql"));
    writeBytes(dir.file("s.rsql"), "[Command1]\r\nL1=%two\r\n");
    EXPECT_EQ(s.commandText(1), "one\r\n");
}

struct ReconnectCase {
    const char* text;
    bool reconnect;
};

TEST(RsqlScriptTest, RecognisesTheReconnectCommand) {
    const ReconnectCase cases[] = {
        {"$$$RECONNECT\r\n", true},       {"$$$reConnect\r\n", true}, {"$$$RECONNECT", false},
        {"$$$RECONNECT\r\nx\r\n", false}, {"$$RECONNECT\r\n", false}, {"", false},
    };
    for (const ReconnectCase& c : cases)
        EXPECT_EQ(isReconnectCommand(c.text), c.reconnect) << c.text;
    ScriptFile s("[Command1]\r\nL1=%$$$reconnect\r\n");
    EXPECT_TRUE(isReconnectCommand(s->commandText(1)));
}

TEST(RsqlScriptTest, BadInputGivesDefaultsOrAClearError) {
    std::string junk;
    for (int i = 0; i < 100000; ++i)
        junk += static_cast<char>((i * 2654435761u) >> 24);
    ScriptFile s(junk + "\r[Tools\rCrypt=1\r[DataBase\rCode\r[Command1\rL1=%" +
                 std::string(100000, '\x01') + "\r");
    EXPECT_TRUE(s->header().crypt);
    EXPECT_EQ(s->header().code, "EVERYTHING");
    EXPECT_EQ(s->commandText(1).size(), 2046u + 2u);

    TempDir dir;
    std::filesystem::create_directory(dir.file("d.rsql"));
    try {
        RsqlScript folder(dir.file("d.rsql"));
        FAIL() << "no error";
    } catch (const IniError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot read the file \"" + dir.file("d.rsql") + "\": Is a directory");
    }
}

} // namespace
