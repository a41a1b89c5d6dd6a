// Tests of command fingerprints and their chain.
#include "plugin/fingerprintchain.h"

#include <gtest/gtest.h>

#include <vector>

namespace vt::plugin {
namespace {

TEST(CommandFingerprint, IsSixteenHexDigitsThatChangeWithAnyByte) {
    EXPECT_EQ(commandFingerprint(""), "cbf29ce484222325");
    EXPECT_EQ(commandFingerprint("a"), "af63dc4c8601ec8c");
    EXPECT_NE(commandFingerprint("select 1\r\n"), commandFingerprint("select 2\r\n"));
    EXPECT_NE(commandFingerprint("select 1\r\n"), commandFingerprint("select 1\n"));
}

std::string chainOf(const std::vector<std::string>& commands) {
    FingerprintChain chain;
    for (const std::string& command : commands)
        chain.add(command);
    return chain.text();
}

TEST(FingerprintChainTest, CoversEveryCommandUpToItsStep) {
    FingerprintChain chain;
    EXPECT_EQ(chain.step(), 0);
    chain.add("a");
    EXPECT_EQ(chain.step(), 1);
    EXPECT_EQ(chain.lastCommandText(), commandFingerprint("a"));
    EXPECT_NE(chain.text(), commandFingerprint("a")) << "a chained row is told from an old one";
    EXPECT_EQ(chain.text().size(), 16u);
    // Fixed values: the chain is recorded in databases and read back by later releases.
    EXPECT_EQ(chain.text(), "db00b066433b2f78");

    const std::vector<std::string> script = {"create t\r\n", "insert 1\r\n", "insert 2\r\n"};
    const std::string base = chainOf(script);
    struct Variant {
        const char* name;
        std::vector<std::string> commands;
    };
    const Variant variants[] = {
        {"AnEarlyCommandEdited", {"create t\r\n", "insert 9\r\n", "insert 2\r\n"}},
        {"TwoCommandsSwapped", {"create t\r\n", "insert 2\r\n", "insert 1\r\n"}},
        {"TextMovedAcrossCommands", {"create t\r\ni", "nsert 1\r\n", "insert 2\r\n"}},
        {"TheFirstCommandEdited", {"create u\r\n", "insert 1\r\n", "insert 2\r\n"}},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        EXPECT_NE(chainOf(v.commands), base);
    }
}

} // namespace
} // namespace vt::plugin
