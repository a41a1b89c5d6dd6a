// General texts of the engine's status codes and the native codes of SQLSTATEs.
#include "dbengine/core/status.h"

namespace vt::dbengine {

std::string_view statusText(Status code) {
    using namespace status;
    switch (code) {
    case kOk:
        return "Operation succeeded";
    case kFileError:
        return "Database file cannot be read or written";
    case kNotADatabase:
        return "File is not a database";
    case kFileNotFound:
        return "Database file not found";
    case kInternal:
        return "Internal engine error";
    case kOutOfMemory:
        return "Insufficient memory for this operation";
    case kEndOfData:
        return "At end of table";
    case kNoSuchTableAlt:
        return "Table does not exist";
    case kNoSuchColumn:
        return "Column not found";
    case kUnknownAlias:
        return "Unknown database alias";
    case kAliasFileError:
        return "Aliases file cannot be read";
    case kUnknownDriver:
        return "Unknown database driver";
    case kInvalidAlias:
        return "Alias definition is incomplete or invalid";
    case kKeyViolation:
        return "Key violation";
    case kRequiredValue:
        return "Field value required";
    case kForeignKeyViolation:
        return "Master record missing or detail records exist";
    case kCheckViolation:
        return "Field value out of the allowed range";
    case kNoKey:
        return "Table has no primary key or unique index";
    case kConstraintViolation:
        return "Integrity constraint violated";
    case kNotSupported:
        return "Capability not supported";
    case kTransactionState:
        return "Invalid transaction state";
    case kMappingError:
        return "Invalid column mapping";
    case kSameTable:
        return "Source and destination are the same table";
    case kCancelled:
        return "Operation cancelled";
    case kNoSuchTable:
        return "Table does not exist";
    case kLocked:
        return "Database is locked";
    case kSerialization:
        return "Deadlock or serialization failure";
    case kLoginFailed:
        return "Invalid user name or password";
    case kPermissionDenied:
        return "Insufficient rights for this operation";
    case kReadOnly:
        return "Database is read-only";
    case kNoMoreErrors:
        return "No more error entries";
    case kInvalidHandle:
        return "Invalid handle";
    case kInvalidParameter:
        return "Invalid parameter";
    case kInvalidFieldNumber:
        return "Invalid field number";
    case kNotInitialized:
        return "Engine not initialized";
    case kNoRecord:
        return "No current record";
    case kCannotConnect:
        return "Unable to connect to the database server";
    case kConnectionLost:
        return "Connection to the database server lost";
    case kNotConnected:
        return "Database is not open";
    case kSqlSyntax:
        return "SQL syntax error";
    case kParameterCount:
        return "Parameter values do not match the statement";
    case kNotPrepared:
        return "Statement is not prepared";
    case kGeneralSql:
        return "General SQL error";
    case kConversion:
        return "Value cannot be converted";
    default:
        return {};
    }
}

std::int32_t nativeCodeFromSqlState(std::string_view sqlState) {
    if (sqlState.size() != 5 || sqlState == "00000")
        return 0;
    bool digitsOnly = true;
    std::int32_t decimal = 0;
    std::int32_t base36 = 0;
    for (char c : sqlState) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'Z') {
            digit = c - 'A' + 10;
            digitsOnly = false;
        } else {
            return 0;
        }
        decimal = decimal * 10 + (digit < 10 ? digit : 0);
        base36 = base36 * 36 + digit;
    }
    return digitsOnly ? decimal : 100000 + base36;
}

} // namespace vt::dbengine
