// Tests of batch moves: the five modes, mappings, keys, atomicity and progress, over both drivers
// and between them.
#include "dbengine/data/batchmove.h"

#include "dbengine/core/engineerror.h"
#include "dbengine/data/database.h"
#include "dbengine/data/query.h"
#include "dbengine/data/session.h"
#include "dbengine/data/table.h"
#include "dbengine/testkit/driverfixture.h"

namespace vt::dbengine {
namespace {

using testkit::DriverTest;
using testkit::TestDriver;

// Both databases of a test as database objects, a source and a destination table.
class BatchMoveFixture : public testkit::DriverFixture {
protected:
    void SetUp() override {
        DriverFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        src = open("SourceDB", "DB");
        dst = open("DestinationDB", "DB2");
        direct("create table src(id int primary key, name varchar(20), qty int); "
               "insert into src values (1, 'a', 10); insert into src values (2, 'b', 20); "
               "insert into src values (3, 'c', 30)");
        source = std::make_unique<Table>(session);
        source->setDatabaseName("SourceDB");
        source->setTableName("src");
        destination = std::make_unique<Table>(session);
        destination->setDatabaseName("DestinationDB");
        destination->setTableName("dst");
        move.setSource(source.get());
        move.setDestination(destination.get());
    }

    std::unique_ptr<Database> open(const std::string& name, const std::string& alias) {
        auto db = std::make_unique<Database>(session);
        db->setDatabaseName(name);
        db->setAliasName(alias);
        db->setLoginPrompt(false);
        db->params().setValue("USER NAME", user);
        db->params().setValue("PASSWORD", password);
        db->open();
        return db;
    }

    // The destination's rows as "id|name|qty" lines ordered by the first column.
    std::string rows(const std::string& table = "dst", int database = 2) {
        std::string concat =
            isPg() ? "string_agg(coalesce(id::text,'-') || '|' || coalesce(name,'-') || '|' || "
                     "coalesce(qty::text,'-'), ' ' order by id)"
                   : "group_concat(coalesce(id,'-') || '|' || coalesce(name,'-') || '|' || "
                     "coalesce(qty,'-'), ' ')";
        std::string from = isPg() ? table : "(select * from " + table + " order by id)";
        return direct("select " + concat + " from " + from, database);
    }

    EDBEngineError failure() {
        try {
            move.execute();
        } catch (const EDBEngineError& e) {
            return e;
        }
        ADD_FAILURE() << "the move did not fail";
        return EDBEngineError(0, 0, "");
    }

    Session session;
    std::unique_ptr<Database> src, dst;
    std::unique_ptr<Table> source, destination;
    BatchMove move;
};

class BatchMoveTest : public BatchMoveFixture, public ::testing::WithParamInterface<TestDriver> {
protected:
    TestDriver driver() const override { return GetParam(); }
};

struct ModeCase {
    const char* name;
    BatchMode mode;
    const char* destination; // SQL creating and filling dst in database 2
    std::vector<std::string> mappings;
    const char* rows;
    BatchMoveResult counts;
};

class BatchModeTest : public BatchMoveFixture,
                      public ::testing::WithParamInterface<std::tuple<TestDriver, ModeCase>> {
protected:
    TestDriver driver() const override { return std::get<0>(GetParam()); }
};

const char* const kKeyed =
    "create table dst(id int primary key, name varchar(20), qty int); "
    "insert into dst values (2, 'old', 0); insert into dst values (4, 'd', 40)";

const ModeCase kModeCases[] = {
    {"AppendAddsEveryRow",
     BatchMode::Append,
     "create table dst(id int primary key, name varchar(20), qty int)",
     {},
     "1|a|10 2|b|20 3|c|30",
     {3, 3, 0, 0, 0}},
    {"UpdateChangesMatchingRowsOnly",
     BatchMode::Update,
     kKeyed,
     {},
     "2|b|20 4|d|40",
     {3, 0, 1, 0, 2}},
    {"UpdateChangesOnlyMappedColumns",
     BatchMode::Update,
     kKeyed,
     {"ID=id", "NAME=name"},
     "2|b|0 4|d|40",
     {3, 0, 1, 0, 2}},
    {"AppendUpdateUpdatesOrInserts",
     BatchMode::AppendUpdate,
     kKeyed,
     {},
     "1|a|10 2|b|20 3|c|30 4|d|40",
     {3, 2, 1, 0, 0}},
    {"DeleteRemovesMatchingRows", BatchMode::Delete, kKeyed, {"id"}, "4|d|40", {3, 0, 0, 1, 2}},
    {"CopyReplacesAnExistingTable",
     BatchMode::Copy,
     "create table dst(other text); insert into dst values ('x')",
     {},
     "1|a|10 2|b|20 3|c|30",
     {3, 3, 0, 0, 0}},
    {"CopyCreatesAMissingTable", BatchMode::Copy, "", {}, "1|a|10 2|b|20 3|c|30", {3, 3, 0, 0, 0}},
    {"MappingFillsColumnsOfOtherNames",
     BatchMode::Append,
     "create table dst(id int, name varchar(20), qty int, note text)",
     {"ID=qty", " name = name ", "", "QTY=id"},
     "10|a|1 20|b|2 30|c|3",
     {3, 3, 0, 0, 0}},
    {"AUniqueIndexServesAsKey",
     BatchMode::Update,
     "create table dst(id int not null, name varchar(20), qty int); create unique index dst_id on "
     "dst(id); "
     "insert into dst values (3, 'old', 0)",
     {},
     "3|c|30",
     {3, 0, 1, 0, 2}},
};

TEST_P(BatchModeTest, MovesRowsAsTheModeSays) {
    const ModeCase& c = std::get<1>(GetParam());
    if (*c.destination)
        direct(c.destination, 2);
    move.setMode(c.mode);
    move.setMappings(c.mappings);
    move.execute();
    EXPECT_EQ(rows(), c.rows);
    const auto& r = move.result();
    EXPECT_EQ(r.rowsRead, c.counts.rowsRead);
    EXPECT_EQ(r.appended, c.counts.appended);
    EXPECT_EQ(r.updated, c.counts.updated);
    EXPECT_EQ(r.deleted, c.counts.deleted);
    EXPECT_EQ(r.unmatched, c.counts.unmatched);
}

INSTANTIATE_TEST_SUITE_P(Drivers, BatchModeTest,
                         ::testing::Combine(::testing::Values(TestDriver::Sqlite,
                                                              TestDriver::Postgres),
                                            ::testing::ValuesIn(kModeCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == TestDriver::Sqlite
                                                    ? "Sqlite_"
                                                    : "Postgres_") +
                                    std::get<1>(info.param).name;
                         });

TEST_P(BatchMoveTest, CopyCarriesThePrimaryKey) {
    move.setMode(BatchMode::Copy);
    move.execute();
    try {
        direct("insert into dst values (1, 'again', 0)", 2);
        FAIL() << "the key was not carried";
    } catch (const std::runtime_error&) {
    }
}

TEST_P(BatchMoveTest, AConstraintViolationMovesNothingAndNamesTheRow) {
    direct("create table dst(id int primary key, name varchar(20), qty int); insert into dst "
           "values (2, 'x', 0)",
           2);
    move.setMode(BatchMode::Append);
    EDBEngineError e = failure();
    EXPECT_EQ(e.errorCode(), status::kKeyViolation);
    ASSERT_GE(e.entries().size(), 2u);
    EXPECT_EQ(e.entries()[0].nativeCode, 0);
    std::string context = e.entries()[0].message;
    EXPECT_NE(context.find("Batch move into dst failed at source row 2"), std::string::npos)
        << context;
    if (!isPg()) {
        EXPECT_NE(context.find("(id=2)"), std::string::npos) << context;
    }
    EXPECT_NE(e.entries().back().nativeCode, 0);
    EXPECT_EQ(rows(), "2|x|0") << "nothing was moved";
}

TEST_P(BatchMoveTest, AFailedMoveLeavesNoRowBehind) {
    direct("create table bad(id text); insert into bad values ('1'); insert into bad values ('x')");
    direct("create table dst(id int primary key)", 2);
    source->setTableName("bad");
    EDBEngineError e = failure();
    EXPECT_EQ(e.errorCode(), status::kConversion);
    EXPECT_NE(e.entries()[0].message.find("at source row 2"), std::string::npos) << e.message();
    EXPECT_EQ(direct("select count(*) from dst", 2), "0") << "row 1 went back out";
}

TEST_P(BatchMoveTest, UpdateAndDeleteNeedAKey) {
    direct(
        "create table dst(id int, name varchar(20), qty int); insert into dst values (1, 'x', 0)",
        2);
    for (BatchMode mode : {BatchMode::Update, BatchMode::AppendUpdate, BatchMode::Delete}) {
        move.setMode(mode);
        EDBEngineError e = failure();
        EXPECT_EQ(e.errorCode(), status::kNoKey);
        EXPECT_EQ(e.message(), "Table has no primary key or unique index: dst (update and delete "
                               "need a key to find rows)");
    }
    EXPECT_EQ(rows(), "1|x|0");
}

TEST_P(BatchMoveTest, UnusableMappingsAreRefusedBeforeAnythingChanges) {
    direct(kKeyed, 2);
    struct Case {
        std::vector<std::string> lines;
        BatchMode mode;
        const char* text;
    } cases[] = {
        {{"ID=nope"}, BatchMode::Append, "the source has no column nope"},
        {{"ID=id", "NAME="}, BatchMode::Append, "line \"NAME=\" names no source column"},
        {{"=id"}, BatchMode::Append, "line \"=id\" names no destination column"},
        {{"ID=id", "nope=name"}, BatchMode::Append, "dst has no column nope"},
        {{"ID=id", "id=qty"}, BatchMode::Append, "destination column ID is filled twice"},
        {{"NAME=name"}, BatchMode::Update, "key column id of dst is not mapped"},
    };
    for (const auto& c : cases) {
        move.setMappings(c.lines);
        move.setMode(c.mode);
        EDBEngineError e = failure();
        EXPECT_EQ(e.errorCode(), status::kMappingError);
        EXPECT_EQ(e.message(), std::string("Invalid column mapping: ") + c.text);
    }
    EXPECT_EQ(rows(), "2|old|0 4|d|40");
}

TEST_P(BatchMoveTest, NoCommonColumnIsRefused) {
    direct("create table dst(other int)", 2);
    EXPECT_EQ(failure().errorCode(), status::kMappingError);
}

TEST_P(BatchMoveTest, SourceAndDestinationMustDiffer) {
    Table same(session);
    same.setDatabaseName("SourceDB");
    same.setTableName("SRC");
    move.setDestination(&same);
    move.setMode(BatchMode::Copy);
    EXPECT_EQ(failure().errorCode(), status::kSameTable);
    EXPECT_EQ(direct("select count(*) from src"), "3");
}

TEST_P(BatchMoveTest, AValueThatDoesNotFitStopsTheMoveNamingRowAndColumn) {
    direct("create table dst(id int primary key, name varchar(20), qty int)", 2);
    move.setMappings({"id=id", "qty=name"});
    EDBEngineError e = failure();
    EXPECT_EQ(e.errorCode(), status::kConversion);
    EXPECT_EQ(e.message(), "Batch move into dst failed at source row 1; nothing was changed\n"
                           "Value cannot be converted: column qty: text that is not a whole number "
                           "cannot be converted to Integer");
}

TEST_P(BatchMoveTest, ProgressCountsRowsAgainstTheTotalAndCanCancel) {
    direct(isPg()
               ? "insert into src select g, 'n', g from generate_series(4, 25000) g"
               : "with recursive g(x) as (select 4 union all select x + 1 from g where x < 25000) "
                 "insert into src select x, 'n', x from g");
    direct("create table dst(id int primary key, name varchar(20), qty int)", 2);
    std::vector<std::pair<std::int64_t, std::int64_t>> seen;
    move.setProgressHandler([&](const BatchProgress& p) {
        seen.emplace_back(p.done, p.total);
        return true;
    });
    move.execute();
    EXPECT_EQ(seen, (std::vector<std::pair<std::int64_t, std::int64_t>>{
                        {10000, 25000}, {20000, 25000}, {25000, 25000}}));
    EXPECT_EQ(direct("select count(*) from dst", 2), "25000");

    move.setMode(BatchMode::Copy);
    move.setProgressHandler([](const BatchProgress& p) { return p.done < 20000; });
    EXPECT_EQ(failure().errorCode(), status::kCancelled);
    EXPECT_EQ(direct("select count(*) from dst", 2), "25000") << "a cancelled copy changes nothing";
}

TEST_P(BatchMoveTest, AQuerySourceIsCopiedWithItsResultColumns) {
    Query query(session);
    query.setDatabaseName("SourceDB");
    query.setSql("select id, name || '!' as shout, qty * 1.5 as half from src where id > 1");
    move.setSource(&query);
    move.setMode(BatchMode::Copy);
    move.execute();
    EXPECT_EQ(
        direct(isPg()
                   ? "select string_agg(shout || half, ',' order by id) from dst"
                   : "select group_concat(shout || half, ',') from (select * from dst order by id)",
               2),
        isPg() ? "b!30.0,c!45.0" : "b!30.0,c!45.0");
    EXPECT_EQ(move.movedCount(), 2);
}

TEST_P(BatchMoveTest, InsideAnOpenTransactionTheMoveIsASavepoint) {
    direct("create table dst(id int primary key, name varchar(20), qty int)", 2);
    dst->startTransaction();
    move.execute();
    EXPECT_TRUE(dst->inTransaction());
    dst->rollback();
    EXPECT_EQ(direct("select count(*) from dst", 2), "0");
}

INSTANTIATE_TEST_SUITE_P(Drivers, BatchMoveTest,
                         ::testing::Values(TestDriver::Sqlite, TestDriver::Postgres),
                         testkit::testDriverName);

// ---- between the drivers and within one file ----

class CrossDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        VT_REQUIRE_PG();
        server = *testkit::pgServer();
        scratch = std::make_unique<testkit::PgScratchDatabase>(server);
        file = env.newSqliteFile("local.db");
        env.writeAliases("[LOCAL]\nPATH=" + file + "\n[SAMEFILE]\nPATH=" + file +
                         "\n[PG]\nDRIVER=PGSQL\nSERVER NAME=" + server.serverName(scratch->name()) +
                         "\nUSER NAME=" + server.user + "\n");
        local = std::make_unique<Database>(session);
        local->setDatabaseName("Local");
        local->setAliasName("LOCAL");
        local->setLoginPrompt(false);
        local->open();
        pg = std::make_unique<Database>(session);
        pg->setDatabaseName("Pg");
        pg->setAliasName("PG");
        pg->setLoginPrompt(false);
        pg->params().setValue("PASSWORD", server.password);
        pg->open();
    }
    testkit::EngineEnv env;
    testkit::PgServer server;
    std::unique_ptr<testkit::PgScratchDatabase> scratch;
    std::string file;
    Session session;
    std::unique_ptr<Database> local, pg;
};

TEST_F(CrossDriverTest, CopyCarriesTypesAndValuesToPostgresAndBack) {
    testkit::sqliteRun(
        file, "create table t(id INTEGER primary key, small SMALLINT, name VARCHAR(20), "
              "code CHAR(3), price NUMERIC(10,2), ratio REAL, flag BOOLEAN, born DATE, "
              "seen TIMESTAMP, data BLOB, note TEXT); "
              "insert into t values (1, 7, 'Ёж', 'abc', 12.5, 0.25, 1, '2024-02-29', "
              "'2024-02-29 10:11:12', x'00ff10', 'tab\there\nline \\ end'); "
              "insert into t values (2, null, null, null, null, null, 0, null, null, null, null)");
    Table source(session), target(session);
    source.setDatabaseName("Local");
    source.setTableName("t");
    target.setDatabaseName("Pg");
    target.setTableName("t");
    BatchMove move;
    move.setSource(&source);
    move.setDestination(&target);
    move.setMode(BatchMode::Copy);
    move.execute();
    EXPECT_EQ(scratch->run("select string_agg(column_name || ':' || data_type || coalesce('(' || "
                           "character_maximum_length || ')', ''), ',' order by ordinal_position) "
                           "from information_schema.columns where table_name = 't'"),
              "id:bigint,small:smallint,name:character varying(20),code:character(3),price:numeric,"
              "ratio:double precision,flag:boolean,born:date,seen:timestamp without time zone,"
              "data:bytea,note:text");
    EXPECT_EQ(
        scratch->run("select concat_ws('|', id, small, name, code, price, ratio, flag, born, seen, "
                     "encode(data, 'hex'), note) from t where id = 1"),
        "1|7|Ёж|abc|12.50|0.25|t|2024-02-29|2024-02-29 10:11:12|00ff10|tab\there\nline \\ end");
    EXPECT_EQ(scratch->run(
                  "select count(*) from pg_index where indrelid = 't'::regclass and indisprimary"),
              "1");

    // And back into another SQLite table.
    Table back(session);
    back.setDatabaseName("Local");
    back.setTableName("t2");
    move.setSource(&target);
    move.setDestination(&back);
    move.execute();
    EXPECT_EQ(
        testkit::sqliteRun(
            file, "select group_concat(name || ':' || type, ',') from pragma_table_info('t2')"),
        "id:INTEGER,small:SMALLINT,name:VARCHAR(20),code:CHAR(3),price:NUMERIC(10,2),ratio:REAL,"
        "flag:BOOLEAN,born:DATE,seen:TIMESTAMP,data:BLOB,note:TEXT");
    EXPECT_EQ(testkit::sqliteRun(
                  file, "select count(*) from t join t2 using (id) where t.name is t2.name and "
                        "t.code is t2.code and t.price = t2.price and t.ratio is t2.ratio and "
                        "t.flag is t2.flag and t.born is t2.born and t.seen is t2.seen and "
                        "t.data is t2.data and t.note is t2.note"),
              "1");
}

TEST_F(CrossDriverTest, AFailedCopyLeavesTheOldTable) {
    scratch->run("create table dst(id int); insert into dst values (7)");
    testkit::sqliteRun(
        file, "create table src(id int primary key, name varchar(5)); "
              "insert into src values (1, 'short'); insert into src values (2, 'far too long')");
    Table source(session), target(session);
    source.setDatabaseName("Local");
    source.setTableName("src");
    target.setDatabaseName("Pg");
    target.setTableName("DST");
    BatchMove move;
    move.setSource(&source);
    move.setDestination(&target);
    move.setMode(BatchMode::Copy);
    try {
        move.execute();
        FAIL() << "the copy did not fail";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.errorCode(), status::kConversion);
        EXPECT_NE(e.entries()[0].message.find("failed at source row 2; nothing was changed"),
                  std::string::npos)
            << e.message();
        EXPECT_EQ(e.entries().back().nativeCode, 22001);
    }
    EXPECT_EQ(scratch->run("select string_agg(id::text, ',') from dst"), "7")
        << "the old table is back";
}

TEST_F(CrossDriverTest, TwoAliasesOfOneSqliteFileShareItsConnection) {
    testkit::sqliteRun(file,
                       "create table a(id int primary key, v text); insert into a values (1, 'x'); "
                       "create table b(id int primary key, v text)");
    Database other(session);
    other.setDatabaseName("Other");
    other.setAliasName("SAMEFILE");
    other.setLoginPrompt(false);
    other.open();
    Table source(session), target(session);
    source.setDatabaseName("Other");
    source.setTableName("a");
    target.setDatabaseName("Local");
    target.setTableName("b");
    BatchMove move;
    move.setSource(&source);
    move.setDestination(&target);
    move.execute();
    EXPECT_EQ(testkit::sqliteRun(file, "select v from b"), "x");
    target.setTableName("A");
    EXPECT_EQ(
        [&] {
            try {
                move.execute();
            } catch (const EDBEngineError& e) {
                return e.errorCode();
            }
            return Status(0);
        }(),
        status::kSameTable);
}

} // namespace
} // namespace vt::dbengine
