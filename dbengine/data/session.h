// Session: the data-access layer's view of the engine (aliases, table names, database objects).
//
// Text of the data-access layer (session, database, table, query, batch move) is UTF-8 for the
// Qt desktop; failures raise EDBEngineError (engineerror.h), misuse of an object (a closed
// dataset, a missing name) raises vt::EDatabaseError. One thread at a time.
#pragma once

#include "dbengine/core/paramlist.h"

#include <string>
#include <string_view>
#include <vector>

namespace vt::dbengine {

class Database;

// A group of database objects and the engine's alias configuration. The aliases file is read
// again at every call, so edits take effect at once.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The process's default session (the desktop's session), created on first use.
    static Session& defaultSession();

    // Alias names in the aliases file's order (the built-in "DEFAULT" when no aliases file
    // exists). Raises EDBEngineError kAliasFileError when the file cannot be read.
    std::vector<std::string> aliasNames() const;
    // Whether a name is an alias (letter case ignored); "DBName=<path>" is not an alias.
    bool isAlias(std::string_view name) const;
    // The driver name of an alias ("STANDARD", "PGSQL", or what the file says); raises
    // kUnknownAlias.
    std::string aliasDriverName(std::string_view alias) const;
    // The parameters of an alias in file order, DRIVER excluded ("PATH", "SERVER NAME",
    // "USER NAME", ...); raises kUnknownAlias.
    ParamList aliasParams(std::string_view alias) const;

    // The table names of a database, sorted without regard to case. databaseName names a
    // database object of this session (used when connected), else an alias or "DBName=<path>"
    // that is opened for the call without a password. pattern holds '*' and '?' wildcards matched
    // without regard to case ("" matches all). extensions: tables have no file extensions in
    // this engine's drivers, so it changes nothing. systemTables: include the driver's own
    // tables (SQLite "sqlite_%"; PostgreSQL pg_catalog and information_schema); excluded
    // otherwise. PostgreSQL tables outside the search path are named "schema.table".
    std::vector<std::string> tableNames(std::string_view databaseName, std::string_view pattern,
                                        bool extensions, bool systemTables);

    // Every database object of this session, in the order they were created.
    std::vector<Database*> databases() const;
    // The connected database objects, in session order.
    std::vector<Database*> connectedDatabases() const;
    // The database object with that database name (letter case ignored), or nullptr.
    Database* findDatabase(std::string_view databaseName) const;

private:
    friend class Database;
    void addDatabase(Database* db);
    void removeDatabase(Database* db);

    std::vector<Database*> m_databases;
};

} // namespace vt::dbengine
