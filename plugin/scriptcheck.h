// Checks that refuse a script a run must not trust, before anything of it runs.
#pragma once

#include "plugin/versioncheck.h"
#include "script/rsqlscript.h"

#include <string>

namespace vt::plugin {

// Refuses (PluginError of cause VT_CAUSE_SCRIPT) a path that names no regular file: a missing
// file, a folder, a FIFO or a device, which reading could block on or never finish.
void checkScriptFile(const std::string& path);

// Refuses (VT_CAUSE_SCRIPT) a script whose file disagrees with its header or whose commands the
// format would not give whole: neither a [DataBase] section nor a command section; a Commands
// value that is no whole decimal number N of the 32-bit range; any section [Command1] ..
// [CommandN] missing, or a command section outside them; a command line the value limit would
// cut or a command entry beyond the key-list budget; a NUL byte in a command.
void checkScriptContent(const script::RsqlScript& script, const std::string& path);

// Refuses (VT_CAUSE_SCRIPT) a versioned script whose code or new version does not fit the
// Char(10) columns of R_VERSION, or whose command count does not fit its Smallint Counter; for
// databases that enforce column types.
void checkVersionTableFit(const ScriptHeaderValues& header);

} // namespace vt::plugin
