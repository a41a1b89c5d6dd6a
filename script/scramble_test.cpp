// Tests of the header and command-line scramblings.
#include "script/scramble.h"

#include <gtest/gtest.h>

#include <random>

using namespace vt::script;

namespace {

struct ScrambleCase {
    const char* name;
    std::string (*scramble)(std::string_view);
    std::string plain;
    std::string scrambled;
};

const ScrambleCase kScrambleCases[] = {
    {"HeaderEmptyStaysEmpty", scrambleHeader, "", ""},
    {"HeaderOneByteIsLoweredByOne", scrambleHeader, "B", "A"},
    {"HeaderOddLengthInterleavesReversed", scrambleHeader, "abc", "b``"},
    {"HeaderEvenLengthInterleavesReversed", scrambleHeader, "abcd", "caa_"},
    {"HeaderBytesWrapAroundZero", scrambleHeader, std::string("\x01\x00", 2), "\xFF\xFF"},
    {"CommandEmptyStaysEmpty", scrambleCommand, "", ""},
    {"CommandOddLengthMirrorsBytes", scrambleCommand, "abc", "\xBC\xBE\xBD"},
    {"CommandEvenLengthMirrorsBytes", scrambleCommand, "abcd", "\xBB\xBD\xBC\xBE"},
    {"CommandByteFFBecomesABlank", scrambleCommand, "\xFF", " "},
    {"CommandFirstByteOfAnEvenLineLandsLast", scrambleCommand, "\xFFz", "\xA5 "},
};

class ScrambleTable : public ::testing::TestWithParam<ScrambleCase> {};

TEST_P(ScrambleTable, ScramblesAndUnscramblesAsDocumented) {
    const ScrambleCase& c = GetParam();
    EXPECT_EQ(c.scramble(c.plain), c.scrambled);
    auto unscramble = c.scramble == scrambleHeader ? unscrambleHeader : unscrambleCommand;
    EXPECT_EQ(unscramble(c.scrambled), c.plain);
}

INSTANTIATE_TEST_SUITE_P(Examples, ScrambleTable, ::testing::ValuesIn(kScrambleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScrambleTest, RandomByteStringsSurviveBothScramblingsBothWays) {
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 300);
    for (int round = 0; round < 2000; ++round) {
        std::string text(static_cast<std::size_t>(length(random)), '\0');
        for (char& c : text)
            c = static_cast<char>(byte(random));
        ASSERT_EQ(unscrambleHeader(scrambleHeader(text)), text);
        ASSERT_EQ(scrambleHeader(unscrambleHeader(text)), text);
        ASSERT_EQ(unscrambleCommand(scrambleCommand(text)), text);
        ASSERT_EQ(scrambleCommand(unscrambleCommand(text)), text);
        ASSERT_EQ(scrambleHeader(text).size(), text.size());
    }
}

TEST(ScrambleTest, EveryByteValueRoundTripsInEveryPosition) {
    std::string text;
    for (int b = 0; b < 256; ++b)
        text += static_cast<char>(b);
    for (std::size_t n : {text.size(), text.size() - 1}) {
        const std::string part = text.substr(0, n);
        EXPECT_EQ(unscrambleHeader(scrambleHeader(part)), part);
        EXPECT_EQ(unscrambleCommand(scrambleCommand(part)), part);
    }
}

} // namespace
