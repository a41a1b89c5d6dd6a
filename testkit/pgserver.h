// PgServer: the PostgreSQL server of the test run, and the rule for tests that need it.
#pragma once

#include <optional>
#include <string>

namespace vt::testkit {

// The test server that scripts/pgserver.sh starts, named by VT_TEST_PGHOST, VT_TEST_PGPORT,
// VT_TEST_PGUSER, VT_TEST_PGPASSWORD and VT_TEST_PGDATABASE.
struct PgServer {
    std::string host, port, user, password, database;

    // The server of the environment; nullopt when VT_TEST_PGHOST is not set. The port defaults
    // to 5432 and the database to "postgres".
    static std::optional<PgServer> fromEnvironment();
    // Whether a missing server fails a test instead of skipping it (VT_TEST_PG_REQUIRED=1, as
    // inside scripts/test.sh).
    static bool required();

    // host:port/database, for an alias's SERVER NAME.
    std::string serverName(const std::string& dbName) const;
    // A libpq connection string for one of its databases.
    std::string connectionString(const std::string& dbName) const;
};

} // namespace vt::testkit

// In a test or its SetUp: skips the test when no test server is set, or fails it when the
// server is required.
#define VT_REQUIRE_PG()                                                                            \
    do {                                                                                           \
        if (!::vt::testkit::PgServer::fromEnvironment()) {                                         \
            if (::vt::testkit::PgServer::required())                                               \
                FAIL() << "VT_TEST_PG_REQUIRED=1 but no PostgreSQL test server is set";            \
            GTEST_SKIP() << "no PostgreSQL test server (VT_TEST_PGHOST)";                          \
        }                                                                                          \
    } while (0)
