// The version check: which row of R_VERSION a script runs against and which commands remain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/fingerprintchain.h"
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

// One step recorded by a versioned run that has not completed.
struct StepRecord {
    std::int64_t step = 0; // command number: the run had executed commands 1..step
    std::string hash;      // FingerprintChain::text() through the step, or in rows of earlier
                           // releases (one per command) the command's own fingerprint
};

// What the recorded steps say about a resume after the script's first `done` commands.
struct ResumeCheck {
    // The command to name when a record differs from the script: the record's step (the chain
    // tells that some command up to it differs, not which; where the record before it is at the
    // step just before, that is the differing command itself).
    std::optional<std::int64_t> differing;
    // The chain over the script's commands 1..done, when every record agrees.
    FingerprintChain chain;
};

// Compares each recorded step with the chain over the script's own commands (commandText(n) is
// the text of command n), in one pass over commands 1..done. A record outside 1..done differs. A
// record agrees when it holds the chain through its step or, as rows written one per command by
// earlier releases do, that command's own fingerprint; such a row vouches for its command alone,
// as it did when written. No records (progress left by a run that kept none) agree.
ResumeCheck checkRecordedSteps(std::vector<StepRecord> steps, int done,
                               const std::function<std::string(int n)>& commandText);

} // namespace vt::plugin
