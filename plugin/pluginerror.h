// A failure inside the plug-in, carrying the error text that reaches the interface.
#pragma once

#include "dbengine/core/status.h"
#include "plugin/vtutils.h"

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vt::plugin {

// The failure of one of the plug-in's operations; the exported functions turn it into their
// error code and error text.
class PluginError : public std::runtime_error {
public:
    // A failure with its text in the ANSI code page.
    explicit PluginError(const std::string& ansiText, std::vector<std::int32_t> nativeCodes = {});

    // One of the plug-in's own messages (plugintexts.h), "%s" filled in order with ANSI values.
    static PluginError message(std::string_view utf8Template,
                               std::initializer_list<std::string_view> ansiValues = {});

    // The failure of an engine call that returned code. Reads the engine's last error, so it
    // must be made before the next engine call.
    static PluginError engine(dbengine::Status code);

    // Whether one of the engine error's entries carried this native server code.
    bool hasNativeCode(std::int32_t code) const;

    // The kind of failure (VT_CAUSE_NONE: the failing function's usual kind).
    VtErrorCause cause() const { return m_cause; }
    // The same failure, of the given kind.
    PluginError withCause(VtErrorCause cause) const;

private:
    std::vector<std::int32_t> m_nativeCodes;
    VtErrorCause m_cause = VT_CAUSE_NONE;
};

// Throws PluginError::engine(code) when code is not 0.
void checkEngine(dbengine::Status code);

// A message template (UTF-8) in the ANSI code page with each "%s" replaced in order by an ANSI
// value; "%s" beyond the values stays as it is.
std::string fillTemplate(std::string_view utf8Template,
                         std::initializer_list<std::string_view> ansiValues);

} // namespace vt::plugin
