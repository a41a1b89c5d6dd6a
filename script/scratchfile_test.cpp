// Tests of the scratch file and of placing its bytes into an atomically written file.
#include "script/scratchfile.h"

#include <gtest/gtest.h>

#include "script/atomicfile.h"
#include "script/testfiles.h"

using namespace vt::script;
using namespace vt::script::testing;

namespace {

// Small and large writes, through the buffer and around it, keep their order in both files.
TEST(ScratchFileTest, BytesArriveInOrderBehindWhatTheTargetHolds) {
    TempDir dir;
    const std::string large(300000, 'L');
    const std::string huge(2 << 20, 'H');
    ScratchFile scratch(dir.path());
    std::string expected = "head|";
    for (const std::string* piece : {&large, &huge, &large}) {
        scratch.write("s");
        scratch.write(*piece);
        expected += "s" + *piece;
    }
    scratch.write("tail");
    expected += "tail";
    AtomicFileWriter out(dir.file("f"));
    out.write("head|");
    scratch.copyTo(out);
    out.write(large);
    expected += large;
    out.commit();
    EXPECT_EQ(readBytes(dir.file("f")), expected);
    EXPECT_EQ(listFolder(dir.path()), "f;");
}

TEST(AtomicFileWriterTest, AWriterLeftUncommittedLeavesNothingAndTheOldFileAsItWas) {
    TempDir dir;
    writeBytes(dir.file("f"), "old");
    {
        AtomicFileWriter out(dir.file("f"));
        out.write(std::string(3 << 20, 'x'));
    }
    EXPECT_EQ(readBytes(dir.file("f")), "old");
    EXPECT_EQ(listFolder(dir.path()), "f;");
}

} // namespace
