// Tests of the splitting of registry key paths.
#include "desktop/shell/registrypath.h"

#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct PathCase {
    const char* name;
    QString path;
    bool result;
    RootKey root;
    QString subKey;
};

class ParseRegistryPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ParseRegistryPathTest, SplitsRootAndSubKey) {
    RootKey root = HKEY_DYN_DATA;
    QString subKey = QStringLiteral("stale");
    EXPECT_EQ(ParseRegistryPath(GetParam().path, root, subKey), GetParam().result);
    EXPECT_EQ(root, GetParam().root);
    EXPECT_EQ(subKey, GetParam().subKey);
}

const PathCase kPathCases[] = {
    {"ShortMachineNameGivesMachineRoot", QStringLiteral("HKLM\\Software\\X"), true,
     HKEY_LOCAL_MACHINE, QStringLiteral("\\Software\\X")},
    {"PathWithoutRootStaysUnderTheCurrentUser", QStringLiteral("Software\\X"), false,
     HKEY_CURRENT_USER, QStringLiteral("Software\\X")},
    {"RootNamesCompareWithCase", QStringLiteral("hklm\\Software"), false, HKEY_CURRENT_USER,
     QStringLiteral("hklm\\Software")},
    {"LongNameIsRecognised", QStringLiteral("HKEY_USERS\\.DEFAULT"), true, HKEY_USERS,
     QStringLiteral("\\.DEFAULT")},
    {"ClassesRootShortName", QStringLiteral("HKCR\\.txt"), true, HKEY_CLASSES_ROOT,
     QStringLiteral("\\.txt")},
    {"PerformanceDataShortName", QStringLiteral("HKPD\\x"), true, HKEY_PERFORMANCE_DATA,
     QStringLiteral("\\x")},
    {"CurrentConfigLongName", QStringLiteral("HKEY_CURRENT_CONFIG\\x"), true, HKEY_CURRENT_CONFIG,
     QStringLiteral("\\x")},
    {"DynDataShortName", QStringLiteral("HKDD\\x"), true, HKEY_DYN_DATA, QStringLiteral("\\x")},
    {"RootNameAloneWithoutBackslashIsNoRoot", QStringLiteral("HKLM"), false, HKEY_CURRENT_USER,
     QStringLiteral("HKLM")},
    {"LeadingBackslashIsNoRoot", QStringLiteral("\\HKLM\\x"), false, HKEY_CURRENT_USER,
     QStringLiteral("\\HKLM\\x")},
    {"RootWithTrailingBackslashOnly", QStringLiteral("HKCU\\"), true, HKEY_CURRENT_USER,
     QStringLiteral("\\")},
    {"OneCharacterIsNoRoot", QStringLiteral("\\"), false, HKEY_CURRENT_USER, QStringLiteral("\\")},
    {"EmptyPathIsNoRoot", QString(), false, HKEY_CURRENT_USER, QString()},
};

INSTANTIATE_TEST_SUITE_P(Table, ParseRegistryPathTest, ::testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::desktop
