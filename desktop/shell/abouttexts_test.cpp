// Tests of the splash and about texts built from version strings.
#include "desktop/shell/abouttexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct VersionCase {
    const char* name;
    const char* fileVersion;
    const char* splash;
};

class SplashVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(SplashVersionTest, ShowsTheVersionUpToItsSecondDot) {
    AboutTexts texts;
    texts.FileVersion = QString::fromUtf8(GetParam().fileVersion);
    EXPECT_EQ(texts.splashVersion(), QString::fromUtf8(GetParam().splash));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplashVersionTest,
    ::testing::Values(VersionCase{"FourParts", "2.5.0.1", "Версия 2.5"},
                      VersionCase{"ThreeParts", "10.12.3", "Версия 10.12"},
                      VersionCase{"OneDotShowsThePrefixAlone", "2.5", "Версия "},
                      VersionCase{"NoVersionShowsThePrefixAlone", "", "Версия "}),
    [](const auto& info) { return std::string(info.param.name); });

struct LegalCase {
    const char* name;
    QStringList lines;
    const char* legal;
};

class LegalTextTest : public ::testing::TestWithParam<LegalCase> {};

TEST_P(LegalTextTest, JoinsProductAndLegalLines) {
    EXPECT_EQ(AboutTexts::fromVersionInfo(GetParam().lines).legalText(),
              QString::fromUtf8(GetParam().legal));
}

INSTANTIATE_TEST_SUITE_P(Cases, LegalTextTest,
                         ::testing::Values(LegalCase{"ProductCopyrightAndTrademarks",
                                                     {"ProductName=Vantrel Utilities",
                                                      "ProductVersion=2.1", "LegalCopyright=(C) V",
                                                      "LegalTrademarks=TM"},
                                                     "Vantrel Utilities 2.1\r(C) V\rTM"},
                                           LegalCase{"WithoutProductNameNoLeadingBlankOrBreak",
                                                     {"ProductVersion=2.1", "LegalCopyright=(C) V"},
                                                     "(C) V"},
                                           LegalCase{"WithoutProductNameButWithTrademarks",
                                                     {"LegalCopyright=(C) V", "LegalTrademarks=TM"},
                                                     "(C) V\rTM"},
                                           LegalCase{"NothingAtAll", {}, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AboutTextsTest, PicksEveryStringByItsKey) {
    const AboutTexts t = AboutTexts::fromVersionInfo({"FileDescription=Desk", "FileVersion=2.1.0.0",
                                                      "HomePage=https://x.example",
                                                      "E-Mail=a@x.example", "Comments=ignored"});
    EXPECT_EQ(t.FileDescription, "Desk");
    EXPECT_EQ(t.aboutVersion(), QString::fromUtf8("Версия 2.1.0.0"));
    EXPECT_EQ(t.HomePage, "https://x.example");
    EXPECT_EQ(t.EMail, "a@x.example");
}

TEST(ProductLogoTest, TakesTheFirstExtensionInTheListOrder) {
    QTemporaryDir dir;
    EXPECT_EQ(findProductLogo(dir.path()), QString());
    for (const char* name : {"LOGO.JPG", "logo.gif", "LOGO.BMP"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(findProductLogo(dir.path()), dir.filePath("logo.gif"));
}

} // namespace
} // namespace vt::desktop
