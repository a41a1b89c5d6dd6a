// Tests of the desktop program's small text routines.
#include "desktop/shell/textutils.h"

#include "platform/codepage.h"
#include "platform/exception.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct EscapeCase {
    const char* name;
    QString input;
    QString expected;
};

class ExpandEscapesTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(ExpandEscapesTest, ExpandsAsDescribed) {
    platform::setAnsiCodePage(platform::AnsiCodePage::Cp1251);
    EXPECT_EQ(ExpandEscapes(GetParam().input), GetParam().expected);
}

const EscapeCase kEscapeCases[] = {
    {"BackslashNBecomesALineFeed", QStringLiteral("a\\nb"), QStringLiteral("a\nb")},
    {"CodeStopsBeforeADigitThatWouldPassTwoHundredFiftyFive", QStringLiteral("\\0659"),
     QStringLiteral("A9")},
    {"ThreeHundredGivesCodeThirtyAndTheDigitZero", QStringLiteral("\\300"),
     QString(QChar(30)) + QStringLiteral("0")},
    {"TextWithoutBackslashesIsUnchanged", QStringLiteral("plain text"),
     QStringLiteral("plain text")},
    {"DoubledBackslashesOfAPathBecomeSingle", QStringLiteral("C:\\\\dir\\\\file"),
     QStringLiteral("C:\\dir\\file")},
    {"CarriageReturnAndTabAreExpanded", QStringLiteral("\\r\\t"), QStringLiteral("\r\t")},
    {"BackslashAtTheEndGivesNothing", QStringLiteral("abc\\"), QStringLiteral("abc")},
    {"UnknownEscapeCopiesTheCharacter", QStringLiteral("\\q\\\""), QStringLiteral("q\"")},
    {"CodesAboveOneTwentySevenAreCharactersOfTheAnsiCodePage", QStringLiteral("\\192\\193"),
     QStringLiteral("АБ")},
    {"CodeTwoFiftySixTakesTwentyFiveAndLeavesTheSix", QStringLiteral("\\256"),
     QString(QChar(25)) + QStringLiteral("6")},
    {"DoubleCarriageReturnOfAMessageTemplate", QStringLiteral("Текст\\r\\rЕсли"),
     QStringLiteral("Текст\r\rЕсли")},
};

INSTANTIATE_TEST_SUITE_P(Table, ExpandEscapesTest, ::testing::ValuesIn(kEscapeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextUtilsTest, BlankTextsAreThoseOfBlanksAndControlCharactersOnly) {
    EXPECT_TRUE(IsBlank(QString()));
    EXPECT_TRUE(IsBlank(QStringLiteral(" \t \r\n")));
    EXPECT_FALSE(IsBlank(QStringLiteral("  x ")));
    EXPECT_TRUE(IsNotBlank(QStringLiteral("x")));
    EXPECT_FALSE(IsNotBlank(QStringLiteral("\t")));
}

TEST(TextUtilsTest, StrInArrayComparesExactly) {
    const QStringList list = {QStringLiteral("Alpha"), QStringLiteral("Beta")};
    EXPECT_TRUE(StrInArray(QStringLiteral("Beta"), list));
    EXPECT_FALSE(StrInArray(QStringLiteral("beta"), list));
    EXPECT_FALSE(StrInArray(QStringLiteral("Beta"), {}));
}

TEST(TextUtilsTest, IfThenPicksByTheCondition) {
    EXPECT_EQ(IfThenStr(true, QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("a"));
    EXPECT_EQ(IfThenStr(false, QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("b"));
    EXPECT_EQ(IfThenVar(false, QVariant(1), QVariant(QStringLiteral("x"))).toString(),
              QStringLiteral("x"));
}

struct RangeCase {
    const char* name;
    int start;
    int count;
    QString expected;
};

class ReplaceRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ReplaceRangeTest, RemovesAndInserts) {
    EXPECT_EQ(ReplaceRange(QStringLiteral("abcdef"), GetParam().start, GetParam().count,
                           QStringLiteral("XY")),
              GetParam().expected);
}

const RangeCase kRangeCases[] = {
    {"MiddleRangeIsReplaced", 2, 3, QStringLiteral("aXYef")},
    {"ZeroCountOnlyInserts", 3, 0, QStringLiteral("abXYcdef")},
    {"CountBeyondTheEndIsCut", 5, 10, QStringLiteral("abcdXY")},
    {"StartAfterTheEndAppends", 9, 2, QStringLiteral("abcdefXY")},
    {"StartBeforeTheTextInsertsAtTheFront", 0, 2, QStringLiteral("XYabcdef")},
};

INSTANTIATE_TEST_SUITE_P(Table, ReplaceRangeTest, ::testing::ValuesIn(kRangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextUtilsTest, CountCharsInSetCountsEveryOccurrence) {
    EXPECT_EQ(CountCharsInSet(QStringLiteral("a.b.c;d"), QStringLiteral(".;")), 3);
    EXPECT_EQ(CountCharsInSet(QStringLiteral("abc"), QString()), 0);
}

TEST(TextUtilsTest, StrToFloatDotReadsTheDotWhateverTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_DOUBLE_EQ(StrToFloatDot(QStringLiteral("3.25")), 3.25);
    EXPECT_DOUBLE_EQ(StrToFloatDot(QStringLiteral(" -0.5 ")), -0.5);
    QLocale::setDefault(QLocale::c());
    EXPECT_DOUBLE_EQ(StrToFloatDot(QStringLiteral("1.5")), 1.5);
    QLocale::setDefault(saved);
}

TEST(TextUtilsTest, StrToFloatDotRaisesAConversionErrorForNoNumber) {
    for (const QString& text : {QStringLiteral("abc"), QStringLiteral("1.2.3"), QString()}) {
        try {
            StrToFloatDot(text);
            FAIL() << "no error for " << text.toStdString();
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.className(), "EConvertError");
            EXPECT_EQ(e.message(),
                      "'" + text.toStdString() + "' не является числом с плавающей точкой");
        }
    }
}

} // namespace
} // namespace vt::desktop
