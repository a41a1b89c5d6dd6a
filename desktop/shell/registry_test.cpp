// Tests of the program's registry on QSettings files.
#include "desktop/shell/registry.h"

#include "desktop/shell/shellerrors.h"
#include "desktop/shell/testenv.h"

#include <QFile>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

class RegistryTest : public ::testing::Test {
protected:
    testing::ScopedConfigDir m_config;
};

TEST_F(RegistryTest, WrittenValuesReadBackAndReachTheFileAtOnce) {
    Registry reg;
    ASSERT_TRUE(reg.openKey(QStringLiteral("Software\\VT Tools\\Vantrel Utilities"), true));
    reg.writeString(QStringLiteral("LastUser"), QStringLiteral("Иван Петров"));
    reg.writeInteger(QStringLiteral("Width"), -120);
    reg.writeBool(QStringLiteral("AutoSave"), true);
    EXPECT_TRUE(QFile::exists(m_config.file(QStringLiteral("registry.ini"))));

    Registry other;
    ASSERT_TRUE(other.openKey(QStringLiteral("Software\\VT Tools\\Vantrel Utilities"), false));
    EXPECT_EQ(other.readString(QStringLiteral("LastUser")), QStringLiteral("Иван Петров"));
    EXPECT_EQ(other.readInteger(QStringLiteral("Width")), -120);
    EXPECT_EQ(other.readBool(QStringLiteral("AutoSave")), true);
    EXPECT_EQ(other.readString(QStringLiteral("Missing")), std::nullopt);
    EXPECT_EQ(other.readInteger(QStringLiteral("LastUser")), std::nullopt);
}

TEST_F(RegistryTest, KeyAndValueNamesMatchWithoutRegardToCase) {
    Registry reg;
    ASSERT_TRUE(reg.openKey(QStringLiteral("Software\\Vendor\\App"), true));
    reg.writeString(QStringLiteral("Color"), QStringLiteral("red"));
    ASSERT_TRUE(reg.openKey(QStringLiteral("SOFTWARE\\vendor\\APP"), true));
    EXPECT_EQ(reg.readString(QStringLiteral("COLOR")), QStringLiteral("red"));
    reg.writeString(QStringLiteral("color"), QStringLiteral("blue"));
    Registry check;
    ASSERT_TRUE(check.openKey(QStringLiteral("Software\\Vendor\\App"), false));
    EXPECT_EQ(check.readString(QStringLiteral("Color")), QStringLiteral("blue"));
    EXPECT_TRUE(check.keyExists(QStringLiteral("software\\VENDOR")));
}

TEST_F(RegistryTest, MissingKeyOpensOnlyWithCreationAndExistsOnceItHoldsAValue) {
    Registry reg;
    EXPECT_FALSE(reg.openKey(QStringLiteral("Software\\Wine"), false));
    EXPECT_FALSE(reg.keyExists(QStringLiteral("Software\\Wine")));
    ASSERT_TRUE(reg.openKey(QStringLiteral("HKCU\\Software\\Wine"), true));
    EXPECT_FALSE(reg.keyExists(QStringLiteral("Software\\Wine")));
    reg.writeString(QStringLiteral("Version"), QStringLiteral("8"));
    EXPECT_TRUE(reg.keyExists(QStringLiteral("Software\\Wine")));
    EXPECT_TRUE(reg.keyExists(QStringLiteral("HKEY_CURRENT_USER\\Software\\Wine")));
}

TEST_F(RegistryTest, DeletedValueIsGone) {
    Registry reg;
    ASSERT_TRUE(reg.openKey(QStringLiteral("Software\\T"), true));
    reg.writeString(QStringLiteral("A"), QStringLiteral("1"));
    reg.writeString(QStringLiteral("B"), QStringLiteral("2"));
    EXPECT_TRUE(reg.deleteValue(QStringLiteral("a")));
    EXPECT_FALSE(reg.valueExists(QStringLiteral("A")));
    EXPECT_TRUE(reg.valueExists(QStringLiteral("B")));
    EXPECT_FALSE(reg.deleteValue(QStringLiteral("A")));
}

TEST_F(RegistryTest, RootsWithoutAStoreHoldNoKeysAndMachineRootIsNeverWritten) {
    Registry reg;
    EXPECT_FALSE(reg.openKey(QStringLiteral("HKEY_USERS\\.DEFAULT"), true));
    EXPECT_FALSE(reg.keyExists(QStringLiteral("HKCR\\.txt")));
    reg.setRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(reg.openKey(QStringLiteral("Software"), true));
    Registry machine(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(
        machine.openKey(QStringLiteral("Software\\Vantrel Test Key That Is Absent"), true));
}

TEST_F(RegistryTest, WriteWithoutOpenKeyOrIntoAnUnusableFolderRaises) {
    Registry reg;
    try {
        reg.writeString(QStringLiteral("A"), QStringLiteral("1"));
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.className(), "ERegistryException");
        EXPECT_EQ(e.message(), "Раздел реестра не открыт");
    }
    // A settings folder whose place is taken by a file cannot be created.
    QFile blocker(m_config.file(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("VT_CONFIG_DIR", QFile::encodeName(blocker.fileName() + QStringLiteral("/sub")));
    ASSERT_TRUE(reg.openKey(QStringLiteral("Software\\T"), true));
    try {
        reg.writeString(QStringLiteral("Name"), QStringLiteral("1"));
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.message(), "Не удалось записать значение 'Name' в реестр");
    }
}

} // namespace
} // namespace vt::desktop
