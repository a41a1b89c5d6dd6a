// Loads a generated rSQL script the way the script viewer does (ANSI bytes to text, line ends
// unified, the command heading found) and saves it again (CR LF lines, ANSI, atomic replace), and
// compares each way with the floor: reading or writing the same bytes with QFile.
//
// Usage: bench_viewer [MEGABYTES]   (default 25)
// Prints the throughput of each way in MB per second and its ratio to the floor.
#include "desktop/shell/scriptviewer.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using namespace vt::desktop;

// The best wall-clock time of three runs, in seconds.
double best(const std::function<void()>& run) {
    double result = 1e30;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        result = std::min(result, took.count());
    }
    return result;
}

QByteArray script(double megabytes) {
    QByteArray bytes = "[Header]\r\nCode=SHOP\r\nOldVersion=1.0\r\nNewVersion=1.1\r\n";
    const qsizetype target = static_cast<qsizetype>(megabytes * 1024 * 1024);
    for (int n = 1; bytes.size() < target; ++n)
        bytes += "[Command" + QByteArray::number(n) +
                 "]\r\nSQL1=UPDATE orders SET \xf1\xf2\xe0\xf2\xf3\xf1 = 'ready' WHERE id = " +
                 QByteArray::number(n) + "\r\n\r\n";
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 25.0;
    QTemporaryDir dir;
    const QString in = dir.filePath("in.rsql");
    const QString out = dir.filePath("out.rsql");
    const QByteArray bytes = script(megabytes);
    {
        QFile file(in);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    const double mb = bytes.size() / (1024.0 * 1024.0);
    const int last = bytes.count("[Command");

    QString text;
    const double readFloor = best([&] {
        QFile file(in);
        file.open(QIODevice::ReadOnly);
        const QByteArray all = file.readAll();
        if (all.size() != bytes.size())
            std::abort();
    });
    const double load = best([&] {
        text = readScriptText(in);
        if (findCommandMarker(text, last).length == 0)
            std::abort();
    });
    const double writeFloor = best([&] {
        QFile file(out);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    });
    const double save = best([&] { writeScriptText(out, text); });

    std::printf("script of %.1f MB, %d commands\n", mb, last);
    std::printf("load (read, convert, find [Command%d]): %8.1f MB/s, %.2f x the read floor\n", last,
                mb / load, load / readFloor);
    std::printf("save (CR LF, convert, atomic replace):  %8.1f MB/s, %.2f x the write floor\n",
                mb / save, save / writeFloor);
    return 0;
}
