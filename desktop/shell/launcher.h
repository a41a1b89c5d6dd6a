// TLauncher: starts a program by process creation or opens a document through the desktop.
//
// Process creation splits ProgramName + " " + Parameters into arguments by the shell's quoting
// rules (a quoted path with blanks stays one argument) and starts the first argument with
// posix_spawn, never through a shell: a name without "/" is looked for along PATH, a relative
// path is taken from the desktop program's current folder, WorkDir becomes the child's working
// directory. Every child is reaped: while the launcher waits for it (blocking, or polling with its
// timer) the launcher collects its exit status; a child nobody waits for, one whose wait timed
// out, and one still polled when the launcher is destroyed or launches again are handed to a
// background waiter, so none stays a zombie.
//
// Settings of the original platform that Linux has nothing like are kept as properties and
// ignored: ShowMode, Desktop, ConsoleTitle, the window position and size, the console size and
// fill attributes, StartupFlags, ShellExecuteMask and every creation flag except
// cfNewProcessGroup (the child leads a new process group) and cfDetachedProcess (the child starts
// a new session). Priority pcIdle starts the child with the lowest scheduling priority (nice 19);
// the raised classes need privileges a desktop program does not have and are ignored.
// TimeoutWaitInit has no counterpart either: a new process counts as idle at once.
//
// Shell execution opens ProgramName (its surrounding double quotes removed) with the desktop's
// associated program (openUrl): an address with a scheme as it stands, a file relative to WorkDir.
// An executable file is started by process creation with Parameters instead, as the original
// shell did; a document opened this way has no process to wait for, so waits and events do not
// apply to it.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <sys/types.h>

class QTimer;

namespace vt::desktop {

enum TrLaunchMethod { lmCreateProcess, lmShellExecute };

// Creation flags (bit values of the original platform); a set is the OR of its members.
enum TrCreationFlag : uint32_t {
    cfDebugProcess = 0x1,
    cfDebugOnlyThisProcess = 0x2,
    cfSuspended = 0x4,
    cfDetachedProcess = 0x8,
    cfNewConsole = 0x10,
    cfNewProcessGroup = 0x200,
    cfUnicodeEnvironment = 0x400,
    cfSeparateWOW_VDM = 0x800,
    cfSharedWOW_VDM = 0x1000,
    cfForceDOS = 0x2000,
    cfDefaultErrorMode = 0x4000000,
    cfNoWindow = 0x8000000,
    cfProfileUser = 0x10000000,
    cfProfileKernel = 0x20000000,
    cfProfileServer = 0x40000000,
};
using TrCreationFlags = uint32_t;

enum TrPriorityClass : uint32_t {
    pcIdle = 0x40,
    pcNormal = 0x20,
    pcHigh = 0x80,
    pcRealTime = 0x100
};

enum TShowMode : uint32_t {
    smHide = 0,
    smNormal = 1,
    smMaximized = 3,
    smMinimized = 2,
    smMinNoActive = 7,
    smNoActivate = 4,
};

enum TrFillAttribute : uint32_t {
    faForeBlue = 0x1,
    faForeGreen = 0x2,
    faForeRed = 0x4,
    faForeIntensity = 0x8,
    faBackBlue = 0x10,
    faBackGreen = 0x20,
    faBackRed = 0x40,
    faBackIntensity = 0x80,
};
using TrFillAttributes = uint32_t;

enum TrStartupFlag : uint32_t {
    sfUseShowWindow = 0x1,
    sfUsePosition = 0x4,
    sfUseSize = 0x2,
    sfUseConsoleChars = 0x8,
    sfUseFillAttributes = 0x10,
    sfForceOnFeedback = 0x40,
    sfForceOffFeedback = 0x80,
    sfRunFullScreen = 0x20,
    sfStdHandles = 0x100,
    sfUseHotKey = 0x200,
};
using TrStartupFlags = uint32_t;

enum TrShellExecuteMask : uint32_t {
    semClassName = 0x1,
    semClassKey = 0x3,
    semIDList = 0x4,
    semInvokeIDList = 0xC,
    semIcon = 0x10,
    semHotKey = 0x20,
    semNoCloseProcess = 0x40,
    semConnectNetDrv = 0x80,
    semFlagDDEWait = 0x100,
    semDoEnvSubst = 0x200,
    semFlagNoUI = 0x400,
    semUnicode = 0x10000,
    semNoConsole = 0x8000,
    semAsyncOK = 0x100000,
};
using TrShellExecuteMasks = uint32_t;

// What a launch is about to do; BeforeLaunch may change it.
struct TLaunchRequest {
    QStringList arguments;   // process creation: program and its arguments
    QStringList environment; // process creation: name=value lines, empty for inherited
    QString workDir;         // empty: the desktop program's current folder
    QString document;        // shell execution: the file or address to open
    QString verb;            // shell execution: empty or "open"
};

class TLauncher final : public QObject {
public:
    explicit TLauncher(QObject* owner = nullptr);
    ~TLauncher() override;

    QString ProgramName;
    QString Parameters;
    QString WorkDir;
    TrLaunchMethod LaunchMethod = lmCreateProcess;
    TrCreationFlags CreationFlags = 0;
    TrPriorityClass Priority = pcNormal;
    TShowMode ShowMode = smNormal;
    QString Desktop;
    QString ConsoleTitle;
    unsigned WindowLeft = 0, WindowTop = 0, WindowWidth = 0, WindowHeight = 0;
    unsigned ConsoleCharsX = 0, ConsoleCharsY = 0;
    TrFillAttributes ConsoleFillAttributes = 0;
    // The complete environment of the new process as name=value lines; empty: inherited.
    QStringList Environment;
    TrStartupFlags StartupFlags = sfUseShowWindow;
    unsigned TimerInterval = 1000;
    QString ShellOperation;
    TrShellExecuteMasks ShellExecuteMask = semNoCloseProcess;
    unsigned TimeoutWaitInit = 0;
    unsigned TimeoutWaitTerminate = 0;
    bool WaitTerminate = false;

    // The process has ended (its exit status is in exitStatus()).
    std::function<void(TLauncher* sender)> OnFinished;
    // A wait timed out; waitInit tells whether it was the wait for the idle state.
    std::function<void(TLauncher* sender, bool waitInit)> OnTimeoutElapsed;
    // Last chance to adjust the launch.
    std::function<void(TLauncher* sender, TLaunchRequest& request)> BeforeLaunch;

    // Starts the configured program; throws EOSError with the launcher's messages on failure.
    void Launch();

    // The process of the last launch while the launcher still follows it, else 0.
    pid_t processId() const { return m_pid; }
    // The wait status (as waitpid gives it) of the last process that ended while followed.
    int exitStatus() const { return m_exitStatus; }

private:
    void launchShell(const QString& workDir);
    void createProcess(TLaunchRequest& request, bool callBeforeLaunch);
    void waitBlocking();
    void startPolling();
    void pollTick();
    void release();

    pid_t m_pid = 0;
    int m_exitStatus = 0;
    int64_t m_startTick = 0;
    int64_t m_lastTick = 0;
    QTimer* m_timer = nullptr;
};

} // namespace vt::desktop
