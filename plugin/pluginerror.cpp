// A failure inside the plug-in, carrying the error text that reaches the interface.
#include "plugin/pluginerror.h"

#include "platform/codepage.h"
#include "plugin/engineerrortext.h"

#include <algorithm>

namespace vt::plugin {

PluginError::PluginError(const std::string& ansiText, std::vector<std::int32_t> nativeCodes)
    : std::runtime_error(ansiText), m_nativeCodes(std::move(nativeCodes)) {}

PluginError PluginError::message(std::string_view utf8Template,
                                 std::initializer_list<std::string_view> ansiValues) {
    return PluginError(fillTemplate(utf8Template, ansiValues));
}

PluginError PluginError::engine(dbengine::Status code) {
    EngineErrorReport report = readEngineError(code, engineErrorSource());
    return PluginError(report.text, std::move(report.nativeCodes));
}

bool PluginError::hasNativeCode(std::int32_t code) const {
    return std::find(m_nativeCodes.begin(), m_nativeCodes.end(), code) != m_nativeCodes.end();
}

PluginError PluginError::withCause(VtErrorCause cause) const {
    PluginError copy(*this);
    copy.m_cause = cause;
    return copy;
}

void checkEngine(dbengine::Status code) {
    if (code != 0)
        throw PluginError::engine(code);
}

std::string fillTemplate(std::string_view utf8Template,
                         std::initializer_list<std::string_view> ansiValues) {
    const std::string text = platform::ansi(utf8Template);
    std::string result;
    std::size_t from = 0;
    for (std::string_view value : ansiValues) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos)
            break;
        result.append(text, from, at - from);
        result.append(value);
        from = at + 2;
    }
    result.append(text, from);
    return result;
}

} // namespace vt::plugin
