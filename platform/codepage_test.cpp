// Tests of the code page conversions.
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vt::platform;

namespace {

class CodePageTest : public ::testing::Test {
protected:
    void SetUp() override { setAnsiCodePage(AnsiCodePage::Cp1251); }
    void TearDown() override { setAnsiCodePage(AnsiCodePage::Cp1251); }
};

TEST_F(CodePageTest, EveryCp1251ByteSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
}

TEST_F(CodePageTest, RussianTextConvertsBothWays) {
    const std::string utf8 = "Ошибка BDE ёЁ №";
    const std::string cp = utf8ToCp1251(utf8);
    EXPECT_EQ(cp, "\xCE\xF8\xE8\xE1\xEA\xE0 BDE \xB8\xA8 \xB9");
    EXPECT_EQ(cp1251ToUtf8(cp), utf8);
}

TEST_F(CodePageTest, CharactersOutsideCp1251AndMalformedUtf8BecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1251("a\xE4\xB8\xAD"
                           "b"),
              "a?b");                            // a CJK character
    EXPECT_EQ(utf8ToCp1251("a\xC3(b"), "a?(b");  // a broken sequence
    EXPECT_EQ(utf8ToCp1251("x\xE2\x82"), "x??"); // cut off at the end
}

TEST_F(CodePageTest, Utf8AnsiCodePageMakesTheAnsiConversionsIdentities) {
    setAnsiCodePage(AnsiCodePage::Utf8);
    const std::string text = "Привет";
    EXPECT_EQ(utf8ToAnsi(text), text);
    EXPECT_EQ(ansiToUtf8(text), text);
    EXPECT_EQ(ansi("Пароль"), "Пароль");
}

TEST_F(CodePageTest, TerminalCharsetFollowsTheLocale) {
    struct Case {
        const char* lcAll;
        const char* expected;
    };
    const Case cases[] = {
        {"ru_RU.UTF-8", "UTF-8"},     {"en_US.utf8", "UTF-8"},    {"C", "UTF-8"},
        {"POSIX", "UTF-8"},           {"ru_RU.CP1251", "CP1251"}, {"ru_RU.KOI8-R", "KOI8-R"},
        {"C.ANSI_X3.4-1968", "UTF-8"}};
    for (const Case& c : cases) {
        setenv("LC_ALL", c.lcAll, 1);
        EXPECT_EQ(terminalCharset(), c.expected) << c.lcAll;
    }
    setenv("LC_ALL", "ru_RU.KOI8-R", 1);
    // KOI8-R puts the capital letter A (U+0410) at 0xE1.
    EXPECT_EQ(ansiToTerminal("\xC0"), "\xE1");
    EXPECT_EQ(terminalToAnsi("\xE1"), "\xC0");
    setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(ansiToTerminal("\xC0"), "А");
    EXPECT_EQ(terminalToAnsi("А"), "\xC0");
    unsetenv("LC_ALL");
}

} // namespace
