// The version check: which row of R_VERSION a script runs against and which commands remain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/vtutils.h"

namespace vt::plugin {

// One row of R_VERSION as read (texts in the ANSI code page, trailing blanks removed).
struct VersionRow {
    std::string version;      // Version; empty when null
    std::string dbCode;       // DBCode; empty when null
    std::int64_t counter = 0; // Counter; 0 when null
};

// The values of a script's header that the check compares.
struct ScriptHeaderValues {
    std::string code;       // Code ("EVERYTHING" matches any database)
    std::string oldVersion; // OldVersion; empty means no requirement
    std::string newVersion; // NewVersion; empty means the script is not versioned
    int commands = 0;       // N
};

// The outcome of the check. Outputs left unset keep the caller's values.
struct VersionDecision {
    int result = 0;                 // 0, or -3 when the script must not run
    std::optional<int> first;       // first command to run, when the check sets it
    int last = 0;                   // last command to run (always N)
    int remaining = 0;              // commands still to run
    std::optional<std::size_t> row; // the row examined last: its code and version are the
                                    // outputs and its DBCode the matching code; none without rows
    std::optional<std::string> errorText; // the new error text (ANSI) when rows were examined
    VtErrorCause cause = VT_CAUSE_NONE;   // the kind of refusal when result is -3
};

// Examines the rows in order and decides, row by row: a wrong or missing code or an error of an
// earlier run moves on to the next row, a version mismatch or a Counter outside 0..N (damaged
// progress) stops at once, the first row without error is taken. Without rows every command
// runs.
VersionDecision decideVersion(const std::vector<VersionRow>& rows,
                              const ScriptHeaderValues& script);

// The fingerprint of a command text as executed: 16 lower-case hexadecimal digits (64-bit
// FNV-1a), the same on every platform.
std::string commandFingerprint(std::string_view commandText);

// One command recorded as executed by a versioned run that has not completed.
struct StepRecord {
    std::int64_t step = 0; // command number
    std::string hash;      // its fingerprint
};

// The first recorded step that the script's own first `done` commands do not give: a step
// outside 1..done, or one whose fingerprint differs from fingerprintOf(step). nullopt when every
// record agrees (also when there are none: progress left by a run that kept no records).
std::optional<std::int64_t>
firstDifferingStep(const std::vector<StepRecord>& steps, int done,
                   const std::function<std::string(int step)>& fingerprintOf);

} // namespace vt::plugin
