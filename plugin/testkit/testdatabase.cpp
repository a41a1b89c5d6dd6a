// Databases for the plug-in's tests: SQLite files and fresh PostgreSQL databases, with an
// aliases file that names them, inspected through the databases' own client libraries.
#include "plugin/testkit/testdatabase.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace vt::plugin::testkit {
namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

class SqliteDatabase final : public TestDatabase {
public:
    // The database file is created empty: the engine opens only files that exist.
    explicit SqliteDatabase(const std::string& tempBase)
        : TestDatabase(Driver::SQLite, tempBase), m_file(folder() + "/test.db") {
        exec("PRAGMA user_version = 0");
    }

    void exec(const std::string& sql) override { run(sql, nullptr); }

    Rows query(const std::string& sql) override {
        Rows rows;
        run(sql, &rows);
        return rows;
    }

protected:
    std::string aliasSection() const override { return "DRIVER=STANDARD\nPATH=" + m_file + "\n"; }

private:
    void run(const std::string& sql, Rows* rows) {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(m_file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            throw std::runtime_error("cannot open " + m_file);
        }
        sqlite3_busy_timeout(db, 10000);
        std::string error;
        const char* tail = sql.c_str();
        while (*tail && error.empty()) {
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(db, tail, -1, &stmt, &tail) != SQLITE_OK) {
                error = sqlite3_errmsg(db);
                break;
            }
            if (!stmt)
                continue;
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                if (!rows)
                    continue;
                auto& row = rows->emplace_back();
                for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                    if (sqlite3_column_type(stmt, i) == SQLITE_NULL)
                        row.emplace_back(std::nullopt);
                    else
                        row.emplace_back(
                            reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
                }
            }
            if (rc != SQLITE_DONE)
                error = sqlite3_errmsg(db);
            sqlite3_finalize(stmt);
        }
        sqlite3_close(db);
        if (!error.empty())
            throw std::runtime_error(error + " in: " + sql);
    }

    std::string m_file;
};

class PostgresDatabase final : public TestDatabase {
public:
    explicit PostgresDatabase(PgServer server)
        : TestDatabase(Driver::PostgreSQL, {}), m_server(std::move(server)) {
        static std::atomic<int> counter{0};
        m_name = "vtplugin_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        adminExec("DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
        adminExec("CREATE DATABASE " + m_name);
        m_conn = PQconnectdb(m_server.connectionString(m_name).c_str());
        if (PQstatus(m_conn) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(m_conn));
        exec("SET client_min_messages = warning");
    }

    ~PostgresDatabase() override {
        PQfinish(m_conn);
        try {
            adminExec("DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
        } catch (...) {
        }
    }

    std::string user() const override { return m_server.user; }
    std::string password() const override { return m_server.password; }

    void exec(const std::string& sql) override { query(sql); }

    Rows query(const std::string& sql) override {
        if (PQstatus(m_conn) != CONNECTION_OK)
            PQreset(m_conn);
        PGresult* result = PQexec(m_conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            std::string error = PQresultErrorMessage(result);
            PQclear(result);
            throw std::runtime_error(error + " in: " + sql);
        }
        Rows rows;
        for (int r = 0; r < PQntuples(result); ++r) {
            auto& row = rows.emplace_back();
            for (int c = 0; c < PQnfields(result); ++c) {
                if (PQgetisnull(result, r, c))
                    row.emplace_back(std::nullopt);
                else
                    row.emplace_back(PQgetvalue(result, r, c));
            }
        }
        PQclear(result);
        return rows;
    }

    bool terminateOtherConnections() override {
        query("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" + m_name +
              "' AND pid <> pg_backend_pid()");
        return true;
    }

protected:
    std::string aliasSection() const override {
        return "DRIVER=PGSQL\nSERVER NAME=" + m_server.host + ":" + m_server.port + "/" + m_name +
               "\nUSER NAME=" + m_server.user + "\n";
    }

private:
    void adminExec(const std::string& sql) {
        PGconn* admin = PQconnectdb(m_server.connectionString(m_server.database).c_str());
        std::string error;
        if (PQstatus(admin) != CONNECTION_OK) {
            error = PQerrorMessage(admin);
        } else {
            PGresult* result = PQexec(admin, sql.c_str());
            if (PQresultStatus(result) != PGRES_COMMAND_OK)
                error = PQresultErrorMessage(result);
            PQclear(result);
        }
        PQfinish(admin);
        if (!error.empty())
            throw std::runtime_error(error);
    }

    PgServer m_server;
    std::string m_name;
    PGconn* m_conn = nullptr;
};

} // namespace

TestDatabase::TestDatabase(Driver driver, const std::string& tempBase)
    : m_driver(driver), m_dir(tempBase) {
    m_hadConfigDir = std::getenv("VT_CONFIG_DIR") != nullptr;
    m_oldConfigDir = env("VT_CONFIG_DIR");
    m_hadAliases = std::getenv("VT_ALIASES") != nullptr;
    m_oldAliases = env("VT_ALIASES");
    ::setenv("VT_CONFIG_DIR", folder().c_str(), 1);
    ::setenv("VT_ALIASES", aliasesFile().c_str(), 1);
}

TestDatabase::~TestDatabase() {
    if (m_hadConfigDir)
        ::setenv("VT_CONFIG_DIR", m_oldConfigDir.c_str(), 1);
    else
        ::unsetenv("VT_CONFIG_DIR");
    if (m_hadAliases)
        ::setenv("VT_ALIASES", m_oldAliases.c_str(), 1);
    else
        ::unsetenv("VT_ALIASES");
}

std::unique_ptr<TestDatabase> TestDatabase::create(Driver driver, const std::string& tempBase) {
    std::unique_ptr<TestDatabase> db;
    if (driver == Driver::SQLite) {
        db = std::make_unique<SqliteDatabase>(tempBase);
    } else {
        std::optional<PgServer> server = PgServer::fromEnvironment();
        if (!server)
            throw std::runtime_error("no test PostgreSQL server (VT_TEST_PG*)");
        db = std::make_unique<PostgresDatabase>(*server);
    }
    db->writeAliases();
    return db;
}

void TestDatabase::dropTables(const std::vector<std::string>& tables) {
    for (const std::string& table : tables)
        exec("DROP TABLE IF EXISTS " + table);
}

void TestDatabase::writeAliases(const std::string& extraSections) const {
    std::ofstream out(aliasesFile(), std::ios::binary | std::ios::trunc);
    out << "[" << kAlias << "]\n" << aliasSection() << extraSections;
}

std::string firstValue(const Rows& rows) {
    if (rows.empty() || rows.front().empty())
        return "<none>";
    return rows.front().front().value_or("<null>");
}

} // namespace vt::plugin::testkit
