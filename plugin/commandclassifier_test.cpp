// Tests of the classification of script commands for transactions.
#include "plugin/commandclassifier.h"

#include <gtest/gtest.h>

namespace vt::plugin {
namespace {

using E = TransactionEffect;

struct ClassifyCase {
    const char* name;
    script::SqlDialect dialect;
    const char* sql;
    bool fitsInTransaction;
    TransactionEffect effect;
};

constexpr script::SqlDialect Lite = script::SqlDialect::SQLite;
constexpr script::SqlDialect Pg = script::SqlDialect::PostgreSQL;

const ClassifyCase kCases[] = {
    {"AnInsertFitsInATransaction", Pg, "insert into t values (1)\r\n", true, E::None},
    {"DdlFitsInATransaction", Lite, "CREATE TABLE t (k int);\r\n", true, E::None},
    {"AnEmptyCommandFits", Pg, "", true, E::None},
    {"CommentsOnlyFit", Pg, "-- nothing\r\n/* here */\r\n", true, E::None},
    {"BeginOpensTheScriptsTransaction", Pg, "BEGIN\r\n", false, E::Opens},
    {"BeginAfterCommentsOpens", Lite, "/* a */ -- b\r\n  begin transaction;\r\n", false, E::Opens},
    {"StartTransactionOpens", Pg, "start transaction isolation level serializable", false,
     E::Opens},
    {"CommitCloses", Pg, "COMMIT", false, E::Closes},
    {"EndCloses", Lite, "end transaction", false, E::Closes},
    {"RollbackCloses", Pg, "rollback work", false, E::Closes},
    {"AbortCloses", Pg, "ABORT", false, E::Closes},
    {"RollbackToASavepointKeepsTheTransaction", Pg, "ROLLBACK TO SAVEPOINT s", false, E::None},
    {"RollbackTransactionToKeepsTheTransaction", Lite, "rollback transaction to s", false, E::None},
    {"CommitAndChainKeepsATransactionOpen", Pg, "COMMIT AND CHAIN", false, E::Opens},
    {"CommitAndNoChainCloses", Pg, "COMMIT AND NO CHAIN", false, E::Closes},
    {"ASavepointStartsASqliteTransaction", Lite, "SAVEPOINT s", false, E::Opens},
    {"APostgresSavepointOpensNothing", Pg, "SAVEPOINT s", false, E::None},
    {"ReleaseRunsOnItsOwn", Lite, "RELEASE s", false, E::None},
    {"CommitPreparedRunsOnItsOwn", Pg, "COMMIT PREPARED 'x'", false, E::None},
    {"PrepareTransactionEndsTheTransaction", Pg, "PREPARE TRANSACTION 'x'", false, E::Closes},
    {"CreateDatabaseRunsOnItsOwn", Pg, "create database other", false, E::None},
    {"DropDatabaseRunsOnItsOwn", Pg, "DROP DATABASE IF EXISTS other", false, E::None},
    {"CreateTablespaceRunsOnItsOwn", Pg, "CREATE TABLESPACE x LOCATION '/x'", false, E::None},
    {"AlterDatabaseSetTablespaceRunsOnItsOwn", Pg, "ALTER DATABASE d SET TABLESPACE x", false,
     E::None},
    {"AlterDatabaseOwnerFits", Pg, "ALTER DATABASE d OWNER TO u", true, E::None},
    {"PostgresVacuumRunsOnItsOwn", Pg, "VACUUM ANALYZE t", false, E::None},
    {"SqliteVacuumRunsOnItsOwn", Lite, "vacuum", false, E::None},
    {"CreateIndexConcurrentlyRunsOnItsOwn", Pg, "CREATE UNIQUE INDEX CONCURRENTLY i ON t (k)",
     false, E::None},
    {"DropIndexConcurrentlyRunsOnItsOwn", Pg, "drop index concurrently i", false, E::None},
    {"ReindexConcurrentlyRunsOnItsOwn", Pg, "REINDEX (VERBOSE) TABLE CONCURRENTLY t", false,
     E::None},
    {"ReindexDatabaseRunsOnItsOwn", Pg, "REINDEX DATABASE d", false, E::None},
    {"ReindexOfATableFits", Pg, "REINDEX TABLE t", true, E::None},
    {"AlterSystemRunsOnItsOwn", Pg, "ALTER SYSTEM SET work_mem = '8MB'", false, E::None},
    {"ClusterWithoutATableRunsOnItsOwn", Pg, "CLUSTER VERBOSE", false, E::None},
    {"ClusterOfATableFits", Pg, "CLUSTER t USING i", true, E::None},
    {"ClusterOfAQuotedTableFits", Pg, "CLUSTER \"T\"", true, E::None},
    {"DiscardAllRunsOnItsOwn", Pg, "DISCARD ALL", false, E::None},
    {"CreateSubscriptionRunsOnItsOwn", Pg, "CREATE SUBSCRIPTION s CONNECTION 'x' PUBLICATION p",
     false, E::None},
    {"SqlitePragmaRunsOnItsOwn", Lite, "PRAGMA foreign_keys = ON", false, E::None},
    {"SqliteAttachRunsOnItsOwn", Lite, "ATTACH DATABASE 'x.db' AS x", false, E::None},
    {"ACreateDatabaseIsNoSqliteStatement", Lite, "create database other", true, E::None},
    {"KeywordsInStringsAreNoStatements", Pg, "insert into t values ('commit; vacuum')", true,
     E::None},
    {"KeywordsInEscapeStringsAreNoStatements", Pg, "insert into t values (E'a\\'; vacuum')", true,
     E::None},
    {"KeywordsInQuotedNamesAreNoStatements", Pg, "insert into \"commit; vacuum\" values (1)", true,
     E::None},
    {"KeywordsInCommentsAreNoStatements", Pg, "select 1 -- ; commit\r\n/* ; vacuum */", true,
     E::None},
    {"NestedPostgresCommentsAreSkipped", Pg, "select 1 /* a /* b */ ; vacuum */", true, E::None},
    {"DollarQuotedBodiesAreSkipped", Pg,
     "create function f() returns void as $body$ begin; commit; end $body$ language plpgsql", true,
     E::None},
    {"AParameterIsNoDollarQuote", Pg, "select $1; vacuum", false, E::None},
    {"SqliteBracketNamesAreSkipped", Lite, "insert into [commit; vacuum] values (1)", true,
     E::None},
    {"ASqliteTriggerBodyIsOneStatement", Lite,
     "CREATE TRIGGER tr AFTER INSERT ON t BEGIN\r\n"
     "  UPDATE u SET n = CASE WHEN n IS NULL THEN 1 ELSE n + 1 END;\r\n"
     "  DELETE FROM v;\r\nEND;\r\n",
     true, E::None},
    {"AStatementAfterATriggerCounts", Lite,
     "CREATE TEMP TRIGGER tr AFTER INSERT ON t BEGIN DELETE FROM v; END; VACUUM", false, E::None},
    {"ABeginAtomicBodyIsOneStatement", Pg,
     "CREATE FUNCTION f() RETURNS int LANGUAGE sql BEGIN ATOMIC SELECT 1; END", true, E::None},
    {"AColumnNamedBeginIsNoBody", Lite, "CREATE TABLE t (begin int); VACUUM", false, E::None},
    {"TheLastEffectCounts", Pg, "BEGIN; INSERT INTO t VALUES (1); COMMIT;", false, E::Closes},
    {"ATransactionOpenedAfterACommitStaysOpen", Pg, "COMMIT; BEGIN", false, E::Opens},
    {"OneStatementThatCannotRunInATransactionDecides", Pg,
     "INSERT INTO t VALUES (1); VACUUM t; INSERT INTO t VALUES (2)", false, E::None},
};

class ClassifyCommand : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyCommand, TellsWhetherTheCommandFitsInATransaction) {
    const ClassifyCase& c = GetParam();
    const CommandTraits traits = classifyCommand(c.sql, c.dialect);
    EXPECT_EQ(traits.fitsInTransaction, c.fitsInTransaction) << c.sql;
    EXPECT_EQ(traits.effect, c.effect) << c.sql;
}

INSTANTIATE_TEST_SUITE_P(Cases, ClassifyCommand, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::plugin
