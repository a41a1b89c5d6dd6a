// Times vtconsole up over a folder of chained scripts against one vtconsole r run per script
// (what a pipeline had to do before up), and vtconsole status on a long script, on SQLite.
//
// Usage: vtconsole_up_bench [--scripts K] [--commands N] [--work DIR]
//   K chained scripts of 20 commands each (default 50); a status of one script of N commands
//   (default 10,000). DIR is emptied first and removed after.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
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

constexpr int kCommandsPerScript = 20;

// vtconsole with the arguments, against the SQLite file db with the work folder as settings.
ProcessResult vtconsole(const std::string& work, const std::string& db,
                        std::vector<std::string> args) {
    ProcessLaunch launch;
    launch.program = std::string(VT_PROGRAM_BIN) + "/vtconsole";
    launch.args = std::move(args);
    launch.args.insert(launch.args.end(), {"-dbname", db});
    launch.env = {{"VT_CONFIG_DIR", work}};
    launch.unset = {"VT_ALIASES", "VT_PASSWORD"};
    launch.timeoutSeconds = 3600;
    return runProcess(launch);
}

// Script i of the chain goes from version i to version i + 1.
std::string writeChain(const std::string& folder, int scripts) {
    std::filesystem::create_directories(folder);
    for (int i = 0; i < scripts; ++i) {
        vt::script::RsqlContent content;
        content.code = "BENCH";
        content.oldVersion = std::to_string(i);
        content.newVersion = std::to_string(i + 1);
        if (i == 0)
            content.commands.push_back({"CREATE TABLE bench_rows (id INTEGER PRIMARY KEY)"});
        for (int k = static_cast<int>(content.commands.size()); k < kCommandsPerScript; ++k)
            content.commands.push_back(
                {fmt::format("INSERT INTO bench_rows (id) VALUES ({})", i * 100 + k)});
        vt::script::writeRsqlScript(fmt::format("{}/{:04}.rsql", folder, i), content);
    }
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    int scripts = 50;
    int commands = 10000;
    std::string work = (std::filesystem::temp_directory_path() /
                        ("vtconsole-up-bench-" + std::to_string(getpid())))
                           .string();
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--scripts")
            scripts = std::atoi(argv[i + 1]);
        else if (a == "--commands")
            commands = std::atoi(argv[i + 1]);
        else if (a == "--work")
            work = argv[i + 1];
    }
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    try {
        const std::string folder = writeChain(work + "/chain", scripts);

        // One up over the folder, creating R_VERSION.
        writeFile(work + "/up.db", "");
        ProcessResult r;
        const double up = timed([&] {
            r = vtconsole(work, work + "/up.db", {"up", folder, "--init"});
        });
        check(r, "vtconsole up");
        const double upToDate = timed([&] {
            r = vtconsole(work, work + "/up.db", {"up", folder});
        });
        check(r, "vtconsole up (up to date)");
        const double statusChain = timed([&] {
            r = vtconsole(work, work + "/up.db", {"status", folder});
        });
        check(r, "vtconsole status");

        // One r per script, in order; R_VERSION made by the first run's --init equivalent: a
        // database that already has the table (as silent r needs).
        writeFile(work + "/r.db", "");
        check(vtconsole(work, work + "/r.db", {"up", folder + "/0000.rsql", "--init"}), "setup");
        const double each = timed([&] {
            for (int i = 1; i < scripts; ++i)
                check(vtconsole(work, work + "/r.db",
                                {"r", fmt::format("{}/{:04}.rsql", folder, i), "-s"}),
                      "vtconsole r");
        });

        // status on one long script that would run completely.
        vt::script::RsqlContent content;
        content.code = "LONG";
        content.newVersion = "1";
        for (int i = 1; i <= commands; ++i)
            content.commands.push_back({fmt::format("INSERT INTO t VALUES ({})", i)});
        vt::script::writeRsqlScript(work + "/long.rsql", content);
        writeFile(work + "/long.db", "");
        const double statusLong = timed([&] {
            r = vtconsole(work, work + "/long.db", {"status", work + "/long.rsql"});
        });
        check(r, "vtconsole status (long)");

        fmt::print("SQLite, {} chained scripts of {} commands:\n", scripts, kCommandsPerScript);
        fmt::print("  vtconsole up --init                 {:8.3f} s  ({:.1f} ms per script)\n", up,
                   up / scripts * 1000);
        fmt::print("  vtconsole r -s, one run per script  {:8.3f} s  ({:.1f} ms per script, {} "
                   "scripts)\n",
                   each, each / (scripts - 1) * 1000, scripts - 1);
        fmt::print("  vtconsole up, already up to date    {:8.3f} s\n", upToDate);
        fmt::print("  vtconsole status of the chain       {:8.3f} s\n", statusChain);
        fmt::print("SQLite, status of one script of {} pending commands: {:.3f} s\n", commands,
                   statusLong);
    } catch (const std::exception& e) {
        fmt::print(stderr, "benchmark failed: {}\n", e.what());
        std::filesystem::remove_all(work);
        return 1;
    }
    std::filesystem::remove_all(work);
    return 0;
}
