// Tests of the console writer: code page conversion, colours and the column-60 markers.
#include "console/consolewriter.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "console/memoryterminal.h"
#include "platform/codepage.h"

namespace vt::console {
namespace {

class ConsoleWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("LC_ALL", "C.UTF-8", 1);
        platform::setAnsiCodePage(platform::AnsiCodePage::Cp1251);
        terminal.setRecordColours(true);
    }
    MemoryTerminal terminal;
};

TEST_F(ConsoleWriterTest, AnsiTextIsConvertedAndRawTextIsNot) {
    ConsoleWriter out(terminal);
    out.write("\xCF\xF0\xE8\xE2\xE5\xF2"); // "Привет" in CP1251
    out.writeRaw("|\xCF|");
    EXPECT_EQ(terminal.output(), "Привет|\xCF|");
}

TEST_F(ConsoleWriterTest, ColumnCountsCharactersNotBytes) {
    ConsoleWriter out(terminal);
    out.write("\xCF\xF0\xE8");
    EXPECT_EQ(out.column(), 3);
    out.line("x");
    EXPECT_EQ(out.column(), 0);
}

TEST_F(ConsoleWriterTest, ColouredTextReturnsToThePreviousColour) {
    ConsoleWriter out(terminal);
    out.writeColoured(Colour::BrightWhite, "ERROR: ");
    EXPECT_EQ(terminal.output(), "{15}ERROR: {7}");
}

struct MarkerCase {
    const char* name;
    int startColumn;
    bool ok;
    std::string expected;
};

class MarkerTest : public ConsoleWriterTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(MarkerTest, LandsAtColumnSixty) {
    const MarkerCase& c = GetParam();
    ConsoleWriter out(terminal);
    out.write(std::string(static_cast<std::size_t>(c.startColumn), 'x'));
    out.marker(c.ok);
    EXPECT_EQ(terminal.output(),
              std::string(static_cast<std::size_t>(c.startColumn), 'x') + c.expected);
    EXPECT_EQ(out.column(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkerTest,
    ::testing::Values(MarkerCase{"short_line_is_padded_with_blanks", 17, true,
                                 std::string(43, ' ') + " [{10}  OK  {7}]\n"},
                      MarkerCase{"line_at_column_sixty_gets_no_padding", 60, false,
                                 " [{12} FAILED {7}]\n"},
                      MarkerCase{"longer_line_puts_the_marker_on_the_next_line", 61, true,
                                 "\n" + std::string(60, ' ') + " [{10}  OK  {7}]\n"},
                      MarkerCase{"empty_line_is_padded_fully", 0, false,
                                 std::string(60, ' ') + " [{12} FAILED {7}]\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::console
