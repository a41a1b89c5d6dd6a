// Test helpers for the engine.
#include "dbengine/testkit/testkit.h"

#include "dbengine/callinterface/callinterface.h"
#include <cstdio>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <stdexcept>
#include <unistd.h>

namespace vt::dbengine::testkit {

namespace {

std::optional<std::string> getEnv(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
}

void restoreEnv(const char* name, const std::optional<std::string>& value) {
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

PGconn* connect(const PgServer& s, const std::string& db) {
    const char* keys[] = {"host", "port", "user", "password", "dbname", "connect_timeout", nullptr};
    const char* values[] = {s.host.c_str(), s.port.c_str(), s.user.c_str(), s.password.c_str(),
                            db.c_str(),     "10",           nullptr};
    PGconn* c = PQconnectdbParams(keys, values, 0);
    if (PQstatus(c) != CONNECTION_OK) {
        std::string msg = PQerrorMessage(c);
        PQfinish(c);
        throw std::runtime_error("test server: " + msg);
    }
    PQsetNoticeProcessor(
        c, [](void*, const char*) {}, nullptr);
    return c;
}

std::string exec(PGconn* c, const std::string& sql) {
    PGresult* r = PQexec(c, sql.c_str());
    auto st = PQresultStatus(r);
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        std::string msg = PQresultErrorMessage(r);
        PQclear(r);
        throw std::runtime_error(sql + ": " + msg);
    }
    std::string out =
        st == PGRES_TUPLES_OK && PQntuples(r) > 0 && PQnfields(r) > 0 ? PQgetvalue(r, 0, 0) : "";
    PQclear(r);
    return out;
}

} // namespace

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vtdbe.XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

EngineEnv::EngineEnv() : m_oldConfig(getEnv("VT_CONFIG_DIR")), m_oldAliases(getEnv("VT_ALIASES")) {
    setenv("VT_CONFIG_DIR", m_dir.path().c_str(), 1);
    unsetenv("VT_ALIASES");
}

EngineEnv::~EngineEnv() {
    restoreEnv("VT_CONFIG_DIR", m_oldConfig);
    restoreEnv("VT_ALIASES", m_oldAliases);
}

void EngineEnv::writeAliases(const std::string& iniText) const {
    std::ofstream(m_dir.file("aliases.ini"), std::ios::binary) << iniText;
}

std::string EngineEnv::newSqliteFile(const std::string& name) const {
    std::string path = m_dir.file(name);
    sqliteRun(path, "PRAGMA user_version = 0");
    return path;
}

std::optional<PgServer> pgServer() {
    auto host = getEnv("VT_TEST_PGHOST");
    if (!host || host->empty())
        return std::nullopt;
    return PgServer{*host, getEnv("VT_TEST_PGPORT").value_or("5432"),
                    getEnv("VT_TEST_PGUSER").value_or(""),
                    getEnv("VT_TEST_PGPASSWORD").value_or(""),
                    getEnv("VT_TEST_PGDATABASE").value_or("postgres")};
}

bool pgRequired() {
    return getEnv("VT_TEST_PG_REQUIRED").value_or("") == "1";
}

PgScratchDatabase::PgScratchDatabase(const PgServer& server) : m_server(server) {
    static std::atomic<int> counter{0};
    m_name = "vt_scratch_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    PGconn* c = connect(server, server.database);
    try {
        exec(c, "DROP DATABASE IF EXISTS " + m_name);
        exec(c, "CREATE DATABASE " + m_name +
                    " TEMPLATE template0 ENCODING 'UTF8' STRATEGY FILE_COPY");
    } catch (...) {
        PQfinish(c);
        throw;
    }
    PQfinish(c);
}

PgScratchDatabase::~PgScratchDatabase() {
    try {
        PGconn* c = connect(m_server, m_server.database);
        PGresult* r = PQexec(c, ("DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)").c_str());
        PQclear(r);
        PQfinish(c);
    } catch (...) {
    }
}

std::string PgScratchDatabase::run(const std::string& sql) const {
    PGconn* c = connect(m_server, m_name);
    try {
        std::string out = exec(c, sql);
        PQfinish(c);
        return out;
    } catch (...) {
        PQfinish(c);
        throw;
    }
}

std::string sqliteRun(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) {
        std::string msg = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw std::runtime_error(file + ": " + msg);
    }
    std::string out;
    bool first = true;
    char* err = nullptr;
    std::pair<std::string*, bool*> state(&out, &first);
    int rc = sqlite3_exec(
        db, sql.c_str(),
        [](void* p, int n, char** values, char**) {
            auto* state = static_cast<std::pair<std::string*, bool*>*>(p);
            if (*state->second && n > 0 && values[0])
                *state->first = values[0];
            *state->second = false;
            return 0;
        },
        &state, &err);
    std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error(sql + ": " + msg);
    return out;
}

std::string lastErrorEntries() {
    std::string out;
    for (std::uint16_t i = 1;; ++i) {
        std::int32_t native = 0;
        std::string text;
        const Status code = dbi::getErrorEntry(i, native, text);
        if (code == 0 || code == status::kNoMoreErrors)
            break;
        char hex[16];
        std::snprintf(hex, sizeof hex, "%04X ", code);
        out += hex + std::to_string(native) + " " + text + "\n";
    }
    return out;
}

} // namespace vt::dbengine::testkit
