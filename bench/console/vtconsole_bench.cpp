// Times vtconsole applying a versioned script of single-row INSERTs, with group commit and with
// each command committed on its own (VT_GROUP_COMMIT=0), against the sqlite3 and psql shells
// running the same INSERTs in autocommit and in one transaction.
//
// Usage: vtconsole_bench [--sizes N,M,...] [--commit-each-max N] [--backend sqlite|postgresql]
//                        [--work DIR]
//   Runs 10,000 and 100,000 commands (or the sizes given) on SQLite, and on PostgreSQL when the
//   VT_TEST_PG* variables name a server; DIR is emptied first and removed after. The runs that
//   commit every command (vtconsole with VT_GROUP_COMMIT=0, the shell in autocommit) take one
//   disk flush per command, minutes at 100,000 on a busy disk: above --commit-each-max commands
//   (default: every size) their time is extrapolated from the largest size measured, and marked.
//   Where the database enforces R_VERSION's Smallint Counter (PostgreSQL), scripts of more than
//   32767 commands run unversioned: no progress record, the same group commits.
//   Commits cost what they cost only when the server flushes them: start it with VT_PG_FSYNC=on
//   (eval "$(VT_PG_FSYNC=on scripts/pgserver.sh start)").
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

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

// The INSERTs a shell runs for the same work.
std::string shellWork(int n) {
    std::string sql;
    for (int i = 1; i <= n; ++i)
        sql += insertOf(i) + ";\n";
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
    // Runs SQL in autocommit, or as one transaction.
    std::function<ProcessResult(const std::string& sql, bool oneTransaction)> runShell;
    std::map<std::string, std::string> vtEnv;
    std::vector<std::string> vtArgs;
    int maxVersioned = 0; // the most commands of a versioned script (0: no limit)
};

// Seconds of each way of doing the work.
struct Times {
    double grouped = 0;
    double perCommand = 0;
    double autocommit = 0;
    double oneTransaction = 0;
};

double timeVtconsole(Backend& b, const std::string& work, int n, bool grouped) {
    writeFile(work + "/aliases.ini", b.fresh(grouped ? "grouped" : "percommand"));
    check(b.runShell(setupSql(), false), b.shell + " setup");
    vt::script::RsqlContent content;
    content.code = kCode;
    content.newVersion = b.maxVersioned > 0 && n > b.maxVersioned ? "" : "1.0";
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
    launch.env["VT_GROUP_COMMIT"] = grouped ? "1" : "0";
    launch.timeoutSeconds = 3600;
    ProcessResult r;
    const double seconds = timed([&] { r = runProcess(launch); });
    check(r, "vtconsole");
    return seconds;
}

double timeShell(Backend& b, int n, bool oneTransaction) {
    b.fresh(oneTransaction ? "onetx" : "autocommit");
    check(b.runShell(setupSql(), false), b.shell + " setup");
    const std::string sql = shellWork(n);
    ProcessResult r;
    const double seconds = timed([&] { r = b.runShell(sql, oneTransaction); });
    check(r, b.shell);
    return seconds;
}

std::string verdict(bool met) {
    return met ? "met" : "MISSED";
}

// Runs every size and prints the table; goalAutocommit and goalOneTransaction bound the grouped
// run's ratio to the shell (0: no goal). Above commitEachMax commands the runs that commit every
// command are extrapolated.
void report(Backend& b, const std::string& work, const std::vector<int>& sizes, int commitEachMax,
            double goalAutocommit, double goalOneTransaction) {
    std::map<int, double> groupedPerCommand;
    double perCommandEach = 0, autocommitEach = 0; // seconds per command, largest size measured
    int measuredAt = 0;
    for (int n : sizes) {
        Times t;
        t.grouped = timeVtconsole(b, work, n, true);
        t.oneTransaction = timeShell(b, n, true);
        const bool extrapolated = n > commitEachMax && measuredAt > 0;
        if (extrapolated) {
            t.perCommand = perCommandEach * n;
            t.autocommit = autocommitEach * n;
        } else {
            t.perCommand = timeVtconsole(b, work, n, false);
            t.autocommit = timeShell(b, n, false);
            perCommandEach = t.perCommand / n;
            autocommitEach = t.autocommit / n;
            measuredAt = n;
        }
        const std::string mark = extrapolated ? fmt::format(" (from {})", measuredAt) : "";
        if (b.maxVersioned > 0 && n > b.maxVersioned)
            fmt::print("{} with {} commands: the script runs unversioned (R_VERSION's Counter "
                       "holds at most {})\n",
                       b.name, n, b.maxVersioned);
        groupedPerCommand[n] = t.grouped / n;
        fmt::print(
            "{} with {} commands                    seconds  ms/command  x autocommit  x one "
            "transaction\n",
            b.name, n);
        auto row = [&](const std::string& label, double seconds) {
            fmt::print("  {:<44} {:8.3f}  {:10.4f}  {:11.3f}  {:17.3f}\n", label, seconds,
                       seconds / n * 1000, seconds / t.autocommit, seconds / t.oneTransaction);
        };
        row("vtconsole, group commit", t.grouped);
        row("vtconsole, each command commits" + mark, t.perCommand);
        row(b.shell + ", autocommit" + mark, t.autocommit);
        row(b.shell + ", one transaction", t.oneTransaction);
        const double toAutocommit = t.grouped / t.autocommit;
        fmt::print("  goal: group commit at most {:.2f}x of autocommit: {}\n", goalAutocommit,
                   verdict(toAutocommit <= goalAutocommit));
        if (goalOneTransaction > 0)
            fmt::print("  goal: group commit within {:.0f}x of one transaction: {}\n",
                       goalOneTransaction,
                       verdict(t.grouped / t.oneTransaction <= goalOneTransaction));
    }
    if (groupedPerCommand.size() > 1) {
        const double growth =
            groupedPerCommand.rbegin()->second / groupedPerCommand.begin()->second;
        fmt::print("  goal: time linear in the commands (time per command x{:.2f} from {} to {} "
                   "commands, at most 1.5x): {}\n",
                   growth, groupedPerCommand.begin()->first, groupedPerCommand.rbegin()->first,
                   verdict(growth <= 1.5));
    }
    fmt::print("\n");
}

std::vector<int> parseSizes(const std::string& text) {
    std::vector<int> sizes;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const int n = std::atoi(text.substr(start, comma - start).c_str());
        if (n <= 0)
            throw std::invalid_argument("--sizes takes positive numbers separated by commas");
        sizes.push_back(n);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return sizes;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {10000, 100000};
    int commitEachMax = 0;
    std::string only; // one backend, or both when empty
    std::string work =
        (std::filesystem::temp_directory_path() / ("vtconsole-bench-" + std::to_string(getpid())))
            .string();
    try {
        for (int i = 1; i + 1 < argc; i += 2) {
            std::string a = argv[i];
            if (a == "--sizes")
                sizes = parseSizes(argv[i + 1]);
            else if (a == "--commit-each-max")
                commitEachMax = std::atoi(argv[i + 1]);
            else if (a == "--backend")
                only = argv[i + 1];
            else if (a == "--work")
                work = argv[i + 1];
        }
        if (commitEachMax <= 0)
            commitEachMax = *std::max_element(sizes.begin(), sizes.end());
    } catch (const std::exception& e) {
        fmt::print(stderr, "{}\n", e.what());
        return 2;
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
        lite.runShell = [&](const std::string& sql, bool oneTransaction) {
            const std::string text = oneTransaction ? "BEGIN;\n" + sql + "COMMIT;\n" : sql;
            return runProcess({"/usr/bin/sqlite3", {"-bail", file}, {}, {}, 3600}, text);
        };
        if (only.empty() || only == "sqlite")
            report(lite, work, sizes, commitEachMax, 0.05, 3);
        if (only == "sqlite") {
            std::filesystem::remove_all(work);
            return 0;
        }

        if (env("VT_TEST_PGHOST").empty()) {
            fmt::print("PostgreSQL: skipped (no VT_TEST_PGHOST; start one with "
                       "eval \"$(VT_PG_FSYNC=on scripts/pgserver.sh start)\")\n");
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
        pg.maxVersioned = 32767;
        auto psql = [&](const std::string& db, const std::vector<std::string>& args,
                        const std::string& input) {
            std::vector<std::string> all = {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-d", db};
            all.insert(all.end(), args.begin(), args.end());
            return runProcess({"/usr/bin/psql", all, pgEnv, {}, 3600}, input);
        };
        const ProcessResult fsync =
            psql(env("VT_TEST_PGDATABASE"), {"-At", "-c", "SHOW fsync"}, "");
        check(fsync, "SHOW fsync");
        fmt::print("PostgreSQL server: fsync {}\n",
                   fsync.output.substr(0, fsync.output.find('\n')));
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
        pg.runShell = [&](const std::string& sql, bool oneTransaction) {
            writeFile(work + "/work.sql", sql);
            std::vector<std::string> args = {"-f", work + "/work.sql"};
            if (oneTransaction)
                args.insert(args.begin(), "-1");
            return psql(database, args, "");
        };
        report(pg, work, sizes, commitEachMax, 0.3, 0);
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
