// Helpers of the PostgreSQL driver: results, error normalisation, types and value transfer.
#pragma once

#include "dbengine/core/columninfo.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/core/value.h"

#include <libpq-fe.h>
#include <memory>
#include <string_view>

namespace vt::dbengine::pgutil {

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
// An owned libpq result.
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// The engine error of a failed result (nullptr: the connection's own error message).
EDBEngineError error(PGconn* conn, const PGresult* result);

// The engine error of a failed connection attempt (conn may be nullptr).
EDBEngineError connectError(PGconn* conn);

// The 1-based line of a COPY error's context ("COPY t, line 17, ..."), or 0.
std::int64_t copyErrorLine(const PGresult* result);

// A column described by its type OID and modifier.
ColumnInfo columnFromType(std::string_view name, Oid type, int typmod);

// Reads field (row, col) of a result into v, by the column's type OID.
void readField(const PGresult* result, int row, int col, Oid type, Value& v);

// The text form of a value for a parameter or a COPY row (booleans as t/f when boolean is
// true; blobs as \x hex).
std::string paramText(const Value& v, bool boolean);

// Appends a value to a COPY text row, escaped (null as \N).
void appendCopyField(std::string& out, const Value& v, bool boolean);

// The PostgreSQL type text for a column described by any driver.
std::string columnTypeSql(const ColumnInfo& column);

// Whether the OID is PostgreSQL's boolean.
inline bool isBooleanType(Oid type) {
    return type == 16;
}

} // namespace vt::dbengine::pgutil
