// Converts a generated SQL script to rSQL and back with the vtconvert program, and compares each
// way with the floor measured in the same run: reading the SQL file and writing as many bytes to
// another file with an fsync. Peak memory is the child process's maximum resident set.
//
// Usage: bench_convert [MEGABYTES...]   (default: 20 100)
// The vtconvert program is looked for beside this one (../bin/vtconvert) unless VT_PROGRAM_BIN
// names its folder.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr double kGoalRatio = 3.0;
constexpr double kGoalPeakMb = 32.0;

// The kind the script is written in, as sqltools.ini holds it.
constexpr const char* kKinds = "[Bench]\r\nDelimeter=;\r\nCommand=SET TERM\r\n"
                               "Ignore Command=CONNECT;COMMIT\r\nCommentBegin=/*\r\n"
                               "CommentEnd=*/\r\n";

// Appends about the given number of bytes of SQL to the file: single-line inserts, multi-line
// statements, comments, ignored statements, blank lines and SET TERM blocks with procedure
// bodies.
void generateSql(const fs::path& file, std::size_t bytes) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        std::exit(1);
    std::string sql;
    std::size_t written = 0;
    for (std::size_t i = 0; written < bytes; ++i) {
        const std::string n = std::to_string(i);
        sql.clear();
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
        std::fwrite(sql.data(), 1, sql.size(), out);
        written += sql.size();
    }
    std::fclose(out);
}

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double cpuOf(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Reads the file and writes as many bytes to another with an fsync: the least a conversion can
// cost. cpu receives the processor time it took.
double floorSeconds(const fs::path& from, const fs::path& to, double& cpu) {
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    const double start = now();
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> block(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, block.data(), block.size());
        if (n <= 0)
            break;
        if (::write(out, block.data(), static_cast<std::size_t>(n)) != n)
            std::exit(1);
    }
    ::fsync(out);
    ::close(in);
    ::close(out);
    const double seconds = now() - start;
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    cpu = cpuOf(after) - cpuOf(before);
    return seconds;
}

struct Run {
    double seconds = 0;
    double cpu = 0; // user and system time
    double peakMb = 0;
    int status = 0;
};

// Runs vtconvert with the arguments; its time and peak memory.
Run runConvert(const std::string& program, std::vector<std::string> args) {
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const double start = now();
    pid_t pid = 0;
    Run run;
    if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    rusage usage{};
    ::wait4(pid, &run.status, 0, &usage);
    run.seconds = now() - start;
    run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.cpu = cpuOf(usage);
    return run;
}

// The best of three runs (time and memory of the fastest).
Run best(const std::string& program, const std::vector<std::string>& args) {
    Run result;
    result.seconds = 1e9;
    for (int i = 0; i < 3; ++i) {
        const Run r = runConvert(program, args);
        if (r.status != 0) {
            std::fprintf(stderr, "vtconvert failed (status %d)\n", r.status);
            std::exit(1);
        }
        if (r.seconds < result.seconds)
            result = r;
    }
    return result;
}

void report(const char* way, double mb, const Run& run, double floor) {
    const double ratio = run.seconds / floor;
    std::printf("  %-22s %7.3f s  %7.1f MB/s  %5.2fx floor  cpu %6.3f s  peak %6.1f MB  %s\n", way,
                run.seconds, mb / run.seconds, ratio, run.cpu, run.peakMb,
                ratio <= kGoalRatio && run.peakMb < kGoalPeakMb ? "goal met" : "OVER GOAL");
}

void runSize(double megabytes, const fs::path& dir, const std::string& program) {
    const fs::path sql = dir / "bench.sql";
    const fs::path rsql = dir / "bench.rsql";
    const fs::path back = dir / "back.sql";
    generateSql(sql, static_cast<std::size_t>(megabytes * 1024 * 1024));
    const double mb = static_cast<double>(fs::file_size(sql)) / (1024.0 * 1024.0);

    double floor = 1e9, floorCpu = 0;
    for (int i = 0; i < 3; ++i) {
        double cpu = 0;
        const double seconds = floorSeconds(sql, dir / "copy.sql", cpu);
        if (seconds < floor) {
            floor = seconds;
            floorCpu = cpu;
        }
    }
    fs::remove(dir / "copy.sql");
    std::printf("%.1f MB of SQL: floor (read + write + fsync) %.3f s, %.1f MB/s, cpu %.3f s\n", mb,
                floor, mb / floor, floorCpu);

    for (const bool crypt : {false, true}) {
        std::vector<std::string> there = {"sql2rsql", sql,    rsql,    "--kind", "Bench",
                                          "--code",   "SHOP", "--new", "2.0",    "--force"};
        std::vector<std::string> again = {"rsql2sql", rsql,     back, "--kind",
                                          "Bench",    "--term", "^",  "--force"};
        if (crypt) {
            for (auto* args : {&there, &again}) {
                args->push_back("--password");
                args->push_back("secret");
            }
        }
        const Run toRsql = best(program, there);
        const Run toSql = best(program, again);
        report(crypt ? "sql2rsql (scrambled)" : "sql2rsql (plain)", mb, toRsql, floor);
        report(crypt ? "rsql2sql (scrambled)" : "rsql2sql (plain)", mb, toSql, floor);
    }
    fs::remove(sql);
    fs::remove(rsql);
    fs::remove(back);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<double> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atof(argv[i]));
    if (sizes.empty())
        sizes = {20, 100};
    const char* bin = std::getenv("VT_PROGRAM_BIN");
    const fs::path self = fs::read_symlink("/proc/self/exe").parent_path();
    const std::string program =
        (bin ? fs::path(bin) : self.parent_path() / "bin").append("vtconvert").string();

    std::string pattern = (fs::temp_directory_path() / "vtbench.XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return 1;
    const fs::path dir = pattern;
    std::FILE* kinds = std::fopen((dir / "sqltools.ini").c_str(), "wb");
    std::fputs(kKinds, kinds);
    std::fclose(kinds);
    ::setenv("VT_CONFIG_DIR", dir.c_str(), 1);
    std::printf("goal: at most %.0fx the floor each way, peak memory under %.0f MB\n", kGoalRatio,
                kGoalPeakMb);
    for (double size : sizes)
        runSize(size, dir, program);
    fs::remove_all(dir);
    return 0;
}
