// Test helpers for the engine: isolated settings folders, SQLite files and scratch PostgreSQL
// databases on the server that scripts/test.sh starts.
#pragma once

#include "testkit/pgserver.h"
#include "testkit/tempdir.h"

#include <optional>
#include <string>

namespace vt::dbengine::testkit {

using vt::testkit::PgServer;
using vt::testkit::TempDir;

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
