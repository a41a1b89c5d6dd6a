// Tests of the data-access layer's session, database, table and query objects over both drivers.
#include "dbengine/core/driver.h"
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

class SessionTest : public DriverTest {
protected:
    // A connected database object of the session on alias DB.
    std::unique_ptr<Database> connect(const std::string& name, const std::string& alias = "DB") {
        auto db = std::make_unique<Database>(session);
        db->setDatabaseName(name);
        db->setAliasName(alias);
        db->setLoginPrompt(false);
        db->params().setValue("USER NAME", user);
        db->params().setValue("PASSWORD", password);
        db->open();
        return db;
    }
    template <class F> Status codeOf(F&& f) {
        try {
            f();
        } catch (const EDBEngineError& e) {
            return e.errorCode();
        }
        return 0;
    }
    Session session;
};

TEST_P(SessionTest, AliasesTheirDriversAndParameters) {
    EXPECT_EQ(session.aliasNames(), (std::vector<std::string>{"DB", "DB2"}));
    EXPECT_TRUE(session.isAlias("db2"));
    EXPECT_FALSE(session.isAlias("NOPE"));
    EXPECT_FALSE(session.isAlias("DBName=/tmp/x.db"));
    EXPECT_EQ(session.aliasDriverName("DB"), isPg() ? "PGSQL" : "STANDARD");
    EXPECT_EQ(session.aliasParams("DB").value("USER NAME"), user);
    EXPECT_EQ(codeOf([&] { session.aliasDriverName("NOPE"); }), status::kUnknownAlias);
}

TEST_P(SessionTest, TableNamesFollowThePatternAndLeaveSystemTablesOut) {
    direct("create table Orders(id int); create table order_lines(id int); "
           "create table customers(id int); create view big_orders as select * from Orders");
    auto db = connect("Src");
    std::vector<std::string> all = {"big_orders", "customers", "order_lines",
                                    isPg() ? "orders" : "Orders"};
    EXPECT_EQ(session.tableNames("Src", "", false, false), all);
    EXPECT_EQ(session.tableNames("SRC", "ORD*", true, false),
              (std::vector<std::string>{"order_lines", isPg() ? "orders" : "Orders"}));
    EXPECT_EQ(session.tableNames("Src", "?ustomers", false, false),
              (std::vector<std::string>{"customers"}));
    auto withSystem = session.tableNames("Src", "", false, true);
    std::string system = isPg() ? "pg_class" : "sqlite_schema";
    EXPECT_NE(std::find(withSystem.begin(), withSystem.end(), system), withSystem.end());
    if (!isPg()) {
        EXPECT_EQ(session.tableNames("DB", "cust*", false, false),
                  (std::vector<std::string>{"customers"}))
            << "an alias is opened for the call";
    }
}

TEST_P(SessionTest, DatabasesOpenCloseAndKeepTheirSessionOrder) {
    Database first(session), second(session);
    first.setDatabaseName("SourceDB");
    second.setDatabaseName("DestinationDB");
    for (Database* d : {&second, &first}) {
        d->setAliasName(d == &first ? "DB" : "DB2");
        d->setLoginPrompt(false);
        d->params().setValue("USER NAME", user);
        d->params().setValue("PASSWORD", password);
        d->open();
    }
    EXPECT_EQ(session.connectedDatabases(), (std::vector<Database*>{&first, &second}));
    EXPECT_EQ(session.findDatabase("sourcedb"), &first);
    EXPECT_TRUE(first.isSqlBased());
    EXPECT_EQ(first.driverName(), isPg() ? "PGSQL" : "STANDARD");
    EXPECT_THROW(first.setAliasName("DB2"), vt::EDatabaseError);
    first.close();
    EXPECT_FALSE(first.connected());
    EXPECT_EQ(session.connectedDatabases(), (std::vector<Database*>{&second}));

    Database twin(session);
    twin.setDatabaseName("destinationdb");
    twin.setAliasName("DB");
    twin.setLoginPrompt(false);
    EXPECT_THROW(twin.open(), vt::EDatabaseError) << "a connected database already has the name";
}

TEST_P(SessionTest, TheLoginHandlerSuppliesOrCancelsTheLogin) {
    Database db(session);
    db.setAliasName("DB");
    bool asked = false;
    db.setLoginHandler([&](Database&, ParamList& params) {
        asked = true;
        params.setValue("USER NAME", user);
        params.setValue("PASSWORD", password);
        return true;
    });
    db.open();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(db.connected());
    db.close();
    db.setLoginHandler([](Database&, ParamList&) { return false; });
    EXPECT_THROW(db.open(), vt::EDatabaseError);
    EXPECT_FALSE(db.connected());
}

TEST_P(SessionTest, TablesAndQueriesNameTheirColumnsAndStreamTheirRows) {
    direct("create table items(id int primary key, title varchar(20), price numeric(8,2)); "
           "insert into items values (1, 'pen', 1.50); insert into items values (2, 'ink', null)");
    auto db = connect("Src");
    Table table(session);
    table.setDatabaseName("Src");
    table.setTableName("ITEMS");
    EXPECT_TRUE(table.exists());
    EXPECT_EQ(table.columnNames(), (std::vector<std::string>{"id", "title", "price"}));
    EXPECT_EQ(table.columns()[1].type, ColumnType::Text);
    EXPECT_EQ(table.columns()[1].size, 20);
    EXPECT_EQ(table.cheapRowCount(), 2);
    table.open();
    int rows = 0;
    while (table.next())
        ++rows;
    EXPECT_EQ(rows, 2);
    table.close();
    EXPECT_THROW(table.next(), vt::EDatabaseError);

    Query query(session);
    query.setDatabaseName("Src");
    query.setSql("select title as Name, id * 2 as twice from items order by id");
    query.prepare();
    EXPECT_EQ(query.columnNames(), (std::vector<std::string>{isPg() ? "name" : "Name", "twice"}));
    query.open();
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.row()[0], Value::text("pen"));
    EXPECT_EQ(query.row()[1], Value::integer(2));
}

TEST_P(SessionTest, BadTablesAndQueriesRaiseTheEngineError) {
    auto db = connect("Src");
    Table missing(session);
    missing.setDatabaseName("Src");
    missing.setTableName("nope");
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(codeOf([&] { missing.open(); }), status::kNoSuchTable);
    Query q(session);
    q.setDatabaseName("Src");
    q.setSql("selec 1");
    EXPECT_EQ(codeOf([&] { q.prepare(); }), status::kSqlSyntax);
    q.setSql("select 1; select 2");
    EXPECT_EQ(codeOf([&] { q.prepare(); }), status::kInvalidParameter);
    q.setSql("create table z(a int)");
    EXPECT_EQ(codeOf([&] { q.prepare(); }), status::kInvalidParameter);
    Table unknown(session);
    unknown.setDatabaseName("NoSuchDatabase");
    unknown.setTableName("t");
    EXPECT_EQ(codeOf([&] { unknown.open(); }), status::kUnknownAlias);
}

TEST_P(SessionTest, DirtyReadIsAppliedToTheConnection) {
    auto db = connect("Dst");
    db->setTransIsolation(Database::TransIsolation::DirtyRead);
    if (isPg()) {
        auto cursor = db->connection().query("SHOW transaction_isolation");
        ASSERT_TRUE(cursor && cursor->next());
        EXPECT_EQ(cursor->row()[0], Value::text("read uncommitted"));
    }
    db->startTransaction();
    db->execute("create table t(a int)");
    db->rollback();
    EXPECT_FALSE(db->inTransaction());
}

INSTANTIATE_TEST_SUITE_P(Drivers, SessionTest,
                         ::testing::Values(TestDriver::Sqlite, TestDriver::Postgres),
                         testkit::testDriverName);

} // namespace
} // namespace vt::dbengine
