// The engine's call interface: handles, status codes and calls for the plug-in.
//
// Conventions:
//  - Every call returns a Status (status.h): 0 on success, else the code of the failure. No call
//    throws; a failure also records the error's detail entries, which getErrorEntry reads until
//    the next call (other than getErrorText and getErrorEntry) replaces or clears them.
//  - Text: every string passed in or returned is in the system's ANSI code page
//    (platform/codepage.h: CP1251, or UTF-8 when VT_CODEPAGE=utf-8). The engine converts to and
//    from the databases' UTF-8 at this boundary: SQL text, names, bound values, field values and
//    error texts. Characters the ANSI code page cannot hold read as '?'.
//  - Handles are opaque. The engine owns the objects behind them; a handle is valid from the
//    call that fills it until the matching close/free call, closeSession, or exit(), which
//    release everything. A released or foreign handle gives kInvalidHandle, never a crash.
//    The close/free calls set the caller's variable to nullptr.
//  - Records and strings returned through reference arguments belong to the caller.
//  - Engine state (sessions, handles, last error) is per process and meant for one caller thread.
//  - Calls other than init, exit, getErrorText and getErrorEntry need a started engine and give
//    kNotInitialized otherwise.
#pragma once

#include "dbengine/core/status.h"
#include "dbengine/core/value.h"
#include "script/sqltokenizer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vt::dbengine::dbi {

struct SessionObject;
struct DatabaseObject;
struct CursorObject;
struct StatementObject;

using SessionHandle = SessionObject*;     // a session: a group of open databases
using DatabaseHandle = DatabaseObject*;   // an open database (one connection)
using CursorHandle = CursorObject*;       // a forward-only cursor over records
using StatementHandle = StatementObject*; // an SQL statement of one database

// Logical field types of cursor fields.
enum class FieldType : std::uint16_t {
    Unknown = 0, // a type the engine does not classify; read it as text
    Text = 1,    // character data (also dates, times and exact numerics, in their text form)
    Integer = 2, // whole numbers up to 64 bits (also booleans, as 0 and 1)
    Float = 3,   // double-precision numbers
    Blob = 4,    // binary data
};

// Properties of a cursor.
struct CursorProps {
    std::uint16_t fieldCount = 0; // number of fields of each record
    std::uint32_t recordSize = 0; // sum of the fields' sizes (see FieldDesc::size)
};

// Description of one cursor field.
struct FieldDesc {
    std::uint16_t number = 0; // 1-based field number
    std::string name;         // column name (ANSI)
    FieldType type = FieldType::Unknown;
    std::uint16_t size = 0; // Text: declared maximum length in bytes plus 1 for the terminating
                            // zero (1 when the length is not bounded: read the whole text with
                            // getField, which never truncates); Integer and Float: 8; Blob: 0
};

// One record of a cursor, filled by getNextRecord and read with getField. Its contents are the
// engine's (UTF-8 values); getField converts them.
struct Record {
    const CursorObject* cursor = nullptr; // the cursor that filled it
    std::vector<Value> values;            // one per field
};

// An optional parameter of openDatabase.
struct OptionalParam {
    std::string name;  // "USER NAME" is the one parameter the engine knows
    std::string value; // ANSI
};

// Database properties for setProperty.
inline constexpr std::uint32_t kPropTransIsolation = 0x00040010; // value: TransIsolation

// Transaction isolation levels (value of kPropTransIsolation). SQLite runs every transaction
// serialised whatever the level; PostgreSQL reads dirty read as read committed.
enum class TransIsolation : std::int64_t { DirtyRead = 0, ReadCommitted = 1, RepeatableRead = 2 };

// Starts the engine (counted: every init needs one exit). Always 0.
Status init();

// Ends one init; the last one closes every session, database, cursor and statement.
Status exit();

// The current session (the engine's default session until startSession makes another current).
Status getCurrentSession(SessionHandle& session);

// Starts a new session, which becomes current.
Status startSession(SessionHandle& session);

// Closes a session with its databases; the default session becomes current when it was.
// The default session itself cannot be closed (kInvalidParameter).
Status closeSession(SessionHandle& session);

// Opens a cursor over the engine's aliases, one record per alias in the aliases file's order:
// field 1 "NAME" (text, the alias name), field 2 "DRIVER" (text, "STANDARD" or "PGSQL").
// kAliasFileError when the aliases file cannot be read.
Status openAliasList(CursorHandle& cursor);

// Opens the database named by an alias (or "DBName=<path>" for an SQLite file) in the current
// session. The password may be empty or nullptr. params may hold "USER NAME" (the user; the
// alias's own "USER NAME" is the default); other names give kInvalidParameter.
// Failures: kUnknownAlias, kUnknownDriver, kInvalidAlias, kFileNotFound, kNotADatabase,
// kCannotConnect, kLoginFailed and server errors.
Status openDatabase(const char* alias, const char* password,
                    const std::vector<OptionalParam>& params, DatabaseHandle& db);

// Closes a database: its open cursors and statements are released, an open transaction is
// rolled back.
Status closeDatabase(DatabaseHandle& db);

// Sets a database property (kPropTransIsolation). Unknown properties give kNotSupported.
Status setProperty(DatabaseHandle db, std::uint32_t property, std::int64_t value);

// Opens a cursor over all rows of a table when it exists (0), else kNoSuchTable. The name may be
// "schema.table"; it is matched as the driver matches unquoted names (SQLite: without regard to
// case; PostgreSQL: as written, else folded to lower case). The query runs at the first
// getNextRecord.
Status openTable(DatabaseHandle db, const char* tableName, CursorHandle& cursor);

// Executes SQL text directly. The text may hold several statements separated by ';'; they run
// in order and the first failure stops them. When cursor is non-null and the last statement
// returns rows, *cursor becomes a cursor over them; otherwise *cursor is set to nullptr.
Status execDirect(DatabaseHandle db, const char* sql, CursorHandle* cursor);

// Allocates a statement of a database.
Status allocStatement(DatabaseHandle db, StatementHandle& stmt);

// Prepares SQL text to run as it stands (several statements allowed, as in execDirect; no
// parameter markers: a '?' is passed to the server unchanged).
Status prepare(StatementHandle stmt, const char* sql);

// Prepares one SQL statement with '?' parameter markers, numbered from 1 in text order. Markers
// inside quoted strings, quoted names and comments are not markers. The driver translates them
// (PostgreSQL: $1, $2, ...). Every marker must be bound before execute.
Status prepareWithParams(StatementHandle stmt, const char* sql);

// Binds ANSI text (nullptr binds NULL) to marker number (from 1).
Status bindText(StatementHandle stmt, std::uint16_t number, const char* value);

// Binds an integer to marker number (from 1).
Status bindInteger(StatementHandle stmt, std::uint16_t number, std::int64_t value);

// Binds NULL to marker number (from 1).
Status bindNull(StatementHandle stmt, std::uint16_t number);

// Executes a prepared statement; it can be executed again (with new bindings). cursor as in
// execDirect. kNotPrepared before prepare; kParameterCount when a marker is unbound.
Status execute(StatementHandle stmt, CursorHandle* cursor);

// Executes statements of the database prepared with prepare or prepareWithParams (every marker
// bound), in order, as one transaction: either all of them take effect, or the first failure
// is reported as execute would report it and none of them has. Rows are discarded; the
// statements' rows-affected counts are set as by execute. The texts must not end or open
// transactions. PostgreSQL sends them in one round trip when each text is a single statement
// (others run between BEGIN and COMMIT as on SQLite). kTransactionState when a transaction is
// active; kInvalidParameter for an empty list or a statement of another database.
Status executeAtomically(DatabaseHandle db, const std::vector<StatementHandle>& statements);

// Executes a prepared statement (every marker bound) inside the database's active transaction
// under a savepoint of its own, discarding any rows: on failure the statement's error is
// reported and the transaction is as it was before it and still active, unless the failure
// ended the transaction itself (a lost connection; on SQLite a full disk or an I/O error), which
// inTransaction then tells. PostgreSQL sends the savepoint, the statement and its release in one
// round trip when the text is a single statement. kTransactionState when no transaction is
// active.
Status executeInSavepoint(DatabaseHandle db, StatementHandle stmt);

// The number of rows the last execute of the statement inserted, updated or deleted.
Status getRowsAffected(StatementHandle stmt, std::int64_t& rows);

// Releases a statement and closes the cursors its executions opened.
Status freeStatement(StatementHandle& stmt);

// The cursor's field count and record size.
Status getCursorProps(CursorHandle cursor, CursorProps& props);

// One descriptor per field, in field order (the vector is replaced).
Status getFieldDescs(CursorHandle cursor, std::vector<FieldDesc>& descs);

// Reads the next record into rec: 0, or kEndOfData after the last one (and on every later call).
Status getNextRecord(CursorHandle cursor, Record& rec);

// Reads field number (from 1) of a record as text: text as it is (converted to ANSI), integers in
// decimal, doubles in their shortest exact form, blobs as their bytes. A null field reads as ""
// with blank true. kNoRecord when rec was not filled by this cursor.
Status getField(CursorHandle cursor, std::uint16_t number, const Record& rec, std::string& text,
                bool& blank);

// Reads field number (from 1) as an integer: integers as they are, text that holds a whole
// decimal number (blanks around it allowed) as that number, integral doubles. A null field reads
// as 0 with blank true. kConversion when the value is not a whole number.
Status getField(CursorHandle cursor, std::uint16_t number, const Record& rec, std::int64_t& value,
                bool& blank);

// Releases a cursor.
Status closeCursor(CursorHandle& cursor);

// Starts a transaction on the database; statements then run in it until commit or rollback.
// kTransactionState when one is already active.
Status beginTransaction(DatabaseHandle db);

// Commits the active transaction. kTransactionState when none is active. When the commit fails,
// the transaction has been rolled back.
Status commitTransaction(DatabaseHandle db);

// Rolls the active transaction back. kTransactionState when none is active.
Status rollbackTransaction(DatabaseHandle db);

// Whether the database is inside a transaction started by beginTransaction.
Status inTransaction(DatabaseHandle db, bool& active);

// Whether the database's driver runs DDL (CREATE, ALTER, DROP) inside transactions, so that a
// rollback undoes it (true for SQLite and PostgreSQL). Single commands a server refuses inside a
// transaction (PostgreSQL's CREATE DATABASE, VACUUM, CREATE INDEX CONCURRENTLY) fail there with
// SQLSTATE 25001, native code 25001.
Status supportsTransactionalDdl(DatabaseHandle db, bool& supported);

// Whether the database's connection still works (PostgreSQL: a round trip to the server).
// Returns 0 with alive false for a broken connection.
Status isAlive(DatabaseHandle db, bool& alive);

// Whether the database refuses values beyond a column's declared type (a text longer than its
// CHAR(n), a number outside SMALLINT) instead of storing them as they are (SQLite).
Status enforcesColumnTypes(DatabaseHandle db, bool& enforced);

// The database's run lock, which keeps script runs apart: one at a time per database. It is held
// by the handle until releaseRunLock or closeDatabase, and the driver keeps it so that it also
// ends with the holding process, however that ends. Takes it without waiting: acquired true when
// the handle holds it (also when it did already); false when another holds it, heldSince then
// telling since when that holder has held it or been connected ("YYYY-MM-DD HH:MM:SS", local
// time; empty when unknown).
Status tryRunLock(DatabaseHandle db, bool& acquired, std::string& heldSince);

// Lets go of the run lock (nothing when the handle does not hold it).
Status releaseRunLock(DatabaseHandle db);

// The value of a key of the alias the database was opened by (ANSI; "" when the alias has no
// such key, and for a database opened by "DBName=<path>").
Status getAliasParam(DatabaseHandle db, const char* name, std::string& value);

// The driver name of an open database ("STANDARD" or "PGSQL").
Status getDriverName(DatabaseHandle db, std::string& driver);

// The SQL dialect the database reads: how its statements are split, quoted and commented, and
// which of them need a transaction of their own.
Status getSqlDialect(DatabaseHandle db, script::SqlDialect& dialect);

// The native codes with which the database's server refuses to run a statement inside a
// transaction block, so that the caller can run that statement on its own instead (PostgreSQL:
// SQLSTATE 25001 and 2D000); empty when the driver cannot tell that refusal from other errors.
Status getTransactionRefusalCodes(DatabaseHandle db, std::vector<std::int32_t>& codes);

// The general text of a status code (ANSI); kInvalidParameter and "" for an unknown code.
// Does not change the last error.
Status getErrorText(Status code, std::string& text);

// Entry number (from 1) of the last error: returns the entry's code and fills its native code and
// text (ANSI); kNoMoreErrors past the last entry or when the last call succeeded.
// Does not change the last error.
Status getErrorEntry(std::uint16_t number, std::int32_t& nativeCode, std::string& text);

} // namespace vt::dbengine::dbi
