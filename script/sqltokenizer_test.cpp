// Tests of the SQL tokenizer and of where statements end, per dialect.
#include "script/sqltokenizer.h"

#include <gtest/gtest.h>

#include "script/sqlstatementend.h"

using namespace vt::script;

namespace {

constexpr SqlDialect Lite = SqlDialect::SQLite;
constexpr SqlDialect Pg = SqlDialect::PostgreSQL;

// The statements of the text fed in pieces (lines), each the code tokens joined by blanks.
std::vector<std::string> statementsOf(SqlDialect dialect, const std::vector<std::string>& pieces) {
    SqlTokenizer tokenizer(dialect);
    SqlStatementEnd end(dialect);
    std::vector<std::string> statements;
    std::string current;
    for (const std::string& piece : pieces) {
        SqlToken token;
        std::size_t pos = 0;
        while (tokenizer.next(piece, pos, token)) {
            if (!token.isCode())
                continue;
            if (token.kind == SqlTokenKind::Symbol && token.text == ";" && end.canEnd()) {
                statements.push_back(current);
                current.clear();
                end.reset();
                continue;
            }
            end.take(token);
            if (!current.empty() && !token.continued)
                current += ' ';
            current.append(token.text);
        }
    }
    if (!current.empty())
        statements.push_back(current);
    return statements;
}

struct StatementCase {
    const char* name;
    SqlDialect dialect;
    std::vector<std::string> pieces;
    std::vector<std::string> statements;
};

const StatementCase kStatementCases[] = {
    {"SemicolonsEndStatements", Lite, {"select 1; select 2;"}, {"select 1", "select 2"}},
    {"CommentsAreNoCode", Pg, {"-- a; b", "/* c; */ select 1;"}, {"select 1"}},
    {"AStringGoesOnInTheNextPiece", Lite, {"select 'a;", "b';"}, {"select 'a;b'"}},
    {"DoubledQuotesStayInTheString", Lite, {"select 'it''s;';"}, {"select 'it''s;'"}},
    {"SqliteQuotedNames",
     Lite,
     {"select [a;b], `c;d`, \"e;f\";"},
     {"select [a;b] , `c;d` , \"e;f\""}},
    {"PostgresBackticksAreNoQuotes", Pg, {"select `a;", "b`;"}, {"select ` a", "b `"}},
    {"PostgresEscapeStrings", Pg, {"select E'a\\';b';"}, {"select E'a\\';b'"}},
    {"PostgresNestedComments", Pg, {"/* a /* b */ ; */ select 1;"}, {"select 1"}},
    {"SqliteCommentsDoNotNest", Lite, {"/* a /* b */ select 1;"}, {"select 1"}},
    {"DollarBodies",
     Pg,
     {"do $$ begin; end $$;", "do $x$ $$; $x$;"},
     {"do $$ begin; end $$", "do $x$ $$; $x$"}},
    {"AParameterIsNoDollarQuote", Pg, {"select $1; select $2;"}, {"select $ 1", "select $ 2"}},
    {"ASqliteTriggerEndsAfterItsEnd",
     Lite,
     {"create temp trigger t after insert on a begin", "insert into b values (1);",
      "update c set n = case when 1 then 2 end;", "end; select 1;"},
     {"create temp trigger t after insert on a begin insert into b values ( 1 ) ; update c set n "
      "= case when 1 then 2 end ; end",
      "select 1"}},
    {"ASqliteTableNamedTriggerIsNoTrigger",
     Lite,
     {"create table trigger_log (a); select 1;"},
     {"create table trigger_log ( a )", "select 1"}},
    {"PostgresParenthesesHoldSemicolons",
     Pg,
     {"create rule r as on insert to t do (a; b);"},
     {"create rule r as on insert to t do ( a ; b )"}},
    {"APostgresRoutineBodyEndsWithItsEnd",
     Pg,
     {"create or replace procedure p() begin atomic", "select case when true then 1 end;",
      "end; select 2;"},
     {"create or replace procedure p ( ) begin atomic select case when true then 1 end ; end",
      "select 2"}},
    {"APostgresTransactionBeginIsNoBody", Pg, {"begin; select 1;"}, {"begin", "select 1"}},
};

class StatementEnds : public ::testing::TestWithParam<StatementCase> {};

TEST_P(StatementEnds, FollowTheEnginesClient) {
    const StatementCase& c = GetParam();
    EXPECT_EQ(statementsOf(c.dialect, c.pieces), c.statements);
}

INSTANTIATE_TEST_SUITE_P(Cases, StatementEnds, ::testing::ValuesIn(kStatementCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SqlTokenizerTest, TellsWhatIsLeftOpenAtThePiecesEnd) {
    SqlTokenizer tokenizer(Pg);
    SqlToken token;
    std::size_t pos = 0;
    const std::string piece = "select $body$ x";
    while (tokenizer.next(piece, pos, token)) {
    }
    EXPECT_TRUE(tokenizer.insideToken());
    EXPECT_EQ(token.kind, SqlTokenKind::DollarString);
    EXPECT_TRUE(token.open);
    pos = 0;
    const std::string next = "y $body$ z";
    ASSERT_TRUE(tokenizer.next(next, pos, token));
    EXPECT_TRUE(token.continued);
    EXPECT_FALSE(token.open);
    EXPECT_EQ(token.text, "y $body$");
    EXPECT_FALSE(tokenizer.insideToken());
}

} // namespace
