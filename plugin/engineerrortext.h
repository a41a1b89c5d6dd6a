// The text of a failing engine call, built from the general texts and the last error's entries.
#pragma once

#include "dbengine/core/status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vt::plugin {

// Where the texts of an engine failure come from; the engine itself in the plug-in, a table in
// tests.
class EngineErrorSource {
public:
    virtual ~EngineErrorSource() = default;
    // The general text of a status code (ANSI); empty for an unknown code.
    virtual std::string generalText(dbengine::Status code) const = 0;
    // Entry number (from 1) of the last error: its code (0 or kNoMoreErrors past the last entry),
    // its native server code and its text (ANSI).
    virtual dbengine::Status entry(std::uint16_t number, std::int32_t& nativeCode,
                                   std::string& text) const = 0;
};

// The engine's call interface as the source (getErrorText, getErrorEntry).
const EngineErrorSource& engineErrorSource();

// What is known of a failing engine call.
struct EngineErrorReport {
    std::string text;                      // the failure text (ANSI)
    std::vector<std::int32_t> nativeCodes; // the native codes of the error's entries
};

// Builds the failure text of result code: the lines collected from the general text of the code
// (unless it is kGeneralSql) and, per entry, the general text of the entry's code (when it has
// no native code and the code is not kGeneralSql) and the entry's own text; each trimmed, empty
// and repeated lines (letter case ignored) skipped, joined by CR LF. Without any line the text is
// "Ошибка BDE $XXXX" with the code in upper-case hexadecimal.
EngineErrorReport readEngineError(dbengine::Status code, const EngineErrorSource& source);

} // namespace vt::plugin
