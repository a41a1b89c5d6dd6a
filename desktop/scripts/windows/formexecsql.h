// TFormExecSQL: the window that runs one rSQL script against a database: the script's header,
// the login, the version check and the commands with progress; the run itself is
// ScriptExecution's, on the window's worker thread.
#pragma once

#include "desktop/scripts/pluginthread.h"
#include "desktop/scripts/scriptexecution.h"
#include "desktop/shell/windows/formaction.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QToolButton;

namespace vt::desktop {

class TrBackground;
class TrConnect;
class TrSpeedButton;

class TFormExecSQL final : public TFormAction, private ScriptExecutionView {
    Q_OBJECT
public:
    explicit TFormExecSQL(QWidget* parent = nullptr);
    ~TFormExecSQL() override;

    // The plug-in's file (vtutils.so beside the program unless a test gives another).
    void setPluginFile(const QString& fileName) { m_run.setPluginFile(fileName); }

    // Handlers, as the window's layout names them.
    void FEIni2Change();
    // The run; raises what the run raised (the button's click hands it to the error handler).
    void BBOKClick();
    // The login component's connection attempt, made on the worker thread.
    void rConnectConnect();
    void BBCancelClick();
    void SBLookFileClick();
    void rSpeedButton1Click();

    // True from the Execute click until the run has ended.
    bool running() const { return m_running; }
    ScriptExecution& execution() { return m_run; }

    QLineEdit* FEIni2;
    QToolButton* FEIni2Browse;
    TrSpeedButton* SBLookFile;
    QLabel* LCode;
    QLabel* LOldVer;
    QLabel* LNewVer;
    QLabel* LCount;
    QPlainTextEdit* MDiscript;
    TrSpeedButton* rSpeedButton1;
    QGroupBox* GBDBParams;
    QLabel* STCode;
    QLabel* STVersion;
    QLabel* LRest;
    QLabel* LFirstCommand;
    QProgressBar* ProgressBar;
    TrConnect* rConnect;
    TrBackground* rBackground;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void FormCreate();
    void showHeader();
    void browseScript();

    // ScriptExecutionView: called on the worker thread, handed to the window thread.
    int message(const QString& text, unsigned flags) override;
    void setResources(const QStringList& aliases) override;
    bool loginDialog(const QString& scriptUser) override;
    LoginValues login() override;
    void setErrorUserName(const QString& user) override;
    void runStarted(const QString& alias) override;
    void showDatabase(const QString& code, const QString& version) override;
    void showVersion(const QString& version) override;
    void setProgress(int maximum, int position) override;
    void commandStarting(int n, const QString& firstLine) override;
    void commandEnded() override;
    void runCompleted(const QString& newVersion) override;

    PluginThread m_thread;
    ScriptExecution m_run{*this};
    QString m_startFolder;
    bool m_running = false;
};

} // namespace vt::desktop
