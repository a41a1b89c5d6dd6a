// Tests of collecting scripts and ordering them into a chain of versions.
#include "runner/scriptchain.h"

#include <gtest/gtest.h>

#include "console/testsupport/rsqlfixture.h"
#include "runner/runfailure.h"
#include "script/rsqlwriter.h"
#include "testkit/tempdir.h"

namespace vt::runner {
namespace {

using console::testing::scriptContent;
using console::testing::writeFile;
using vt::testkit::TempDir;

// A script as file name, old version and new version.
struct Step {
    const char* file;
    const char* from;
    const char* to;
};

struct ChainCase {
    const char* name;
    std::vector<Step> scripts;      // written into one folder
    std::vector<std::string> order; // expected chain order; empty when refused
    const char* refusal;            // start of the refusal text, or nullptr
};

class ChainTest : public ::testing::TestWithParam<ChainCase> {
protected:
    TempDir dir;
};

TEST_P(ChainTest, OrdersTheFolderOrRefusesItBeforeAnythingRuns) {
    const ChainCase& c = GetParam();
    for (const Step& s : c.scripts)
        script::writeRsqlScript(dir.file(s.file), scriptContent("SHOP", s.from, s.to, {"x"}));
    writeFile(dir.file("notes.txt"), "not a script");
    try {
        ScriptChain chain(collectScripts({dir.path()}));
        ASSERT_EQ(c.refusal, nullptr) << "no refusal";
        std::vector<std::string> order;
        for (const ChainScript& s : chain.ordered())
            order.push_back(s.path.substr(dir.path().size() + 1));
        EXPECT_EQ(order, c.order);
    } catch (const RunFailure& failure) {
        ASSERT_NE(c.refusal, nullptr) << failure.what();
        EXPECT_EQ(std::string(failure.what()).rfind(c.refusal, 0), 0u) << failure.what();
        EXPECT_EQ(failure.cause(), FailureCause::Version);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChainTest,
    ::testing::Values(
        ChainCase{"names_out_of_version_order",
                  {{"a.rsql", "1.1", "1.2"}, {"b.rsql", "0.0", "1.0"}, {"c.rsql", "1.0", "1.1"}},
                  {"b.rsql", "c.rsql", "a.rsql"},
                  nullptr},
        ChainCase{"unversioned_scripts_stay_aside",
                  {{"1.rsql", "0.0", "1.0"}, {"2.rsql", "", ""}, {"3.rsql", "1.0", "1.1"}},
                  {"1.rsql", "3.rsql"},
                  nullptr},
        ChainCase{"start_without_old_version",
                  {{"1.rsql", "", "1.0"}, {"2.rsql", "1.0", "2.0"}},
                  {"1.rsql", "2.rsql"},
                  nullptr},
        ChainCase{"fork",
                  {{"1.rsql", "0.0", "1.0"}, {"2.rsql", "1.0", "1.1"}, {"3.rsql", "1.0", "2.0"}},
                  {},
                  "2.rsql and 3.rsql both start from version '1.0'"},
        ChainCase{"hole",
                  {{"1.rsql", "0.0", "1.0"}, {"2.rsql", "1.0", "1.1"}, {"3.rsql", "1.2", "1.3"}},
                  {},
                  "No script leads from version '1.1' to version '1.2' (3.rsql)"},
        ChainCase{"loop_beside_the_chain",
                  {{"1.rsql", "0.0", "1.0"}, {"2.rsql", "5", "6"}, {"3.rsql", "6", "5"}},
                  {},
                  "The scripts' versions form a loop"},
        ChainCase{"loop_only",
                  {{"1.rsql", "1", "2"}, {"2.rsql", "2", "1"}},
                  {},
                  "The scripts' versions form a loop"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChainStartTest, FindsWhereADatabaseOfEachVersionStarts) {
    TempDir dir;
    const Step steps[] = {{"1.rsql", "0.0", "1.0"}, {"2.rsql", "1.0", "1.1"}};
    for (const Step& s : steps)
        script::writeRsqlScript(dir.file(s.file), scriptContent("SHOP", s.from, s.to, {"x"}));
    const ScriptChain chain(collectScripts({dir.file("2.rsql"), dir.file("1.rsql")}));
    const struct {
        std::string version;
        std::optional<std::size_t> start;
    } cases[] = {
        {"", 0},               // no version yet: from the start
        {"0.0", 0},            // the first script's old version
        {"1.0", 1},            // between the two
        {"1.1", 2},            // the end of the chain: up to date
        {"0.9", std::nullopt}, // not in the chain
    };
    for (const auto& c : cases)
        EXPECT_EQ(chain.startFor(c.version), c.start) << "version '" << c.version << "'";
}

TEST(CollectTest, MissingPathsAndDamagedHeadersAreScriptFailures) {
    TempDir dir;
    writeFile(dir.file("new.rsql"), "[Tools]\r\nVersion=9.9\r\n");
    writeFile(dir.file("comma.rsql"), "[Tools]\r\nVersion=1,2\r\n");
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {dir.file("none.rsql"), dir.file("none.rsql") + " does not exist"},
        {dir.file("new.rsql"), "new.rsql: script format version 9.9 is newer"},
        {dir.file("comma.rsql"), "comma.rsql: script format version '1,2' is not a number"},
    };
    for (const auto& c : cases) {
        try {
            for (const ChainScript& s : collectScripts({c.path}))
                checkScriptFormat(s);
            ADD_FAILURE() << c.path << " accepted";
        } catch (const RunFailure& failure) {
            EXPECT_EQ(failure.cause(), FailureCause::Script);
            EXPECT_NE(std::string(failure.what()).find(c.message), std::string::npos)
                << failure.what();
        }
    }
    TempDir empty;
    EXPECT_THROW(collectScripts({empty.path()}), RunFailure);
}

} // namespace
} // namespace vt::runner
