// The up command's workflow: brings a database up to date along a chain of versioned scripts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runner/chainprogress.h"
#include "runner/pluginlibrary.h"
#include "runner/runreport.h"
#include "runner/runtarget.h"
#include "runner/scriptchain.h"

namespace vt::runner {

// Applies, from the database's version on, each script of the chain whose old version is the
// database's version (an interrupted one resumes), until the chain's end or the first failure.
// Never asks anything: a failed command ends the run (the next run resumes at it), and
// R_VERSION is created only when asked for up front. Scripts that form no chain are refused
// before anything runs.
class ChainUpdate final {
public:
    // The plug-in must be loaded with GetLastVTErrorMessage, GetLastVTError, MakeSQLCommand and
    // piDone bound. createVersionTable: create R_VERSION when the database has none.
    ChainUpdate(PluginLibrary& plugin, RunTarget target, bool createVersionTable,
                ChainProgress& progress);

    RunReport run(const std::vector<std::string>& paths);

private:
    // The database's code and version, read with the chain's first script; nullopt when the
    // database has no R_VERSION.
    std::optional<std::pair<std::string, std::string>> probe(const ChainScript& first);
    // Runs script i of the chain. Returns the index of the script to run next: i + 1, or the
    // script the database's version leads to when another run overtook this one and applied
    // script i (and maybe more) meanwhile; nullopt when the script failed (the report holds the
    // error).
    std::optional<std::size_t> apply(const ScriptChain& chain, std::size_t i, bool createTable,
                                     RunReport& report);

    PluginLibrary& m_plugin;
    RunTarget m_target;
    bool m_createVersionTable;
    ChainProgress& m_progress;
};

} // namespace vt::runner
