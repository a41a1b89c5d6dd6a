// A failure of a script run: what kind of failure, at which plug-in call, with which text.
#include "runner/runfailure.h"

#include "plugin/vtutils.h"

namespace vt::runner {

const char* causeName(FailureCause cause) {
    switch (cause) {
    case FailureCause::Script:
        return "script";
    case FailureCause::Connect:
        return "connect";
    case FailureCause::LockTimeout:
        return "lock-timeout";
    case FailureCause::Version:
        return "version";
    case FailureCause::Applied:
        return "applied";
    case FailureCause::Concurrent:
        return "concurrent";
    case FailureCause::Command:
        return "command";
    case FailureCause::MissingFunction:
        return "missing-function";
    case FailureCause::Other:
        break;
    }
    return "other";
}

FailureCause causeOf(std::optional<int> reported, PluginFunction failed) {
    if (reported) {
        switch (*reported) {
        case VT_CAUSE_SCRIPT:
            return FailureCause::Script;
        case VT_CAUSE_CONNECT:
            return FailureCause::Connect;
        case VT_CAUSE_LOCK_TIMEOUT:
            return FailureCause::LockTimeout;
        case VT_CAUSE_VERSION:
            return FailureCause::Version;
        case VT_CAUSE_APPLIED:
            return FailureCause::Applied;
        case VT_CAUSE_CONCURRENT:
            return FailureCause::Concurrent;
        case VT_CAUSE_COMMAND:
            return FailureCause::Command;
        case VT_CAUSE_OTHER:
            return FailureCause::Other;
        default:
            break; // VT_CAUSE_NONE or a cause newer than this runner: judge by the function
        }
    }
    switch (failed) {
    case PluginFunction::piInit:
    case PluginFunction::MakeSQLCommand:
        return FailureCause::Script;
    case PluginFunction::dbConnect:
        return FailureCause::Connect;
    case PluginFunction::CheckDataBaseParams:
        return FailureCause::Version;
    case PluginFunction::ExecrSQL:
        return FailureCause::Command;
    default:
        return FailureCause::Other;
    }
}

RunFailure::RunFailure(FailureCause cause, std::string text, PluginFunction function,
                       int pluginCode)
    : std::runtime_error(std::move(text)), m_cause(cause), m_function(function),
      m_pluginCode(pluginCode) {}

RunFailure::RunFailure(FailureCause cause, std::string text)
    : std::runtime_error(std::move(text)), m_cause(cause), m_pluginCode(1) {}

} // namespace vt::runner
