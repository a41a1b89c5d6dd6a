// The database a run works on and the login for it.
#pragma once

#include <string>

#include "script/rsqlscript.h"

namespace vt::runner {

// Values in the ANSI code page, as the plug-in takes them.
struct RunTarget {
    std::string database;        // alias, or "DBName=" followed by a database file
    std::string displayName;     // the database as messages name it (no "DBName=")
    std::string user;            // empty: the script's own user
    std::string password;        // never shown, logged or reported
    std::string aliasConfigFile; // handed to piInit

    // The user to log in as for a script: the one given, else the script's own.
    const std::string& userFor(const script::RsqlHeader& header) const {
        return user.empty() ? header.user : user;
    }
};

} // namespace vt::runner
