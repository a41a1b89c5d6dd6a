// Tests of the desktop program's process-wide settings state.
#include "desktop/shell/appsettings.h"

#include "desktop/shell/registry.h"
#include "desktop/shell/testenv.h"

#include <QFile>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { doneAppSettings(); }
    void TearDown() override { doneAppSettings(); }
    testing::ScopedConfigDir m_config;
};

TEST_F(AppSettingsTest, StateHoldsTheProgramModuleAndTheFixedKeys) {
    ASSERT_EQ(ResourceModules().size(), 1u);
    EXPECT_EQ(ResourceModules().front(), programModule());
    EXPECT_EQ(RegRoot(), QStringLiteral("Software\\VT Tools"));
    EXPECT_EQ(RegRoot().size(), 17);
    EXPECT_EQ(AppSubKey(), QStringLiteral("\\Vantrel Utilities"));
    EXPECT_FALSE(RunningUnderWine());
}

TEST_F(AppSettingsTest, IniFilesLieInTheSettingsFolderAndAreWrittenAtOnce) {
    EXPECT_EQ(ToolsIni().path(), m_config.file(QStringLiteral("tools.ini")).toStdString());
    EXPECT_EQ(SqlToolsIni().path(), m_config.file(QStringLiteral("sqltools.ini")).toStdString());
    EXPECT_TRUE(ToolsIni().sectionNames().empty());
    ToolsIni().writeString("Editor", "ProgramName", "/usr/bin/editor");
    EXPECT_TRUE(QFile::exists(m_config.file(QStringLiteral("tools.ini"))));
}

TEST_F(AppSettingsTest, WineKeyOfTheCurrentUserIsNoticedAtSetUp) {
    doneAppSettings();
    Registry reg;
    ASSERT_TRUE(reg.openKey(QStringLiteral("Software\\Wine"), true));
    reg.writeString(QStringLiteral("Version"), QStringLiteral("win10"));
    EXPECT_TRUE(RunningUnderWine());
}

TEST_F(AppSettingsTest, ForgottenModuleLeavesTheList) {
    ResourceModule other("/tmp/other.so", QStringLiteral(":/other/"));
    ResourceModules().push_back(&other);
    forgetResourceModule(&other);
    EXPECT_EQ(ResourceModules().size(), 1u);
    doneAppSettings();
    forgetResourceModule(&other); // without state nothing happens
}

} // namespace
} // namespace vt::desktop
