// Tests of splitting a command line by the shell's quoting rules.
#include "desktop/shell/commandline.h"

#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct SplitCase {
    const char* name;
    const char* line;
    QStringList expected;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheArgumentsAShellWould) {
    EXPECT_EQ(splitCommandLine(QString::fromUtf8(GetParam().line)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    ::testing::Values(
        SplitCase{"BlanksAndTabsSeparate", "prog  a\tb ", {"prog", "a", "b"}},
        SplitCase{"NothingButBlanksGivesNoArguments", "   ", {}},
        SplitCase{"AQuotedPathWithBlanksStaysOneArgument",
                  "\"/opt/my tools/run\" -x",
                  {"/opt/my tools/run", "-x"}},
        SplitCase{
            "SingleQuotesKeepEverything", "echo '$HOME \\ \"x\"'", {"echo", "$HOME \\ \"x\""}},
        SplitCase{"ABackslashInDoubleQuotesEscapesOnlyItsFour",
                  "echo \"a\\\"b \\n\"",
                  {"echo", "a\"b \\n"}},
        SplitCase{"ABackslashOutsideQuotesEscapesABlank", "cat my\\ file", {"cat", "my file"}},
        SplitCase{"QuotesJoinWithNeighbouringText", "x\"a b\"'c d'e", {"xa bc de"}},
        SplitCase{"EmptyQuotesGiveAnEmptyArgument", "prog \"\" z", {"prog", "", "z"}},
        SplitCase{
            "AnUnclosedQuoteRunsToTheEnd", "\"/opt/my tools/run -x", {"/opt/my tools/run -x"}},
        SplitCase{"CyrillicTextPassesUnchanged", "редактор файл.txt", {"редактор", "файл.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::desktop
