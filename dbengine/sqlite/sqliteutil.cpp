// Helpers of the SQLite driver.
#include "dbengine/sqlite/sqliteutil.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace vt::dbengine::sqliteutil {

namespace {

Status classify(int rc, std::string_view message) {
    switch (rc) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_ROWID:
        return status::kKeyViolation;
    case SQLITE_CONSTRAINT_NOTNULL:
        return status::kRequiredValue;
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return status::kForeignKeyViolation;
    case SQLITE_CONSTRAINT_CHECK:
        return status::kCheckViolation;
    default:
        break;
    }
    switch (rc & 0xFF) {
    case SQLITE_CONSTRAINT:
        return status::kConstraintViolation;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return status::kLocked;
    case SQLITE_NOTADB:
        return status::kNotADatabase;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_CORRUPT:
        return status::kFileError;
    case SQLITE_READONLY:
        return status::kReadOnly;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return status::kPermissionDenied;
    case SQLITE_NOMEM:
        return status::kOutOfMemory;
    case SQLITE_MISMATCH:
    case SQLITE_TOOBIG:
        return status::kConversion;
    case SQLITE_RANGE:
        return status::kParameterCount;
    case SQLITE_ERROR:
        if (message.starts_with("no such table"))
            return status::kNoSuchTable;
        if (message.starts_with("no such column"))
            return status::kNoSuchColumn;
        if (message.find("syntax error") != std::string_view::npos ||
            message.starts_with("incomplete input") || message.starts_with("unrecognized token"))
            return status::kSqlSyntax;
        return status::kGeneralSql;
    default:
        return status::kGeneralSql;
    }
}

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

bool contains(const std::string& s, std::string_view part) {
    return s.find(part) != std::string::npos;
}

// The numbers in "(p[,s])" of a type text.
void typeArguments(const std::string& decl, int& first, int& second) {
    first = second = 0;
    auto open = decl.find('(');
    if (open == std::string::npos)
        return;
    first = std::atoi(decl.c_str() + open + 1);
    auto comma = decl.find(',', open);
    if (comma != std::string::npos)
        second = std::atoi(decl.c_str() + comma + 1);
}

} // namespace

EDBEngineError error(sqlite3* db, int rc) {
    int native = db ? sqlite3_extended_errcode(db) : rc;
    if (native == 0)
        native = rc;
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return EDBEngineError(classify(native, message), native, message);
}

void raise(sqlite3* db, int rc) {
    throw error(db, rc);
}

ColumnInfo columnFromDecl(std::string_view name, std::string_view declaredType) {
    ColumnInfo c;
    c.name = std::string(name);
    c.declaredType = std::string(declaredType);
    c.driverName = "STANDARD";
    std::string d = upper(declaredType);
    int a = 0, b = 0;
    typeArguments(d, a, b);
    if (d.empty()) {
        c.type = ColumnType::Other;
        c.typeKnown = false;
    } else if (contains(d, "BOOL")) {
        c.type = ColumnType::Boolean;
    } else if (contains(d, "INT")) {
        c.type = ColumnType::Integer;
        if (contains(d, "SMALLINT") || contains(d, "TINYINT") || contains(d, "INT2"))
            c.size = 2;
        else if (contains(d, "BIGINT") || contains(d, "INT8") || contains(d, "INTEGER"))
            c.size = 8;
        else
            c.size = 4;
    } else if (contains(d, "CHAR") || contains(d, "CLOB") || contains(d, "TEXT")) {
        c.type = ColumnType::Text;
        c.size = a;
        c.fixedLength =
            a > 0 && !contains(d, "VAR") && !contains(d, "VARYING") &&
            (d.starts_with("CHAR") || d.starts_with("NCHAR") || d.starts_with("CHARACTER"));
    } else if (contains(d, "BLOB") || contains(d, "BYTEA") || contains(d, "BINARY")) {
        c.type = ColumnType::Blob;
    } else if (contains(d, "REAL") || contains(d, "FLOA") || contains(d, "DOUB")) {
        c.type = ColumnType::Float;
        c.size = 8;
    } else if (contains(d, "TIMESTAMPTZ") || contains(d, "WITH TIME ZONE")) {
        c.type = d.starts_with("TIME") && !d.starts_with("TIMESTAMP") ? ColumnType::Time
                                                                      : ColumnType::DateTimeTz;
    } else if (contains(d, "DATETIME") || contains(d, "TIMESTAMP")) {
        c.type = ColumnType::DateTime;
    } else if (contains(d, "DATE")) {
        c.type = ColumnType::Date;
    } else if (contains(d, "TIME")) {
        c.type = ColumnType::Time;
    } else if (contains(d, "NUMERIC") || contains(d, "DECIMAL")) {
        c.type = ColumnType::Numeric;
        c.size = a;
        c.scale = b;
    } else {
        c.type = ColumnType::Other;
    }
    return c;
}

void readColumn(sqlite3_stmt* stmt, int i, Value& v) {
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        v.setInteger(sqlite3_column_int64(stmt, i));
        break;
    case SQLITE_FLOAT:
        v.setFloat(sqlite3_column_double(stmt, i));
        break;
    case SQLITE_TEXT: {
        auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        v.setText(
            std::string_view(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))));
        break;
    }
    case SQLITE_BLOB: {
        auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, i));
        v.setBlob(
            std::string_view(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))));
        break;
    }
    default:
        v.setNull();
        break;
    }
}

int bindValue(sqlite3_stmt* stmt, int number, const Value& v, bool keep) {
    auto lifetime = keep ? SQLITE_TRANSIENT : SQLITE_STATIC;
    switch (v.kind()) {
    case Value::Kind::Null:
        return sqlite3_bind_null(stmt, number);
    case Value::Kind::Integer:
        return sqlite3_bind_int64(stmt, number, v.asInteger());
    case Value::Kind::Float:
        return sqlite3_bind_double(stmt, number, v.asFloat());
    case Value::Kind::Text:
        return sqlite3_bind_text64(stmt, number, v.asBytes().data(), v.asBytes().size(), lifetime,
                                   SQLITE_UTF8);
    case Value::Kind::Blob:
        return sqlite3_bind_blob64(stmt, number, v.asBytes().data(), v.asBytes().size(), lifetime);
    }
    return SQLITE_MISUSE;
}

std::string columnTypeSql(const ColumnInfo& c) {
    if (c.driverName == "STANDARD" && !c.declaredType.empty())
        return c.declaredType;
    if (!c.typeKnown)
        return ""; // an untyped column keeps each value as it comes
    switch (c.type) {
    case ColumnType::Integer:
        return c.size == 2 ? "SMALLINT" : c.size == 4 ? "INT" : "INTEGER";
    case ColumnType::Float:
        return "REAL";
    case ColumnType::Numeric:
        if (c.size > 0)
            return "NUMERIC(" + std::to_string(c.size) + "," + std::to_string(c.scale) + ")";
        return "NUMERIC";
    case ColumnType::Text:
        if (c.size > 0)
            return (c.fixedLength ? "CHAR(" : "VARCHAR(") + std::to_string(c.size) + ")";
        return "TEXT";
    case ColumnType::Blob:
        return "BLOB";
    case ColumnType::Boolean:
        return "BOOLEAN";
    case ColumnType::Date:
        return "DATE";
    case ColumnType::Time:
        return "TIME";
    case ColumnType::DateTime:
        return "TIMESTAMP";
    case ColumnType::DateTimeTz:
        return "TIMESTAMPTZ";
    case ColumnType::Other:
        return "TEXT";
    }
    return "TEXT";
}

} // namespace vt::dbengine::sqliteutil
