// Converts a generated SQL script to rSQL and back, and compares each way with the floor:
// reading the SQL file and cutting it into lines.
//
// Usage: bench_convert [MEGABYTES...]   (default: 12.5 25 50; the last size is the main one)
// Prints, per size and for a plain and a scrambled script, the throughput of each way in MB of
// SQL per second and its ratio to the floor, by wall-clock and by processor time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

#include "desktop/scripts/rsqltosqlconverter.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/sqltorsqlconverter.h"
#include "desktop/scripts/textlines.h"
#include "script/rsqlscript.h"
#include "script/rsqlwriter.h"

namespace {

using namespace vt::desktop;

vt::desktop::ScriptKind benchKind() {
    ScriptKind kind;
    kind.name = "Bench";
    kind.delimiter = ";";
    kind.command = "SET TERM";
    kind.ignoreCommand = "CONNECT;COMMIT";
    kind.commentBegin = "/*";
    kind.commentEnd = "*/";
    return kind;
}

// An SQL script of about the given size: single-line inserts, multi-line statements, comments,
// ignored statements, blank lines and SET TERM blocks with procedure bodies.
std::string generateSql(std::size_t bytes, std::size_t& statements) {
    std::string sql;
    sql.reserve(bytes + 4096);
    statements = 0;
    for (std::size_t i = 0; sql.size() < bytes; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 20) {
        case 0:
            sql += "/* Part " + n + " of the update */\r\n";
            [[fallthrough]];
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
            sql += "INSERT INTO GOODS (ID, NAME, PRICE) VALUES (" + n + ", 'Item " + n + "', " +
                   std::to_string(i % 997) + ".50);\r\n";
            break;
        case 8:
            sql += "UPDATE GOODS\r\n   SET PRICE = PRICE * 1.05,\r\n       NAME = 'Item " + n +
                   "'\r\n WHERE ID = " + n + ";\r\n\r\n";
            break;
        case 9:
            sql += "CREATE TABLE T" + n +
                   " (\r\n\tID INTEGER NOT NULL,\r\n\r\n"
                   "\tNAME VARCHAR(40),\r\n\tPRIMARY KEY (ID)\r\n);\r\n";
            break;
        case 10:
            sql += "COMMIT;\r\n";
            break;
        case 11:
            if (i % 100 == 11) {
                sql += "SET TERM ^ ;\r\nCREATE PROCEDURE P" + n +
                       " AS\r\nBEGIN\r\n  INSERT INTO LOG VALUES (" + n +
                       ");\r\n  UPDATE GOODS SET PRICE = 0 WHERE ID = " + n +
                       ";\r\nEND^\r\nSET TERM ; ^\r\n";
                break;
            }
            [[fallthrough]];
        default:
            sql += "DELETE FROM GOODS WHERE ID = " + n + " AND NAME = 'Item " + n + "';\r\n";
            break;
        }
        ++statements;
    }
    return sql;
}

double cpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Best wall-clock and best processor time of several runs; on a shared machine the processor
// time is the steadier of the two.
struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

Timing measure(const std::function<void()>& work, int repeats) {
    Timing best;
    for (int r = 0; r < repeats; ++r) {
        const double cpu0 = cpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
        best.wall = std::min(best.wall, d.count());
        best.cpu = std::min(best.cpu, cpuSeconds() - cpu0);
    }
    return best;
}

void runSize(double megabytes, const std::filesystem::path& dir, bool main) {
    std::size_t statements = 0;
    const std::string sql =
        generateSql(static_cast<std::size_t>(megabytes * 1024 * 1024), statements);
    const std::string sqlFile = (dir / "bench.sql").string();
    const std::string rsqlFile = (dir / "bench.rsql").string();
    const std::string backFile = (dir / "back.sql").string();
    std::ofstream(sqlFile, std::ios::binary).write(sql.data(), static_cast<long>(sql.size()));
    const double mb = static_cast<double>(sql.size()) / (1024.0 * 1024.0);
    const int repeats = 3;

    std::size_t lines = 0;
    const Timing floor = measure(
        [&] {
            const std::string bytes = readFileBytes(sqlFile);
            lines = splitLines(bytes).size();
        },
        repeats);

    const ScriptKind kind = benchKind();
    std::size_t commands = 0;
    for (const bool crypt : {false, true}) {
        RsqlHeaderValues header;
        header.code = "SHOP";
        header.newVersion = "2.0";
        header.crypt = crypt;
        header.password = "secret";
        const SqlToRsqlConverter toRsql(SplitSettings::fromKind(kind));
        const Timing there =
            measure([&] { commands = toRsql.convert(sqlFile, rsqlFile, header); }, repeats);
        const RsqlToSqlConverter toSql(kind);
        const Timing back = measure(
            [&] {
                if (toSql.convert(rsqlFile, backFile, "^", header.password) !=
                    RsqlToSqlConverter::Result::Done)
                    std::abort();
            },
            repeats);
        std::printf("%6.1f MB %s | floor %6.1f MB/s | sql2rsql %5.1f MB/s ratio %5.2f (cpu %5.2f)"
                    " | rsql2sql %5.1f MB/s ratio %5.2f (cpu %5.2f)\n",
                    mb, crypt ? "scrambled" : "plain    ", mb / floor.wall, mb / there.wall,
                    there.wall / floor.wall, there.cpu / floor.cpu, mb / back.wall,
                    back.wall / floor.wall, back.cpu / floor.cpu);
    }
    if (!main)
        return;
    std::printf("%zu lines, %zu statements generated, %zu commands\n", lines, statements, commands);

    // Where the time of each way goes (processor seconds, plain script).
    std::vector<std::vector<std::string>> split;
    const Timing splitting = measure(
        [&] { split = SqlToRsqlConverter(SplitSettings::fromKind(kind)).split(sql); }, repeats);
    vt::script::RsqlContent content;
    content.commands = std::move(split);
    const Timing writing =
        measure([&] { vt::script::writeRsqlScript(rsqlFile, content); }, repeats);
    std::unique_ptr<vt::script::RsqlScript> script;
    const Timing opening =
        measure([&] { script = std::make_unique<vt::script::RsqlScript>(rsqlFile); }, repeats);
    std::string text;
    const Timing texting =
        measure([&] { text = RsqlToSqlConverter(kind).sqlText(*script, ";"); }, repeats);
    std::printf("cpu s: floor %.3f | sql2rsql: split %.3f, write rSQL %.3f | rsql2sql: "
                "read rSQL %.3f, make SQL text %.3f\n",
                floor.cpu, splitting.cpu, writing.cpu, opening.cpu, texting.cpu);
}

} // namespace

int main(int argc, char** argv) {
    // Keep freed memory in the process: otherwise large blocks go back to the system after each
    // run and the next run pays for faulting fresh pages in, which on a virtual machine costs
    // more than the work measured and differs between sizes around glibc's mmap threshold.
    ::mallopt(M_MMAP_THRESHOLD, 1 << 30);
    ::mallopt(M_TRIM_THRESHOLD, 1 << 30);
    std::vector<double> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atof(argv[i]));
    if (sizes.empty())
        sizes = {12.5, 25, 50};
    std::string pattern = (std::filesystem::temp_directory_path() / "vtbench.XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return 1;
    const std::filesystem::path dir = pattern;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        runSize(sizes[i], dir, i + 1 == sizes.size());
    std::filesystem::remove_all(dir);
    return 0;
}
