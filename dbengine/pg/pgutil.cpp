// Helpers of the PostgreSQL driver.
#include "dbengine/pg/pgutil.h"

#include "dbengine/core/sqldriverhelp.h"

#include <cstdlib>
#include <cstring>

namespace vt::dbengine::pgutil {

namespace {

// Type OIDs of the PostgreSQL catalog (stable across versions).
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kChar = 18,
    kName = 19,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestamptz = 1184,
    kNumeric = 1700,
};

Status classify(std::string_view st) {
    if (st == "23505")
        return status::kKeyViolation;
    if (st == "23502")
        return status::kRequiredValue;
    if (st == "23503")
        return status::kForeignKeyViolation;
    if (st == "23514")
        return status::kCheckViolation;
    if (st.starts_with("23"))
        return status::kConstraintViolation;
    if (st == "42P01")
        return status::kNoSuchTable;
    if (st == "42703")
        return status::kNoSuchColumn;
    if (st == "42601")
        return status::kSqlSyntax;
    if (st == "42501")
        return status::kPermissionDenied;
    if (st.starts_with("28"))
        return status::kLoginFailed;
    if (st.starts_with("08") || st == "3D000")
        return status::kCannotConnect;
    if (st == "40001" || st == "40P01")
        return status::kSerialization;
    if (st == "55P03")
        return status::kLocked;
    if (st == "25006")
        return status::kReadOnly;
    if (st.starts_with("25"))
        return status::kTransactionState;
    if (st.starts_with("22"))
        return status::kConversion;
    if (st.starts_with("57P"))
        return status::kConnectionLost;
    return status::kGeneralSql;
}

std::string trimEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const char kHex[] = "0123456789abcdef";

} // namespace

EDBEngineError error(PGconn* conn, const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    if (!state || !*state) {
        std::string text =
            trimEnd(result && *PQresultErrorMessage(result) ? PQresultErrorMessage(result)
                                                            : (conn ? PQerrorMessage(conn) : ""));
        bool broken = !conn || PQstatus(conn) == CONNECTION_BAD;
        Status code = broken ? status::kConnectionLost : status::kGeneralSql;
        if (text.empty())
            text = std::string(statusText(code));
        else if (broken)
            text = std::string(statusText(code)) + ": " + text;
        return EDBEngineError(code, 0, text);
    }
    std::string text = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)
                           ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)
                           : trimEnd(PQresultErrorMessage(result));
    text += " (SQLSTATE ";
    text += state;
    text += ")";
    if (const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL))
        text += std::string("\n") + detail;
    if (const char* hint = PQresultErrorField(result, PG_DIAG_MESSAGE_HINT))
        text += std::string("\nHINT: ") + hint;
    return EDBEngineError(classify(state), nativeCodeFromSqlState(state), text);
}

EDBEngineError connectError(PGconn* conn) {
    std::string text = trimEnd(conn ? PQerrorMessage(conn) : "out of memory");
    struct Pattern {
        const char* text;
        Status code;
        const char* sqlState; // nullptr: the client found it, no server code
    };
    static const Pattern patterns[] = {
        {"password authentication failed", status::kLoginFailed, "28P01"},
        {"no password supplied", status::kLoginFailed, nullptr},
        {"no pg_hba.conf entry", status::kLoginFailed, "28000"},
        {"role \"", status::kLoginFailed, "28000"},
        {"database \"", status::kCannotConnect, "3D000"},
        {"too many clients", status::kCannotConnect, "53300"},
        {"the database system is", status::kCannotConnect, "57P03"},
    };
    for (const auto& p : patterns) {
        if (text.find(p.text) != std::string::npos) {
            std::int32_t native = p.sqlState ? nativeCodeFromSqlState(p.sqlState) : 0;
            if (p.sqlState)
                text += std::string(" (SQLSTATE ") + p.sqlState + ")";
            return EDBEngineError(p.code, native, text);
        }
    }
    return EDBEngineError(status::kCannotConnect, 0,
                          std::string(statusText(status::kCannotConnect)) + ": " + text);
}

std::int64_t copyErrorLine(const PGresult* result) {
    const char* context = result ? PQresultErrorField(result, PG_DIAG_CONTEXT) : nullptr;
    if (!context)
        return 0;
    const char* p = std::strstr(context, ", line ");
    if (!p)
        return 0;
    return std::strtoll(p + 7, nullptr, 10);
}

ColumnInfo columnFromType(std::string_view name, Oid type, int typmod) {
    ColumnInfo c;
    c.name = std::string(name);
    c.driverName = "PGSQL";
    int len = typmod >= 4 ? typmod - 4 : 0;
    switch (type) {
    case kBool:
        c.type = ColumnType::Boolean;
        c.declaredType = "boolean";
        break;
    case kInt2:
        c.type = ColumnType::Integer;
        c.size = 2;
        c.declaredType = "smallint";
        break;
    case kInt4:
        c.type = ColumnType::Integer;
        c.size = 4;
        c.declaredType = "integer";
        break;
    case kInt8:
        c.type = ColumnType::Integer;
        c.size = 8;
        c.declaredType = "bigint";
        break;
    case kOid:
        c.type = ColumnType::Integer;
        c.size = 8;
        c.declaredType = "oid";
        break;
    case kFloat4:
        c.type = ColumnType::Float;
        c.size = 4;
        c.declaredType = "real";
        break;
    case kFloat8:
        c.type = ColumnType::Float;
        c.size = 8;
        c.declaredType = "double precision";
        break;
    case kNumeric:
        c.type = ColumnType::Numeric;
        if (typmod >= 4) {
            c.size = (len >> 16) & 0xFFFF;
            c.scale = len & 0xFFFF;
            c.declaredType =
                "numeric(" + std::to_string(c.size) + "," + std::to_string(c.scale) + ")";
        } else {
            c.declaredType = "numeric";
        }
        break;
    case kVarchar:
        c.type = ColumnType::Text;
        c.size = len;
        c.declaredType =
            len ? "character varying(" + std::to_string(len) + ")" : "character varying";
        break;
    case kBpchar:
        c.type = ColumnType::Text;
        c.size = len;
        c.fixedLength = len > 0;
        c.declaredType = len ? "character(" + std::to_string(len) + ")" : "bpchar";
        break;
    case kChar:
        c.type = ColumnType::Text;
        c.size = 1;
        c.fixedLength = true;
        c.declaredType = "\"char\"";
        break;
    case kName:
        c.type = ColumnType::Text;
        c.size = 63;
        c.declaredType = "name";
        break;
    case kText:
        c.type = ColumnType::Text;
        c.declaredType = "text";
        break;
    case kBytea:
        c.type = ColumnType::Blob;
        c.declaredType = "bytea";
        break;
    case kDate:
        c.type = ColumnType::Date;
        c.declaredType = "date";
        break;
    case kTime:
        c.type = ColumnType::Time;
        c.declaredType = "time without time zone";
        break;
    case kTimestamp:
        c.type = ColumnType::DateTime;
        c.declaredType = "timestamp without time zone";
        break;
    case kTimestamptz:
        c.type = ColumnType::DateTimeTz;
        c.declaredType = "timestamp with time zone";
        break;
    default:
        c.type = ColumnType::Other;
        break;
    }
    return c;
}

void readField(const PGresult* result, int row, int col, Oid type, Value& v) {
    if (PQgetisnull(result, row, col)) {
        v.setNull();
        return;
    }
    const char* text = PQgetvalue(result, row, col);
    std::size_t len = static_cast<std::size_t>(PQgetlength(result, row, col));
    switch (type) {
    case kBool:
        v.setInteger(text[0] == 't' ? 1 : 0);
        return;
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: {
        std::int64_t i;
        if (parseInteger(std::string_view(text, len), i))
            v.setInteger(i);
        else
            v.setText(std::string_view(text, len));
        return;
    }
    case kFloat4:
    case kFloat8:
        v.setFloat(std::strtod(text, nullptr));
        return;
    case kBytea:
        if (len >= 2 && text[0] == '\\' && text[1] == 'x') {
            std::string bytes;
            bytes.reserve((len - 2) / 2);
            for (std::size_t i = 2; i + 1 < len; i += 2)
                bytes += static_cast<char>(hexDigit(text[i]) * 16 + hexDigit(text[i + 1]));
            v.setBlob(bytes);
        } else {
            std::size_t n = 0;
            unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &n);
            v.setBlob(std::string_view(reinterpret_cast<char*>(raw), raw ? n : 0));
            PQfreemem(raw);
        }
        return;
    default:
        v.setText(std::string_view(text, len));
        return;
    }
}

std::string paramText(const Value& v, bool boolean) {
    switch (v.kind()) {
    case Value::Kind::Integer:
        if (boolean)
            return v.asInteger() ? "t" : "f";
        return std::to_string(v.asInteger());
    case Value::Kind::Blob: {
        std::string out = "\\x";
        for (unsigned char c : v.asBytes()) {
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
        return out;
    }
    default:
        return v.toText();
    }
}

void appendCopyField(std::string& out, const Value& v, bool boolean) {
    switch (v.kind()) {
    case Value::Kind::Null:
        out += "\\N";
        return;
    case Value::Kind::Integer:
        if (boolean) {
            out += v.asInteger() ? 't' : 'f';
        } else {
            char buf[24];
            int n = std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.asInteger()));
            out.append(buf, static_cast<std::size_t>(n));
        }
        return;
    case Value::Kind::Float:
        out += formatDouble(v.asFloat());
        return;
    case Value::Kind::Blob:
        out += "\\\\x";
        for (unsigned char c : v.asBytes()) {
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
        return;
    case Value::Kind::Text:
        for (char c : v.asBytes()) {
            switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
                break;
            }
        }
        return;
    }
}

std::string columnTypeSql(const ColumnInfo& c) {
    if (c.driverName == "PGSQL" && !c.declaredType.empty())
        return c.declaredType;
    switch (c.type) {
    case ColumnType::Integer:
        return c.size == 2 ? "smallint" : c.size == 4 ? "integer" : "bigint";
    case ColumnType::Float:
        return c.size == 4 ? "real" : "double precision";
    case ColumnType::Numeric:
        if (c.size > 0)
            return "numeric(" + std::to_string(c.size) + "," + std::to_string(c.scale) + ")";
        return "numeric";
    case ColumnType::Text:
        if (c.size > 0)
            return (c.fixedLength ? "character(" : "character varying(") + std::to_string(c.size) +
                   ")";
        return "text";
    case ColumnType::Blob:
        return "bytea";
    case ColumnType::Boolean:
        return "boolean";
    case ColumnType::Date:
        return "date";
    case ColumnType::Time:
        return "time";
    case ColumnType::DateTime:
        return "timestamp";
    case ColumnType::DateTimeTz:
        return "timestamp with time zone";
    case ColumnType::Other:
        return "text";
    }
    return "text";
}

} // namespace vt::dbengine::pgutil
