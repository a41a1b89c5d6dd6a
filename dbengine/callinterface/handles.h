// The objects behind the call interface's handles and their bookkeeping: which handles are live,
// what each points to, and releasing an object with everything that depends on it.
//
// Internal to the call interface; one caller thread (see callinterface.h).
#pragma once

#include "dbengine/callinterface/callinterface.h"
#include "dbengine/core/driver.h"
#include "dbengine/core/paramlist.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vt::dbengine::dbi {

// A session: the databases opened in it.
struct SessionObject {
    bool isDefault = false;
    std::vector<DatabaseObject*> databases;
};

// An open database with the statements and cursors opened on it.
struct DatabaseObject {
    SessionObject* session = nullptr;
    std::unique_ptr<Connection> conn;
    ParamList aliasParams; // the keys of the alias it was opened by
    std::vector<CursorObject*> cursors;
    std::vector<StatementObject*> statements;
};

// A statement: SQL text to run as it stands, or a prepared statement with its bindings.
struct StatementObject {
    DatabaseObject* db = nullptr;
    enum class Kind { None, Plain, Params } kind = Kind::None;
    std::string sql;                     // Plain: the text to run (UTF-8)
    std::shared_ptr<Statement> prepared; // Params
    std::vector<bool> bound;
    std::int64_t rowsAffected = 0;
    std::vector<CursorObject*> cursors;
};

// A cursor: rows from the driver, a table read at the first record, or rows held in memory.
struct CursorObject {
    DatabaseObject* db = nullptr;         // nullptr for the alias list
    StatementObject* statement = nullptr; // the statement that opened it, if any
    std::vector<ColumnInfo> columns;
    std::shared_ptr<Statement> keep; // the driver statement the rows come from
    std::unique_ptr<Cursor> cursor;  // rows from the driver (ends before keep)
    std::string lazySql;             // openTable: the select run at the first read
    bool fixed = false;              // rows held in fixedRows
    std::vector<std::vector<Value>> fixedRows;
    std::size_t fixedNext = 0;
    bool ended = false;
};

// What a live handle points to.
enum class HandleKind { Session, Database, Cursor, Statement };

// The engine's state: its init count, sessions and live handles.
struct Engine {
    int initCount = 0;
    std::vector<std::unique_ptr<SessionObject>> sessions;
    SessionObject* current = nullptr;
    std::unordered_map<const void*, HandleKind> live; // every handle given out and not released
};

// The engine's one state.
Engine& engine();

// A failure inside a call, carried to the call's status.
struct CallFailure {
    Status code;
    std::string detail;
};

// Ends the current call with that status and detail.
[[noreturn]] void fail(Status code, std::string detail = {});

// Fails with kNotInitialized unless the engine is started.
void requireStarted();

// The object behind a handle of that kind; fails with kInvalidHandle for a released, foreign or
// null handle.
template <class T> T* check(T* object, HandleKind kind) {
    requireStarted();
    auto it = engine().live.find(object);
    if (!object || it == engine().live.end() || it->second != kind)
        fail(status::kInvalidHandle);
    return object;
}

// Release an object with the objects that depend on it and unregister their handles.
void destroyCursor(CursorObject* c);
void destroyStatement(StatementObject* s);
void destroyDatabase(DatabaseObject* db);
void destroySession(SessionObject* s);

// A new cursor registered with its database and statement (either may be nullptr).
CursorObject* newCursor(DatabaseObject* db, StatementObject* stmt);

} // namespace vt::dbengine::dbi
