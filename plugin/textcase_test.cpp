// Tests of comparing ANSI texts without regard to letter case.
#include "plugin/textcase.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace vt::plugin {
namespace {

struct CaseCase {
    const char* name;
    std::string a, b;
    bool same;
};

std::vector<CaseCase> cases() {
    using platform::ansi;
    return {
        {"EqualTextsAreTheSame", "ABC", "ABC", true},
        {"LatinLettersIgnoreCase", "Abc", "aBC", true},
        {"CyrillicLettersIgnoreCase", ansi("Склад"), ansi("СКЛАД"), true},
        {"YoIgnoresCase", ansi("ёж"), ansi("ЁЖ"), true},
        {"DifferentLettersDiffer", "ABC", "ABD", false},
        {"ALongerTextDiffers", "ABC", "ABCD", false},
        {"EmptyTextsAreTheSame", "", "", true},
        {"DigitsAndSignsCompareExactly", "1.0", "1,0", false},
    };
}

class SameTextIgnoringCase : public ::testing::TestWithParam<CaseCase> {};

TEST_P(SameTextIgnoringCase, ComparesLetters) {
    const CaseCase& c = GetParam();
    EXPECT_EQ(sameTextIgnoringCase(c.a, c.b), c.same);
}

INSTANTIATE_TEST_SUITE_P(Cases, SameTextIgnoringCase, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::plugin
