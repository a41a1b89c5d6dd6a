// Names of the engine's column types.
#include "dbengine/core/columninfo.h"

namespace vt::dbengine {

const char* columnTypeName(ColumnType type) {
    switch (type) {
    case ColumnType::Integer:
        return "Integer";
    case ColumnType::Float:
        return "Float";
    case ColumnType::Numeric:
        return "Numeric";
    case ColumnType::Text:
        return "Text";
    case ColumnType::Blob:
        return "Blob";
    case ColumnType::Boolean:
        return "Boolean";
    case ColumnType::Date:
        return "Date";
    case ColumnType::Time:
        return "Time";
    case ColumnType::DateTime:
        return "DateTime";
    case ColumnType::DateTimeTz:
        return "DateTimeTz";
    case ColumnType::Other:
        return "Other";
    }
    return "Other";
}

} // namespace vt::dbengine
