// Explicit conversion of values to a destination column's type (used by batch moves).
#pragma once

#include "dbengine/core/columninfo.h"
#include "dbengine/core/value.h"

#include <string>

namespace vt::dbengine {

// Converts in to the type of column into out (see BatchMove for the rules). Returns false and
// a reason when the value cannot be converted; out is then unspecified.
bool convertValue(const Value& in, const ColumnInfo& column, Value& out, std::string& reason);

} // namespace vt::dbengine
