// One script run through a loaded plug-in: the call order, the status checks and the command
// loop, shared by every runner.
#include "runner/scriptsession.h"

#include "runner/runnertexts.h"

namespace vt::runner {

ScriptSession::ScriptSession(PluginLibrary& plugin) : m_plugin(plugin) {}

void ScriptSession::need(PluginFunction function) {
    if (!m_plugin.bind(function))
        throw RunFailure(FailureCause::MissingFunction,
                         texts::fill(texts::kFunctionMissing, pluginFunctionName(function)),
                         function, 1);
}

RunFailure ScriptSession::lastFailure(PluginFunction function, int result) {
    const int code = m_plugin.getLastVTError();
    return RunFailure(causeOf(m_plugin.getLastVTErrorCause(), function),
                      m_plugin.getLastVTErrorMessage(), function, code != 0 ? code : result);
}

std::string ScriptSession::open(const std::string& scriptFile, const std::string& aliasConfigFile) {
    need(PluginFunction::piInit);
    std::string aliases = m_plugin.piInit(scriptFile, aliasConfigFile);
    if (m_plugin.getLastVTError() != 0)
        throw lastFailure(PluginFunction::piInit, -1);
    return aliases;
}

bool ScriptSession::connect(const std::string& database, const std::string& user,
                            const std::string& password) {
    need(PluginFunction::dbConnect);
    const int result = m_plugin.dbConnect(database, user, password);
    if (result < 0)
        throw lastFailure(PluginFunction::dbConnect, result);
    return result == 1;
}

bool ScriptSession::createDecision(bool tableMissing, bool versioned, RunQuestions& questions) {
    if (!tableMissing)
        return false;
    return !versioned || questions.createVersionTable();
}

VersionCheck ScriptSession::check(bool create) {
    need(PluginFunction::CheckDataBaseParams);
    VersionCheck check;
    const int result =
        m_plugin.checkDataBaseParams(check.first, check.last, check.code, check.version, create);
    if (result != 0)
        check.refusal = lastFailure(PluginFunction::CheckDataBaseParams, result);
    return check;
}

std::string ScriptSession::commandText(int n) {
    std::string text = m_plugin.makeSQLCommand(n);
    if (m_plugin.getLastVTError() != 0)
        throw lastFailure(PluginFunction::MakeSQLCommand, -4);
    return text;
}

bool ScriptSession::runCommands(int first, int last, bool versioned, RunQuestions& questions,
                                RunProgress& progress) {
    for (long long n = first; n <= last; ++n) { // long long: a last of INT_MAX ends too
        const int number = static_cast<int>(n);
        for (;;) {
            const std::string text = commandText(number);
            progress.commandStarting(number, text);
            need(PluginFunction::ExecrSQL);
            const int result = m_plugin.execrSQL(text);
            if (result == 0) {
                progress.commandSucceeded(number);
                break;
            }
            RunFailure failure = lastFailure(PluginFunction::ExecrSQL, result);
            const FailureChoice choice = questions.commandFailed(number, failure, !versioned);
            if (choice == FailureChoice::Abort || (choice == FailureChoice::Ignore && versioned))
                throw failure;
            if (choice == FailureChoice::Ignore)
                break;
        }
        if (progress.stopRequested())
            return false;
    }
    return true;
}

void ScriptSession::updateVersion() {
    need(PluginFunction::UpDateVersion);
    if (const int result = m_plugin.upDateVersion(); result != 0)
        throw lastFailure(PluginFunction::UpDateVersion, result);
}

int ScriptSession::close() {
    return m_plugin.isBound(PluginFunction::piDone) ? m_plugin.piDone() : 0;
}

} // namespace vt::runner
