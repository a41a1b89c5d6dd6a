// PgDriver: the PGSQL driver, PostgreSQL servers through libpq.
#pragma once

#include "dbengine/core/driver.h"

namespace vt::dbengine {

// PGSQL: an alias's "SERVER NAME" is host[:port]/database (a host may be "[v6 address]" or a
// socket folder); the user and password of the login; further alias keys go to libpq as
// connection parameters, lower-cased ("CONNECT_TIMEOUT=5"). Defaults: connect_timeout 10.
class PgDriver final : public Driver {
public:
    std::string name() const override { return "PGSQL"; }
    std::unique_ptr<Connection> connect(const AliasDefinition& alias, const std::string& user,
                                        const std::string& password) const override;
};

} // namespace vt::dbengine
