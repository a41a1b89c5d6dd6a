// Status codes of the database engine: one 16-bit code per kind of failure, with its general text.
//
// A code's high byte is its category and its low byte the sub-code within the category. The four
// codes callers tell apart by value are kEndOfData, kNoSuchTable (and kNoSuchTableAlt, which this
// engine never returns but callers accept), kNoMoreErrors and 0 for success. Every other code
// is the engine's own; each has a general text (statusText). The numbers are stable: they are
// stored in error logs and translation files.
#pragma once

#include <cstdint>
#include <string_view>

namespace vt::dbengine {

// A status code; 0 is success.
using Status = std::uint16_t;

namespace status {

// Categories (the high byte of a code).
inline constexpr std::uint8_t kCatSystem = 0x21;     // file, memory and internal failures
inline constexpr std::uint8_t kCatNotFound = 0x22;   // end of data, missing objects
inline constexpr std::uint8_t kCatConfig = 0x25;     // aliases and drivers
inline constexpr std::uint8_t kCatIntegrity = 0x26;  // constraint violations, missing keys
inline constexpr std::uint8_t kCatRequest = 0x27;    // requests that cannot be served
inline constexpr std::uint8_t kCatLock = 0x28;       // lock conflicts and busy databases
inline constexpr std::uint8_t kCatSecurity = 0x29;   // logins and permissions
inline constexpr std::uint8_t kCatErrorList = 0x2A;  // the error entry list itself
inline constexpr std::uint8_t kCatParameter = 0x2C;  // handles and arguments of calls
inline constexpr std::uint8_t kCatConnection = 0x2D; // reaching a database server
inline constexpr std::uint8_t kCatSql = 0x2E;        // SQL statements
inline constexpr std::uint8_t kCatConversion = 0x2F; // values that cannot be converted

inline constexpr Status kOk = 0x0000;

inline constexpr Status kFileError = 0x2101;    // a database file cannot be read or written
inline constexpr Status kNotADatabase = 0x2102; // a file is not a database of its driver
inline constexpr Status kFileNotFound = 0x2103; // a database file does not exist
inline constexpr Status kInternal = 0x2104;     // unexpected failure inside the engine
inline constexpr Status kOutOfMemory = 0x2105;  // memory ran out

inline constexpr Status kEndOfData = 0x2202;      // a cursor has no more records
inline constexpr Status kNoSuchTableAlt = 0x2208; // accepted by callers as "no such table"
inline constexpr Status kNoSuchColumn = 0x2209;   // a column name is unknown

inline constexpr Status kUnknownAlias = 0x2501;   // no alias of that name
inline constexpr Status kAliasFileError = 0x2502; // the aliases file cannot be read
inline constexpr Status kUnknownDriver = 0x2503;  // an alias names a driver the engine lacks
inline constexpr Status kInvalidAlias = 0x2504;   // an alias misses or garbles a required value

inline constexpr Status kKeyViolation = 0x2601;        // a unique or primary key is violated
inline constexpr Status kRequiredValue = 0x2602;       // a NOT NULL column gets no value
inline constexpr Status kForeignKeyViolation = 0x2603; // a foreign key is violated
inline constexpr Status kCheckViolation = 0x2604;      // a CHECK constraint is violated
inline constexpr Status kNoKey = 0x2605; // the table has no primary key or unique index
inline constexpr Status kConstraintViolation = 0x2606; // any other integrity constraint

inline constexpr Status kNotSupported = 0x2701;     // the driver or engine cannot do this
inline constexpr Status kTransactionState = 0x2702; // no transaction active, or one already is
inline constexpr Status kMappingError = 0x2703;     // a batch move's column mapping is unusable
inline constexpr Status kSameTable = 0x2704;   // a batch move's source and destination coincide
inline constexpr Status kCancelled = 0x2705;   // the caller cancelled the operation
inline constexpr Status kNoSuchTable = 0x2728; // a table does not exist

inline constexpr Status kLocked = 0x2801;        // the database is locked or busy
inline constexpr Status kSerialization = 0x2802; // a deadlock or serialization failure

inline constexpr Status kLoginFailed = 0x2901;      // user name or password rejected
inline constexpr Status kPermissionDenied = 0x2902; // the user may not do this
inline constexpr Status kReadOnly = 0x2903;         // the database is read-only

inline constexpr Status kNoMoreErrors = 0x2A06; // no error entry with that number

inline constexpr Status kInvalidHandle = 0x2C01;      // a handle is null, closed or of another kind
inline constexpr Status kInvalidParameter = 0x2C02;   // an argument is missing or malformed
inline constexpr Status kInvalidFieldNumber = 0x2C03; // a field number is outside 1..field count
inline constexpr Status kNotInitialized = 0x2C04;     // the engine has not been started
inline constexpr Status kNoRecord = 0x2C05; // the record buffer holds no record of the cursor

inline constexpr Status kCannotConnect = 0x2D01;  // the server cannot be reached or refused us
inline constexpr Status kConnectionLost = 0x2D02; // the connection broke during a request
inline constexpr Status kNotConnected = 0x2D03;   // the database is not open

inline constexpr Status kSqlSyntax = 0x2E02;      // the server rejected the statement's syntax
inline constexpr Status kParameterCount = 0x2E03; // bound values do not match the markers
inline constexpr Status kNotPrepared = 0x2E04;    // a statement was executed before preparing
inline constexpr Status kGeneralSql = 0x2EC4;     // any other error the server reported

inline constexpr Status kConversion = 0x2F01; // a value does not fit the target type

} // namespace status

// The general (English, UTF-8) text of a code; "" for a code the engine does not know.
std::string_view statusText(Status code);

// The category (high byte) of a code.
constexpr std::uint8_t statusCategory(Status code) {
    return static_cast<std::uint8_t>(code >> 8);
}

// The sub-code (low byte) of a code.
constexpr std::uint8_t statusSubCode(Status code) {
    return static_cast<std::uint8_t>(code & 0xFF);
}

// The stable non-zero native code of a PostgreSQL SQLSTATE: its decimal value when all five
// characters are digits ("23505" gives 23505), else 100000 plus its base-36 value ("42P01");
// 0 for a text that is not five digits or capital letters, or for "00000".
std::int32_t nativeCodeFromSqlState(std::string_view sqlState);

} // namespace vt::dbengine
