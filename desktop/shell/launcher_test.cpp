// Tests of TLauncher: process creation with posix_spawn, its messages, waits, events, reaping,
// and shell execution through the desktop's opener.
#include "desktop/shell/launcher.h"

#include "desktop/shell/testenv.h"
#include "desktop/shell/urlopener.h"
#include "platform/exception.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

namespace vt::desktop {
namespace {

// Processes events until the condition holds; false when it still fails after ten seconds.
template <class Condition> bool waitUntil(Condition condition) {
    QDeadlineTimer deadline(10000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

// True once the process is gone, zombie included (a zombie still answers signal 0).
bool processGone(pid_t pid) {
    return waitUntil([pid] { return kill(pid, 0) != 0 && errno == ESRCH; });
}

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureQtApp();
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("my tools")));
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("work")));
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& text, bool executable) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
    }
    QStringList readLines(const QString& name) const {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    // The message of the EOSError that launching throws, or empty when it throws none.
    static QString launchError(TLauncher& launcher) {
        try {
            launcher.Launch();
        } catch (const EOSError& e) {
            return QString::fromStdString(e.message());
        }
        return {};
    }

    QTemporaryDir m_dir;
};

TEST_F(LauncherTest, AQuotedPathWithBlanksReachesTheProgramAsOneArgument) {
    writeFile(QStringLiteral("my tools/args.sh"),
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$OUT\"\n"
              "pwd >> \"$OUT\"\n",
              true);
    TLauncher launcher;
    launcher.ProgramName = QLatin1Char('"') + path(QStringLiteral("my tools/args.sh")) + u'"';
    launcher.Parameters = QStringLiteral("\"two words\" x");
    launcher.WorkDir = path(QStringLiteral("work"));
    launcher.Environment = {QStringLiteral("OUT=") + path(QStringLiteral("out.txt")),
                            QStringLiteral("PATH=/usr/bin:/bin")};
    bool finished = false;
    launcher.OnFinished = [&](TLauncher*) { finished = true; };
    launcher.WaitTerminate = true;
    launcher.Launch();
    EXPECT_TRUE(finished);
    EXPECT_EQ(launcher.processId(), 0);
    EXPECT_TRUE(WIFEXITED(launcher.exitStatus()));
    EXPECT_EQ(readLines(QStringLiteral("out.txt")),
              (QStringList{QStringLiteral("two words"), QStringLiteral("x"),
                           path(QStringLiteral("work"))}));
}

struct MessageCase {
    const char* name;
    TrLaunchMethod method;
    const char* program;  // %D stands for the test folder
    const char* workDir;  // likewise
    const char* expected; // likewise, in capitals where the message shows capitals
};

class LauncherMessageTest : public LauncherTest,
                            public ::testing::WithParamInterface<MessageCase> {};

TEST_P(LauncherMessageTest, ReportsTheFailureInItsOwnWords) {
    writeFile(QStringLiteral("notes.txt"), "text\n", false);
    writeFile(QStringLiteral("noformat"),
              "\x7f"
              "ELF junk\n",
              true);
    const auto fill = [this](const char* text) {
        return QString::fromUtf8(text).replace(QStringLiteral("%D"), m_dir.path());
    };
    TLauncher launcher;
    launcher.LaunchMethod = GetParam().method;
    launcher.ProgramName = fill(GetParam().program);
    launcher.WorkDir = fill(GetParam().workDir);
    const QString expected = QString::fromUtf8(GetParam().expected)
                                 .replace(QStringLiteral("%D"), m_dir.path().toUpper());
    EXPECT_EQ(launchError(launcher), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LauncherMessageTest,
    ::testing::Values(
        MessageCase{"AMissingProgram", lmCreateProcess, "%D/nothing", "",
                    "Файл '%D/NOTHING' не найден."},
        MessageCase{"AProgramMissingFromPath", lmCreateProcess, "vt-no-such-program-here", "",
                    "Файл 'VT-NO-SUCH-PROGRAM-HERE' не найден."},
        MessageCase{"AnEmptyProgramName", lmCreateProcess, "", "", "Файл '' не найден."},
        MessageCase{"AFileThatIsNotExecutable", lmCreateProcess, "%D/notes.txt", "",
                    "Файл '%D/NOTES.TXT' не является программой."},
        MessageCase{"AnExecutableOfNoKnownFormat", lmCreateProcess, "%D/noformat", "",
                    "Файл '%D/NOFORMAT' не является программой."},
        MessageCase{"AFolder", lmCreateProcess, "%D/work", "",
                    "Файл '%D/WORK' не является программой."},
        MessageCase{"AWorkingDirectoryThatDoesNotExist", lmCreateProcess, "/bin/true", "%D/gone",
                    "Неверный рабочий каталог (%D/GONE)."},
        MessageCase{"AWorkingDirectoryThatIsAFile", lmCreateProcess, "/bin/true", "%D/notes.txt",
                    "Неверный рабочий каталог (%D/NOTES.TXT)."},
        MessageCase{"AMissingDocument", lmShellExecute, "changes.txt", "%D",
                    "Файл 'CHANGES.TXT' не найден."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LauncherTest, AFinishedChildIsReapedAndOnFinishedFires) {
    TLauncher launcher;
    launcher.ProgramName = QStringLiteral("/bin/sh");
    launcher.Parameters = QStringLiteral("-c 'exit 3'");
    launcher.TimerInterval = 10;
    int finished = 0;
    launcher.OnFinished = [&](TLauncher* sender) {
        EXPECT_EQ(sender, &launcher);
        ++finished;
    };
    launcher.Launch();
    const pid_t pid = launcher.processId();
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(waitUntil([&] { return finished > 0; }));
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(WEXITSTATUS(launcher.exitStatus()), 3);
    EXPECT_EQ(launcher.processId(), 0);
    EXPECT_TRUE(processGone(pid));
}

TEST_F(LauncherTest, AChildNobodyWaitsForIsStillReaped) {
    TLauncher launcher;
    launcher.ProgramName = QStringLiteral("/bin/sh");
    launcher.Parameters =
        QStringLiteral("-c 'echo $$ > \"%1\"'").arg(path(QStringLiteral("pid.txt")));
    launcher.Launch();
    EXPECT_EQ(launcher.processId(), 0);
    ASSERT_TRUE(waitUntil([&] { return !readLines(QStringLiteral("pid.txt")).isEmpty(); }));
    const pid_t pid = readLines(QStringLiteral("pid.txt")).first().toInt();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(processGone(pid));
}

struct TimeoutCase {
    const char* name;
    bool blocking;
};

class LauncherTimeoutTest : public LauncherTest,
                            public ::testing::WithParamInterface<TimeoutCase> {};

TEST_P(LauncherTimeoutTest, ATimedOutWaitReportsItAndTheChildIsReapedLater) {
    TLauncher launcher;
    launcher.ProgramName = QStringLiteral("/bin/sh");
    launcher.Parameters =
        QStringLiteral("-c 'echo $$ > \"%1\"; exec sleep 30'").arg(path(QStringLiteral("pid.txt")));
    launcher.TimeoutWaitTerminate = 50;
    launcher.TimerInterval = 10;
    launcher.WaitTerminate = GetParam().blocking;
    int timeouts = 0;
    bool finished = false;
    launcher.OnTimeoutElapsed = [&](TLauncher* sender, bool waitInit) {
        EXPECT_FALSE(waitInit);
        EXPECT_EQ(sender->processId(), 0);
        ++timeouts;
    };
    launcher.OnFinished = [&](TLauncher*) { finished = true; };
    launcher.Launch();
    ASSERT_TRUE(waitUntil([&] { return timeouts > 0; }));
    EXPECT_EQ(timeouts, 1);
    EXPECT_FALSE(finished);
    ASSERT_TRUE(waitUntil([&] { return !readLines(QStringLiteral("pid.txt")).isEmpty(); }));
    const pid_t pid = readLines(QStringLiteral("pid.txt")).first().toInt();
    ASSERT_GT(pid, 0);
    kill(pid, SIGKILL);
    EXPECT_TRUE(processGone(pid));
}

INSTANTIATE_TEST_SUITE_P(Cases, LauncherTimeoutTest,
                         ::testing::Values(TimeoutCase{"Blocking", true},
                                           TimeoutCase{"Polling", false}),
                         [](const auto& info) { return std::string(info.param.name); });

class ShellLaunchTest : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        m_previous = setUrlOpener([this](const QUrl& url) {
            m_opened << url;
            return m_openerResult;
        });
    }
    void TearDown() override { setUrlOpener(m_previous); }

    UrlOpener m_previous;
    QList<QUrl> m_opened;
    bool m_openerResult = true;
};

TEST_F(ShellLaunchTest, OpensADocumentInTheWorkingDirectoryWithoutItsQuotes) {
    writeFile(QStringLiteral("my tools/changes.txt"), "news\n", false);
    TLauncher launcher;
    launcher.LaunchMethod = lmShellExecute;
    launcher.ProgramName = QStringLiteral(" \"changes.txt\" ");
    launcher.WorkDir = path(QStringLiteral("my tools"));
    launcher.Launch();
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.first(), QUrl::fromLocalFile(path(QStringLiteral("my tools/changes.txt"))));
}

TEST_F(ShellLaunchTest, OpensAnAddressAsItStands) {
    TLauncher launcher;
    launcher.LaunchMethod = lmShellExecute;
    launcher.ProgramName = QStringLiteral("https://vantrel.example/utilities");
    launcher.Launch();
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.first(), QUrl(QStringLiteral("https://vantrel.example/utilities")));
}

TEST_F(ShellLaunchTest, ADocumentNoProgramTakesIsReported) {
    writeFile(QStringLiteral("notes.txt"), "text\n", false);
    m_openerResult = false;
    TLauncher launcher;
    launcher.LaunchMethod = lmShellExecute;
    launcher.ProgramName = path(QStringLiteral("notes.txt"));
    EXPECT_EQ(launchError(launcher),
              QString::fromUtf8(
                  "Для указанной операции нет приложения, сопоставленного с данным файлом."));
}

TEST_F(ShellLaunchTest, AnExecutableIsStartedWithItsParameters) {
    writeFile(QStringLiteral("my tools/args.sh"), "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.out\"\n",
              true);
    TLauncher launcher;
    launcher.LaunchMethod = lmShellExecute;
    launcher.ProgramName = QLatin1Char('"') + path(QStringLiteral("my tools/args.sh")) + u'"';
    launcher.Parameters = QStringLiteral("'a b' c");
    launcher.WaitTerminate = true;
    launcher.Launch();
    EXPECT_TRUE(m_opened.isEmpty());
    EXPECT_EQ(readLines(QStringLiteral("my tools/args.sh.out")),
              (QStringList{QStringLiteral("a b"), QStringLiteral("c")}));
}

} // namespace
} // namespace vt::desktop
