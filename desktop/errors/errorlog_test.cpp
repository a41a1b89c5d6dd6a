// The layout of an error log entry.
#include "desktop/errors/errorlog.h"

#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

LogEntry baseEntry() {
    LogEntry entry;
    entry.time = QDateTime(QDate(2026, 3, 7), QTime(9, 5, 4));
    entry.user = QStringLiteral("ivan (ОС)");
    entry.computer = QStringLiteral("host1");
    entry.programPath = QStringLiteral("/opt/vt/vtdesk");
    entry.programVersion = QStringLiteral("2.1.0.0");
    entry.message = QStringLiteral("Нет файла\rпроверьте путь");
    return entry;
}

TEST(ErrorLogTest, EntryLinesFollowTheLayout) {
    struct Case {
        const char* name;
        void (*change)(LogEntry&);
        QString body; // what follows the first line
    } cases[] = {
        {"without details the message is the last line", [](LogEntry&) {},
         QStringLiteral("Программа: /opt/vt/vtdesk (2.1.0.0)\r\nНет файла\rпроверьте путь\r\n")},
        {"details are followed by one empty line",
         [](LogEntry& e) {
             e.description = {QStringLiteral("a"), QStringLiteral("b")};
         },
         QStringLiteral("Программа: /opt/vt/vtdesk (2.1.0.0)\r\na\r\nb\r\n\r\n")},
        {"context and library lines come before the error",
         [](LogEntry& e) {
             e.context = QStringLiteral("Форма: FormMain, Main\r\nЭлемент: Edit1");
             e.libraryPath = QStringLiteral("/opt/vt/lib.so");
             e.libraryVersion = QStringLiteral("1.2.3.4");
         },
         QStringLiteral("Программа: /opt/vt/vtdesk (2.1.0.0)\r\nБиблиотека: /opt/vt/lib.so "
                        "(1.2.3.4)\r\nФорма: FormMain, Main\r\nЭлемент: Edit1\r\nНет "
                        "файла\rпроверьте путь\r\n")},
        {"a file without version information shows empty brackets",
         [](LogEntry& e) { e.programVersion.clear(); },
         QStringLiteral("Программа: /opt/vt/vtdesk ()\r\nНет файла\rпроверьте путь\r\n")},
    };
    for (const Case& c : cases) {
        LogEntry entry = baseEntry();
        c.change(entry);
        const QString expected = logTimeStamp(entry.time) +
                                 QStringLiteral(" Пользователь: ivan (ОС), Компьютер: host1\r\n") +
                                 c.body;
        EXPECT_EQ(formatLogEntry(entry), expected) << c.name;
    }
}

TEST(ErrorLogTest, TimeStampHasDateAndSecondsButNoTimeZone) {
    const QDateTime time(QDate(2026, 3, 7), QTime(9, 5, 4));
    const QString stamp = logTimeStamp(time);
    EXPECT_TRUE(stamp.contains(QStringLiteral("05:04"))) << stamp.toStdString();
    EXPECT_FALSE(stamp.contains(time.timeZoneAbbreviation())) << stamp.toStdString();
    EXPECT_FALSE(stamp.endsWith(QLatin1Char(' ')));
}

TEST(ErrorLogTest, InstalledClockStampsTheEntries) {
    const QDateTime fixed(QDate(2020, 1, 2), QTime(3, 4, 5));
    LogClock previous = setLogClock([fixed] { return fixed; });
    EXPECT_EQ(logNow(), fixed);
    setLogClock(previous);
    EXPECT_NE(logNow(), fixed);
}

} // namespace
} // namespace vt::desktop
