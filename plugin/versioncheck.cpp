// The version check: which row of R_VERSION a script runs against and which commands remain.
#include "plugin/versioncheck.h"

#include "plugin/pluginerror.h"
#include "plugin/plugintexts.h"
#include "plugin/textcase.h"
#include "script/rsqlscript.h"

#include <algorithm>

namespace vt::plugin {

VersionDecision decideVersion(const std::vector<VersionRow>& rows,
                              const ScriptHeaderValues& script) {
    VersionDecision d;
    const int n = script.commands;
    if (rows.empty()) {
        d.last = n;
        d.remaining = n;
        return d;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const VersionRow& row = rows[i];
        d.errorText = std::string();
        d.row = i;
        const std::string& dbVersion = row.version;
        // An unversioned script ignores any run in progress.
        const int counter = script.newVersion.empty() ? 0 : static_cast<int>(row.counter);
        d.remaining = counter == 0 ? n : counter;
        d.last = n;
        if (script.code.empty()) {
            d.errorText = fillTemplate(texts::kMissingDatabaseCode, {});
            continue;
        }
        if (!sameTextIgnoringCase(row.dbCode, script.code) && script.code != script::kEverything) {
            d.errorText = fillTemplate(texts::kWrongDatabaseCode, {});
            continue;
        }
        if (!dbVersion.empty() && !script.oldVersion.empty() && dbVersion != script.oldVersion) {
            d.errorText = fillTemplate(texts::kVersionMismatch, {dbVersion, script.oldVersion});
            d.first = counter;
            d.result = -3;
            d.cause = VT_CAUSE_VERSION;
            return d;
        }
        if (!script.newVersion.empty() && (row.counter < 0 || row.counter > n)) {
            // No script of N commands can have left this Counter: resuming would walk command
            // numbers outside the script.
            d.errorText = fillTemplate(texts::kDamagedCounter,
                                       {std::to_string(row.counter), std::to_string(n)});
            d.remaining = 0;
            d.result = -3;
            d.cause = VT_CAUSE_VERSION;
            return d;
        }
        if (counter > 0) {
            // A versioned script was interrupted on this database.
            if (!dbVersion.empty() && dbVersion != script.oldVersion) {
                d.errorText = fillTemplate(texts::kPreviousScriptFailed, {});
                continue;
            }
            d.first = n - counter + 1;
        } else if (!dbVersion.empty() && dbVersion == script.newVersion) {
            d.errorText = fillTemplate(texts::kAlreadyExecuted, {});
            continue;
        }
        d.result = 0;
        return d;
    }
    // The last row's refusal stands.
    d.result = -3;
    d.cause = d.errorText == fillTemplate(texts::kAlreadyExecuted, {}) ? VT_CAUSE_APPLIED
                                                                       : VT_CAUSE_VERSION;
    return d;
}

ResumeCheck checkRecordedSteps(std::vector<StepRecord> steps, int done,
                               const std::function<std::string(int n)>& commandText) {
    std::sort(steps.begin(), steps.end(),
              [](const StepRecord& a, const StepRecord& b) { return a.step < b.step; });
    ResumeCheck check;
    FingerprintChain& chain = check.chain;
    for (const StepRecord& record : steps) {
        const bool inScript = record.step >= 1 && record.step <= done;
        while (inScript && chain.step() < record.step)
            chain.add(commandText(chain.step() + 1));
        // Earlier releases wrote a row per command holding that command's own fingerprint; such
        // rows, left by a run interrupted before an upgrade, still resume.
        if (!inScript || (record.hash != chain.text() && record.hash != chain.lastCommandText())) {
            check.differing = record.step;
            return check;
        }
    }
    while (chain.step() < done)
        chain.add(commandText(chain.step() + 1));
    return check;
}

} // namespace vt::plugin
