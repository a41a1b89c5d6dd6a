// Test helpers for the engine: isolated settings folders, SQLite files and scratch PostgreSQL
// databases on the server that scripts/test.sh starts.
#pragma once

#include <optional>
#include <string>

namespace vt::dbengine::testkit {

// A fresh temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    // path() + "/" + name.
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Points VT_CONFIG_DIR at a fresh folder and clears VT_ALIASES for its lifetime.
class EngineEnv {
public:
    EngineEnv();
    ~EngineEnv();
    const TempDir& dir() const { return m_dir; }
    // Writes aliases.ini in the settings folder.
    void writeAliases(const std::string& iniText) const;
    // Creates an empty SQLite database file in the folder and returns its path.
    std::string newSqliteFile(const std::string& name) const;

private:
    TempDir m_dir;
    std::optional<std::string> m_oldConfig, m_oldAliases;
};

// Connection values of the test server (VT_TEST_PG*).
struct PgServer {
    std::string host, port, user, password, database;
    // host:port/database for an alias's SERVER NAME.
    std::string serverName(const std::string& db) const { return host + ":" + port + "/" + db; }
};

// The test server, or nullopt when VT_TEST_PGHOST is not set.
std::optional<PgServer> pgServer();

// Whether a missing server is a failure (VT_TEST_PG_REQUIRED=1).
bool pgRequired();

// A database created on the test server for one test and dropped at its end.
class PgScratchDatabase {
public:
    explicit PgScratchDatabase(const PgServer& server);
    ~PgScratchDatabase();
    PgScratchDatabase(const PgScratchDatabase&) = delete;
    PgScratchDatabase& operator=(const PgScratchDatabase&) = delete;
    const std::string& name() const { return m_name; }
    // Runs SQL on the scratch database directly through libpq; returns the first value of the
    // first row ("" when none); throws std::runtime_error on failure.
    std::string run(const std::string& sql) const;

private:
    PgServer m_server;
    std::string m_name;
};

// Runs SQL on an SQLite file directly through libsqlite3; returns the first value of the first
// row ("" when none or NULL); throws std::runtime_error on failure.
std::string sqliteRun(const std::string& file, const std::string& sql);

// The call interface's last error entries, one "XXXX native text" line each (code in hex).
std::string lastErrorEntries();

} // namespace vt::dbengine::testkit

// Skips the test (or fails it when the server is required) when no test server is set.
#define VT_REQUIRE_PG()                                                                            \
    do {                                                                                           \
        if (!::vt::dbengine::testkit::pgServer()) {                                                \
            if (::vt::dbengine::testkit::pgRequired())                                             \
                FAIL() << "VT_TEST_PG_REQUIRED=1 but no PostgreSQL test server is set";            \
            GTEST_SKIP() << "no PostgreSQL test server (VT_TEST_PGHOST)";                          \
        }                                                                                          \
    } while (0)
