// ScriptExecution: the run of one rSQL script from the execution window.
#include "desktop/scripts/scriptexecution.h"

#include "desktop/errors/evtutilserror.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/shell/appmessage.h"
#include "platform/codepage.h"
#include "platform/exception.h"
#include "runner/runfailure.h"
#include "runner/scriptsession.h"
#include "script/inifile.h"
#include "script/scramble.h"

#include <QFile>
#include <cerrno>

namespace vt::desktop {
namespace {

QString fromAnsi(const std::string& text) {
    return QString::fromStdString(platform::ansiToUtf8(text));
}

std::string toAnsi(const QString& text) {
    return platform::utf8ToAnsi(text.toStdString());
}

QString tr8(const char* text) {
    return QString::fromUtf8(text);
}

// The plug-in's failure as the window's exception, carrying the plug-in's text.
EVTUtilsError vtUtilsError(const runner::RunFailure& failure) {
    return EVTUtilsError(platform::ansiToUtf8(failure.what()));
}

QStringList splitAliases(const std::string& list) {
    return fromAnsi(list).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

} // namespace

ScriptHeader ScriptHeader::read(const QString& fileName) {
    script::IniFile ini(QFile::encodeName(fileName).toStdString());
    const bool crypt = ini.readString("Tools", "Crypt") == "1";
    auto headerValue = [&](std::string_view key) {
        const std::string value = ini.readString("DataBase", key);
        return fromAnsi(crypt ? script::unscrambleHeader(value) : value);
    };
    ScriptHeader header;
    header.code = headerValue("Code");
    header.newVersion = headerValue("NewVersion");
    header.oldVersion = headerValue("OldVersion");
    header.commands = fromAnsi(ini.readString("DataBase", "Commands"));
    header.user = fromAnsi(ini.readString("Connect", "User"));
    for (const script::IniEntry& entry : ini.entries("Comment"))
        header.comments.append(fromAnsi(entry.rawValue));
    return header;
}

ScriptExecution::ScriptExecution(ScriptExecutionView& view)
    : m_view(view), m_pluginFile(tr8(texts::kPluginFile)) {}

ScriptExecution::~ScriptExecution() = default;

QString ScriptExecution::firstLine(const QString& command) {
    const qsizetype end = command.indexOf(QStringLiteral("\r\n"));
    return end < 0 ? command : command.left(end);
}

void ScriptExecution::need(runner::PluginFunction function) {
    if (!m_plugin.bind(function))
        throw EOSError(tr8(texts::kFunctionNotDescribed)
                           .arg(QString::fromLatin1(runner::pluginFunctionName(function)))
                           .toStdString(),
                       ENOSYS);
}

void ScriptExecution::run(const QString& scriptFile) {
    const ScriptHeader header = ScriptHeader::read(scriptFile);
    m_versioned = !header.newVersion.isEmpty();
    if (!m_plugin.load(QFile::encodeName(m_pluginFile).toStdString()))
        throw EOSError(tr8(texts::kCannotLoadLibrary).arg(m_pluginFile).toStdString(), ENOENT);
    runner::ScriptSession session(m_plugin);
    // However the run ends, the plug-in closes its script and is released.
    struct Release {
        runner::ScriptSession& session;
        runner::PluginLibrary& plugin;
        ~Release() {
            session.close();
            plugin.unload();
        }
    } release{session, m_plugin};
    try {
        for (runner::PluginFunction function :
             {runner::PluginFunction::piDone, runner::PluginFunction::GetLastVTError,
              runner::PluginFunction::GetLastVTErrorMessage, runner::PluginFunction::piInit})
            need(function);
        m_view.setResources(
            splitAliases(session.open(QFile::encodeName(scriptFile).toStdString(), std::string())));
        m_initVersionTable = false;
        m_currentCommand = 0;
        if (!loginAndConnect(header.user))
            return;

        m_abortRequested = false;
        m_abortChosen = false;
        m_scriptCompleted = false;
        m_view.runStarted(m_view.login().resource);
        need(runner::PluginFunction::CheckDataBaseParams);
        const runner::VersionCheck check = session.check(m_initVersionTable);
        m_dbVersion = fromAnsi(check.version);
        QString shown = m_dbVersion;
        if (!check.refusal && check.first != 1)
            shown += tr8(texts::kCommandsLeft).arg(check.last - check.first + 1);
        if (check.refusal && check.first != 0)
            shown += tr8(texts::kErrorInCommand).arg(check.first);
        m_view.showDatabase(fromAnsi(check.code), shown);
        if (check.refusal)
            throw vtUtilsError(*check.refusal);

        need(runner::PluginFunction::MakeSQLCommand);
        need(runner::PluginFunction::ExecrSQL);
        m_last = check.last;
        m_view.setProgress(check.last, check.first - 1);
        bool completed = false;
        try {
            completed = session.runCommands(check.first, check.last, m_versioned, *this, *this);
        } catch (const runner::RunFailure&) {
            if (!m_abortChosen)
                throw;
        }
        if (!completed) {
            m_view.message(tr8(texts::kAbortedByUser), mb::kOk | mb::kIconInformation);
            return;
        }
        need(runner::PluginFunction::UpDateVersion);
        session.updateVersion();
        m_scriptCompleted = true;
        m_view.runCompleted(header.newVersion);
        m_view.message(tr8(texts::kCompleted), mb::kOk | mb::kIconInformation);
    } catch (const runner::RunFailure& failure) {
        throw vtUtilsError(failure);
    }
}

bool ScriptExecution::loginAndConnect(const QString& scriptUser) {
    bool dialog = m_scriptCompleted || !m_connected;
    if (!dialog) {
        const bool reuse = m_view.message(tr8(texts::kReuseConnection),
                                          mb::kYesNo | mb::kIconQuestion) == mb::idYes;
        m_connected = false;
        dialog = !reuse;
    }
    if (dialog && !m_view.loginDialog(scriptUser))
        return false;
    if (m_connected)
        m_view.setErrorUserName(m_view.login().user);
    else
        rConnectConnect(m_view.login());
    return true;
}

void ScriptExecution::rConnectConnect(const LoginValues& login) {
    need(runner::PluginFunction::dbConnect);
    runner::ScriptSession session(m_plugin);
    try {
        const bool tableMissing =
            session.connect(toAnsi(login.resource), toAnsi(login.user), toAnsi(login.password));
        m_initVersionTable = session.createDecision(tableMissing, m_versioned, *this);
    } catch (const runner::RunFailure& failure) {
        throw vtUtilsError(failure);
    }
    m_connected = true;
}

bool ScriptExecution::createVersionTable() {
    return m_view.message(tr8(texts::kInitQuestion), mb::kYesNo | mb::kIconQuestion) == mb::idYes;
}

runner::FailureChoice ScriptExecution::commandFailed(int n, const runner::RunFailure& failure,
                                                     bool ignorable) {
    if (!ignorable) {
        // A versioned script stops at its failed command; the rest waits for the next run.
        m_view.showVersion(m_dbVersion + tr8(texts::kCommandsLeft).arg(m_last - n + 1));
        return runner::FailureChoice::Abort;
    }
    const int answer = m_view.message(tr8(texts::kCommandError) + QStringLiteral("\r\n") +
                                          fromAnsi(failure.what()),
                                      mb::kAbortRetryIgnore | mb::kIconError);
    if (answer == mb::idRetry)
        return runner::FailureChoice::Retry;
    if (answer == mb::idIgnore) {
        m_view.commandEnded();
        return runner::FailureChoice::Ignore;
    }
    m_abortChosen = true;
    return runner::FailureChoice::Abort;
}

void ScriptExecution::commandStarting(int n, const std::string& text) {
    m_currentCommand = n;
    m_view.commandStarting(n, firstLine(fromAnsi(text)));
}

void ScriptExecution::commandSucceeded(int) {
    m_view.commandEnded();
}

} // namespace vt::desktop
