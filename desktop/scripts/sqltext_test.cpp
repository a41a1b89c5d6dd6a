// Tests of the byte-string helpers of the script conversions.
#include "desktop/scripts/sqltext.h"
#include "desktop/scripts/textlines.h"

#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

TEST(SqlText, TrimmingRemovesBlanksAndControlCharactersOnly) {
    EXPECT_EQ(platform::trim(" \t\x01 a b \r\x1f "), "a b");
    EXPECT_EQ(platform::trimRight(" \ta b \r"), " \ta b");
    EXPECT_EQ(platform::trim("\xff"), "\xff"); // a high byte is text, not a blank
    EXPECT_TRUE(isBlank(" \t\r\n"));
    EXPECT_TRUE(isBlank(""));
    EXPECT_TRUE(isNotBlank(" x "));
}

TEST(SqlText, UpperCasingChangesOnlyAsciiLetters) {
    // CP1251 "яЯ" (FF DF) stays as it is.
    EXPECT_EQ(platform::toUpperAscii("set term \xff\xdf z;"), "SET TERM \xff\xdf Z;");
    EXPECT_TRUE(startsWithUpper("commit work", "COMMIT"));
    EXPECT_FALSE(startsWithUpper("comm", "COMMIT"));
    EXPECT_TRUE(containsUpper("/* set Term ^ */", "SET TERM"));
    EXPECT_FALSE(containsUpper("SET  TERM", "SET TERM"));
}

TEST(SqlText, RemoveAllTakesOccurrencesLeftToRight) {
    EXPECT_EQ(removeAll("/* RECONNECT */", "*/"), "/* RECONNECT ");
    EXPECT_EQ(removeAll("aaa", "aa"), "a");
    EXPECT_EQ(removeAll("abc", ""), "abc");
}

struct LinesCase {
    const char* name;
    std::string_view text;
    std::vector<std::string_view> lines;
};

void PrintTo(const LinesCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(SplitLinesTest, CutsAtEveryKindOfLineEnd) {
    EXPECT_EQ(splitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitLinesTest,
    ::testing::Values(LinesCase{"AnEmptyTextHasNoLines", "", {}},
                      LinesCase{"AFinalLineWithoutLineEndCounts", "a\nb", {"a", "b"}},
                      LinesCase{"AFinalLineEndAddsNoEmptyLine", "a\r\nb\r\n", {"a", "b"}},
                      LinesCase{"CrLfLfAndCrEachEndALine", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
                      LinesCase{"EmptyLinesAreKept", "\n\r\n\rx", {"", "", "", "x"}},
                      LinesCase{"ACrBeforeCrLfIsALineOfItsOwn", "a\r\r\nb", {"a", "", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::desktop
