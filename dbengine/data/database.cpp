// Database: opening and closing a named connection of a session.
#include "dbengine/data/database.h"

#include "dbengine/core/aliases.h"
#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/core/sqldriverhelp.h"
#include "dbengine/data/session.h"
#include "dbengine/drivers/drivers.h"

namespace vt::dbengine {

namespace {

Isolation toDriver(Database::TransIsolation level) {
    switch (level) {
    case Database::TransIsolation::DirtyRead:
        return Isolation::DirtyRead;
    case Database::TransIsolation::RepeatableRead:
        return Isolation::RepeatableRead;
    default:
        return Isolation::ReadCommitted;
    }
}

} // namespace

Database::Database(Session& session) : m_session(&session) {
    session.addDatabase(this);
}

Database::Database() : Database(Session::defaultSession()) {}

Database::~Database() {
    close();
    m_session->removeDatabase(this);
}

void Database::setDatabaseName(std::string_view name) {
    if (connected())
        throw vt::EDatabaseError("Cannot change the name of the connected database " +
                                 m_databaseName);
    m_databaseName = std::string(name);
}

void Database::setAliasName(std::string_view alias) {
    if (connected())
        throw vt::EDatabaseError("Cannot change the alias of the connected database " +
                                 m_databaseName);
    m_aliasName = std::string(alias);
}

void Database::setTransIsolation(TransIsolation level) {
    m_isolation = level;
    if (m_connection)
        m_connection->setIsolation(toDriver(level));
}

void Database::open() {
    if (m_connection)
        return;
    if (m_aliasName.empty())
        throw vt::EDatabaseError("Database " + m_databaseName + ": no alias name");
    if (!m_databaseName.empty()) {
        for (Database* other : m_session->connectedDatabases())
            if (other != this && sqlhelp::sameNoCase(other->databaseName(), m_databaseName))
                throw vt::EDatabaseError("Duplicate database name '" + m_databaseName + "'");
    }
    ParamList login = m_params;
    if (m_loginPrompt && m_loginHandler) {
        if (!m_loginHandler(*this, login))
            throw vt::EDatabaseError("Login to " + m_aliasName + " cancelled");
        m_params = login;
    }
    auto conn = connectDatabase(m_aliasName, login.value("USER NAME"), login.value("PASSWORD"));
    if (m_isolation != TransIsolation::ReadCommitted)
        conn->setIsolation(toDriver(m_isolation));
    m_connection = std::move(conn);
}

void Database::close() {
    m_connection.reset();
}

bool Database::isSqlBased() const {
    return findDriver(driverName()) != nullptr;
}

std::string Database::driverName() const {
    if (m_connection)
        return m_connection->driverName();
    return AliasTable::load().resolve(m_aliasName).driverName;
}

void Database::execute(std::string_view sql) {
    connection().execute(sql);
}

void Database::startTransaction() {
    connection().begin();
}

void Database::commit() {
    connection().commit();
}

void Database::rollback() {
    connection().rollback();
}

bool Database::inTransaction() const {
    return m_connection && m_connection->inTransaction();
}

Connection& Database::connection() const {
    if (!m_connection)
        throw vt::EDatabaseError("Database " +
                                 (m_databaseName.empty() ? m_aliasName : m_databaseName) +
                                 " is not connected");
    return *m_connection;
}

} // namespace vt::dbengine
