// Tests of the console's command line: commands, switch presence and switch values.
#include "console/commandline.h"

#include <gtest/gtest.h>

namespace vt::console {
namespace {

TEST(CommandLineTest, TheCommandIsTheFirstArgumentInSmallLetters) {
    EXPECT_EQ(CommandLine({"R", "x"}).command(), "r");
    EXPECT_EQ(CommandLine(std::vector<std::string>{}).command(), "");
    EXPECT_EQ(CommandLine({"i"}).secondArgument(), "");
}

struct SwitchCase {
    const char* name;
    std::vector<std::string> args;
    const char* switchName;
    bool present;
    std::optional<std::string> value;
};

class SwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTest, FindsPresenceAndValue) {
    const SwitchCase& c = GetParam();
    CommandLine line(c.args);
    EXPECT_EQ(line.hasSwitch(c.switchName), c.present);
    EXPECT_EQ(line.switchValue(c.switchName), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwitchTest,
    ::testing::Values(
        SwitchCase{
            "dash_switch_takes_the_next_argument", {"r", "f", "-user", "bob"}, "user", true, "bob"},
        SwitchCase{"slash_and_capitals_give_the_same_value",
                   {"r", "f", "/USER", "bob"},
                   "user",
                   true,
                   "bob"},
        SwitchCase{"mixed_case_switch_is_found", {"r", "f", "-PaSs", "x"}, "pass", true, "x"},
        SwitchCase{
            "switch_as_last_argument_has_an_empty_value", {"r", "f", "-alias"}, "alias", true, ""},
        SwitchCase{"absent_switch_has_no_value", {"r", "f", "-v"}, "user", false, std::nullopt},
        SwitchCase{"argument_without_switch_character_is_no_switch",
                   {"r", "f", "xuser", "bob"},
                   "user",
                   false,
                   std::nullopt},
        SwitchCase{
            "first_occurrence_wins", {"r", "f", "-user", "a", "-user", "b"}, "user", true, "a"},
        SwitchCase{"first_argument_equal_to_the_name_takes_the_second",
                   {"user", "bob"},
                   "user",
                   false,
                   "bob"},
        SwitchCase{"a_value_may_look_like_a_switch", {"r", "f", "-user", "-s"}, "s", true, ""},
        SwitchCase{
            "lone_switch_character_is_no_switch", {"r", "f", "-", "x"}, "", false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::console
