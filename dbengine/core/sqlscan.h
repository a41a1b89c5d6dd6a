// SqlScan: splits SQL text into statements and finds '?' parameter markers, outside quoted
// strings, quoted names and comments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/sqltokenizer.h"

namespace vt::dbengine {

// The SQL dialect of a driver, whose lexical rules the scanning follows.
struct SqlDialect {
    script::SqlDialect engine = script::SqlDialect::SQLite;

    static SqlDialect sqlite() { return {script::SqlDialect::SQLite}; }
    static SqlDialect postgres() { return {script::SqlDialect::PostgreSQL}; }
};

// Statements of the text split at ';' where the engine's own client ends a statement (outside
// quotes, comments, dollar-quoted bodies, SQLite trigger bodies, PostgreSQL parentheses and
// routine bodies); statements that hold only blanks and comments are left out. Each keeps its
// own text (without the ';').
std::vector<std::string> splitSqlStatements(std::string_view sql, const SqlDialect& dialect);

// The text with every '?' marker replaced by "$1", "$2", ... (numbered in text order); count
// receives the number of markers.
std::string numberSqlMarkers(std::string_view sql, const SqlDialect& dialect, int& count);

// The number of '?' markers of the text.
int countSqlMarkers(std::string_view sql, const SqlDialect& dialect);

} // namespace vt::dbengine
