// The driver registry: every driver the engine is built with.
#include "dbengine/drivers/drivers.h"

#include "dbengine/core/engineerror.h"
#include "dbengine/pg/pgdriver.h"
#include "dbengine/sqlite/sqlitedriver.h"
#include "platform/asciitext.h"

namespace vt::dbengine {

const Driver* findDriver(std::string_view name) {
    static const SqliteDriver sqlite;
    static const PgDriver pg;
    static const Driver* const drivers[] = {&sqlite, &pg};
    for (const Driver* d : drivers) {
        if (platform::equalsNoCase(d->name(), name))
            return d;
    }
    return nullptr;
}

std::unique_ptr<Connection> connectDatabase(std::string_view aliasOrPath, const std::string& user,
                                            const std::string& password,
                                            AliasDefinition* resolved) {
    AliasDefinition def = AliasTable::load().resolve(aliasOrPath);
    const Driver* driver = findDriver(def.driverName);
    if (!driver)
        throw EDBEngineError::engine(status::kUnknownDriver,
                                     def.driverName + " (alias " + def.name + ")");
    std::string effectiveUser = user.empty() ? def.params.value("USER NAME") : user;
    auto conn = driver->connect(def, effectiveUser, password);
    if (resolved)
        *resolved = std::move(def);
    return conn;
}

} // namespace vt::dbengine
