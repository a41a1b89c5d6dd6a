// SqlScan: splits SQL text into statements and finds '?' parameter markers, outside quoted
// strings, quoted names and comments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vt::dbengine {

// The lexical rules of one SQL dialect that matter for splitting.
struct SqlDialect {
    bool dollarQuotes = false;   // PostgreSQL $tag$...$tag$ strings
    bool escapeStrings = false;  // PostgreSQL E'...' strings with backslash escapes
    bool bracketNames = false;   // SQLite [name]
    bool nestedComments = false; // PostgreSQL nests /* */ comments

    static SqlDialect sqlite() { return {false, false, true, false}; }
    static SqlDialect postgres() { return {true, true, false, true}; }
};

// Statements of the text split at ';' outside quotes and comments; statements that hold only
// blanks and comments are left out. Each keeps its own text (without the ';').
std::vector<std::string> splitSqlStatements(std::string_view sql, const SqlDialect& dialect);

// The text with every '?' marker replaced by "$1", "$2", ... (numbered in text order); count
// receives the number of markers.
std::string numberSqlMarkers(std::string_view sql, const SqlDialect& dialect, int& count);

// The number of '?' markers of the text.
int countSqlMarkers(std::string_view sql, const SqlDialect& dialect);

} // namespace vt::dbengine
