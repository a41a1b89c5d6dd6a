// The error log: the layout of one entry and the clock it is stamped with.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace vt::desktop {

// What one entry of the error log says.
struct LogEntry {
    QDateTime time;
    QString user;
    QString computer;
    QString programPath;
    QString programVersion;
    QString libraryPath; // empty when the error handling lives in the program itself
    QString libraryVersion;
    QString context;         // the active window and control, or empty
    QStringList description; // the error's details
    QString message;         // written when there are no details
};

// The entry as text: lines ending in CR LF, the time in the locale's short date and long time
// formats. Details are followed by one empty line; without details the message is the last
// line (line breaks inside it are kept as they are).
QString formatLogEntry(const LogEntry& entry);

// The date and time as the log writes them: the system locale's short date format, a space and
// its long time format (without a time zone).
QString logTimeStamp(const QDateTime& time);

// The clock of the log entries; installs a replacement (an empty one restores the system clock)
// and returns the previous one.
using LogClock = std::function<QDateTime()>;
LogClock setLogClock(LogClock clock);
// The current local time from the installed clock.
QDateTime logNow();

} // namespace vt::desktop
