// Tests of the placing of bare file names.
#include "desktop/errors/trfilelocation.h"

#include "desktop/shell/testenv.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

TEST(TrFileLocationTest, BareNamesArePlacedByLocationAndOthersKeptAsGiven) {
    const QString programDir =
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).path();
    const QString bare = QStringLiteral("toolserr.ini");
    testing::ScopedConfigDir config;
    // Never the folder the program was started from.
    EXPECT_EQ(completeFileName(bare, flDefault), config.file(bare));
    EXPECT_EQ(completeFileName(QStringLiteral("logs/x.log"), flDefault),
              QStringLiteral("logs/x.log"));
    EXPECT_EQ(completeFileName(bare, flProgram), programDir + QStringLiteral("/toolserr.ini"));
    // The error handling is linked into the program, so its module is the program.
    EXPECT_EQ(completeFileName(bare, flModule), programDir + QStringLiteral("/toolserr.ini"));
    EXPECT_EQ(completeFileName(QStringLiteral("conf/toolserr.ini"), flProgram),
              QStringLiteral("conf/toolserr.ini"));
    EXPECT_EQ(completeFileName(QStringLiteral("/etc/x.ini"), flModule),
              QStringLiteral("/etc/x.ini"));
}

} // namespace
} // namespace vt::desktop
