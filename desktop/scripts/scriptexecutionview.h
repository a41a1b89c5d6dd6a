// ScriptExecutionView: what the script execution window shows and asks during a run.
#pragma once

#include <QString>

namespace vt::desktop {

// The login values of the window's login component.
struct LoginValues {
    QString resource;
    QString user;
    QString password;
};

// Called by ScriptExecution on the thread of its run, in the order of the run; the window's
// implementation hands each call to the window thread.
class ScriptExecutionView {
public:
    virtual ~ScriptExecutionView() = default;

    // A message box with the program's flags (ShowAppMessage); returns the button's result.
    virtual int message(const QString& text, unsigned flags) = 0;
    // Offers the aliases in the login component.
    virtual void setResources(const QStringList& aliases) = 0;
    // The login dialog with the script's user preset and the password cleared; true when it
    // connected (its connection attempts come back to ScriptExecution::rConnectConnect).
    virtual bool loginDialog(const QString& scriptUser) = 0;
    // The login component's current values.
    virtual LoginValues login() = 0;
    // The user the error handler names in its log.
    virtual void setErrorUserName(const QString& user) = 0;
    // The run proper begins on the alias.
    virtual void runStarted(const QString& alias) = 0;
    // The database's code and version (with the remark on the command range) as checked.
    virtual void showDatabase(const QString& code, const QString& version) = 0;
    // The version text alone (a failed command of a versioned script).
    virtual void showVersion(const QString& version) = 0;
    // Progress bar range 0..maximum at the position.
    virtual void setProgress(int maximum, int position) = 0;
    // Command n is about to run; its first line.
    virtual void commandStarting(int n, const QString& firstLine) = 0;
    // A command ended (executed or ignored): the progress bar advances.
    virtual void commandEnded() = 0;
    // The run completed: the progress area is reset and the new version (when any) shown.
    virtual void runCompleted(const QString& newVersion) = 0;
};

} // namespace vt::desktop
