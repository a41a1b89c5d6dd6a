// Tests of the INI module: the dialect when reading, and writes that keep the rest of the file.
#include "script/inifile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/asciitext.h"
#include "platform/codepage.h"
#include "platform/exception.h"
#include "script/inidocument.h"
#include "script/testfiles.h"

using namespace vt::script;
using namespace vt::script::testing;

namespace {

struct ReadCase {
    const char* name;
    std::string content;
    const char* section;
    const char* key;
    std::string expected; // "<default>" when the default comes back
};

const std::string kLong(3000, 'x');

const ReadCase kReadCases[] = {
    {"ValueIsTheTrimmedTextAfterTheFirstEquals", "[S]\r\nK = a=b \t\r\n", "S", "K", "a=b"},
    {"NamesMatchWithoutRegardToCase", "[SeCtIoN]\r\nMyKey=v\r\n", "section", "MYKEY", "v"},
    {"KeysAreTrimmed", "[S]\r\n  K \t= v\r\n", "S", "K", "v"},
    {"SectionNamesAreTrimmed", "  [ S ] trailing\r\nK=v\r\n", "S", "K", "v"},
    {"AnEmptyValueIsNotTheDefault", "[S]\r\nK=\r\n", "S", "K", ""},
    {"LfLineEndsAreRead", "[S]\nA=1\nK=v\n", "S", "K", "v"},
    {"CrLineEndsAreRead", "[S]\rA=1\rK=v\r", "S", "K", "v"},
    {"MixedLineEndsAreRead", "[S]\r\nA=1\rB=2\nK=v", "S", "K", "v"},
    {"TheFirstOfTwoSectionsWins", "[S]\r\nA=1\r\n[S]\r\nK=v\r\n", "S", "K", "<default>"},
    {"TheFirstOfTwoKeysWins", "[S]\r\nK=first\r\nk=second\r\n", "S", "K", "first"},
    {"ASemicolonLineIsAComment", "[S]\r\n ;K=v\r\n", "S", "K", "<default>"},
    {"ASemicolonLaterInTheLineIsPartOfTheValue", "[S]\r\nK=v ;x\r\n", "S", "K", "v ;x"},
    {"ALineWithoutEqualsIsNoEntry", "[S]\r\nK\r\n", "S", "K", "<default>"},
    {"ALineWithABlankKeyIsNoEntry", "[S]\r\n =v\r\n", "S", "", "<default>"},
    {"LinesBeforeTheFirstSectionBelongToNone", "K=v\r\n[S]\r\n", "S", "K", "<default>"},
    {"AHeaderWithoutBracketTakesTheRestOfTheLine", "[S x\r\nK=v\r\n", "S x", "K", "v"},
    {"AMissingSectionGivesTheDefault", "[S]\r\nK=v\r\n", "T", "K", "<default>"},
    {"AValueOf3000CharactersIsReadAsItsFirst2047", "[S]\r\nK=" + kLong + "\r\n", "S", "K",
     kLong.substr(0, 2047)},
    {"NulBytesAreKeptInValues", std::string("[S]\r\nK=a\0b\r\n", 12), "S", "K",
     std::string("a\0b", 3)},
};

class IniReadTable : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTable, ReadsTheValueAsTheDialectSays) {
    const ReadCase& c = GetParam();
    TempDir dir;
    writeBytes(dir.file("a.ini"), c.content);
    IniFile ini(dir.file("a.ini"));
    EXPECT_EQ(ini.readString(c.section, c.key, "<default>"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Dialect, IniReadTable, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct IntegerCase {
    const char* name;
    const char* value; // nullptr: the key is missing
    long expected;
};

const IntegerCase kIntegerCases[] = {
    {"Decimal", "42", 42},
    {"NegativeDecimal", "-7", -7},
    {"BlanksAroundAreTrimmed", "  12 ", 12},
    {"HexadecimalAfter0x", "0x1F", 31},
    {"HexadecimalAfterDollar", "$ff", 255},
    {"HexadecimalIsA32BitPattern", "$FFFFFFFF", -1},
    {"LargestInteger", "2147483647", 2147483647},
    {"SmallestInteger", "-2147483648", -2147483648L},
    {"PastTheRangeGivesTheDefault", "2147483648", -99},
    {"TrailingTextGivesTheDefault", "12abc", -99},
    {"EmptyGivesTheDefault", "", -99},
    {"WordGivesTheDefault", "abc", -99},
    {"MissingGivesTheDefault", nullptr, -99},
};

class IniIntegerTable : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IniIntegerTable, ReadsIntegersOrTheDefault) {
    const IntegerCase& c = GetParam();
    TempDir dir;
    writeBytes(dir.file("a.ini"),
               c.value != nullptr ? std::string("[S]\r\nK=") + c.value + "\r\n" : "[S]\r\n");
    IniFile ini(dir.file("a.ini"));
    EXPECT_EQ(ini.readInteger("S", "K", -99), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Integers, IniIntegerTable, ::testing::ValuesIn(kIntegerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniFileTest, UntrimmedSectionNamesKeepBlanksBeforeTheClosingBracket) {
    TempDir dir;
    writeBytes(dir.file("a.ini"), "[violation;Lock ]\r\nx=1\r\n  [ Plain]  \r\n[violation;lock]\r\n"
                                  "[Open\r\n");
    IniFile ini(dir.file("a.ini"));
    EXPECT_EQ(ini.untrimmedSectionNames(),
              (std::vector<std::string>{"violation;Lock ", "Plain", "Open"}));
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"violation;Lock", "Plain", "Open"}));
    EXPECT_EQ(ini.readString("violation;Lock ", "x"), "1");
}

TEST(IniFileTest, ListsSectionsAndKeysOnceEachInFileOrder) {
    TempDir dir;
    writeBytes(dir.file("a.ini"), "x=1\r\n[B]\r\nz=1\r\n;c=2\r\nA= 2 \r\nZ=3\r\nnoequals\r\n"
                                  "[a]\r\nq=1\r\n[b]\r\ny=9\r\n");
    IniFile ini(dir.file("a.ini"));
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"B", "a"}));
    EXPECT_EQ(ini.keyNames("b"), (std::vector<std::string>{"z", "A"}));
    const std::vector<IniEntry> entries = ini.entries("B");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].key, "A");
    EXPECT_EQ(entries[1].value, "2");
    EXPECT_EQ(entries[1].rawValue, " 2 ");
    EXPECT_TRUE(ini.hasSection("A"));
    EXPECT_TRUE(ini.hasKey("b", "Z"));
    EXPECT_FALSE(ini.hasKey("b", "y"));
    EXPECT_TRUE(ini.keyNames("missing").empty());
}

TEST(IniFileTest, KeyListsStopWhereTheNamesNoLongerFitTheBudget) {
    TempDir dir;
    std::string content = "[S]\r\n";
    for (int i = 1; i <= 3000; ++i)
        content += "L" + std::to_string(i) + "=x\r\n";
    writeBytes(dir.file("a.ini"), content);
    IniFile ini(dir.file("a.ini"));
    // L1..L9 take 27 bytes, L10..L99 360, L100..L999 4500; the rest 6 bytes each, and the list
    // keeps one byte for its closing zero: (16383 - 4887) / 6 = 1916 more names.
    const std::vector<std::string> names = ini.keyNames("S");
    ASSERT_EQ(names.size(), 2915u);
    EXPECT_EQ(names.back(), "L2915");
    EXPECT_EQ(ini.entries("S").size(), 2915u);
    EXPECT_EQ(ini.readString("S", "L3000"), "x"); // a lookup by name is not bounded
}

TEST(IniFileTest, FirstCutEntryNamesWhatTheReadingLimitsWouldHide) {
    TempDir dir;
    const std::string fits(2047, 'x');
    std::string content = "[Whole]\r\nA=" + fits + "\r\nB=  " + fits + "  \r\n";
    content += "[Long]\r\nA=x\r\nB=" + fits + "y\r\n";
    content += "[Many]\r\n";
    for (int i = 1; i <= 3000; ++i)
        content += "L" + std::to_string(i) + "=x\r\n";
    writeBytes(dir.file("a.ini"), content);
    IniFile ini(dir.file("a.ini"));
    EXPECT_EQ(ini.firstCutEntry("Whole", false), "");
    EXPECT_EQ(ini.firstCutEntry("Whole", true), "B") << "blanks count when read untrimmed";
    EXPECT_EQ(ini.firstCutEntry("Long", false), "B");
    EXPECT_EQ(ini.firstCutEntry("Many", false), "L2916");
    EXPECT_EQ(ini.firstCutEntry("Missing", false), "");
}

TEST(IniFileTest, LargeSectionsFindTheFirstOfEachKeyAndTakeWrites) {
    TempDir dir;
    std::string content = "[Big]\r\n";
    for (int i = 0; i < 40; ++i)
        content += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    content += "key7=again\r\nKEY39=again\r\n";
    writeBytes(dir.file("a.ini"), content);
    IniFile ini(dir.file("a.ini"));
    EXPECT_EQ(ini.readString("big", "KEY7"), "7");
    EXPECT_EQ(ini.readString("Big", "key39"), "39");
    EXPECT_EQ(ini.keyNames("Big").size(), 40u);
    ini.writeString("Big", "Key20", "twenty");
    ini.writeString("Big", "Key40", "new");
    ini.deleteKey("Big", "key7");
    EXPECT_EQ(ini.readString("Big", "Key20"), "twenty");
    EXPECT_EQ(ini.readString("Big", "Key40"), "new");
    EXPECT_EQ(ini.readString("Big", "Key7", "gone"), "gone"); // both entries removed
    EXPECT_EQ(ini.readString("Big", "Key39"), "39");
    IniFile again(dir.file("a.ini"));
    EXPECT_EQ(again.keyNames("Big").size(), 40u);
    EXPECT_EQ(again.keyNames("Big").back(), "Key40");
}

TEST(IniFileTest, AMissingFileReadsAsEmptyAndIsCreatedByAWrite) {
    TempDir dir;
    IniFile ini(dir.file("new.ini"));
    EXPECT_TRUE(ini.sectionNames().empty());
    EXPECT_EQ(ini.readString("S", "K", "d"), "d");
    ini.writeString("S", "K", "v");
    EXPECT_EQ(readBytes(dir.file("new.ini")), "[S]\r\nK=v\r\n");
    ini.writeString("T", "K", "w");
    EXPECT_EQ(readBytes(dir.file("new.ini")), "[S]\r\nK=v\r\n\r\n[T]\r\nK=w\r\n");
}

TEST(IniFileTest, AWriteKeepsEveryOtherLineAsItWas) {
    TempDir dir;
    const std::string before = "; top comment\n"
                               "[Main]\n"
                               "  Name = old value  \n"
                               "loose line\r"
                               ";Name=commented\r\n"
                               "Other=1\n"
                               "\n"
                               "[Next]\r\n"
                               "A=1";
    writeBytes(dir.file("a.ini"), before);
    IniFile ini(dir.file("a.ini"));
    ini.writeString("main", "NAME", "new");
    ini.writeString("Main", "Added", "2");
    ini.writeString("Next", "B", "3");
    ini.writeString("Last", "C", "4");
    EXPECT_EQ(readBytes(dir.file("a.ini")), "; top comment\n"
                                            "[Main]\n"
                                            "  Name =new\n"
                                            "loose line\r"
                                            ";Name=commented\r\n"
                                            "Other=1\n"
                                            "Added=2\r\n"
                                            "\n"
                                            "[Next]\r\n"
                                            "A=1\r\n"
                                            "B=3\r\n"
                                            "\r\n"
                                            "[Last]\r\n"
                                            "C=4\r\n");
}

TEST(IniFileTest, DeletingAKeyAndErasingASectionRemoveEveryOccurrence) {
    TempDir dir;
    writeBytes(dir.file("a.ini"),
               "[S]\r\nK=1\r\nX=2\r\nk=3\r\n\r\n[T]\r\nA=1\r\n\r\n[s]\r\nK=4\r\n");
    IniFile ini(dir.file("a.ini"));
    ini.deleteKey("S", "k");
    EXPECT_EQ(readBytes(dir.file("a.ini")), "[S]\r\nX=2\r\n\r\n[T]\r\nA=1\r\n\r\n[s]\r\nK=4\r\n");
    ini.eraseSection("s");
    EXPECT_EQ(readBytes(dir.file("a.ini")), "[T]\r\nA=1\r\n\r\n");
    EXPECT_EQ(ini.sectionNames(), std::vector<std::string>{"T"});
    ini.deleteKey("T", "missing"); // nothing to do, nothing written
    ini.eraseSection("missing");
    EXPECT_EQ(readBytes(dir.file("a.ini")), "[T]\r\nA=1\r\n\r\n");
}

TEST(IniFileTest, AReaderSeesWhatAnotherObjectWrote) {
    TempDir dir;
    IniFile reader(dir.file("a.ini"));
    IniFile writer(dir.file("a.ini"));
    EXPECT_EQ(reader.readString("S", "K", "none"), "none");
    writer.writeString("S", "K", "1");
    EXPECT_EQ(reader.readString("S", "K"), "1");
    writer.writeString("S", "K", "22");
    EXPECT_EQ(reader.readInteger("S", "K", 0), 22);
    writeBytes(dir.file("a.ini"), "[S]\r\nK=333\r\n"); // another process writing in place
    EXPECT_EQ(reader.readString("S", "K"), "333");
    std::filesystem::remove(dir.file("a.ini"));
    EXPECT_FALSE(reader.hasSection("S"));
}

TEST(IniFileTest, WithoutWatchingTheDiskTheFirstReadingStays) {
    TempDir dir;
    writeBytes(dir.file("a.ini"), "[S]\r\nK=1\r\n");
    IniFile reader(dir.file("a.ini"));
    reader.setWatchDisk(false);
    writeBytes(dir.file("a.ini"), "[S]\r\nK=2\r\n");
    EXPECT_EQ(reader.readString("S", "K"), "1");
    reader.reload();
    EXPECT_EQ(reader.readString("S", "K"), "2");
}

TEST(IniFileTest, WithAutoFlushOffChangesWaitForOneFlush) {
    TempDir dir;
    writeBytes(dir.file("a.ini"), "[S]\r\nK=1\r\n");
    IniFile ini(dir.file("a.ini"));
    ini.setAutoFlush(false);
    ini.writeString("S", "K", "2");
    ini.writeInteger("S", "N", -5);
    EXPECT_EQ(readBytes(dir.file("a.ini")), "[S]\r\nK=1\r\n");
    EXPECT_EQ(ini.readString("S", "K"), "2"); // pending changes are seen by this object
    ini.flush();
    EXPECT_EQ(readBytes(dir.file("a.ini")), "[S]\r\nK=2\r\nN=-5\r\n");
    ini.writeString("S", "K", "3");
    ini.reload(); // drops the pending change
    EXPECT_EQ(ini.readString("S", "K"), "2");
    ini.writeString("S", "K", "4");
    ini.setAutoFlush(true); // writes what is pending
    EXPECT_EQ(readBytes(dir.file("a.ini")), "[S]\r\nK=4\r\nN=-5\r\n");
}

struct IniRefusalCase {
    const char* name;
    std::string section, key, value;
    const char* reason;
};

const IniRefusalCase kIniRefusals[] = {
    {"AValueWithALineBreak", "S", "K", "two\r\nlines", "a value cannot hold a line break"},
    {"AKeyHoldingEquals", "S", "a=b", "v",
     "a key name cannot hold '=' or a line break, nor start with ';' or '['"},
    {"ABlankKey", "S", " ", "v", "a key name cannot be blank"},
    {"AKeyStartingWithASemicolon", "S", ";K", "v",
     "a key name cannot hold '=' or a line break, nor start with ';' or '['"},
    {"ASectionHoldingABracket", "S]", "K", "v", "a section name cannot hold ']' or a line break"},
    {"AValueLongerThanAReaderSees", "S", "K", std::string(2048, 'x'),
     "a value cannot be longer than 2047 characters"},
};

class IniRefusalTable : public ::testing::TestWithParam<IniRefusalCase> {};

// A refusal is no input/output error: it names its reason, and nothing is written.
TEST_P(IniRefusalTable, NamesTheReasonAndWritesNothing) {
    const IniRefusalCase& c = GetParam();
    TempDir dir;
    IniFile ini(dir.file("a.ini"));
    try {
        ini.writeString(c.section, c.key, c.value);
        FAIL() << "no error";
    } catch (const vt::EConvertError& e) {
        const std::string key(vt::platform::trim(c.key));
        EXPECT_EQ(std::string(e.what()), "Cannot write [" + c.section + "] " + key +
                                             " to the file \"" + dir.file("a.ini") +
                                             "\": " + c.reason);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.ini")));
    ini.writeString("S", "K", std::string(2047, 'y')); // the longest value fits
    EXPECT_EQ(ini.readString("S", "K").size(), 2047u);
}

INSTANTIATE_TEST_SUITE_P(Refusals, IniRefusalTable, ::testing::ValuesIn(kIniRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

struct CaseRuleCase {
    const char* name;
    vt::platform::AnsiCodePage codePage;
    std::string written, asked; // a section and key name, and the same in other letter case
};

const CaseRuleCase kCaseRules[] = {
    {"AsciiInCp1251", vt::platform::AnsiCodePage::Cp1251, "Tools", "tOOLS"},
    {"CyrillicInCp1251", vt::platform::AnsiCodePage::Cp1251, "\xCE\xF0\xE0\xEA\xEB", // Оракл
     "\xCE\xD0\xC0\xCA\xCB"},                                                        // ОРАКЛ
    {"YoAndUkrainianLettersInCp1251", vt::platform::AnsiCodePage::Cp1251, "\xA8\xB2\xAF\xAA\xA5",
     "\xB8\xB3\xBF\xBA\xB4"}, // ЁІЇЄҐ and ёіїєґ
    {"CyrillicInUtf8", vt::platform::AnsiCodePage::Utf8, "Оракл", "ОРАКЛ"},
    {"GreekAndLatinInUtf8", vt::platform::AnsiCodePage::Utf8, "Ωmega Ärger", "ωMEGA äRGER"},
};

class CaseRuleTable : public ::testing::TestWithParam<CaseRuleCase> {
protected:
    void TearDown() override { vt::platform::setAnsiCodePage(vt::platform::AnsiCodePage::Cp1251); }
};

TEST_P(CaseRuleTable, SectionAndKeyNamesMatchInAnyLetterCase) {
    const CaseRuleCase& c = GetParam();
    vt::platform::setAnsiCodePage(c.codePage);
    TempDir dir;
    writeBytes(dir.file("a.ini"), "[" + c.written + "]\r\n" + c.written + "=1\r\n");
    IniFile ini(dir.file("a.ini"));
    EXPECT_EQ(ini.readString(c.asked, c.asked), "1");
    // Enough keys for the section's hash index, which must follow the same rule.
    for (int i = 0; i < 20; ++i)
        ini.writeString(c.written, c.written + std::to_string(i), "v");
    EXPECT_EQ(ini.readString(c.asked, c.asked + "7"), "v");
    ini.writeString(c.asked, c.asked, "2");
    EXPECT_EQ(ini.sectionNames(), std::vector<std::string>{c.written});
    EXPECT_EQ(ini.readString(c.written, c.written), "2");
    EXPECT_FALSE(ini.hasSection(c.written + "x"));
}

INSTANTIATE_TEST_SUITE_P(Names, CaseRuleTable, ::testing::ValuesIn(kCaseRules),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniFileTest, MalformedUtf8NamesStayDistinct) {
    vt::platform::setAnsiCodePage(vt::platform::AnsiCodePage::Utf8);
    TempDir dir;
    IniFile ini(dir.file("a.ini"));
    ini.writeString("\xC3", "K", "1");
    ini.writeString("\xC4", "K", "2");
    EXPECT_EQ(ini.readString("\xC3", "K"), "1");
    EXPECT_EQ(ini.readString("\xC4", "K"), "2");
    vt::platform::setAnsiCodePage(vt::platform::AnsiCodePage::Cp1251);
}

TEST(IniFileTest, AWriteBelowARegularFileFailsClearly) {
    TempDir dir;
    writeBytes(dir.file("plain"), "not a folder");
    const std::string path = dir.file("plain") + "/a.ini";
    IniFile ini(path); // reads as missing
    try {
        ini.writeString("S", "K", "v");
        FAIL() << "no error";
    } catch (const IniError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write the file \"" + path + "\": Not a directory");
    }
    EXPECT_EQ(ini.readString("S", "K", "none"), "none");
    EXPECT_EQ(listFolder(dir.path()), "plain;");
}

TEST(IniFileTest, AFailedWriteLeavesTheOldFileIntactAndNoTemporaryFile) {
    TempDir dir;
    const std::string old = "[S]\r\nK=old\r\n";
    writeBytes(dir.file("a.ini"), old);
    IniFile ini(dir.file("a.ini"));
    // A file size limit stops the write part-way, for root too.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    try {
        ini.writeString("S", "K", std::string(100, 'n'));
    } catch (const IniError& e) {
        error = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(error, "Cannot write the file \"" + dir.file("a.ini") + "\": File too large");
    EXPECT_EQ(readBytes(dir.file("a.ini")), old);
    EXPECT_EQ(listFolder(dir.path()), "a.ini;");
    EXPECT_EQ(ini.readString("S", "K"), "old"); // the object shows the file again
}

TEST(IniFileTest, AFolderInPlaceOfTheFileGivesAClearError) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.ini"));
    try {
        IniFile ini(dir.file("folder.ini"));
        FAIL() << "no error";
    } catch (const IniError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot read the file \"" + dir.file("folder.ini") + "\": Is a directory");
    }
}

TEST(IniFileTest, AFileWithoutReadPermissionGivesAnError) {
    TempDir dir;
    writeBytes(dir.file("secret.ini"), "[S]\r\nK=v\r\n");
    std::filesystem::permissions(dir.file("secret.ini"), std::filesystem::perms::none);
    if (::access(dir.file("secret.ini").c_str(), R_OK) == 0)
        GTEST_SKIP() << "this user reads files without read permission";
    EXPECT_THROW(IniFile ini(dir.file("secret.ini")), IniError);
}

TEST(IniFileTest, AWriteFollowsASymbolicLinkAndKeepsThePermissions) {
    TempDir dir;
    writeBytes(dir.file("real.ini"), "[S]\r\nK=1\r\n");
    std::filesystem::permissions(dir.file("real.ini"), std::filesystem::perms(0640));
    std::filesystem::create_symlink("real.ini", dir.file("link.ini"));
    IniFile ini(dir.file("link.ini"));
    ini.writeString("S", "K", "2");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(readBytes(dir.file("real.ini")), "[S]\r\nK=2\r\n");
    EXPECT_EQ(std::filesystem::status(dir.file("real.ini")).permissions(),
              std::filesystem::perms(0640));
}

TEST(IniFileTest, BadInputNeverCrashes) {
    TempDir dir;
    std::string junk;
    for (int i = 0; i < 200000; ++i)
        junk += static_cast<char>((i * 7919 + i / 13) & 0xFF);
    junk += "\r\n[unclosed\r\nK=" + std::string(100000, 'v') + "\r" + "[S]=x\r[]\r\n=\r\n";
    writeBytes(dir.file("junk.ini"), junk);
    IniFile ini(dir.file("junk.ini"));
    for (const std::string& s : ini.sectionNames())
        for (const IniEntry& e : ini.entries(s))
            EXPECT_LE(e.value.size(), IniFile::kMaxValue);
    EXPECT_EQ(ini.readString("unclosed", "K").size(), IniFile::kMaxValue);
    ini.writeString("unclosed", "K", "short");
    EXPECT_EQ(ini.readString("unclosed", "K"), "short");
    IniFile again(dir.file("junk.ini"));
    EXPECT_EQ(again.readString("unclosed", "K"), "short");
}

} // namespace
