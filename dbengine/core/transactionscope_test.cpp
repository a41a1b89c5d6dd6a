// Tests of TransactionScope on both drivers: commit, every other way out, nesting.
#include "dbengine/core/transactionscope.h"

#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/drivers/drivers.h"
#include "dbengine/testkit/driverfixture.h"

#include <stdexcept>

namespace vt::dbengine {
namespace {

using testkit::DriverTest;

class TransactionScopeTest : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        direct("create table t(id int)");
        conn = connectDatabase("DB", user, password);
    }
    std::string count() { return direct("select count(*) from t"); }

    std::unique_ptr<Connection> conn;
};

TEST_P(TransactionScopeTest, OnlyCommitKeepsTheWork) {
    {
        TransactionScope scope(*conn, "sp");
        conn->execute("insert into t values (1)");
        scope.commit();
    }
    EXPECT_EQ(count(), "1");
    EXPECT_FALSE(conn->inTransaction());

    { // leaving the scope early
        TransactionScope scope(*conn, "sp");
        conn->execute("insert into t values (2)");
    }
    try { // an exception on the way
        TransactionScope scope(*conn, "sp");
        conn->execute("insert into t values (3)");
        throw std::runtime_error("stop");
    } catch (const std::runtime_error&) {
    }
    { // an explicit rollback, then the scope's end
        TransactionScope scope(*conn, "sp");
        conn->execute("insert into t values (4)");
        scope.rollback();
        EXPECT_FALSE(conn->inTransaction());
        EXPECT_THROW(scope.commit(), EDBEngineError) << "a rolled back scope cannot commit";
    }
    EXPECT_EQ(count(), "1");
    EXPECT_FALSE(conn->inTransaction());
}

TEST_P(TransactionScopeTest, InsideAnOpenTransactionItIsASavepoint) {
    conn->begin();
    conn->execute("insert into t values (1)");
    {
        TransactionScope scope(*conn, "sp");
        conn->execute("insert into t values (2)");
    }
    EXPECT_TRUE(conn->inTransaction()) << "rolling back the savepoint keeps the outer work";
    {
        TransactionScope scope(*conn, "sp");
        conn->execute("insert into t values (3)");
        scope.commit();
    }
    EXPECT_TRUE(conn->inTransaction()) << "releasing the savepoint commits nothing yet";
    conn->commit();
    EXPECT_EQ(direct("select sum(id) from t"), "4") << "rows 1 and 3";
}

INSTANTIATE_TEST_SUITE_P(Drivers, TransactionScopeTest,
                         ::testing::Values(testkit::TestDriver::Sqlite,
                                           testkit::TestDriver::Postgres),
                         testkit::testDriverName);

} // namespace
} // namespace vt::dbengine
