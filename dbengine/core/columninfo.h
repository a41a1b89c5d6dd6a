// ColumnInfo: what the engine knows of one column of a table or query result.
#pragma once

#include <string>
#include <vector>

namespace vt::dbengine {

// Column types the engine carries between drivers.
enum class ColumnType {
    Integer,    // whole number; size is its width in bytes (2, 4 or 8)
    Float,      // binary floating point; size 4 or 8
    Numeric,    // exact decimal; size is the precision (0: unbounded), scale the scale
    Text,       // character data; size is the maximum length in characters (0: unbounded)
    Blob,       // binary data
    Boolean,    // true or false (carried as the integers 1 and 0)
    Date,       // calendar date, carried as text "YYYY-MM-DD"
    Time,       // time of day, carried as text "HH:MM:SS[.ffffff]"
    DateTime,   // date and time without zone, carried as text "YYYY-MM-DD HH:MM:SS[.ffffff]"
    DateTimeTz, // date and time with zone offset, carried as text
    Other,      // any other driver type, carried as its text form
};

// One column.
struct ColumnInfo {
    std::string name; // as the database spells it (UTF-8)
    ColumnType type = ColumnType::Other;
    int size = 0;             // see ColumnType
    int scale = 0;            // Numeric only
    bool fixedLength = false; // Text of fixed length (CHAR(n))
    bool notNull = false;     // declared NOT NULL (tables only)
    bool typeKnown = true;    // false when the driver could not tell (SQLite expressions)
    std::string declaredType; // the driver's own type text ("VARCHAR(20)", "character varying(20)")
    std::string driverName;   // the driver that described the column ("STANDARD", "PGSQL")

    bool operator==(const ColumnInfo&) const = default;
};

// The name of a column type ("Integer", "Text", ...), for messages.
const char* columnTypeName(ColumnType type);

} // namespace vt::dbengine
