// Times vtconsole applying a versioned script of single-row INSERTs against the sqlite3 and psql
// shells doing the same work (each INSERT followed by the progress UPDATE, all in autocommit).
//
// Usage: vtconsole_bench [--commands N] [--work DIR]   (DIR is emptied first and removed after)
//   Runs 1,000 and N (default 10,000) commands on SQLite, and on PostgreSQL when the
//   VT_TEST_PG* variables name a server (eval "$(scripts/pgserver.sh start)").
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include <fmt/format.h>

#include "bench/console/benchsupport.h"
#include "console/testsupport/processrunner.h"
#include "console/testsupport/rsqlfixture.h"
#include "script/rsqlwriter.h"

namespace {

using vt::console::bench::check;
using vt::console::bench::timed;
using vt::console::testing::ProcessLaunch;
using vt::console::testing::ProcessResult;
using vt::console::testing::runProcess;
using vt::console::testing::writeFile;

const char* kCode = "BENCH";
const char* kCreateVersion =
    "Create Table R_Version (Version Char(10), DBCode Char(10), Counter Smallint)";

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string insertOf(int i) {
    return fmt::format("INSERT INTO bench_rows (id, name) VALUES ({}, 'row {}')", i, i);
}

// The statements a shell runs for the same work: setup is not timed, work is.
std::string shellWork(int n, bool withProgress) {
    std::string sql;
    for (int i = 1; i <= n; ++i) {
        sql += insertOf(i) + ";\n";
        if (withProgress)
            sql += fmt::format("Update R_VERSION Set Counter = {} where DBCODE = '{}';\n", n - i,
                               kCode);
    }
    if (withProgress)
        sql += fmt::format("Update R_VERSION Set Version = '1.0' where DBCODE = '{}';\n", kCode);
    return sql;
}

std::string setupSql() {
    return std::string(kCreateVersion) + ";\n" +
           fmt::format("Insert Into R_Version(DBCode) Values('{}');\n", kCode) +
           "CREATE TABLE bench_rows (id INTEGER PRIMARY KEY, name VARCHAR(40));\n";
}

// One backend: how to make a fresh database, run shell SQL on it, and name it as an alias.
struct Backend {
    std::string name;
    std::string shell;
    std::function<std::string(const std::string& tag)> fresh; // returns the alias section
    std::function<ProcessResult(const std::string& sql)> runShell;
    std::map<std::string, std::string> vtEnv;
    std::vector<std::string> vtArgs;
};

struct Times {
    double vtconsole = 0;
    double shell = 0;
    double plain = 0;
};

Times measure(Backend& b, const std::string& work, int n) {
    Times t;
    // vtconsole: a fresh database with the version table, the script applied silently.
    std::string section = b.fresh("vt");
    writeFile(work + "/aliases.ini", section);
    check(b.runShell(setupSql()), b.shell + " setup");
    vt::script::RsqlContent content;
    content.code = kCode;
    content.newVersion = "1.0";
    for (int i = 1; i <= n; ++i)
        content.commands.push_back({insertOf(i)});
    const std::string scriptFile = work + "/bench.rsql";
    vt::script::writeRsqlScript(scriptFile, content);
    ProcessLaunch launch;
    launch.program = std::string(VT_PROGRAM_BIN) + "/vtconsole";
    launch.args = {"r", scriptFile, "-alias", "BENCH", "-s"};
    launch.args.insert(launch.args.end(), b.vtArgs.begin(), b.vtArgs.end());
    launch.env = b.vtEnv;
    launch.env["VT_CONFIG_DIR"] = work;
    launch.env["VT_ALIASES"] = work + "/aliases.ini";
    launch.timeoutSeconds = 3600;
    ProcessResult r;
    t.vtconsole = timed([&] { r = runProcess(launch); });
    check(r, "vtconsole");

    // The shell: the same INSERTs, each followed by the progress UPDATE, in autocommit.
    b.fresh("shell");
    check(b.runShell(setupSql()), b.shell + " setup");
    const std::string withProgress = shellWork(n, true);
    t.shell = timed([&] { r = b.runShell(withProgress); });
    check(r, b.shell);

    // The plain INSERTs alone.
    b.fresh("plain");
    check(b.runShell(setupSql()), b.shell + " setup");
    const std::string plain = shellWork(n, false);
    t.plain = timed([&] { r = b.runShell(plain); });
    check(r, b.shell + " (plain)");
    return t;
}

void report(Backend& b, const std::string& work, int n, double goal) {
    std::map<int, double> perCommand;
    for (int size : {1000, n}) {
        Times t = measure(b, work, size);
        perCommand[size] = t.vtconsole / size;
        if (size != n)
            continue;
        fmt::print("{} with {} commands:\n", b.name, n);
        fmt::print("  vtconsole -s                      {:8.3f} s\n", t.vtconsole);
        fmt::print("  {:<33} {:8.3f} s  (INSERT + progress UPDATE, autocommit)\n", b.shell,
                   t.shell);
        fmt::print("  {:<33} {:8.3f} s  (plain INSERTs)\n", b.shell + " plain", t.plain);
        fmt::print("  ratio vtconsole / shell           {:8.2f}x  (goal at most {:.1f}x: {})\n",
                   t.vtconsole / t.shell, goal, t.vtconsole / t.shell <= goal ? "met" : "MISSED");
        fmt::print("  overhead over plain INSERTs       {:8.3f} ms per command\n",
                   (t.vtconsole - t.plain) / n * 1000);
    }
    for (const auto& [size, seconds] : perCommand)
        fmt::print("  vtconsole time per command at {:>6} commands: {:.3f} ms\n", size,
                   seconds * 1000);
    fmt::print("\n");
}

} // namespace

int main(int argc, char** argv) {
    int n = 10000;
    std::string work =
        (std::filesystem::temp_directory_path() / ("vtconsole-bench-" + std::to_string(getpid())))
            .string();
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--commands")
            n = std::atoi(argv[i + 1]);
        else if (a == "--work")
            work = argv[i + 1];
    }
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    try {
        // SQLite: a fresh file per measurement.
        std::string file;
        Backend lite;
        lite.name = "SQLite";
        lite.shell = "sqlite3";
        lite.vtArgs = {"-user", ""};
        lite.fresh = [&](const std::string& tag) {
            file = work + "/" + tag + ".db";
            std::filesystem::remove(file);
            return "[BENCH]\nDRIVER=STANDARD\nPATH=" + file + "\n";
        };
        lite.runShell = [&](const std::string& sql) {
            return runProcess({"/usr/bin/sqlite3", {"-bail", file}, {}, {}, 3600}, sql);
        };
        report(lite, work, n, 0.6);

        if (env("VT_TEST_PGHOST").empty()) {
            fmt::print("PostgreSQL: skipped (no VT_TEST_PGHOST; start one with "
                       "eval \"$(scripts/pgserver.sh start)\")\n");
            std::filesystem::remove_all(work);
            return 0;
        }
        const std::map<std::string, std::string> pgEnv = {
            {"PGHOST", env("VT_TEST_PGHOST")},
            {"PGPORT", env("VT_TEST_PGPORT")},
            {"PGUSER", env("VT_TEST_PGUSER")},
            {"PGPASSWORD", env("VT_TEST_PGPASSWORD")}};
        std::string database;
        int counter = 0;
        Backend pg;
        pg.name = "PostgreSQL";
        pg.shell = "psql -f";
        pg.vtEnv = {{"VT_PASSWORD", env("VT_TEST_PGPASSWORD")}};
        pg.vtArgs = {"-user", env("VT_TEST_PGUSER")};
        auto psql = [&](const std::string& db, const std::vector<std::string>& args,
                        const std::string& input) {
            std::vector<std::string> all = {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-d", db};
            all.insert(all.end(), args.begin(), args.end());
            return runProcess({"/usr/bin/psql", all, pgEnv, {}, 3600}, input);
        };
        pg.fresh = [&](const std::string& tag) {
            if (!database.empty())
                psql(env("VT_TEST_PGDATABASE"), {"-c", "DROP DATABASE " + database}, "");
            database = fmt::format("vtbench_{}_{}_{}", getpid(), tag, counter++);
            check(psql(env("VT_TEST_PGDATABASE"), {"-c", "CREATE DATABASE " + database}, ""),
                  "CREATE DATABASE");
            return fmt::format("[BENCH]\nDRIVER=PGSQL\nSERVER NAME={}:{}/{}\nUSER NAME={}\n",
                               env("VT_TEST_PGHOST"), env("VT_TEST_PGPORT"), database,
                               env("VT_TEST_PGUSER"));
        };
        pg.runShell = [&](const std::string& sql) {
            writeFile(work + "/work.sql", sql);
            return psql(database, {"-f", work + "/work.sql"}, "");
        };
        report(pg, work, n, 0.7);
        if (!database.empty())
            psql(env("VT_TEST_PGDATABASE"), {"-c", "DROP DATABASE " + database}, "");
    } catch (const std::exception& e) {
        fmt::print(stderr, "benchmark failed: {}\n", e.what());
        std::filesystem::remove_all(work);
        return 1;
    }
    std::filesystem::remove_all(work);
    return 0;
}
