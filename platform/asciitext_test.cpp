// Tests of the ASCII text helpers.
#include "platform/asciitext.h"

#include <gtest/gtest.h>

namespace vt::platform {
namespace {

using namespace std::string_view_literals;

struct TrimCase {
    const char* name;
    std::string_view text;
    std::string_view blanks;
    std::string_view left, right, both;
};

const TrimCase kTrimCases[] = {
    {"EveryControlByteAndTheSpaceAreBlanks",
     "\0\t\r\n \x1F"
     "a b\x7F \0"sv,
     kBlanks, "a b\x7F \0"sv,
     "\0\t\r\n \x1F"
     "a b\x7F"sv,
     "a b\x7F"},
    {"BytesBeyondAsciiAreNoBlanks", "\xA0\xD0\xB0 x \xC2\xA0", kBlanks, "\xA0\xD0\xB0 x \xC2\xA0",
     "\xA0\xD0\xB0 x \xC2\xA0", "\xA0\xD0\xB0 x \xC2\xA0"},
    {"OnlyTheGivenBytesGo", "\t x \r\n", " ", "\t x \r\n", "\t x \r\n", "\t x \r\n"},
    {"TrailingSpacesOfACharColumn", "ab  ", " ", "ab  ", "ab", "ab"},
    {"AllBlankGivesEmpty", " \t \r\n", kBlanks, "", "", ""},
    {"EmptyStaysEmpty", "", kBlanks, "", "", ""},
};

class Trim : public ::testing::TestWithParam<TrimCase> {};

TEST_P(Trim, RemovesTheBlanksAtTheRightEnds) {
    const TrimCase& c = GetParam();
    EXPECT_EQ(trimLeft(c.text, c.blanks), c.left);
    EXPECT_EQ(trimRight(c.text, c.blanks), c.right);
    EXPECT_EQ(trim(c.text, c.blanks), c.both);
}

INSTANTIATE_TEST_SUITE_P(Cases, Trim, ::testing::ValuesIn(kTrimCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AsciiCase, OnlyAsciiLettersChange) {
    EXPECT_EQ(toUpperAscii("azAZ09_@[`{\xE0\xD0\xB0"), "AZAZ09_@[`{\xE0\xD0\xB0");
    EXPECT_EQ(toLowerAscii("azAZ09_@[`{\xC0\xD0\x90"), "azaz09_@[`{\xC0\xD0\x90");
    EXPECT_EQ(toUpperAscii('q'), 'Q');
    EXPECT_EQ(toLowerAscii('Q'), 'q');
}

struct NoCaseCase {
    const char* name;
    std::string_view a, b;
    bool equal, startsWith;
};

const NoCaseCase kNoCaseCases[] = {
    {"LettersOfEitherCaseMatch", "PgSql", "PGSQL", true, true},
    {"APrefixMatchesWithoutTheRest", "Standard driver", "STANDARD", false, true},
    {"ALongerPrefixDoesNotMatch", "STAND", "STANDARD", false, false},
    {"NonLettersMustBeEqual", "a_b", "A-B", false, false},
    {"BytesBeyondAsciiMustBeEqual", "\xE0", "\xC0", false, false},
    {"EmptyMatchesEmpty", "", "", true, true},
};

class NoCase : public ::testing::TestWithParam<NoCaseCase> {};

TEST_P(NoCase, ComparesAsciiLettersWithoutCase) {
    const NoCaseCase& c = GetParam();
    EXPECT_EQ(equalsNoCase(c.a, c.b), c.equal);
    EXPECT_EQ(startsWithNoCase(c.a, c.b), c.startsWith);
}

INSTANTIATE_TEST_SUITE_P(Cases, NoCase, ::testing::ValuesIn(kNoCaseCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::platform
