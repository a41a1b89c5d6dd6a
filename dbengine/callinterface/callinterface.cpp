// The engine's call interface: ANSI conversion and status codes over the drivers, on the handles
// of handles.h.
#include "dbengine/callinterface/callinterface.h"

#include "dbengine/callinterface/handles.h"
#include "dbengine/core/aliases.h"
#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/drivers/drivers.h"
#include "platform/asciitext.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace vt::dbengine::dbi {

namespace {

// The last error of the call interface (the engine serves one caller thread). Not thread_local:
// a thread-local object with a destructor keeps glibc from ever unloading the plug-in.
std::vector<EngineErrorEntry> g_lastError;

template <class F> Status guarded(F&& body) {
    g_lastError.clear();
    try {
        body();
        return status::kOk;
    } catch (const CallFailure& f) {
        EDBEngineError e = EDBEngineError::engine(f.code, f.detail);
        g_lastError = e.entries();
        return f.code;
    } catch (const EDBEngineError& e) {
        g_lastError = e.entries();
        return e.errorCode();
    } catch (const std::bad_alloc&) {
        g_lastError = EDBEngineError::engine(status::kOutOfMemory).entries();
        return status::kOutOfMemory;
    } catch (const std::exception& e) {
        g_lastError = EDBEngineError::engine(status::kInternal, e.what()).entries();
        return status::kInternal;
    }
}

std::string toUtf8(const char* ansi) {
    return ansi ? platform::ansiToUtf8(ansi) : std::string();
}

// Hands a driver cursor to the caller, or runs it to its end when the caller wants none.
void deliver(DatabaseObject* db, StatementObject* stmt, std::unique_ptr<Cursor> rows,
             std::shared_ptr<Statement> keep, CursorHandle* out) {
    if (out)
        *out = nullptr;
    if (!rows)
        return;
    if (!out) {
        while (rows->next()) {
        }
        return;
    }
    CursorObject* c = newCursor(db, stmt);
    c->columns = rows->columns();
    c->cursor = std::move(rows);
    c->keep = std::move(keep);
    *out = c;
}

FieldDesc describeField(const ColumnInfo& col, std::uint16_t number) {
    FieldDesc d;
    d.number = number;
    d.name = platform::utf8ToAnsi(col.name);
    switch (col.type) {
    case ColumnType::Integer:
    case ColumnType::Boolean:
        d.type = FieldType::Integer;
        d.size = 8;
        break;
    case ColumnType::Float:
        d.type = FieldType::Float;
        d.size = 8;
        break;
    case ColumnType::Blob:
        d.type = FieldType::Blob;
        d.size = 0;
        break;
    case ColumnType::Text:
        d.type = FieldType::Text;
        d.size = static_cast<std::uint16_t>(col.size > 0 && col.size < 65535 ? col.size + 1 : 1);
        break;
    case ColumnType::Other:
        d.type = col.typeKnown ? FieldType::Text : FieldType::Unknown;
        d.size = 1;
        break;
    default:
        d.type = FieldType::Text;
        d.size = 1;
        break;
    }
    return d;
}

const Value& fieldOf(CursorHandle cursor, std::uint16_t number, const Record& rec) {
    CursorObject* c = check(cursor, HandleKind::Cursor);
    if (number < 1 || number > c->columns.size())
        fail(status::kInvalidFieldNumber, std::to_string(number));
    if (rec.cursor != c || rec.values.size() != c->columns.size())
        fail(status::kNoRecord);
    return rec.values[number - 1u];
}

} // namespace

Status init() {
    return guarded([] {
        Engine& e = engine();
        if (e.initCount++ == 0) {
            auto s = std::make_unique<SessionObject>();
            s->isDefault = true;
            e.current = s.get();
            e.live.emplace(s.get(), HandleKind::Session);
            e.sessions.push_back(std::move(s));
        }
    });
}

Status exit() {
    return guarded([] {
        Engine& e = engine();
        requireStarted();
        if (--e.initCount > 0)
            return;
        while (!e.sessions.empty())
            destroySession(e.sessions.back().get());
        e.current = nullptr;
        e.live.clear();
    });
}

Status getCurrentSession(SessionHandle& session) {
    return guarded([&] {
        requireStarted();
        session = engine().current;
    });
}

Status startSession(SessionHandle& session) {
    return guarded([&] {
        requireStarted();
        Engine& e = engine();
        auto s = std::make_unique<SessionObject>();
        session = s.get();
        e.live.emplace(s.get(), HandleKind::Session);
        e.sessions.push_back(std::move(s));
        e.current = session;
    });
}

Status closeSession(SessionHandle& session) {
    return guarded([&] {
        SessionObject* s = check(session, HandleKind::Session);
        if (s->isDefault)
            fail(status::kInvalidParameter, "the default session cannot be closed");
        destroySession(s);
        session = nullptr;
    });
}

Status openAliasList(CursorHandle& cursor) {
    return guarded([&] {
        requireStarted();
        AliasTable table = AliasTable::load();
        std::size_t longest = 31;
        for (const auto& a : table.aliases())
            longest = std::max(longest, a.name.size());
        CursorObject* c = newCursor(nullptr, nullptr);
        c->fixed = true;
        ColumnInfo name;
        name.name = "NAME";
        name.type = ColumnType::Text;
        name.size = static_cast<int>(longest);
        ColumnInfo driver;
        driver.name = "DRIVER";
        driver.type = ColumnType::Text;
        driver.size = 31;
        c->columns = {name, driver};
        for (const auto& a : table.aliases())
            c->fixedRows.push_back({Value::text(a.name), Value::text(a.driverName)});
        cursor = c;
    });
}

Status openDatabase(const char* alias, const char* password,
                    const std::vector<OptionalParam>& params, DatabaseHandle& db) {
    return guarded([&] {
        requireStarted();
        db = nullptr;
        if (!alias || !*alias)
            fail(status::kInvalidParameter, "no alias");
        std::string user;
        for (const auto& p : params) {
            if (!platform::equalsNoCase(p.name, "USER NAME"))
                fail(status::kInvalidParameter,
                     "unknown parameter " + platform::ansiToUtf8(p.name));
            user = platform::ansiToUtf8(p.value);
        }
        AliasDefinition definition;
        auto conn = connectDatabase(toUtf8(alias), user, toUtf8(password), &definition);
        Engine& e = engine();
        auto* object = new DatabaseObject;
        object->session = e.current;
        object->conn = std::move(conn);
        object->aliasParams = std::move(definition.params);
        e.current->databases.push_back(object);
        e.live.emplace(object, HandleKind::Database);
        db = object;
    });
}

Status closeDatabase(DatabaseHandle& db) {
    return guarded([&] {
        destroyDatabase(check(db, HandleKind::Database));
        db = nullptr;
    });
}

Status setProperty(DatabaseHandle db, std::uint32_t property, std::int64_t value) {
    return guarded([&] {
        DatabaseObject* d = check(db, HandleKind::Database);
        if (property != kPropTransIsolation)
            fail(status::kNotSupported, "property " + std::to_string(property));
        if (value < 0 || value > 2)
            fail(status::kInvalidParameter, "isolation level " + std::to_string(value));
        d->conn->setIsolation(static_cast<Isolation>(value));
    });
}

Status openTable(DatabaseHandle db, const char* tableName, CursorHandle& cursor) {
    return guarded([&] {
        DatabaseObject* d = check(db, HandleKind::Database);
        cursor = nullptr;
        std::string name = toUtf8(tableName);
        auto ref = name.empty() ? std::nullopt : d->conn->findTable(name);
        if (!ref)
            fail(status::kNoSuchTable, name);
        TableInfo info = d->conn->describeTable(*ref);
        CursorObject* c = newCursor(d, nullptr);
        c->columns = std::move(info.columns);
        c->lazySql = "SELECT * FROM " + ref->sql;
        cursor = c;
    });
}

Status execDirect(DatabaseHandle db, const char* sql, CursorHandle* cursor) {
    return guarded([&] {
        if (cursor)
            *cursor = nullptr;
        DatabaseObject* d = check(db, HandleKind::Database);
        if (!sql)
            fail(status::kInvalidParameter, "no SQL text");
        deliver(d, nullptr, d->conn->query(toUtf8(sql)), nullptr, cursor);
    });
}

Status allocStatement(DatabaseHandle db, StatementHandle& stmt) {
    return guarded([&] {
        DatabaseObject* d = check(db, HandleKind::Database);
        auto* s = new StatementObject;
        s->db = d;
        d->statements.push_back(s);
        engine().live.emplace(s, HandleKind::Statement);
        stmt = s;
    });
}

Status prepare(StatementHandle stmt, const char* sql) {
    return guarded([&] {
        StatementObject* s = check(stmt, HandleKind::Statement);
        if (!sql)
            fail(status::kInvalidParameter, "no SQL text");
        for (CursorObject* c : std::vector<CursorObject*>(s->cursors))
            destroyCursor(c);
        s->prepared.reset();
        s->kind = StatementObject::Kind::Plain;
        s->sql = toUtf8(sql);
        s->bound.clear();
    });
}

Status prepareWithParams(StatementHandle stmt, const char* sql) {
    return guarded([&] {
        StatementObject* s = check(stmt, HandleKind::Statement);
        if (!sql)
            fail(status::kInvalidParameter, "no SQL text");
        for (CursorObject* c : std::vector<CursorObject*>(s->cursors))
            destroyCursor(c);
        s->kind = StatementObject::Kind::None;
        s->prepared.reset();
        s->prepared = s->db->conn->prepare(toUtf8(sql));
        s->kind = StatementObject::Kind::Params;
        s->bound.assign(static_cast<std::size_t>(s->prepared->parameterCount()), false);
    });
}

namespace {

Status bindValue(StatementHandle stmt, std::uint16_t number, const Value& value) {
    return guarded([&] {
        StatementObject* s = check(stmt, HandleKind::Statement);
        if (s->kind != StatementObject::Kind::Params)
            fail(status::kNotPrepared, "the statement has no parameter markers");
        if (number < 1 || number > s->bound.size())
            fail(status::kParameterCount,
                 "marker " + std::to_string(number) + " of " + std::to_string(s->bound.size()));
        s->prepared->bind(number - 1, value);
        s->bound[number - 1u] = true;
    });
}

} // namespace

Status bindText(StatementHandle stmt, std::uint16_t number, const char* value) {
    return bindValue(stmt, number, value ? Value::text(platform::ansiToUtf8(value)) : Value());
}

Status bindInteger(StatementHandle stmt, std::uint16_t number, std::int64_t value) {
    return bindValue(stmt, number, Value::integer(value));
}

Status bindNull(StatementHandle stmt, std::uint16_t number) {
    return bindValue(stmt, number, Value());
}

Status execute(StatementHandle stmt, CursorHandle* cursor) {
    return guarded([&] {
        if (cursor)
            *cursor = nullptr;
        StatementObject* s = check(stmt, HandleKind::Statement);
        s->rowsAffected = 0;
        switch (s->kind) {
        case StatementObject::Kind::None:
            fail(status::kNotPrepared);
        case StatementObject::Kind::Plain:
            deliver(s->db, s, s->db->conn->query(s->sql), nullptr, cursor);
            break;
        case StatementObject::Kind::Params: {
            for (std::size_t i = 0; i < s->bound.size(); ++i)
                if (!s->bound[i])
                    fail(status::kParameterCount,
                         "marker " + std::to_string(i + 1) + " is not bound");
            // A new execution ends the rows of the previous one.
            for (CursorObject* c : std::vector<CursorObject*>(s->cursors))
                destroyCursor(c);
            auto rows = s->prepared->execute();
            s->rowsAffected = s->prepared->rowsAffected();
            deliver(s->db, s, std::move(rows), s->prepared, cursor);
            break;
        }
        }
    });
}

namespace {

// A statement ready to run as a step of the driver, its earlier rows ended.
AtomicStep stepOf(DatabaseObject* d, StatementHandle stmt) {
    StatementObject* s = check(stmt, HandleKind::Statement);
    if (s->db != d)
        fail(status::kInvalidParameter, "a statement of another database");
    if (s->kind == StatementObject::Kind::None)
        fail(status::kNotPrepared);
    for (std::size_t i = 0; i < s->bound.size(); ++i)
        if (!s->bound[i])
            fail(status::kParameterCount, "marker " + std::to_string(i + 1) + " is not bound");
    AtomicStep step;
    if (s->kind == StatementObject::Kind::Plain)
        step.sql = s->sql;
    else
        step.prepared = s->prepared.get();
    return step;
}

// Ends the rows of the statements' previous executions.
void startExecution(const std::vector<StatementHandle>& statements) {
    for (StatementHandle stmt : statements) {
        for (CursorObject* c : std::vector<CursorObject*>(stmt->cursors))
            destroyCursor(c);
        stmt->rowsAffected = 0;
    }
}

void noteRowsAffected(const std::vector<StatementHandle>& statements) {
    for (StatementHandle stmt : statements)
        if (stmt->prepared)
            stmt->rowsAffected = stmt->prepared->rowsAffected();
}

} // namespace

Status executeAtomically(DatabaseHandle db, const std::vector<StatementHandle>& statements) {
    return guarded([&] {
        DatabaseObject* d = check(db, HandleKind::Database);
        if (statements.empty())
            fail(status::kInvalidParameter, "no statements");
        std::vector<AtomicStep> steps;
        steps.reserve(statements.size());
        for (StatementHandle stmt : statements)
            steps.push_back(stepOf(d, stmt));
        startExecution(statements);
        d->conn->runAtomically(steps);
        noteRowsAffected(statements);
    });
}

Status executeInSavepoint(DatabaseHandle db, StatementHandle stmt) {
    return guarded([&] {
        DatabaseObject* d = check(db, HandleKind::Database);
        const AtomicStep step = stepOf(d, stmt);
        startExecution({stmt});
        d->conn->runInSavepoint(step);
        noteRowsAffected({stmt});
    });
}

Status getRowsAffected(StatementHandle stmt, std::int64_t& rows) {
    return guarded([&] { rows = check(stmt, HandleKind::Statement)->rowsAffected; });
}

Status freeStatement(StatementHandle& stmt) {
    return guarded([&] {
        destroyStatement(check(stmt, HandleKind::Statement));
        stmt = nullptr;
    });
}

Status getCursorProps(CursorHandle cursor, CursorProps& props) {
    return guarded([&] {
        CursorObject* c = check(cursor, HandleKind::Cursor);
        props = CursorProps{};
        props.fieldCount = static_cast<std::uint16_t>(c->columns.size());
        for (std::size_t i = 0; i < c->columns.size(); ++i)
            props.recordSize +=
                describeField(c->columns[i], static_cast<std::uint16_t>(i + 1)).size;
    });
}

Status getFieldDescs(CursorHandle cursor, std::vector<FieldDesc>& descs) {
    return guarded([&] {
        CursorObject* c = check(cursor, HandleKind::Cursor);
        descs.clear();
        for (std::size_t i = 0; i < c->columns.size(); ++i)
            descs.push_back(describeField(c->columns[i], static_cast<std::uint16_t>(i + 1)));
    });
}

Status getNextRecord(CursorHandle cursor, Record& rec) {
    Status result = guarded([&] {
        CursorObject* c = check(cursor, HandleKind::Cursor);
        if (c->ended)
            fail(status::kEndOfData);
        if (c->fixed) {
            if (c->fixedNext >= c->fixedRows.size()) {
                c->ended = true;
                fail(status::kEndOfData);
            }
            rec.cursor = c;
            rec.values = c->fixedRows[c->fixedNext++];
            return;
        }
        if (!c->cursor && !c->lazySql.empty()) {
            c->cursor = c->db->conn->query(c->lazySql);
            c->lazySql.clear();
        }
        if (!c->cursor || !c->cursor->next()) {
            c->ended = true;
            c->cursor.reset();
            fail(status::kEndOfData);
        }
        rec.cursor = c;
        rec.values = c->cursor->row();
    });
    if (result == status::kEndOfData)
        g_lastError.clear(); // the end of data is no error to describe
    return result;
}

Status getField(CursorHandle cursor, std::uint16_t number, const Record& rec, std::string& text,
                bool& blank) {
    return guarded([&] {
        const Value& v = fieldOf(cursor, number, rec);
        blank = v.isNull();
        if (v.kind() == Value::Kind::Blob)
            text = v.asBytes();
        else
            text = platform::utf8ToAnsi(v.toText());
    });
}

Status getField(CursorHandle cursor, std::uint16_t number, const Record& rec, std::int64_t& value,
                bool& blank) {
    return guarded([&] {
        const Value& v = fieldOf(cursor, number, rec);
        blank = v.isNull();
        value = 0;
        switch (v.kind()) {
        case Value::Kind::Null:
            return;
        case Value::Kind::Integer:
            value = v.asInteger();
            return;
        case Value::Kind::Float: {
            double d = v.asFloat();
            if (std::trunc(d) == d && std::fabs(d) < 9.2e18) {
                value = static_cast<std::int64_t>(d);
                return;
            }
            break;
        }
        case Value::Kind::Text:
            if (parseInteger(v.asBytes(), value))
                return;
            value = 0;
            break;
        case Value::Kind::Blob:
            break;
        }
        fail(status::kConversion, "field " + std::to_string(number) + " is not a whole number");
    });
}

Status closeCursor(CursorHandle& cursor) {
    return guarded([&] {
        destroyCursor(check(cursor, HandleKind::Cursor));
        cursor = nullptr;
    });
}

Status beginTransaction(DatabaseHandle db) {
    return guarded([&] { check(db, HandleKind::Database)->conn->begin(); });
}

Status commitTransaction(DatabaseHandle db) {
    return guarded([&] { check(db, HandleKind::Database)->conn->commit(); });
}

Status rollbackTransaction(DatabaseHandle db) {
    return guarded([&] { check(db, HandleKind::Database)->conn->rollback(); });
}

Status inTransaction(DatabaseHandle db, bool& active) {
    return guarded([&] { active = check(db, HandleKind::Database)->conn->inTransaction(); });
}

Status supportsTransactionalDdl(DatabaseHandle db, bool& supported) {
    return guarded([&] { supported = check(db, HandleKind::Database)->conn->transactionalDdl(); });
}

Status isAlive(DatabaseHandle db, bool& alive) {
    return guarded([&] { alive = check(db, HandleKind::Database)->conn->alive(); });
}

Status enforcesColumnTypes(DatabaseHandle db, bool& enforced) {
    return guarded(
        [&] { enforced = check(db, HandleKind::Database)->conn->enforcesColumnTypes(); });
}

Status tryRunLock(DatabaseHandle db, bool& acquired, std::string& heldSince) {
    return guarded([&] {
        acquired = check(db, HandleKind::Database)->conn->tryLockRun(heldSince);
        heldSince = platform::utf8ToAnsi(heldSince);
    });
}

Status releaseRunLock(DatabaseHandle db) {
    return guarded([&] { check(db, HandleKind::Database)->conn->unlockRun(); });
}

Status getAliasParam(DatabaseHandle db, const char* name, std::string& value) {
    return guarded([&] {
        DatabaseObject* d = check(db, HandleKind::Database);
        if (!name)
            fail(status::kInvalidParameter, "no parameter name");
        value = platform::utf8ToAnsi(d->aliasParams.value(toUtf8(name)));
    });
}

Status getDriverName(DatabaseHandle db, std::string& driver) {
    return guarded([&] { driver = check(db, HandleKind::Database)->conn->driverName(); });
}

Status getSqlDialect(DatabaseHandle db, script::SqlDialect& dialect) {
    return guarded([&] { dialect = check(db, HandleKind::Database)->conn->sqlDialect(); });
}

Status getTransactionRefusalCodes(DatabaseHandle db, std::vector<std::int32_t>& codes) {
    return guarded(
        [&] { codes = check(db, HandleKind::Database)->conn->transactionRefusalCodes(); });
}

Status getErrorText(Status code, std::string& text) {
    std::string_view general = statusText(code);
    text = platform::utf8ToAnsi(general);
    return general.empty() && code != status::kOk ? status::kInvalidParameter : status::kOk;
}

Status getErrorEntry(std::uint16_t number, std::int32_t& nativeCode, std::string& text) {
    if (number < 1 || number > g_lastError.size()) {
        nativeCode = 0;
        text.clear();
        return status::kNoMoreErrors;
    }
    const EngineErrorEntry& e = g_lastError[number - 1u];
    nativeCode = e.nativeCode;
    text = platform::utf8ToAnsi(e.message);
    return e.code;
}

} // namespace vt::dbengine::dbi
