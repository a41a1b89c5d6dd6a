// Tests of reading a file's lines through a buffer of fixed size.
#include "script/linereader.h"

#include <gtest/gtest.h>

#include "script/inifile.h"
#include "script/testfiles.h"

using namespace vt::script;
using namespace vt::script::testing;

namespace {

struct Read {
    std::vector<std::string> lines;
    std::vector<bool> cut;
};

Read readAll(const std::string& path, std::size_t maxLine) {
    Read read;
    LineReader reader(path, maxLine);
    std::string_view line;
    while (reader.next(line)) {
        read.lines.emplace_back(line);
        read.cut.push_back(reader.cut());
    }
    EXPECT_EQ(reader.position(), reader.size());
    return read;
}

struct LineCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

const LineCase kLineCases[] = {
    {"AnEmptyFileHasNoLines", "", {}},
    {"EachLineEndCounts", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
    {"AFinalLineEndMakesNoEmptyLine", "a\r\n", {"a"}},
    {"BlankLinesAreKept", "\r\n\n\r", {"", "", ""}},
    {"ALoneCrAtTheEndEndsTheLastLine", "a\r", {"a"}},
    {"LfCrIsTwoLineEnds", "a\n\rb", {"a", "", "b"}},
};

class LineReaderCases : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineReaderCases, GivesTheLines) {
    TempDir dir;
    writeBytes(dir.file("f"), GetParam().text);
    EXPECT_EQ(readAll(dir.file("f"), 100).lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineReaderCases, ::testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Line ends falling on every position around the edges of the blocks read, CR LF split between
// two blocks included.
TEST(LineReaderTest, LinesAcrossBlockEdgesComeOutAsFromTheWholeText) {
    TempDir dir;
    for (std::size_t shift = 0; shift < 12; ++shift) {
        std::string text(shift, 'x');
        std::vector<std::string> expected;
        std::string first(shift, 'x');
        for (int i = 0; text.size() < 700000; ++i) {
            const std::string line = "line " + std::to_string(i);
            first += line;
            expected.push_back(first);
            first.clear();
            text += line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        }
        writeBytes(dir.file("f"), text);
        ASSERT_EQ(readAll(dir.file("f"), 64).lines, expected) << "shift " << shift;
    }
}

TEST(LineReaderTest, ALongLineIsCutAndItsRestSkipped) {
    TempDir dir;
    writeBytes(dir.file("f"), "short\r\n" + std::string(1000, 'y') + "\r\nnext");
    const Read read = readAll(dir.file("f"), 10);
    EXPECT_EQ(read.lines, (std::vector<std::string>{"short", "yyyyyyyyyy", "next"}));
    EXPECT_EQ(read.cut, (std::vector<bool>{false, true, false}));
}

TEST(LineReaderTest, AnEndlessLineNeedsNoMoreThanTheLimit) {
    TempDir dir;
    writeBytes(dir.file("f"), std::string(3 << 20, 'z'));
    const Read read = readAll(dir.file("f"), 1 << 10);
    ASSERT_EQ(read.lines.size(), 1u);
    EXPECT_TRUE(read.cut[0]);
}

TEST(LineReaderTest, RewindStartsAgain) {
    TempDir dir;
    writeBytes(dir.file("f"), "a\nb\n");
    LineReader reader(dir.file("f"), 10);
    std::string_view line;
    ASSERT_TRUE(reader.next(line));
    reader.rewind();
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "a");
}

TEST(LineReaderTest, AMissingFileOrAFolderIsAClearError) {
    TempDir dir;
    EXPECT_THROW(LineReader(dir.file("none"), 10), IniError);
    try {
        LineReader reader(dir.path(), 10);
        FAIL() << "no error";
    } catch (const IniError& e) {
        EXPECT_EQ(e.errorCode(), EISDIR);
    }
}

} // namespace
