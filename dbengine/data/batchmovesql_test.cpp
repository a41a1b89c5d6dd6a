// Tests of the SQL text of batch moves, in SQLite's quoting.
#include "dbengine/data/batchmovesql.h"

#include "dbengine/drivers/drivers.h"
#include "dbengine/testkit/testkit.h"

#include <gtest/gtest.h>

namespace vt::dbengine {
namespace {

class BatchMoveSqlTest : public ::testing::Test {
protected:
    BatchMovePlan plan(BatchMode mode, std::vector<std::string> key,
                       std::vector<std::string> sourceKey = {}) {
        BatchMoveInput input;
        input.mode = mode;
        input.destinationName = "dst";
        for (const char* n : {"id", "na me"}) {
            ColumnInfo c{.name = n, .type = ColumnType::Integer, .size = 8};
            input.sourceColumns.push_back(c);
        }
        input.sourceColumns[1].notNull = true;
        input.sourceKey = std::move(sourceKey);
        if (mode != BatchMode::Copy)
            input.destination = TableInfo{{"dst", "\"dst\""}, input.sourceColumns, key, {}};
        return BatchMovePlan::make(input);
    }

    testkit::EngineEnv env;
    std::unique_ptr<Connection> conn =
        connectDatabase("DBName=" + env.newSqliteFile("x.db"), "", "");
};

TEST_F(BatchMoveSqlTest, StatementsFindRowsByTheKey) {
    BatchMovePlan keyed = plan(BatchMode::Update, {"na me"});
    BatchMoveSql sql(*conn, keyed, "\"dst\"");
    EXPECT_EQ(sql.update(), "UPDATE \"dst\" SET \"id\" = ? WHERE \"na me\" = ?");
    EXPECT_EQ(sql.insert(), "INSERT INTO \"dst\" (\"id\", \"na me\") VALUES (?, ?)");
    EXPECT_EQ(sql.remove(), "DELETE FROM \"dst\" WHERE \"na me\" = ?");

    BatchMovePlan allKey = plan(BatchMode::Update, {"id", "na me"});
    EXPECT_EQ(BatchMoveSql(*conn, allKey, "t").update(),
              "UPDATE t SET \"id\" = \"id\" WHERE \"id\" = ? AND \"na me\" = ?")
        << "a table of key columns only still gets a valid UPDATE";
}

TEST_F(BatchMoveSqlTest, ACopyCreatesTheTableWithItsKey) {
    BatchMovePlan copy = plan(BatchMode::Copy, {}, {"ID"});
    EXPECT_EQ(
        BatchMoveSql(*conn, copy, BatchMoveSql::quoteNewTable(*conn, "main.new")).createTable(),
        "CREATE TABLE \"main\".\"new\" (\"id\" INTEGER, \"na me\" INTEGER NOT NULL, "
        "PRIMARY KEY (\"id\"))");
}

} // namespace
} // namespace vt::dbengine
