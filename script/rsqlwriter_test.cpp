// Tests of writing rSQL scripts: the converter's layout, round trips, refusals and failures.
#include "script/rsqlwriter.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/exception.h"
#include "script/inifile.h"
#include "script/rsqlscript.h"
#include "script/scramble.h"
#include "script/testfiles.h"

using namespace vt::script;
using namespace vt::script::testing;

namespace {

RsqlContent sampleContent() {
    RsqlContent c;
    c.code = " SHOP ";
    c.oldVersion = "1.0";
    c.newVersion = "1.1";
    c.user = "admin";
    c.comments = {"first comment", "second"};
    c.commands = {{"CREATE TABLE A (X INT)"}, {"INSERT INTO A", "  VALUES (1)"}};
    return c;
}

TEST(RsqlWriterTest, WritesAPlainScriptInTheConvertersLayout) {
    TempDir dir;
    writeRsqlScript(dir.file("s.rsql"), sampleContent());
    EXPECT_EQ(readBytes(dir.file("s.rsql")), "[Tools]\r\nCrypt=0\r\nVersion=1.2\r\n\r\n"
                                             "[DataBase]\r\nCode=SHOP\r\nOldVersion=1.0\r\n"
                                             "NewVersion=1.1\r\nCommands=2\r\n\r\n"
                                             "[Connect]\r\nUser=admin\r\n\r\n"
                                             "[Comment]\r\nLine0=first comment\r\nLine1=second\r\n"
                                             "\r\n[Command1]\r\nL1=%CREATE TABLE A (X INT)\r\n"
                                             "\r\n[Command2]\r\nL1=%INSERT INTO A\r\n"
                                             "L2=%  VALUES (1)\r\n");
}

TEST(RsqlWriterTest, WritesAScrambledScriptWithItsKey) {
    TempDir dir;
    RsqlContent c;
    c.crypt = true;
    c.code = "AB";
    c.user = "u";
    c.commands = {{"abc"}};
    writeRsqlScript(dir.file("s.rsql"), c);
    // Without a password the key is empty; Commands joins the header values in [DataBase].
    EXPECT_EQ(readBytes(dir.file("s.rsql")), "[Tools]\r\nCrypt=1\r\nVersion=1.2\r\nKey=\r\n\r\n"
                                             "[DataBase]\r\nCode=A?\r\nCommands=1\r\n\r\n"
                                             "[Connect]\r\nUser=u\r\n\r\n"
                                             "[Command1]\r\nL1=%\xBC\xBE\xBD\r\n");
}

TEST(RsqlWriterTest, WithoutHeaderValuesCommandsComesAfterTheCommands) {
    TempDir dir;
    RsqlContent c;
    c.commands = {{"select 1"}};
    writeRsqlScript(dir.file("s.rsql"), c);
    EXPECT_EQ(readBytes(dir.file("s.rsql")), "[Tools]\r\nCrypt=0\r\nVersion=1.2\r\n\r\n"
                                             "[Connect]\r\nUser=\r\n\r\n"
                                             "[Command1]\r\nL1=%select 1\r\n\r\n"
                                             "[DataBase]\r\nCommands=1\r\n");
}

// The same entries written one by one through the INI module, in the converter's order.
std::string writtenThroughIniFile(const std::string& path, const RsqlContent& c) {
    IniFile ini(path);
    ini.setAutoFlush(false);
    ini.writeString("Tools", "Crypt", c.crypt ? "1" : "0");
    ini.writeString("Tools", "Version", "1.2");
    if (c.crypt)
        ini.writeString("Tools", "Key", scrambleHeader(c.password));
    const std::pair<const char*, std::string> header[] = {
        {"Code", c.code}, {"OldVersion", c.oldVersion}, {"NewVersion", c.newVersion}};
    for (const auto& [key, value] : header) {
        std::string v = value;
        v.erase(0, v.find_first_not_of(' '));
        v.erase(v.find_last_not_of(' ') + 1);
        if (!v.empty())
            ini.writeString("DataBase", key, c.crypt ? scrambleHeader(v) : v);
    }
    ini.writeString("Connect", "User", c.user);
    for (std::size_t i = 0; i < c.comments.size(); ++i)
        ini.writeString("Comment", "Line" + std::to_string(i), c.comments[i]);
    for (std::size_t k = 0; k < c.commands.size(); ++k)
        for (std::size_t n = 0; n < c.commands[k].size(); ++n)
            ini.writeString("Command" + std::to_string(k + 1), "L" + std::to_string(n + 1),
                            "%" + (c.crypt ? scrambleCommand(c.commands[k][n]) : c.commands[k][n]));
    ini.writeInteger("DataBase", "Commands", static_cast<long>(c.commands.size()));
    ini.flush();
    return readBytes(path);
}

TEST(RsqlWriterTest, TheTextIsWhatTheIniModuleWritesEntryByEntry) {
    TempDir dir;
    RsqlContent plain = sampleContent();
    writeRsqlScript(dir.file("a.rsql"), plain);
    EXPECT_EQ(readBytes(dir.file("a.rsql")), writtenThroughIniFile(dir.file("b.rsql"), plain));
    RsqlContent scrambled = sampleContent();
    scrambled.crypt = true;
    scrambled.password = "secret";
    scrambled.code = "";
    writeRsqlScript(dir.file("c.rsql"), scrambled);
    EXPECT_EQ(readBytes(dir.file("c.rsql")), writtenThroughIniFile(dir.file("d.rsql"), scrambled));
}

// Random lines that a script can hold: no line-break bytes once stored, no trailing blanks in
// plain lines (the reader trims them).
std::string randomLine(std::mt19937& random, bool crypt) {
    std::uniform_int_distribution<int> byte(0, 255), length(0, 80);
    std::string line(static_cast<std::size_t>(length(random)), '\0');
    for (char& ch : line) {
        do
            ch = static_cast<char>(byte(random));
        while (crypt ? (ch == '\x12' || ch == '\x15') : (ch == '\r' || ch == '\n'));
    }
    if (!crypt)
        while (!line.empty() && static_cast<unsigned char>(line.back()) <= 0x20)
            line.pop_back();
    return line;
}

TEST(RsqlWriterTest, RandomScriptsReadBackAsWritten) {
    std::mt19937 random(77);
    for (bool crypt : {false, true}) {
        for (int round = 0; round < 30; ++round) {
            RsqlContent c;
            c.crypt = crypt;
            c.password = "pw";
            c.code = crypt ? "C" + std::to_string(round) + "!" : "CODE";
            c.oldVersion = "1." + std::to_string(round);
            c.newVersion = crypt ? "2!" : "2"; // scrambles to " 0", a blank first byte
            c.user = "user";
            c.comments = {"c1", "c2"};
            c.commands.resize(static_cast<std::size_t>(round % 7));
            for (auto& lines : c.commands)
                for (int n = 0; n < 1 + round % 4; ++n)
                    lines.push_back(randomLine(random, crypt));
            TempDir dir;
            try {
                writeRsqlScript(dir.file("s.rsql"), c);
            } catch (const vt::EConvertError& e) {
                // A scrambled header byte may be a line break: refused, nothing written.
                ASSERT_TRUE(crypt) << e.what();
                ASSERT_FALSE(std::filesystem::exists(dir.file("s.rsql")));
                continue;
            }
            RsqlScript s(dir.file("s.rsql"));
            ASSERT_EQ(s.header().crypt, crypt);
            ASSERT_EQ(s.header().code, c.code);
            ASSERT_EQ(s.header().oldVersion, c.oldVersion);
            ASSERT_EQ(s.header().newVersion, c.newVersion);
            ASSERT_EQ(unscrambleHeader(s.header().key), crypt ? "pw" : "");
            ASSERT_EQ(s.header().commands, static_cast<long>(c.commands.size()));
            ASSERT_EQ(s.comments(), c.comments);
            for (std::size_t k = 0; k < c.commands.size(); ++k)
                ASSERT_EQ(s.commandLines(static_cast<long>(k + 1)), c.commands[k]);
        }
    }
}

struct RefusalCase {
    const char* name;
    bool crypt;
    std::vector<std::string> lines;
    std::string reason;
};

const RefusalCase kRefusalCases[] = {
    {"APlainLineWithALineBreak",
     false,
     {"a", "b\rc"},
     "the value of L2 in [Command1] would hold a line break"},
    {"ALineThatScramblesToALineBreak",
     true,
     {"\x12"},
     "the value of L1 in [Command1] would hold a line break"},
    {"ALineLongerThanAReaderSees",
     false,
     {std::string(2047, 'x')},
     "the value of L1 in [Command1] would be longer than 2047 characters"},
    {"MoreLinesThanAReaderLists", false, std::vector<std::string>(3000, "x"),
     "[Command1] would hold more entries than a reader lists"},
};

class RefusalTable : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTable, RefusesWhatAReaderWouldNotGetBackAndKeepsTheOldFile) {
    const RefusalCase& c = GetParam();
    TempDir dir;
    writeBytes(dir.file("s.rsql"), "old");
    RsqlContent content;
    content.crypt = c.crypt;
    content.commands = {c.lines};
    try {
        writeRsqlScript(dir.file("s.rsql"), content);
        FAIL() << "no error";
    } catch (const vt::EConvertError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write the file \"" + dir.file("s.rsql") + "\": " + c.reason);
    }
    EXPECT_EQ(readBytes(dir.file("s.rsql")), "old");
    EXPECT_EQ(listFolder(dir.path()), "s.rsql;");
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusalTable, ::testing::ValuesIn(kRefusalCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RsqlWriterTest, TheLongestLinesAndMostLinesAReaderSeesAreWritten) {
    TempDir dir;
    RsqlContent c;
    c.commands = {{std::string(2046, 'x')}, std::vector<std::string>(2915, "y")};
    writeRsqlScript(dir.file("s.rsql"), c);
    RsqlScript s(dir.file("s.rsql"));
    EXPECT_EQ(s.commandLines(1), c.commands[0]);
    EXPECT_EQ(s.commandLines(2), c.commands[1]);
}

TEST(RsqlWriterTest, AnExistingFileIsReplacedWhole) {
    TempDir dir;
    writeBytes(dir.file("s.rsql"), "[Command9]\r\nL1=%old\r\n");
    writeRsqlScript(dir.file("s.rsql"), RsqlContent{});
    EXPECT_EQ(readBytes(dir.file("s.rsql")), "[Tools]\r\nCrypt=0\r\nVersion=1.2\r\n\r\n"
                                             "[Connect]\r\nUser=\r\n\r\n"
                                             "[DataBase]\r\nCommands=0\r\n");
}

TEST(RsqlWriterTest, AnUnwritableFolderGivesAClearError) {
    TempDir dir;
    writeBytes(dir.file("plain"), "x");
    const std::string path = dir.file("plain") + "/s.rsql";
    try {
        writeRsqlScript(path, sampleContent());
        FAIL() << "no error";
    } catch (const IniError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write the file \"" + path + "\": Not a directory");
    }
}

} // namespace
