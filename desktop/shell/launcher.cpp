// TLauncher: starts a program by process creation or opens a document through the desktop.
#include "desktop/shell/launcher.h"

#include "desktop/shell/commandline.h"
#include "desktop/shell/shelltexts.h"
#include "desktop/shell/urlopener.h"
#include "platform/exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vt::desktop {
namespace {

constexpr int kIdleNice = 19;

int64_t tickCount() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

[[noreturn]] void raiseLaunchError(int code, const QString& programName, const QString& workDir) {
    QString message;
    switch (code) {
    case ENOENT:
        message = QString::fromUtf8(texts::kLaunchNotFound).arg(programName.toUpper());
        break;
    case ENOEXEC:
    case EACCES:
    case EISDIR:
        message = QString::fromUtf8(texts::kLaunchNotProgram).arg(programName.toUpper());
        break;
    case ENOTDIR:
        message = QString::fromUtf8(texts::kLaunchBadWorkDir).arg(workDir.toUpper());
        break;
    default:
        message = QString::fromLocal8Bit(std::strerror(code));
        break;
    }
    throw EOSError(message.toStdString(), code);
}

// Collects the exit status of a child nobody follows any longer, so it never stays a zombie.
void reapInBackground(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

// Waits up to timeoutMs (negative: no limit) for the child to end. Returns 1 when it ended (its
// status stored), 0 on a timeout, -1 with errno set on failure.
int waitForChild(pid_t pid, int64_t timeoutMs, int& status) {
    if (timeoutMs < 0) {
        pid_t r;
        while ((r = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
        }
        return r == pid ? 1 : -1;
    }
    const int64_t deadline = tickCount() + timeoutMs;
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    for (;;) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            break;
        if (r < 0 && errno != EINTR) {
            if (pidfd >= 0)
                close(pidfd);
            return -1;
        }
        const int64_t left = deadline - tickCount();
        if (left <= 0) {
            if (pidfd >= 0)
                close(pidfd);
            return 0;
        }
        if (pidfd >= 0) {
            pollfd fd{pidfd, POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left));
        } else {
            usleep(static_cast<useconds_t>(std::min<int64_t>(left, 5) * 1000));
        }
    }
    if (pidfd >= 0)
        close(pidfd);
    return 1;
}

// An empty working directory (inherit ours) or an existing folder the user may enter.
bool usableWorkDir(const QString& workDir) {
    if (workDir.isEmpty())
        return true;
    const QFileInfo info(workDir);
    return info.isDir() && info.isExecutable();
}

std::vector<std::string> toBytes(const QStringList& list) {
    std::vector<std::string> bytes;
    bytes.reserve(list.size());
    for (const QString& s : list)
        bytes.push_back(QFile::encodeName(s).toStdString());
    return bytes;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

// Owns the attributes and file actions of one posix_spawn call.
struct SpawnSetup {
    posix_spawnattr_t attr;
    posix_spawn_file_actions_t actions;
    SpawnSetup() {
        posix_spawnattr_init(&attr);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

} // namespace

TLauncher::TLauncher(QObject* owner) : QObject(owner) {}

TLauncher::~TLauncher() {
    release();
}

void TLauncher::release() {
    if (m_timer)
        m_timer->stop();
    if (m_pid > 0)
        reapInBackground(m_pid);
    m_pid = 0;
}

void TLauncher::Launch() {
    const QString workDir = WorkDir;
    if (LaunchMethod == lmShellExecute) {
        launchShell(workDir);
        return;
    }
    TLaunchRequest request;
    request.arguments = splitCommandLine(ProgramName + QLatin1Char(' ') + Parameters);
    request.environment = Environment;
    request.workDir = workDir;
    createProcess(request, true);
}

void TLauncher::launchShell(const QString& workDir) {
    QString file = ProgramName.trimmed();
    if (file.size() >= 3 && file.startsWith(u'"') && file.endsWith(u'"'))
        file = file.mid(1, file.size() - 2);
    TLaunchRequest request;
    request.document = file;
    request.verb = ShellOperation;
    request.workDir = workDir;
    if (BeforeLaunch)
        BeforeLaunch(this, request);
    if (!usableWorkDir(request.workDir))
        raiseLaunchError(ENOTDIR, ProgramName, request.workDir);
    const bool openVerb =
        request.verb.isEmpty() || request.verb.compare(u"open", Qt::CaseInsensitive) == 0;
    const QUrl asUrl(request.document);
    QUrl target;
    if (asUrl.scheme().size() > 1 && !asUrl.isLocalFile()) {
        target = asUrl;
    } else {
        const QString path = asUrl.isLocalFile() ? asUrl.toLocalFile() : request.document;
        const QDir base(request.workDir.isEmpty() ? QDir::currentPath() : request.workDir);
        const QFileInfo info(base.absoluteFilePath(path));
        if (path.isEmpty() || !info.exists())
            raiseLaunchError(ENOENT, ProgramName, request.workDir);
        if (openVerb && info.isFile() && info.isExecutable()) {
            TLaunchRequest spawn;
            spawn.arguments = QStringList{info.absoluteFilePath()} + splitCommandLine(Parameters);
            spawn.environment = Environment;
            spawn.workDir = request.workDir;
            createProcess(spawn, false);
            return;
        }
        target = QUrl::fromLocalFile(info.absoluteFilePath());
    }
    if (!openVerb || !openUrl(target))
        throw EOSError(QString::fromUtf8(texts::kLaunchNoAssociation).toStdString(), ENOEXEC);
}

void TLauncher::createProcess(TLaunchRequest& request, bool callBeforeLaunch) {
    if (callBeforeLaunch && BeforeLaunch)
        BeforeLaunch(this, request);
    if (!usableWorkDir(request.workDir))
        raiseLaunchError(ENOTDIR, ProgramName, request.workDir);
    if (request.arguments.isEmpty() || request.arguments.first().isEmpty())
        raiseLaunchError(ENOENT, ProgramName, request.workDir);

    QString program = request.arguments.first();
    const bool searchPath = !program.contains(u'/');
    if (!searchPath)
        program = QDir::current().absoluteFilePath(program);
    std::vector<std::string> argBytes = toBytes(request.arguments);
    argBytes.front() = QFile::encodeName(program).toStdString();
    std::vector<char*> argv = pointers(argBytes);
    std::vector<std::string> envBytes = toBytes(request.environment);
    std::vector<char*> envp = pointers(envBytes);

    SpawnSetup setup;
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    sigset_t none, defaults;
    sigemptyset(&none);
    sigfillset(&defaults);
    posix_spawnattr_setsigmask(&setup.attr, &none);
    posix_spawnattr_setsigdefault(&setup.attr, &defaults);
    if (CreationFlags & cfNewProcessGroup) {
        flags |= POSIX_SPAWN_SETPGROUP;
        posix_spawnattr_setpgroup(&setup.attr, 0);
    }
    if (CreationFlags & cfDetachedProcess)
        flags |= POSIX_SPAWN_SETSID;
    posix_spawnattr_setflags(&setup.attr, flags);
    if (!request.workDir.isEmpty()) {
        const QByteArray dir = QFile::encodeName(request.workDir);
        posix_spawn_file_actions_addchdir_np(&setup.actions, dir.constData());
    }

    // A new launch forgets the process of the previous one.
    release();
    pid_t pid = 0;
    char** env = request.environment.isEmpty() ? environ : envp.data();
    const int rc = searchPath
                       ? posix_spawnp(&pid, argv[0], &setup.actions, &setup.attr, argv.data(), env)
                       : posix_spawn(&pid, argv[0], &setup.actions, &setup.attr, argv.data(), env);
    // The working directory was checked above, so a path error here concerns the program.
    if (rc != 0)
        raiseLaunchError(rc == ENOTDIR ? ENOENT : rc, ProgramName, request.workDir);
    m_pid = pid;
    if (Priority == pcIdle)
        setpriority(PRIO_PROCESS, static_cast<id_t>(pid), kIdleNice);

    if (WaitTerminate)
        waitBlocking();
    else if (TimeoutWaitTerminate != 0 || OnFinished)
        startPolling();
    else
        release();
}

void TLauncher::waitBlocking() {
    const int64_t limit = TimeoutWaitTerminate == 0 ? -1 : int64_t(TimeoutWaitTerminate);
    int status = 0;
    const int r = waitForChild(m_pid, limit, status);
    if (r < 0) {
        const int code = errno;
        m_pid = 0;
        throw EOSError(QString::fromLocal8Bit(std::strerror(code)).toStdString(), code);
    }
    if (r == 1) {
        m_pid = 0;
        m_exitStatus = status;
        if (OnFinished)
            OnFinished(this);
    } else {
        release();
        if (OnTimeoutElapsed)
            OnTimeoutElapsed(this, false);
    }
}

void TLauncher::startPolling() {
    m_startTick = tickCount();
    m_lastTick = m_startTick;
    if (!m_timer) {
        m_timer = new QTimer(this);
        connect(m_timer, &QTimer::timeout, this, &TLauncher::pollTick);
    }
    m_timer->setInterval(static_cast<int>(TimerInterval));
    m_timer->start();
}

void TLauncher::pollTick() {
    if (m_pid <= 0) {
        m_timer->stop();
        return;
    }
    m_lastTick = tickCount();
    if (m_lastTick < m_startTick)
        m_startTick = m_lastTick;
    int status = 0;
    const pid_t r = waitpid(m_pid, &status, WNOHANG);
    const bool running = r == 0 || (r < 0 && errno == EINTR);
    const bool timedOut =
        TimeoutWaitTerminate != 0 && m_lastTick >= m_startTick + int64_t(TimeoutWaitTerminate);
    if (running && !timedOut)
        return;
    if (running)
        release();
    else {
        m_timer->stop();
        m_pid = 0;
        m_exitStatus = status;
    }
    if (timedOut && running) {
        if (OnTimeoutElapsed)
            OnTimeoutElapsed(this, false);
    } else if (OnFinished) {
        OnFinished(this);
    }
}

} // namespace vt::desktop
