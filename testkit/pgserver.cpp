// The PostgreSQL server of the test run.
#include "testkit/pgserver.h"

#include <cstdlib>

namespace vt::testkit {
namespace {

std::string env(const char* name, const char* fallback = "") {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

} // namespace

std::optional<PgServer> PgServer::fromEnvironment() {
    PgServer s{env("VT_TEST_PGHOST"), env("VT_TEST_PGPORT", "5432"), env("VT_TEST_PGUSER"),
               env("VT_TEST_PGPASSWORD"), env("VT_TEST_PGDATABASE", "postgres")};
    if (s.host.empty())
        return std::nullopt;
    return s;
}

bool PgServer::required() {
    return env("VT_TEST_PG_REQUIRED") == "1";
}

std::string PgServer::serverName(const std::string& dbName) const {
    return host + ":" + port + "/" + dbName;
}

std::string PgServer::connectionString(const std::string& dbName) const {
    return "host=" + host + " port=" + port + " user=" + user + " password=" + password +
           " dbname=" + dbName + " connect_timeout=10";
}

} // namespace vt::testkit
