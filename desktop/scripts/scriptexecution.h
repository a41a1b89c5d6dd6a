// ScriptExecution: the run of one rSQL script from the execution window: loading the plug-in,
// binding its functions, the login, the version check, the commands and the final version, over
// the run workflow of runner::ScriptSession.
#pragma once

#include "desktop/scripts/scriptexecutionview.h"
#include "runner/pluginlibrary.h"
#include "runner/runprogress.h"
#include "runner/runquestions.h"

#include <QString>
#include <QStringList>
#include <atomic>

namespace vt::desktop {

// The header of an rSQL script as the window shows it: unscrambled when the script is, trimmed.
struct ScriptHeader {
    QString code;
    QString oldVersion;
    QString newVersion;
    QString commands; // DataBase/Commands as stored
    QString user;     // Connect/User
    QStringList comments;

    // Reads the file anew (a missing file reads as empty); throws script::IniError when it
    // exists but cannot be read.
    static ScriptHeader read(const QString& fileName);
};

// The window's run state and the run itself. run() and rConnectConnect() make the plug-in's
// calls and belong to one thread at a time (the window's worker); requestAbort() may come from
// any thread.
class ScriptExecution final : private runner::RunQuestions, private runner::RunProgress {
public:
    explicit ScriptExecution(ScriptExecutionView& view);
    ~ScriptExecution() override;

    // The plug-in's file; a bare name is looked for beside the program first.
    void setPluginFile(const QString& fileName) { m_pluginFile = fileName; }
    const QString& pluginFile() const { return m_pluginFile; }

    // Runs the script: loads the plug-in and releases it at the end, however the run ends.
    // Raises EOSError when the plug-in or one of its functions is missing, EVTUtilsError with the
    // plug-in's text when it reports a failure. A login dialog closed without connecting ends
    // the run silently.
    void run(const QString& scriptFile);

    // The login component's connection: dbConnect with its values; asks whether to create the
    // version table when the database has none (for a versioned script).
    void rConnectConnect(const LoginValues& login);

    // Cancel answered Yes: the run stops after the command under way.
    void requestAbort() { m_abortRequested = true; }

    // The number of the command last handed to the plug-in; 0 before any run.
    int currentCommand() const { return m_currentCommand; }
    // The last run of the chosen script completed; cleared when another file is chosen.
    bool scriptCompleted() const { return m_scriptCompleted; }
    void setScriptCompleted(bool on) { m_scriptCompleted = on; }
    // A connection was made and may be offered again.
    bool connected() const { return m_connected; }

    // The first line of a command (without its line end).
    static QString firstLine(const QString& command);

private:
    void need(runner::PluginFunction function);
    // The login of a run; false when the dialog closed without connecting.
    bool loginAndConnect(const QString& scriptUser);

    bool createVersionTable() override;
    runner::FailureChoice commandFailed(int n, const runner::RunFailure& failure,
                                        bool ignorable) override;
    void commandStarting(int n, const std::string& text) override;
    void commandSucceeded(int n) override;
    bool stopRequested() override { return m_abortRequested; }

    ScriptExecutionView& m_view;
    QString m_pluginFile;
    runner::PluginLibrary m_plugin;
    bool m_versioned = false;
    QString m_dbVersion;
    int m_last = 0;
    // Read by the window thread while a run goes on.
    std::atomic<int> m_currentCommand = 0;
    bool m_initVersionTable = false;
    std::atomic<bool> m_scriptCompleted = false;
    std::atomic<bool> m_connected = false;
    std::atomic<bool> m_abortRequested = false;
    bool m_abortChosen = false; // Abort was the answer to a failed command
};

} // namespace vt::desktop
