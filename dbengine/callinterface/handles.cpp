// The bookkeeping of the call interface's handles.
#include "dbengine/callinterface/handles.h"

namespace vt::dbengine::dbi {

Engine& engine() {
    static Engine e;
    return e;
}

[[noreturn]] void fail(Status code, std::string detail) {
    throw CallFailure{code, std::move(detail)};
}

void requireStarted() {
    if (engine().initCount == 0)
        fail(status::kNotInitialized);
}

void destroyCursor(CursorObject* c) {
    Engine& e = engine();
    e.live.erase(c);
    if (c->db)
        std::erase(c->db->cursors, c);
    if (c->statement)
        std::erase(c->statement->cursors, c);
    delete c;
}

void destroyStatement(StatementObject* s) {
    for (CursorObject* c : std::vector<CursorObject*>(s->cursors))
        destroyCursor(c);
    engine().live.erase(s);
    std::erase(s->db->statements, s);
    delete s;
}

void destroyDatabase(DatabaseObject* db) {
    for (CursorObject* c : std::vector<CursorObject*>(db->cursors))
        destroyCursor(c);
    for (StatementObject* s : std::vector<StatementObject*>(db->statements))
        destroyStatement(s);
    engine().live.erase(db);
    std::erase(db->session->databases, db);
    delete db; // the connection's destructor rolls back an open transaction
}

void destroySession(SessionObject* s) {
    for (DatabaseObject* db : std::vector<DatabaseObject*>(s->databases))
        destroyDatabase(db);
    Engine& e = engine();
    e.live.erase(s);
    if (e.current == s)
        e.current = e.sessions.empty() ? nullptr : e.sessions.front().get();
    std::erase_if(e.sessions, [&](const auto& p) { return p.get() == s; });
}

CursorObject* newCursor(DatabaseObject* db, StatementObject* stmt) {
    auto* c = new CursorObject;
    c->db = db;
    c->statement = stmt;
    if (db)
        db->cursors.push_back(c);
    if (stmt)
        stmt->cursors.push_back(c);
    engine().live.emplace(c, HandleKind::Cursor);
    return c;
}

} // namespace vt::dbengine::dbi
