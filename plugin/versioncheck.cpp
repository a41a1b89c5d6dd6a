// The version check: which row of R_VERSION a script runs against and which commands remain.
#include "plugin/versioncheck.h"

#include "plugin/pluginerror.h"
#include "plugin/plugintexts.h"
#include "plugin/textcase.h"
#include "script/rsqlscript.h"

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
    d.result = -3;
    return d;
}

} // namespace vt::plugin
