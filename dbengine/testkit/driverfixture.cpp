// DriverTest: two fresh databases per test behind the aliases DB and DB2.
#include "dbengine/testkit/driverfixture.h"

namespace vt::dbengine::testkit {

std::string testDriverName(const ::testing::TestParamInfo<TestDriver>& info) {
    return info.param == TestDriver::Sqlite ? "Sqlite" : "Postgres";
}

void DriverFixture::SetUp() {
    if (isPg())
        VT_REQUIRE_PG();
    env = std::make_unique<EngineEnv>();
    if (isPg()) {
        auto server = *PgServer::fromEnvironment();
        pg1 = std::make_unique<PgScratchDatabase>(server);
        pg2 = std::make_unique<PgScratchDatabase>(server);
        user = server.user;
        password = server.password;
    } else {
        file1 = env->newSqliteFile("one.db");
        file2 = env->newSqliteFile("two.db");
    }
    writeAliases();
}

void DriverFixture::TearDown() {
    pg1.reset();
    pg2.reset();
    env.reset();
}

std::string DriverFixture::direct(const std::string& sql, int database) const {
    if (isPg())
        return (database == 1 ? pg1 : pg2)->run(sql);
    return sqliteRun(database == 1 ? file1 : file2, sql);
}

void DriverFixture::writeAliases(const std::string& extra) const {
    std::string text;
    if (isPg()) {
        auto server = *PgServer::fromEnvironment();
        text = "[DB]\nDRIVER=PGSQL\nSERVER NAME=" + server.serverName(pg1->name()) +
               "\nUSER NAME=" + server.user +
               "\n\n[DB2]\nDRIVER=PGSQL\nSERVER NAME=" + server.serverName(pg2->name()) +
               "\nUSER NAME=" + server.user + "\n\n";
    } else {
        text = "[DB]\nDRIVER=STANDARD\nPATH=" + file1 +
               "\n\n[DB2]\nDRIVER=STANDARD\nPATH=" + file2 + "\n\n";
    }
    env->writeAliases(text + extra);
}

} // namespace vt::dbengine::testkit
