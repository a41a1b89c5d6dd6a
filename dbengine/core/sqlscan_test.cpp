// Tests of statement splitting and '?' marker numbering.
#include "dbengine/core/sqlscan.h"

#include <gtest/gtest.h>

namespace vt::dbengine {
namespace {

struct SplitCase {
    const char* name;
    const char* sql;
    bool postgres;
    std::vector<std::string> statements;
};

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, SplitsAtSemicolonsOutsideQuotesAndComments) {
    const auto& c = GetParam();
    EXPECT_EQ(splitSqlStatements(c.sql, c.postgres ? SqlDialect::postgres() : SqlDialect::sqlite()),
              c.statements);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTest,
    ::testing::Values(
        SplitCase{"OneStatementWithoutSemicolon", "select 1", false, {"select 1"}},
        SplitCase{
            "TrailingSemicolonAndCommentAddNothing", "select 1; -- done\n", false, {"select 1"}},
        SplitCase{"TwoStatements",
                  "create table t(a int); insert into t values(1)",
                  false,
                  {"create table t(a int)", " insert into t values(1)"}},
        SplitCase{"SemicolonInStringStays", "select 'a;b'", false, {"select 'a;b'"}},
        SplitCase{
            "SemicolonInQuotedNameStays", "select 1 as \"x;y\"", false, {"select 1 as \"x;y\""}},
        SplitCase{"SemicolonInBlockCommentStays", "select /* ; */ 1", false, {"select /* ; */ 1"}},
        SplitCase{
            "DollarQuotedBodyStaysWhole",
            "create function f() returns int as $$ begin return 1; end $$ language plpgsql",
            true,
            {"create function f() returns int as $$ begin return 1; end $$ language plpgsql"}},
        SplitCase{"EscapeStringWithQuote",
                  "select E'it\\'s;'; select 2",
                  true,
                  {"select E'it\\'s;'", " select 2"}},
        SplitCase{"OnlyCommentsIsNoStatement", "-- nothing\n/* here */", false, {}},
        SplitCase{"ASqliteTriggerBodyStaysWhole",
                  "create trigger t after insert on a begin delete from b; end; select 1",
                  false,
                  {"create trigger t after insert on a begin delete from b; end", " select 1"}},
        SplitCase{"PostgresParenthesesAndRoutineBodiesStayWhole",
                  "create rule r as on insert to t do (delete from a; delete from b);"
                  "create function f() returns int language sql begin atomic select 1; end",
                  true,
                  {"create rule r as on insert to t do (delete from a; delete from b)",
                   "create function f() returns int language sql begin atomic select 1; end"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MarkerTest, NumbersMarkersOutsideQuotesAndComments) {
    int count = 0;
    EXPECT_EQ(numberSqlMarkers("update t set a = ?, b = '?' where c = ? -- ?\n",
                               SqlDialect::postgres(), count),
              "update t set a = $1, b = '?' where c = $2 -- ?\n");
    EXPECT_EQ(count, 2);
    EXPECT_EQ(countSqlMarkers("select \"?\", ? from t", SqlDialect::sqlite()), 1);
}

} // namespace
} // namespace vt::dbengine
