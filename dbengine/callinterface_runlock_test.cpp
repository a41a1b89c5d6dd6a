// Tests of the run lock over both drivers: one holder per database, released by closing.
#include "dbengine/callinterface.h"

#include "dbengine/testkit/driverfixture.h"

namespace vt::dbengine {
namespace {

using namespace dbi;
using testkit::DriverTest;
using testkit::lastErrorEntries;
using testkit::TestDriver;

class RunLockTest : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_EQ(init(), 0);
        started = true;
    }
    void TearDown() override {
        if (started) {
            EXPECT_EQ(exit(), 0);
        }
        DriverTest::TearDown();
    }

    DatabaseHandle open(const char* alias = "DB") {
        std::vector<OptionalParam> params;
        if (isPg())
            params.push_back({"USER NAME", user});
        DatabaseHandle db = nullptr;
        EXPECT_EQ(openDatabase(alias, password.c_str(), params, db), 0) << lastErrorEntries();
        return db;
    }

    bool take(DatabaseHandle db, std::string* since = nullptr) {
        bool acquired = false;
        std::string held;
        EXPECT_EQ(tryRunLock(db, acquired, held), 0) << lastErrorEntries();
        if (since)
            *since = held;
        return acquired;
    }

    bool started = false;
};

TEST_P(RunLockTest, OneHandleHoldsItAndClosingLetsTheNextOneIn) {
    DatabaseHandle first = open();
    DatabaseHandle second = open();
    DatabaseHandle other = open("DB2");
    EXPECT_TRUE(take(first));
    EXPECT_TRUE(take(first)) << "the holder takes it again without waiting";
    std::string since;
    EXPECT_FALSE(take(second, &since));
    EXPECT_EQ(since.size(), 19u) << "the holder's time, YYYY-MM-DD HH:MM:SS: " << since;
    EXPECT_TRUE(take(other)) << "another database has a lock of its own";

    ASSERT_EQ(closeDatabase(first), 0);
    EXPECT_TRUE(take(second));
    EXPECT_EQ(releaseRunLock(second), 0);
    DatabaseHandle third = open();
    EXPECT_TRUE(take(third));
    EXPECT_EQ(releaseRunLock(third), 0);
    EXPECT_EQ(releaseRunLock(third), 0) << "releasing a lock not held changes nothing";
    EXPECT_TRUE(take(second));
}

TEST_P(RunLockTest, OnlyTheServerEnforcesDeclaredColumnTypes) {
    DatabaseHandle db = open();
    bool enforced = false;
    ASSERT_EQ(enforcesColumnTypes(db, enforced), 0);
    EXPECT_EQ(enforced, isPg());
}

INSTANTIATE_TEST_SUITE_P(Drivers, RunLockTest,
                         ::testing::Values(TestDriver::Sqlite, TestDriver::Postgres),
                         testkit::testDriverName);

} // namespace
} // namespace vt::dbengine
