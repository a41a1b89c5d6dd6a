// SqliteDriver: the STANDARD driver, SQLite 3 database files through libsqlite3.
#pragma once

#include "dbengine/core/driver.h"

namespace vt::dbengine {

// STANDARD: an alias's PATH names an SQLite file; no login (user and password are ignored).
// The file must exist, except the built-in DEFAULT alias's, which is created with its folder.
class SqliteDriver final : public Driver {
public:
    std::string name() const override { return "STANDARD"; }
    std::unique_ptr<Connection> connect(const AliasDefinition& alias, const std::string& user,
                                        const std::string& password) const override;
};

} // namespace vt::dbengine
