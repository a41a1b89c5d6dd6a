// Tests of version information and the comparison of version texts.
#include "desktop/shell/versionutils.h"

#include "desktop/shell/testenv.h"
#include "platform/exception.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct ParseCase {
    const char* name;
    QString text;
    bool ok;
    uint32_t high;
    uint32_t low;
};

class ParseVersionTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseVersionTest, SplitsIntoHighAndLow) {
    uint32_t high = 99, low = 99;
    EXPECT_EQ(ParseVersion(GetParam().text, high, low), GetParam().ok);
    EXPECT_EQ(high, GetParam().high);
    EXPECT_EQ(low, GetParam().low);
}

const ParseCase kParseCases[] = {
    {"ThreePartsFillHighAndLow", QStringLiteral("2.0.7"), true, 131072, 458752},
    {"EmptyTextIsVersionZero", QString(), true, 0, 0},
    {"EmptyPartBetweenDotsFails", QStringLiteral("1..2"), false, 0, 0},
    {"TrailingDotIsAccepted", QStringLiteral("1.2."), true, 65538, 0},
    {"FourPartsAreAccepted", QStringLiteral("1.2.3.4"), true, 65538, 196612},
    {"FivePartsFail", QStringLiteral("1.2.3.4.5"), false, 0, 0},
    {"PartThatIsNoIntegerFails", QStringLiteral("1.x"), false, 0, 0},
    {"LeadingDotFails", QStringLiteral(".5"), false, 0, 0},
    {"HexadecimalPartIsAnInteger", QStringLiteral("$10.1"), true, 16 * 65536 + 1, 0},
};

INSTANTIATE_TEST_SUITE_P(Table, ParseVersionTest, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct CompareCase {
    const char* name;
    QString a;
    QString b;
    int expected;
};

class CompareVersionsTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareVersionsTest, GivesTheSign) {
    EXPECT_EQ(CompareVersions(GetParam().a, GetParam().b), GetParam().expected);
}

const CompareCase kCompareCases[] = {
    {"OlderMajorIsLower", QStringLiteral("1.9.3.2"), QStringLiteral("2.0.7"), -1},
    {"MissingBuildCountsAsZero", QStringLiteral("2.0.7"), QStringLiteral("2.0.7.0"), 0},
    {"HigherMinorWins", QStringLiteral("2.1"), QStringLiteral("2.0.99"), 1},
    {"BuildDecidesWhenTheRestIsEqual", QStringLiteral("2.0.7.1"), QStringLiteral("2.0.7.2"), -1},
    {"NoVersionIsOlderThanAnyVersion", QString(), QStringLiteral("2.0.7"), -1},
    {"MajorAboveThirtyTwoThousandIsNewer", QStringLiteral("40000.0"), QStringLiteral("1.0"), 1},
    {"ReleaseAboveThirtyTwoThousandIsNewer", QStringLiteral("2.0.40000"), QStringLiteral("2.0.1"),
     1},
};

INSTANTIATE_TEST_SUITE_P(Table, CompareVersionsTest, ::testing::ValuesIn(kCompareCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompareVersionsErrorTest, VersionFormatErrorForTextsParseVersionRejects) {
    for (const auto& [a, b] : {std::pair{QStringLiteral("1..2"), QStringLiteral("1")},
                               std::pair{QStringLiteral("1"), QStringLiteral("a.b")}}) {
        try {
            CompareVersions(a, b);
            FAIL() << "no error";
        } catch (const vt::Exception& e) {
            EXPECT_STREQ(e.className(), "Exception");
            EXPECT_EQ(e.message(), "Ошибка формата версии.");
        }
    }
}

TEST(VersionInfoTest, ProgramsOwnFileHasItsBuiltVersion) {
    EXPECT_EQ(GetFileVersion(QString()), QStringLiteral("3.4.5.6"));
    QStringList list{QStringLiteral("stale=1")};
    ReadVersionInfo(&list, QString());
    EXPECT_EQ(list.front(), QStringLiteral("CompanyName=Vantrel Software"));
    EXPECT_EQ(ListValue(list, QStringLiteral("FileDescription")),
              QStringLiteral("Desktop shell tests"));
    EXPECT_EQ(ListValue(list, QStringLiteral("fileversion")), QStringLiteral("3.4.5.6"));
    EXPECT_EQ(ListValue(list, QStringLiteral("E-Mail")), QStringLiteral("support@vantrel.example"));
    EXPECT_FALSE(list.contains(QStringLiteral("stale=1")));
    // An empty version string is not listed at all.
    for (const QString& line : list)
        EXPECT_FALSE(line.startsWith(QStringLiteral("Comments="))) << line.toStdString();
}

TEST(VersionInfoTest, BuiltResourceLibraryHasAtLeastTheRequiredVersion) {
    const QString lib = testing::programBin() + QStringLiteral("/vtres.so");
    ASSERT_TRUE(QFile::exists(lib));
    const QString version = GetFileVersion(lib);
    EXPECT_GE(CompareVersions(version, QStringLiteral("2.0.7")), 0) << version.toStdString();
    QStringList list;
    ReadVersionInfo(&list, lib);
    EXPECT_EQ(ListValue(list, QStringLiteral("OriginalFilename")), QStringLiteral("vtres.so"));
    EXPECT_EQ(ListValue(list, QStringLiteral("FileVersion")), version);
}

TEST(VersionInfoTest, FileWithoutVersionInformationGivesNothing) {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not an ELF file\n");
    file.close();
    for (const QString& name : {text, dir.filePath(QStringLiteral("missing.so"))}) {
        EXPECT_EQ(GetFileVersion(name), QString());
        QStringList list{QStringLiteral("old=1")};
        ReadVersionInfo(&list, name);
        EXPECT_TRUE(list.isEmpty());
    }
    ReadVersionInfo(nullptr, text); // without a list nothing happens
}

} // namespace
} // namespace vt::desktop
