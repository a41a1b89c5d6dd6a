// The drivers the engine knows, and opening a database through them.
#pragma once

#include "dbengine/core/driver.h"

#include <memory>
#include <string>
#include <string_view>

namespace vt::dbengine {

// The driver of that name (letter case ignored), or nullptr.
const Driver* findDriver(std::string_view name);

// Opens the database named by an alias or "DBName=<path>"; an empty user means the alias's
// "USER NAME". resolved, when given, receives the definition the name stands for.
std::unique_ptr<Connection> connectDatabase(std::string_view aliasOrPath, const std::string& user,
                                            const std::string& password,
                                            AliasDefinition* resolved = nullptr);

} // namespace vt::dbengine
