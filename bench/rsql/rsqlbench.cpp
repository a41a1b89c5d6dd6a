// Reading speed of rSQL scripts: open a script and fetch every command text in order, compared
// with the floor of reading the same file into memory and splitting it into lines.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "script/rsqlscript.h"
#include "script/rsqlwriter.h"

using namespace vt::script;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kLinesPerCommand = 5;
constexpr int kRepeats = 15;

RsqlContent makeContent(int commands, bool crypt) {
    RsqlContent c;
    c.code = "BENCH";
    c.oldVersion = "1.0";
    c.newVersion = "1.1";
    c.user = "admin";
    c.crypt = crypt;
    c.password = "secret";
    c.comments = {"Benchmark script"};
    c.commands.resize(static_cast<std::size_t>(commands));
    for (int k = 0; k < commands; ++k)
        for (int n = 0; n < kLinesPerCommand; ++n)
            c.commands[static_cast<std::size_t>(k)].push_back(
                "  UPDATE ACCOUNTS SET BALANCE = BALANCE + " + std::to_string(k * 7 + n) +
                " WHERE ID = " + std::to_string(k) + " AND PART = " + std::to_string(n));
    return c;
}

// Reads the file into memory in one read and splits it into lines: what any reader must do.
std::size_t floorRead(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string data(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r' || data[i] == '\n') {
            lines.emplace_back(data.data() + start, i - start);
            if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < data.size())
        lines.emplace_back(data.data() + start, data.size() - start);
    return lines.size();
}

// Opens the script and fetches every command text in order.
std::size_t readScript(const std::string& path) {
    RsqlScript script(path);
    std::size_t total = 0;
    for (long n = 1; n <= script.header().commands; ++n)
        total += script.commandText(n).size();
    return total;
}

double seconds(const std::function<std::size_t()>& f, std::size_t& sink) {
    const auto t0 = Clock::now();
    sink += f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

struct Run {
    bool crypt;
    int commands;
    std::string path;
    double mb = 0;
    double floor = 1e9; // best of the repeats, seconds
    double time = 1e9;
};

} // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "rsqlbench.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path dir = pattern;
    std::vector<Run> runs;
    for (bool crypt : {false, true})
        for (int commands : {20000, 40000}) {
            Run r{crypt, commands,
                  (dir / ((crypt ? "scrambled" : "plain") + std::to_string(commands) + ".rsql"))
                      .string()};
            writeRsqlScript(r.path, makeContent(commands, crypt));
            r.mb = static_cast<double>(std::filesystem::file_size(r.path)) / 1e6;
            runs.push_back(r);
        }
    // The repeats go round all scripts in turn, so that a busy moment of the machine does not
    // fall on one script only; the best time of each counts.
    std::size_t sink = 0;
    for (int i = 0; i < kRepeats; ++i)
        for (Run& r : runs) {
            r.floor = std::min(r.floor, seconds([&] { return floorRead(r.path); }, sink));
            r.time = std::min(r.time, seconds([&] { return readScript(r.path); }, sink));
        }
    std::printf("%-10s %8s %8s %9s %9s %9s %7s %14s %14s\n", "script", "commands", "MB", "time ms",
                "MB/s", "floor ms", "ratio", "time x (2N/N)", "floor x (2N/N)");
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Run& r = runs[i];
        std::printf("%-10s %8d %8.2f %9.2f %9.1f %9.2f %7.2f", r.crypt ? "scrambled" : "plain",
                    r.commands, r.mb, r.time * 1e3, r.mb / r.time, r.floor * 1e3, r.time / r.floor);
        if (i % 2 == 1)
            std::printf(" %14.2f %14.2f", r.time / runs[i - 1].time, r.floor / runs[i - 1].floor);
        std::printf("\n");
    }
    std::filesystem::remove_all(dir);
    return sink == 0 ? 1 : 0;
}
