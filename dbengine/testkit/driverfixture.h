// DriverTest: a test fixture run once per driver, with two fresh databases behind the aliases
// DB and DB2.
#pragma once

#include "dbengine/testkit/testkit.h"

#include <gtest/gtest.h>
#include <memory>

namespace vt::dbengine::testkit {

enum class TestDriver { Sqlite, Postgres };

// "Sqlite" / "Postgres", for test names.
std::string testDriverName(const ::testing::TestParamInfo<TestDriver>& info);

// The fixture's work; driver() says which driver a test runs on.
class DriverFixture : public ::testing::Test {
protected:
    virtual TestDriver driver() const = 0;
    void SetUp() override;
    void TearDown() override;

    bool isPg() const { return driver() == TestDriver::Postgres; }
    // Runs SQL on database 1 or 2 directly, bypassing the engine; the first value or "".
    std::string direct(const std::string& sql, int database = 1) const;
    // Rewrites aliases.ini: DB and DB2, then the extra text.
    void writeAliases(const std::string& extra = {}) const;

    std::unique_ptr<EngineEnv> env;
    std::string user, password; // login for PostgreSQL ("" for SQLite)
    std::string file1, file2;   // SQLite files
    std::unique_ptr<PgScratchDatabase> pg1, pg2;
};

// DriverFixture parameterised by the driver alone.
class DriverTest : public DriverFixture, public ::testing::WithParamInterface<TestDriver> {
protected:
    TestDriver driver() const override { return GetParam(); }
};

} // namespace vt::dbengine::testkit
