// The version check: which row of R_VERSION a script runs against and which commands remain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
};

// Examines the rows in order and decides, row by row: a wrong or missing code or an error of an
// earlier run moves on to the next row, a version mismatch stops at once, the first row without
// error is taken. Without rows every command runs.
VersionDecision decideVersion(const std::vector<VersionRow>& rows,
                              const ScriptHeaderValues& script);

} // namespace vt::plugin
