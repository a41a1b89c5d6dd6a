// AliasTable: the engine's aliases, read from aliases.ini in the settings folder.
//
// One section per alias; DRIVER is "STANDARD" (the default when missing: an SQLite file named by
// PATH, relative to the aliases file's folder) or "PGSQL" ("SERVER NAME" = host[:port]/database,
// optional "USER NAME", further keys passed to libpq as connection parameters, lower-cased).
// "GROUP COMMIT" belongs to any driver and is no connection parameter: "0" makes the plug-in
// commit each command of a script on its own.
// $VT_ALIASES names another file. When the file does not exist the table holds the built-in
// alias DEFAULT: STANDARD, default.db in the settings folder (created on first open). A name of
// the form "DBName=<path>" is no alias but opens that SQLite file directly. The file is read as
// UTF-8, like all text of the data-access layer.
#pragma once

#include "dbengine/core/paramlist.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::dbengine {

// One alias. Text is UTF-8.
struct AliasDefinition {
    std::string name;       // as spelled in the file
    std::string driverName; // upper case
    ParamList params;       // the section's keys in file order, DRIVER excluded
    bool builtIn = false;   // the built-in DEFAULT (its file is created when missing)
};

// The aliases of one reading of the aliases file.
class AliasTable {
public:
    // Reads the aliases file ($VT_ALIASES, else aliases.ini in the settings folder). Raises
    // EDBEngineError kAliasFileError when it exists but cannot be read.
    static AliasTable load();
    // Reads the given file (the built-in DEFAULT when it does not exist).
    static AliasTable loadFile(const std::string& path);
    // The path load() reads.
    static std::string defaultPath();

    const std::vector<AliasDefinition>& aliases() const { return m_aliases; }
    // The alias of that name (letter case ignored), or nullptr.
    const AliasDefinition* find(std::string_view name) const;

    // The definition a database name stands for: an alias, or for "DBName=<path>" (letter case
    // of "DBName" ignored) a STANDARD definition of that file. Raises kUnknownAlias.
    AliasDefinition resolve(std::string_view name) const;

    // The path of "DBName=<path>", or nullopt for any other name.
    static std::optional<std::string> directPath(std::string_view name);

private:
    std::string m_folder; // folder of the aliases file, for relative paths
    std::vector<AliasDefinition> m_aliases;
};

} // namespace vt::dbengine
