// The driver registry and the parts of Connection common to every driver.
#include "dbengine/driver.h"

#include "dbengine/engineerror.h"
#include "dbengine/pgdriver.h"
#include "dbengine/sqlitedriver.h"

#include <strings.h>

namespace vt::dbengine {

std::string Connection::quoteIdentifier(std::string_view name) const {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void Connection::execute(std::string_view sql) {
    auto cursor = query(sql);
    if (cursor)
        while (cursor->next()) {
        }
}

void Connection::runAtomically(const std::vector<AtomicStep>& steps) {
    begin();
    try {
        for (const AtomicStep& step : steps) {
            auto rows = step.prepared ? step.prepared->execute() : query(step.sql);
            if (rows)
                while (rows->next()) {
                }
        }
        commit();
    } catch (...) {
        if (inTransaction()) {
            try {
                rollback();
            } catch (const EDBEngineError&) {
                // The first error is the one to report.
            }
        }
        throw;
    }
}

void Connection::attachChild(ConnectionChild* child) {
    m_children.push_back(child);
}

void Connection::detachChild(ConnectionChild* child) {
    std::erase(m_children, child);
}

void Connection::closeChildren() {
    auto children = std::move(m_children);
    m_children.clear();
    for (ConnectionChild* child : children)
        child->connectionClosing();
}

const Driver* findDriver(std::string_view name) {
    static const SqliteDriver sqlite;
    static const PgDriver pg;
    static const Driver* const drivers[] = {&sqlite, &pg};
    for (const Driver* d : drivers) {
        std::string n = d->name();
        if (n.size() == name.size() && strncasecmp(n.data(), name.data(), n.size()) == 0)
            return d;
    }
    return nullptr;
}

std::unique_ptr<Connection> connectDatabase(std::string_view aliasOrPath, const std::string& user,
                                            const std::string& password) {
    AliasDefinition def = AliasTable::load().resolve(aliasOrPath);
    const Driver* driver = findDriver(def.driverName);
    if (!driver)
        throw EDBEngineError::engine(status::kUnknownDriver,
                                     def.driverName + " (alias " + def.name + ")");
    std::string effectiveUser = user.empty() ? def.params.value("USER NAME") : user;
    return driver->connect(def, effectiveUser, password);
}

} // namespace vt::dbengine
