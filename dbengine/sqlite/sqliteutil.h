// Helpers of the SQLite driver: error normalisation, column types and value transfer.
#pragma once

#include "dbengine/core/columninfo.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/core/value.h"

#include <sqlite3.h>
#include <string_view>

namespace vt::dbengine::sqliteutil {

// The engine error for a failed call on db (extended result code rc as native code).
EDBEngineError error(sqlite3* db, int rc);
// Raises error(db, rc).
[[noreturn]] void raise(sqlite3* db, int rc);

// A column described by its declared type (SQLite's type affinity rules, refined).
ColumnInfo columnFromDecl(std::string_view name, std::string_view declaredType);

// Reads result column i of the current row into v.
void readColumn(sqlite3_stmt* stmt, int i, Value& v);

// Binds v to parameter number (from 1); with keep false the bytes of text and blobs must stay
// valid until the statement is reset (no copy is made).
int bindValue(sqlite3_stmt* stmt, int number, const Value& v, bool keep = true);

// The SQLite type text for a column described by any driver.
std::string columnTypeSql(const ColumnInfo& column);

} // namespace vt::dbengine::sqliteutil
