// Tests of the user, computer and module names.
#include "desktop/shell/sysinfo.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace vt::desktop {
namespace {

TEST(SysInfoTest, LogonUserNameIsTheAccountName) {
    const passwd* pw = getpwuid(geteuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(GetLogonUserName(), QString::fromLocal8Bit(pw->pw_name));
}

TEST(SysInfoTest, ComputerNameIsTheHostName) {
    char name[256] = {};
    ASSERT_EQ(gethostname(name, sizeof name - 1), 0);
    EXPECT_EQ(GetComputerNetName(), QString::fromLocal8Bit(name));
}

TEST(SysInfoTest, ModuleFileNameDefaultsToTheProgramsOwnFile) {
    EXPECT_EQ(GetModuleFileNameStr(), QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    const ResourceModule module("/opt/lib/vtres.so", QStringLiteral(":/vtres/"));
    EXPECT_EQ(GetModuleFileNameStr(&module), QStringLiteral("/opt/lib/vtres.so"));
}

} // namespace
} // namespace vt::desktop
