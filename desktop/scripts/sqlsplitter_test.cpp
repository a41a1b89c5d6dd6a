// Tests of splitting SQL lines into rSQL commands.
#include "desktop/scripts/sqlsplitter.h"

#include <gtest/gtest.h>

#include "desktop/scripts/commandsink.h"
#include "desktop/scripts/scriptkinds.h"
#include "platform/exception.h"

namespace vt::desktop {
namespace {

using Commands = std::vector<std::vector<std::string>>;

// The kind of the examples: ';', SET TERM, block comments, CONNECT and COMMIT ignored.
ScriptKind exampleKind() {
    ScriptKind kind;
    kind.name = "Example";
    kind.delimiter = ";";
    kind.command = "SET TERM";
    kind.ignoreCommand = "CONNECT;COMMIT";
    kind.commentBegin = "/*";
    kind.commentEnd = "*/";
    return kind;
}

// A kind with line comments and no terminator-setting statement.
ScriptKind lineCommentKind() {
    ScriptKind kind;
    kind.name = "Lines";
    kind.delimiter = ";";
    kind.commentBegin = "--";
    return kind;
}

// SQLite's own rules, "--" comments, COMMIT ignored.
ScriptKind sqliteKind() {
    ScriptKind kind;
    kind.name = "SQLite";
    kind.delimiter = ";";
    kind.command = "SET TERM";
    kind.ignoreCommand = "COMMIT";
    kind.commentBegin = "--";
    kind.dialect = "SQLite";
    return kind;
}

// PostgreSQL's own rules, COMMIT ignored.
ScriptKind postgresKind() {
    ScriptKind kind = sqliteKind();
    kind.name = "PostgreSQL";
    kind.dialect = "postgresql";
    return kind;
}

Commands splitWith(const ScriptKind& kind, const std::vector<std::string>& lines) {
    CommandList commands;
    SqlSplitter splitter(SplitSettings::fromKind(kind), commands);
    for (const std::string& line : lines)
        splitter.addLine(line);
    splitter.finish();
    return commands.take();
}

struct SplitCase {
    const char* name;
    ScriptKind (*kind)();
    std::vector<std::string> lines;
    Commands commands;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class SqlSplitterTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SqlSplitterTest, GivesTheCommands) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(splitWith(c.kind(), c.lines), c.commands);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqlSplitterTest,
    ::testing::Values(
        SplitCase{"TheFiveExampleLinesGiveThreeCommands",
                  exampleKind,
                  {"/* first comment */", "CREATE TABLE A (X INT);", "COMMIT;", "/* RECONNECT */",
                   "INSERT INTO A VALUES (1)"},
                  {{"CREATE TABLE A (X INT)"}, {"$$$RECONNECT"}, {"INSERT INTO A VALUES (1)"}}},
        SplitCase{"SetTermSwitchesTheTerminatorAndBackWithoutWritingEitherLine",
                  exampleKind,
                  {"SET TERM ^ ;", "CREATE PROCEDURE P AS", "BEGIN", "  X = 1;", "  Y = 2;", "END^",
                   "SET TERM ; ^", "SELECT 1 FROM R;"},
                  {{"CREATE PROCEDURE P AS", "BEGIN", "  X = 1;", "  Y = 2;", "END"},
                   {"SELECT 1 FROM R"}}},
        SplitCase{"BlankLinesInsideACommandAreKeptAndBetweenCommandsDropped",
                  exampleKind,
                  {"", "SELECT 1", "", "FROM A;", "", "  \t", "SELECT 2;"},
                  {{"SELECT 1", "", "FROM A"}, {"SELECT 2"}}},
        SplitCase{"ACommentLineHoldingSetTermChangesNothing",
                  exampleKind,
                  {"/* SET TERM ^ ; */", "SELECT 1;", "SELECT 2;"},
                  {{"SELECT 1"}, {"SELECT 2"}}},
        SplitCase{"SetTermInsideABlockCommentChangesNothing",
                  exampleKind,
                  {"/*", "SET TERM ^ ;", "*/", "SELECT 1;", "SELECT 2^"},
                  {{"SELECT 1"}, {"SELECT 2^"}}},
        SplitCase{"AnUpdateOfAColumnNamedTermIsAnOrdinaryStatement",
                  exampleKind,
                  {"UPDATE LOANS SET TERM = 12 WHERE ID = 1;", "SELECT 1;"},
                  {{"UPDATE LOANS SET TERM = 12 WHERE ID = 1"}, {"SELECT 1"}}},
        SplitCase{"SetTermInsideAStatementIsPartOfIt",
                  exampleKind,
                  {"UPDATE LOANS", "SET TERM = 12", "WHERE ID = 1;", "SELECT 1;"},
                  {{"UPDATE LOANS", "SET TERM = 12", "WHERE ID = 1"}, {"SELECT 1"}}},
        SplitCase{"SetFollowedByALongerWordIsNoTerminatorStatement",
                  exampleKind,
                  {"set TERM_DAYS = 30;", "SELECT 1;"},
                  {{"set TERM_DAYS = 30"}, {"SELECT 1"}}},
        SplitCase{"SetTermAtAStatementsStartCountsInAnyLetterCase",
                  exampleKind,
                  {"set term ^ ;", "SELECT 1;^", "  Set Term ; ^", "SELECT 2;"},
                  {{"SELECT 1;"}, {"SELECT 2"}}},
        SplitCase{"ACommentThenCodeLineStartsAStatement",
                  exampleKind,
                  {"/* c */ SELECT 1;", "SELECT 2;"},
                  {{"/* c */ SELECT 1"}, {"SELECT 2"}}},
        SplitCase{"ACommentThenCodeLineInsideAStatementEndsIt",
                  exampleKind,
                  {"UPDATE A SET X = 1", "/* note */ WHERE Y = 1;", "SELECT 2;"},
                  {{"UPDATE A SET X = 1", "/* note */ WHERE Y = 1"}, {"SELECT 2"}}},
        SplitCase{"CodeAfterTwoClosedCommentsMakesACodeLine",
                  exampleKind,
                  {"/* a */ /* b */ SELECT 1;"},
                  {{"/* a */ /* b */ SELECT 1"}}},
        SplitCase{"ACommentLeftOpenAfterAClosedOneMakesACommentLine",
                  exampleKind,
                  {"/* a */ /* b", "SELECT 1;", "*/", "SELECT 2;"},
                  {{"SELECT 2"}}},
        SplitCase{"CodeAfterTheEndOfAnOpenCommentMakesACodeLine",
                  exampleKind,
                  {"/* a", "b */ SELECT 1;", "SELECT 2;"},
                  {{"b */ SELECT 1"}, {"SELECT 2"}}},
        SplitCase{"AnIgnoredStatementBehindALeadingCommentIsDropped",
                  exampleKind,
                  {"/* done */ COMMIT;", "SELECT 1;"},
                  {{"SELECT 1"}}},
        SplitCase{"AReconnectCommentEndsAStatementLeftOpen",
                  exampleKind,
                  {"INSERT INTO A VALUES (1)", "/* RECONNECT */", "SELECT 1;"},
                  {{"INSERT INTO A VALUES (1)"}, {"$$$RECONNECT"}, {"SELECT 1"}}},
        SplitCase{"AReconnectCommentEndsAnIgnoredStatementLeftOpen",
                  exampleKind,
                  {"CONNECT 'db'", "/* RECONNECT */", "SELECT 1;"},
                  {{"$$$RECONNECT"}, {"SELECT 1"}}},
        SplitCase{"AByteOrderMarkIsNoPartOfTheFirstLine",
                  exampleKind,
                  {"\xEF\xBB\xBFSELECT 1;", "SELECT 2;"},
                  {{"SELECT 1"}, {"SELECT 2"}}},
        SplitCase{"AByteOrderMarkDoesNotHideAnIgnoredStatement",
                  exampleKind,
                  {"\xEF\xBB\xBF"
                   "COMMIT;",
                   "SELECT 1;"},
                  {{"SELECT 1"}}},
        SplitCase{"ASqliteTriggerBodyIsOneCommand",
                  sqliteKind,
                  {"CREATE TRIGGER tr AFTER INSERT ON t", "BEGIN", "  INSERT INTO log VALUES (1);",
                   "  UPDATE c SET n = CASE WHEN n IS NULL THEN 1 ELSE n + 1 END;",
                   "  DELETE FROM q;", "END;", "SELECT 1;"},
                  {{"CREATE TRIGGER tr AFTER INSERT ON t", "BEGIN", "  INSERT INTO log VALUES (1);",
                    "  UPDATE c SET n = CASE WHEN n IS NULL THEN 1 ELSE n + 1 END;",
                    "  DELETE FROM q;", "END"},
                   {"SELECT 1"}}},
        SplitCase{"APostgresDollarBodyIsOneCommand",
                  postgresKind,
                  {"CREATE FUNCTION f() RETURNS int AS $$", "BEGIN", "  RETURN 1;", "END;",
                   "$$ LANGUAGE plpgsql;", "SELECT f();"},
                  {{"CREATE FUNCTION f() RETURNS int AS $$", "BEGIN", "  RETURN 1;", "END;",
                    "$$ LANGUAGE plpgsql"},
                   {"SELECT f()"}}},
        SplitCase{
            "APostgresTaggedBodyHoldsDollarsAndSemicolons",
            postgresKind,
            {"CREATE FUNCTION g() RETURNS text AS $fn$", "  SELECT '$$;';", "$fn$ LANGUAGE sql;",
             "SELECT g();"},
            {{"CREATE FUNCTION g() RETURNS text AS $fn$", "  SELECT '$$;';", "$fn$ LANGUAGE sql"},
             {"SELECT g()"}}},
        SplitCase{
            "APostgresAtomicBodyIsOneCommand",
            postgresKind,
            {"CREATE FUNCTION h() RETURNS int LANGUAGE sql", "BEGIN ATOMIC", "  SELECT 1;", "END;",
             "SELECT h();"},
            {{"CREATE FUNCTION h() RETURNS int LANGUAGE sql", "BEGIN ATOMIC", "  SELECT 1;", "END"},
             {"SELECT h()"}}},
        SplitCase{"PostgresParenthesesHoldSemicolons",
                  postgresKind,
                  {"CREATE RULE r AS ON INSERT TO t DO ALSO (", "  INSERT INTO a VALUES (1);",
                   "  INSERT INTO b VALUES (2)", ");"},
                  {{"CREATE RULE r AS ON INSERT TO t DO ALSO (", "  INSERT INTO a VALUES (1);",
                    "  INSERT INTO b VALUES (2)", ")"}}},
        SplitCase{"ASqliteStringHoldingATerminatorAtALineEndStaysOpen",
                  sqliteKind,
                  {"INSERT INTO a VALUES ('x;", "y');", "SELECT 1;"},
                  {{"INSERT INTO a VALUES ('x;", "y')"}, {"SELECT 1"}}},
        SplitCase{"APostgresStringHoldingATerminatorAtALineEndStaysOpen",
                  postgresKind,
                  {"INSERT INTO a VALUES (E'x\\';", "y');", "SELECT 1;"},
                  {{"INSERT INTO a VALUES (E'x\\';", "y')"}, {"SELECT 1"}}},
        SplitCase{"LineCommentsBeforeAnIgnoredStatementAreDroppedWithIt",
                  sqliteKind,
                  {"-- finish", "-- the work", "commit;", "SELECT 1;"},
                  {{"SELECT 1"}}},
        SplitCase{"ALineMayHoldSeveralStatementsAndATrailingComment",
                  sqliteKind,
                  {"SELECT 1; SELECT 2; -- done", "  SELECT 3;"},
                  {{"SELECT 1"}, {"SELECT 2"}, {"  SELECT 3"}}},
        SplitCase{"ADialectBlockCommentHoldsTerminators",
                  postgresKind,
                  {"SELECT 1 /* a;", "b; /* nested; */ c; */ + 1;", "/* before", " */ SELECT 2;"},
                  {{"SELECT 1 /* a;", "b; /* nested; */ c; */ + 1"}, {"SELECT 2"}}},
        SplitCase{"ADialectReconnectCommentEndsAStatementLeftOpen",
                  sqliteKind,
                  {"SELECT 1", "-- reconnect", "SELECT 2;"},
                  {{"SELECT 1"}, {"$$$RECONNECT"}, {"SELECT 2"}}},
        SplitCase{
            "ADialectSetTermCountsOnlyAtAStatementsStart",
            sqliteKind,
            {"UPDATE loans SET TERM = 1;", "SET TERM ^ ;", "SELECT 1; SELECT 2^", "SET TERM ; ^"},
            {{"UPDATE loans SET TERM = 1"}, {"SELECT 1; SELECT 2"}}},
        SplitCase{"AnEmptyFileHasNoCommands", exampleKind, {}, {}},
        SplitCase{"BlankLinesAloneHaveNoCommands", exampleKind, {"", "  ", "\t"}, {}},
        SplitCase{"CommentsAndIgnoredStatementsAloneHaveNoCommands",
                  exampleKind,
                  {"/* a */", "CONNECT 'db';", "/*", " b;", "*/", "COMMIT;"},
                  {}},
        SplitCase{"AStatementOpenAtTheEndCountsWhateverFollowsIt",
                  exampleKind,
                  {"SELECT 1;", "SELECT 2", "/* tail */", ""},
                  {{"SELECT 1"}, {"SELECT 2", "/* tail */", ""}}},
        SplitCase{"ATerminatedLastStatementDoesNotCountTheNextNumber",
                  exampleKind,
                  {"SELECT 1;", "", "/* done */", "COMMIT;", ""},
                  {{"SELECT 1"}}},
        SplitCase{"AnIgnoredWordInsideAStatementIsPartOfIt",
                  exampleKind,
                  {"CREATE TABLE T (", "  ID INT,", "  COMMIT_FLAG INT", ");", "SELECT 1;"},
                  {{"CREATE TABLE T (", "  ID INT,", "  COMMIT_FLAG INT", ")"}, {"SELECT 1"}}},
        SplitCase{"ACommitLineEndsAStatementLeftWithoutTerminator",
                  exampleKind,
                  {"INSERT INTO A VALUES (1)", "COMMIT;", "SELECT 1;"},
                  {{"INSERT INTO A VALUES (1)", "COMMIT"}, {"SELECT 1"}}},
        SplitCase{"AnIgnoredStatementIsDroppedUpToItsTerminator",
                  exampleKind,
                  {"connect 'db'", "  USER 'x';", "SELECT 1;"},
                  {{"SELECT 1"}}},
        SplitCase{"AnIgnoredWordInsideABlockCommentStartsNoIgnoredStatement",
                  exampleKind,
                  {"/*", "commit;", "*/", "SELECT 1;"},
                  {{"SELECT 1"}}},
        SplitCase{"ACommentLineInsideAStatementStaysWholeEvenEndingWithTheTerminator",
                  exampleKind,
                  {"SELECT 1", "/* note;", "   more */", "FROM A;"},
                  {{"SELECT 1", "/* note;", "   more */", "FROM A"}}},
        SplitCase{"CommentLinesBeforeAStatementAreDroppedAndInsideItKept",
                  exampleKind,
                  {"/* head */", "SELECT 1", "/* inner */", "FROM A;"},
                  {{"SELECT 1", "/* inner */", "FROM A"}}},
        SplitCase{"AReconnectCommentAnyCaseBecomesTheReconnectCommand",
                  exampleKind,
                  {"/*   reConnect */", "/*", "RECONNECT", "*/"},
                  {{"$$$RECONNECT"}, {"$$$RECONNECT"}}},
        SplitCase{"AReconnectCommentTakesTheCurrentTerminator",
                  exampleKind,
                  {"SET TERM ^ ;", "/* RECONNECT */", "SELECT 1^"},
                  {{"$$$RECONNECT"}, {"SELECT 1"}}},
        SplitCase{"LineCommentsEndWithTheirLine",
                  lineCommentKind,
                  {"-- c1;", "SELECT 1;", "-- RECONNECT", "SELECT 2", "-- two;", "FROM B;"},
                  {{"SELECT 1"}, {"$$$RECONNECT"}, {"SELECT 2", "-- two;", "FROM B"}}},
        SplitCase{"TrailingBlanksAndControlCharactersAreRemovedFirst",
                  exampleKind,
                  {"SELECT 1; \t\r", "  SELECT 2 ;  "},
                  {{"SELECT 1"}, {"  SELECT 2 "}}},
        SplitCase{"ALoneTerminatorEndsAStatementAndMakesNoEmptyCommand",
                  exampleKind,
                  {";", "SELECT 1", ";", ";"},
                  {{"SELECT 1"}}},
        SplitCase{"TheTerminatorStatementIsMatchedWithoutRegardToAsciiCase",
                  exampleKind,
                  {"set term go ;", "SELECT 1 go", "SELECT 2 GO"},
                  {{"SELECT 1 go", "SELECT 2 "}}},
        SplitCase{"OnlyAsciiLettersAreUpperCased",
                  exampleKind,
                  // CP1251: a terminator "я" (FF) is not turned into "Я" (DF).
                  {"set term \xff ;", "SELECT 1 \xdf", "SELECT 2 \xff"},
                  {{"SELECT 1 \xdf", "SELECT 2 "}}},
        SplitCase{"TerminatorsInsideStringLiteralsCountLikeAnyOtherText",
                  exampleKind,
                  {"INSERT INTO A VALUES ('x;", "y');"},
                  {{"INSERT INTO A VALUES ('x"}, {"y')"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitSettings, TakeTheKindsValuesInTheSplittersForm) {
    ScriptKind kind = exampleKind();
    kind.command = "set term";
    kind.ignoreCommand = "connect;;Commit; drop ;";
    const SplitSettings settings = SplitSettings::fromKind(kind);
    EXPECT_EQ(settings.terminator, ";");
    EXPECT_EQ(settings.terminatorStatement, "SET TERM");
    EXPECT_EQ(settings.ignoredStatements,
              (std::vector<std::string>{"CONNECT", "COMMIT", " DROP "}));
    EXPECT_EQ(settings.commentBegin, "/*");
    EXPECT_EQ(settings.commentEnd, "*/");
}

TEST(SqlSplitter, IgnoreListPiecesKeepTheirBlanks) {
    ScriptKind kind = exampleKind();
    kind.ignoreCommand = "CONNECT; COMMIT";
    // " COMMIT" never matches a trimmed line, so COMMIT stays a command.
    EXPECT_EQ(splitWith(kind, {"COMMIT;", "CONNECT x;"}), (Commands{{"COMMIT"}}));
}

TEST(SqlSplitter, AMultiCharacterTerminatorOnALineOfItsOwnEndsTheStatement) {
    ScriptKind kind = exampleKind();
    kind.delimiter = "GO";
    kind.command.clear();
    EXPECT_EQ(splitWith(kind, {"SELECT 1", "GO", "SELECT 2 GO"}),
              (Commands{{"SELECT 1"}, {"SELECT 2 "}}));
}

TEST(SqlSplitter, ANulByteIsRefusedWithItsLineNumber) {
    for (const ScriptKind& kind : {exampleKind(), sqliteKind()}) {
        try {
            splitWith(kind, {"SELECT 1;", "", std::string("SELECT '\0';", 12)});
            FAIL() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Строка 3 SQL-скрипта содержит нулевой байт.");
        }
    }
}

TEST(SqlSplitter, AnUnknownDialectIsRefused) {
    ScriptKind kind = sqliteKind();
    kind.dialect = "Oracle";
    try {
        SplitSettings::fromKind(kind);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(),
                     "Неизвестный диалект SQL \"Oracle\": допустимы SQLite и PostgreSQL.");
    }
}

TEST(SqlSplitter, TheCurrentTerminatorIsReported) {
    CommandList commands;
    SqlSplitter splitter(SplitSettings::fromKind(exampleKind()), commands);
    EXPECT_EQ(splitter.terminator(), ";");
    splitter.addLine("SET TERM !! ;");
    EXPECT_EQ(splitter.terminator(), "!!");
}

} // namespace
} // namespace vt::desktop
