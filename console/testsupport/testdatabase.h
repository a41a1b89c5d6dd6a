// Fresh test databases of each backend for the end-to-end tests of vtconsole with the real
// plug-in: SQLite files and databases on the PostgreSQL server of the test run.
#pragma once

#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include "console/testsupport/processrunner.h"
#include "console/testsupport/rsqlfixture.h"
#include "platform/asciitext.h"
#include "testkit/pgserver.h"

namespace vt::console::testing {

inline std::string binFolder() {
    const char* bin = std::getenv("VT_PROGRAM_BIN");
    return bin ? bin : "build/bin";
}

// One fresh database of a backend, reachable through an alias of aliases.ini.
class Database {
public:
    virtual ~Database() = default;
    virtual std::string alias() const = 0;
    virtual std::string aliasSection() const = 0;
    virtual std::map<std::string, std::string> env() const { return {}; }
    virtual std::vector<std::string> loginArgs() const { return {}; }
    // Rows of a query, fields joined by '|', NULL and trailing blanks read as "".
    virtual std::vector<std::string> query(const std::string& sql) = 0;
    virtual void exec(const std::string& sql) = 0;
    // False when the table does not exist.
    bool hasTable(const std::string& name) {
        try {
            query("select count(*) from " + name);
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
};

class SqliteDatabase final : public Database {
public:
    // An empty file is an empty SQLite database; the engine opens only existing files.
    explicit SqliteDatabase(std::string path, bool create = false) : m_path(std::move(path)) {
        if (create)
            writeFile(m_path, "");
    }
    std::string alias() const override { return "LITE"; }
    std::vector<std::string> loginArgs() const override { return {"-user", "", "-pass", ""}; }
    std::string aliasSection() const override {
        return "[LITE]\nDRIVER=STANDARD\nPATH=" + m_path + "\n";
    }
    std::vector<std::string> query(const std::string& sql) override {
        sqlite3* db = nullptr;
        if (sqlite3_open(m_path.c_str(), &db) != SQLITE_OK) {
            sqlite3_close(db);
            throw std::runtime_error("cannot open " + m_path);
        }
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            std::string error = sqlite3_errmsg(db);
            sqlite3_close(db);
            throw std::runtime_error(error);
        }
        std::vector<std::string> rows;
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::string row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const unsigned char* t = sqlite3_column_text(st, i);
                row += (i ? "|" : "") + std::string(platform::trimRight(
                                            t ? reinterpret_cast<const char*>(t) : "", " "));
            }
            rows.push_back(row);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return rows;
    }
    void exec(const std::string& sql) override {
        sqlite3* db = nullptr;
        sqlite3_open(m_path.c_str(), &db);
        char* error = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        std::string text = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        if (rc != SQLITE_OK)
            throw std::runtime_error(text);
    }

private:
    std::string m_path;
};

// The test server; only asked for after VT_REQUIRE_PG has passed.
inline testkit::PgServer pgServer() {
    return testkit::PgServer::fromEnvironment().value();
}

class PgConnection {
public:
    explicit PgConnection(const std::string& dbname) {
        m_conn = PQconnectdb(pgServer().connectionString(dbname).c_str());
        if (PQstatus(m_conn) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(m_conn));
    }
    ~PgConnection() { PQfinish(m_conn); }
    std::vector<std::string> run(const std::string& sql) {
        PGresult* r = PQexec(m_conn, sql.c_str());
        auto status = PQresultStatus(r);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            std::string error = PQerrorMessage(m_conn);
            PQclear(r);
            throw std::runtime_error(error);
        }
        std::vector<std::string> rows;
        for (int i = 0; i < PQntuples(r); ++i) {
            std::string row;
            for (int j = 0; j < PQnfields(r); ++j)
                row += (j ? "|" : "") + std::string(platform::trimRight(PQgetvalue(r, i, j), " "));
            rows.push_back(row);
        }
        PQclear(r);
        return rows;
    }

private:
    PGconn* m_conn;
};

class PgDatabase final : public Database {
public:
    PgDatabase() {
        static std::atomic<int> counter{0};
        m_name = "vtconsole_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
        PgConnection(pgServer().database).run("CREATE DATABASE " + m_name);
    }
    ~PgDatabase() override {
        try {
            PgConnection(pgServer().database).run("DROP DATABASE IF EXISTS " + m_name);
        } catch (const std::exception&) {
        }
    }
    std::string alias() const override { return "PGDB"; }
    std::string aliasSection() const override {
        return "[PGDB]\nDRIVER=PGSQL\nSERVER NAME=" + pgServer().serverName(m_name) +
               "\nUSER NAME=" + pgServer().user + "\n";
    }
    // The password travels in VT_PASSWORD, never on the command line.
    std::map<std::string, std::string> env() const override {
        return {{"VT_PASSWORD", pgServer().password}};
    }
    std::vector<std::string> loginArgs() const override { return {"-user", pgServer().user}; }
    std::vector<std::string> query(const std::string& sql) override {
        return PgConnection(m_name).run(sql);
    }
    void exec(const std::string& sql) override { PgConnection(m_name).run(sql); }

private:
    std::string m_name;
};

enum class Backend { Sqlite, Postgres };

// A test on a fresh database of each backend, reachable through the alias of dir's aliases.ini.
// The real plug-in must be built; inside scripts/test.sh (VT_TEST_PG_REQUIRED=1) a missing
// PostgreSQL server fails the test, elsewhere it skips it.
class BackendTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        ASSERT_EQ(access((binFolder() + "/vtutils.so").c_str(), F_OK), 0)
            << "the real plug-in is not built";
        if (GetParam() == Backend::Postgres) {
            VT_REQUIRE_PG();
            db = std::make_unique<PgDatabase>();
        } else {
            db = std::make_unique<SqliteDatabase>(dir.file("lite.db"), true);
        }
        writeFile(dir.file("aliases.ini"), db->aliasSection());
    }

    // vtconsole with the arguments, the test's settings folder and aliases, the database's
    // environment with env on top, and no colours.
    ProcessLaunch vtconsoleLaunch(std::vector<std::string> args,
                                  const std::map<std::string, std::string>& env = {}) const {
        ProcessLaunch launch;
        launch.program = binFolder() + "/vtconsole";
        launch.args = std::move(args);
        launch.env = db->env();
        for (const auto& [name, value] : env)
            launch.env[name] = value;
        launch.env["VT_CONFIG_DIR"] = dir.path();
        launch.env["VT_ALIASES"] = dir.file("aliases.ini");
        launch.env["LC_ALL"] = "C.UTF-8";
        launch.unset = {"NO_COLOR", "VT_CODEPAGE"};
        if (!launch.env.count("VT_PASSWORD"))
            launch.unset.push_back("VT_PASSWORD");
        launch.timeoutSeconds = 120;
        return launch;
    }

    TempDir dir;
    std::unique_ptr<Database> db;
};

inline const char* backendName(Backend backend) {
    return backend == Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

} // namespace vt::console::testing
