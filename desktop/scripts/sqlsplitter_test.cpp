// Tests of splitting SQL lines into rSQL commands.
#include "desktop/scripts/sqlsplitter.h"

#include <gtest/gtest.h>

#include "desktop/scripts/scriptkinds.h"

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

Commands splitWith(const ScriptKind& kind, const std::vector<std::string>& lines) {
    SqlSplitter splitter(SplitSettings::fromKind(kind));
    for (const std::string& line : lines)
        splitter.addLine(line);
    return splitter.takeCommands();
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
        SplitCase{"ACommentLineHoldingSetTermChangesTheTerminatorToWhatRemains",
                  exampleKind,
                  {"/* SET TERM ^ ; */", "SELECT 1;", "SELECT 2 /*  ^  */"},
                  {{"SELECT 1;", "SELECT 2 "}}},
        SplitCase{"SetTermInsideABlockCommentChangesTheTerminator",
                  exampleKind,
                  {"/*", "SET TERM ^ ;", "*/", "SELECT 1;", "SELECT 2^"},
                  {{"SELECT 1;", "SELECT 2"}}},
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

TEST(SqlSplitter, TheCurrentTerminatorIsReported) {
    SqlSplitter splitter(SplitSettings::fromKind(exampleKind()));
    EXPECT_EQ(splitter.terminator(), ";");
    splitter.addLine("SET TERM !! ;");
    EXPECT_EQ(splitter.terminator(), "!!");
}

} // namespace
} // namespace vt::desktop
