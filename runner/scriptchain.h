// The scripts of an update: collected from files and folders, and ordered by their versions.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "script/rsqlscript.h"

namespace vt::runner {

// One script file and its header (values in the ANSI code page).
struct ChainScript {
    std::string path;
    script::RsqlHeader header;

    bool versioned() const { return !header.newVersion.empty(); }
};

// Reads the scripts named by paths: each a script file, or a folder whose *.rsql files are
// taken in the order of their names. Throws RunFailure (cause Script) for a missing or
// unreadable file or folder, and for a folder without scripts.
std::vector<ChainScript> collectScripts(const std::vector<std::string>& paths);

// Throws RunFailure (cause Script) when a run would refuse the script's format version: newer
// than supported, or no number.
void checkScriptFormat(const ChainScript& script);

// True when the script is meant for a database of this code (letter case ignored, as the
// plug-in compares it), or for any database; a database without a record yet (empty code) takes
// the code of the first script that runs.
bool meantFor(const script::RsqlHeader& header, const std::string& databaseCode);

// The versioned scripts ordered so that each starts from the version the one before it ends
// with. Unversioned scripts take no part in the chain and are kept aside.
class ScriptChain final {
public:
    // Orders the scripts. Throws RunFailure (cause Version) when two scripts start from the same
    // version, when no script leads from one piece of the chain to the next (a hole), or when
    // the versions run in a loop; nothing has run then.
    explicit ScriptChain(std::vector<ChainScript> scripts);

    const std::vector<ChainScript>& ordered() const { return m_ordered; }
    const std::vector<ChainScript>& unversioned() const { return m_unversioned; }

    // Where a database of the given version starts: the index of the script that starts from
    // it (0 for a database without a version yet), ordered().size() when the version is the
    // end of the chain, nullopt when the version has no place in the chain.
    std::optional<std::size_t> startFor(const std::string& databaseVersion) const;

private:
    std::vector<ChainScript> m_ordered;
    std::vector<ChainScript> m_unversioned;
};

} // namespace vt::runner
