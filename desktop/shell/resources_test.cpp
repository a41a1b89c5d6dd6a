// Tests of resource lookup and picture loading from the program's own module.
#include "desktop/shell/resources.h"

#include "desktop/shell/appsettings.h"
#include "desktop/shell/shellerrors.h"
#include "desktop/shell/testenv.h"

#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct NameCase {
    const char* name;
    QString input;
    QString expected;
};

class NormalizeResNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NormalizeResNameTest, Normalises) {
    QString name = GetParam().input;
    NormalizeResName(name);
    EXPECT_EQ(name, GetParam().expected);
}

const NameCase kNameCases[] = {
    {"NumberInBlanksBecomesNumericIdentifier", QStringLiteral("  12 "), QStringLiteral("#12")},
    {"ZeroStaysAsItIs", QStringLiteral("0"), QStringLiteral("0")},
    {"NegativeNumberStaysAsItIs", QStringLiteral("-5"), QStringLiteral("-5")},
    {"NameIsUnchanged", QStringLiteral("BBOK"), QStringLiteral("BBOK")},
    {"NameIsTrimmed", QStringLiteral(" EXIT_BTN\t"), QStringLiteral("EXIT_BTN")},
    {"NumberBeyondThirtyTwoBitsIsAName", QStringLiteral("99999999999"),
     QStringLiteral("99999999999")},
};

INSTANTIATE_TEST_SUITE_P(Table, NormalizeResNameTest, ::testing::ValuesIn(kNameCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureQtApp();
        doneAppSettings();
    }
    void TearDown() override { doneAppSettings(); }
    testing::ScopedConfigDir m_config;
};

template <typename F> std::string errorOf(F&& call) {
    try {
        call();
    } catch (const vt::Exception& e) {
        return std::string(e.className()) + ": " + e.message();
    }
    return "no error";
}

TEST_F(ResourcesTest, LookupTriesTheGivenModuleThenTheListedOnes) {
    HModule module = programModule();
    EXPECT_EQ(FindResourceModule(module, QStringLiteral("bbok"), QStringLiteral("BITMAP")),
              QStringLiteral(":/vtdesk/BITMAP/BBOK"));
    HModule none = nullptr;
    EXPECT_TRUE(FindResourceModule(none, QStringLiteral("BBOK"), QStringLiteral("BITMAP")));
    EXPECT_EQ(none, programModule());
    HModule other = programModule();
    EXPECT_EQ(FindResourceModule(other, QStringLiteral("BBOK"), QStringLiteral("GIF")),
              std::nullopt);
}

TEST_F(ResourcesTest, BitmapIconAndNumericResourcesAreDrawn) {
    QImage bitmap;
    LoadResourceGraphic(bitmap, programModule(), QStringLiteral("BBOK"), rkBitmap);
    EXPECT_EQ(bitmap.size(), QSize(16, 12));
    LoadResourceGraphic(bitmap, programModule(), QStringLiteral(" 12 "), rkBitmap);
    EXPECT_EQ(bitmap.size(), QSize(8, 8));
    EXPECT_EQ(bitmap.pixelColor(0, 0), QColor(0, 0, 0x80));
    LoadResourceGraphic(bitmap, programModule(), QStringLiteral("AppIcon"), rkIcon);
    EXPECT_EQ(bitmap.size(), QSize(32, 32));
    EXPECT_EQ(bitmap.pixelColor(0, 0), QColor(255, 0, 255));
    EXPECT_EQ(bitmap.pixelColor(16, 16), QColor(0xC0, 0, 0));
}

TEST_F(ResourcesTest, MissingResourceRaisesNotFoundWithTheNormalisedName) {
    QImage bitmap;
    EXPECT_EQ(errorOf([&] {
                  LoadResourceGraphic(bitmap, programModule(), QStringLiteral("NOPE"), rkGIF);
              }),
              "EResNotFound: Ресурс NOPE не найден");
    EXPECT_EQ(errorOf([&] { LoadResourceHandle(programModule(), QStringLiteral("99"), rkIcon); }),
              "EResNotFound: Ресурс #99 не найден");
    // A cursor draws nothing, but its lookup must still succeed.
    EXPECT_EQ(errorOf([&] {
                  LoadResourceGraphic(bitmap, programModule(), QStringLiteral("BBOK"), rkCursor);
              }),
              "EResNotFound: Ресурс BBOK не найден");
}

TEST_F(ResourcesTest, ResourceWithoutAPictureRaisesInvalidGraphic) {
    QImage bitmap;
    EXPECT_EQ(errorOf([&] {
                  LoadResourceGraphic(bitmap, programModule(), QStringLiteral("BROKEN"), rkGIF);
              }),
              "EInvalidGraphic: Ресурс BROKEN не содержит изображения");
}

TEST_F(ResourcesTest, HandlesOfEachKindAreLoaded) {
    const ResourceHandle bitmap =
        LoadResourceHandle(programModule(), QStringLiteral("BBOK"), rkBitmap);
    EXPECT_EQ(std::get<QImage>(bitmap).size(), QSize(16, 12));
    const ResourceHandle icon =
        LoadResourceHandle(programModule(), QStringLiteral("APPICON"), rkIcon);
    EXPECT_FALSE(std::get<QIcon>(icon).isNull());
}

TEST_F(ResourcesTest, GlyphLoaderFollowsTheControlsState) {
    QObject control;
    QImage glyph;
    LoadGlyphResource(&control, glyph, rkNone, QStringLiteral("BBOK"));
    LoadGlyphResource(&control, glyph, rkBitmap, QStringLiteral("  "));
    EXPECT_TRUE(glyph.isNull());
    control.setProperty(kLoadingProperty, true);
    LoadGlyphResource(&control, glyph, rkBitmap, QStringLiteral("NOPE"));
    EXPECT_TRUE(glyph.isNull());
    control.setProperty(kLoadingProperty, false);
    control.setProperty(kDesigningProperty, true);
    LoadGlyphResource(&control, glyph, rkBitmap, QStringLiteral("NOPE"));
    control.setProperty(kDesigningProperty, false);
    EXPECT_EQ(
        errorOf([&] { LoadGlyphResource(&control, glyph, rkBitmap, QStringLiteral("NOPE")); }),
        "EResNotFound: Ресурс NOPE не найден");
    LoadGlyphResource(&control, glyph, rkBitmap, QStringLiteral("BBOK"));
    EXPECT_EQ(glyph.size(), QSize(16, 12));
}

} // namespace
} // namespace vt::desktop
