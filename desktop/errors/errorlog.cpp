// The error log: the layout of one entry and the clock it is stamped with.
#include "desktop/errors/errorlog.h"

#include "desktop/errors/errortexts.h"

#include <QLocale>
#include <QRegularExpression>

namespace vt::desktop {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");

LogClock& clockSlot() {
    static LogClock clock;
    return clock;
}

QString tr8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

QString logTimeStamp(const QDateTime& time) {
    const QLocale locale = QLocale::system();
    // Qt's long time formats name the time zone ("t"), which the platform's long time format
    // does not.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    timeFormat = timeFormat.replace(zone, QStringLiteral(" ")).trimmed();
    return locale.toString(time.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(time.time(), timeFormat);
}

QString formatLogEntry(const LogEntry& entry) {
    QString text = logTimeStamp(entry.time) + QLatin1Char(' ') +
                   tr8(texts::kLogUserLine).arg(entry.user, entry.computer) + kLineEnd;
    text += tr8(texts::kLogProgramLine).arg(entry.programPath, entry.programVersion) + kLineEnd;
    if (!entry.libraryPath.isEmpty())
        text += tr8(texts::kLogLibraryLine).arg(entry.libraryPath, entry.libraryVersion) + kLineEnd;
    if (!entry.context.isEmpty())
        text += entry.context + kLineEnd;
    if (!entry.description.isEmpty()) {
        for (const QString& line : entry.description)
            text += line + kLineEnd;
        text += kLineEnd;
    } else {
        text += entry.message + kLineEnd;
    }
    return text;
}

LogClock setLogClock(LogClock clock) {
    LogClock previous = std::move(clockSlot());
    clockSlot() = std::move(clock);
    return previous;
}

QDateTime logNow() {
    return clockSlot() ? clockSlot()() : QDateTime::currentDateTime();
}

} // namespace vt::desktop
