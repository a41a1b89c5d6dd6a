// The status command's workflow: what each script would do to a database, changing nothing.
#pragma once

#include <string>
#include <vector>

#include "runner/pluginlibrary.h"
#include "runner/runreport.h"
#include "runner/runtarget.h"

namespace vt::runner {

// Asks the plug-in, for each script, what a run would do: open, connect, check the version
// record without creating anything, read the pending commands, close. Nothing is written to the
// database. With the plug-in's run lock, a check waits while another run holds the database.
// Scripts are judged each on its own by the plug-in; where the versioned ones form a chain, a
// version refusal is read in the chain's light (applied already, or following the next one).
class StatusCheck final {
public:
    // The plug-in must be loaded with GetLastVTErrorMessage, GetLastVTError, MakeSQLCommand and
    // piDone bound.
    StatusCheck(PluginLibrary& plugin, RunTarget target);

    // Checks the scripts named by paths (script files or folders of *.rsql files). A script the
    // plug-in cannot open or refuses gets its verdict; a failure to reach the database ends the
    // check as the report's error.
    RunReport run(const std::vector<std::string>& paths);

private:
    void checkScript(ScriptReport& script, RunReport& report);
    // Where the scripts form a chain, reads the plug-in's verdicts of the scripts meant for the
    // database's code in its light: a script the plug-in refuses for its version is applied when it
    // comes before the database's place in the chain; one after that place would follow the ones
    // before it.
    static void placeInChain(RunReport& report);

    PluginLibrary& m_plugin;
    RunTarget m_target;
};

} // namespace vt::runner
