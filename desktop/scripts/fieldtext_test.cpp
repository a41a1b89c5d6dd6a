// Tests of the field texts of the script windows: file extensions, files standing at a name and
// the ANSI code page.
#include "desktop/scripts/fieldtext.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/codepage.h"
#include "script/testfiles.h"

namespace vt::desktop {
namespace {

TEST(FieldTextTest, ChangeFileExtReplacesTheLastExtensionOfTheLastPart) {
    struct Case {
        const char* name;
        QString fileName;
        QString result;
    };
    const Case cases[] = {
        {"an extension is replaced", "/scripts/upd.sql", "/scripts/upd.rsql"},
        {"only the last extension", "/scripts/upd.v1.sql", "/scripts/upd.v1.rsql"},
        {"a name without extension gets one", "/scripts/upd", "/scripts/upd.rsql"},
        {"a point in a folder name is no extension", "/my.scripts/upd", "/my.scripts/upd.rsql"},
        {"a hidden file's point", "/scripts/.sql", "/scripts/.rsql"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(changeFileExt(c.fileName, QStringLiteral(".rsql")), c.result);
    }
}

TEST(FieldTextTest, AFileStandsAtANameAlsoAsADanglingLink) {
    script::testing::TempDir dir;
    const QString plain = QString::fromStdString(dir.file("plain.sql"));
    const QString dangling = QString::fromStdString(dir.file("dangling.sql"));
    EXPECT_FALSE(fileStandsAt(plain));
    script::testing::writeBytes(dir.file("plain.sql"), "x");
    std::filesystem::create_symlink(dir.file("gone.sql"), dir.file("dangling.sql"));
    EXPECT_TRUE(fileStandsAt(plain));
    EXPECT_TRUE(fileStandsAt(dangling));
}

TEST(FieldTextTest, FieldTextsCrossToTheAnsiCodePageAndBack) {
    platform::setAnsiCodePage(platform::AnsiCodePage::Cp1251);
    const QString typed = QString::fromUtf8("Склад");
    EXPECT_EQ(toAnsiText(typed), std::string("\xD1\xEA\xEB\xE0\xE4"));
    EXPECT_EQ(fromAnsiText(toAnsiText(typed)), typed);
}

} // namespace
} // namespace vt::desktop
