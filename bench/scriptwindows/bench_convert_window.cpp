// Converts a generated SQL script of some megabytes into rSQL through TFormConvert1 (worker
// thread, progress bar) and through the converter alone, and measures how the window's event loop
// fares meanwhile: the longest wait between two ticks of a 10 ms timer, and how often the
// progress bar moved.
//
// Usage: bench_convert_window [MEGABYTES]   (default 50). Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
#include "desktop/scripts/conversionjob.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/sqltorsqlconverter.h"
#include "desktop/scripts/windows/formconvert1.h"
#include "desktop/scripts/windows/trfileedit.h"
#include "desktop/shell/appsettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace vt::desktop;

void writeSql(const QString& path, double megabytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    const qint64 target = static_cast<qint64>(megabytes * 1024 * 1024);
    QByteArray chunk;
    for (int n = 1; file.size() + chunk.size() < target; ++n) {
        chunk += "/* order " + QByteArray::number(n) +
                 " */\r\nUPDATE orders SET state = 'ready'\r\n"
                 "  WHERE id = " +
                 QByteArray::number(n) + ";\r\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 50.0;
    QTemporaryDir dir;
    qputenv("VT_CONFIG_DIR", QFile::encodeName(dir.path()));
    {
        QFile kinds(dir.filePath("sqltools.ini"));
        kinds.open(QIODevice::WriteOnly);
        kinds.write("[Plain]\r\nUseDefault=1\r\nDelimeter=;\r\nCommentBegin=/*\r\n"
                    "CommentEnd=*/\r\n");
    }
    initAppSettings();
    const QString sql = dir.filePath("big.sql");
    writeSql(sql, megabytes);

    // The converter alone, on this thread.
    QElapsedTimer clock;
    clock.start();
    const SqlToRsqlConverter converter(
        SplitSettings::fromKind(ScriptKinds(SqlToolsIni()).load("Plain")));
    const std::size_t commands =
        converter.convert(QFile::encodeName(sql).toStdString(),
                          QFile::encodeName(dir.filePath("alone.rsql")).toStdString(), {});
    const double alone = clock.elapsed() / 1000.0;

    // The converter on a worker thread, without a window.
    clock.restart();
    ConversionJob job;
    job.start([&](const ProgressCallback& progress) {
        SqlToRsqlConverter worker(
            SplitSettings::fromKind(ScriptKinds(SqlToolsIni()).load("Plain")));
        worker.setProgress(progress);
        return worker.convert(QFile::encodeName(sql).toStdString(),
                              QFile::encodeName(dir.filePath("job.rsql")).toStdString(), {});
    });
    job.take();
    const double onWorker = clock.elapsed() / 1000.0;

    // The same through the window.
    TFormConvert1 form;
    form.setScriptViewer([](const QString& name, int, bool) { return name; });
    form.FEScript->setText(sql);
    form.show();
    int moves = 0;
    QObject::connect(form.PBConvert, &QProgressBar::valueChanged, [&] { ++moves; });
    QElapsedTimer tick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, tick.restart()); });
    clock.restart();
    tick.start();
    ticker.start();
    form.BitBtn1->click();
    while (form.converting())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double window = clock.elapsed() / 1000.0;
    ticker.stop();

    std::printf("SQL script of %.0f MB, %zu commands\n", megabytes, commands);
    std::printf("converter alone:    %6.2f s  %7.1f MB/s\n", alone, megabytes / alone);
    std::printf("on a worker thread: %6.2f s  %7.1f MB/s\n", onWorker, megabytes / onWorker);
    std::printf("through the window: %6.2f s  %7.1f MB/s  (%.2f x the converter alone)\n", window,
                megabytes / window, window / alone);
    std::printf("window meanwhile:   longest wait between 10 ms ticks %lld ms, progress bar moved "
                "%d times\n",
                static_cast<long long>(longestGap), moves);
    return 0;
}
