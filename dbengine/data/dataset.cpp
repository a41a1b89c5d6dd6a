// DataSet: resolving the database, describing columns and streaming rows.
#include "dbengine/data/dataset.h"

#include "dbengine/core/aliases.h"
#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/core/sqldriverhelp.h"
#include "dbengine/data/database.h"
#include "dbengine/data/session.h"

namespace vt::dbengine {

DataSet::DataSet(Session& session) : m_session(&session) {}

DataSet::~DataSet() {
    close();
}

void DataSet::setDatabaseName(std::string_view name) {
    close();
    m_databaseName = std::string(name);
    m_private.reset();
    invalidateDescription();
}

void DataSet::invalidateDescription() {
    m_columns.reset();
}

Database& DataSet::database() {
    if (m_databaseName.empty())
        throw vt::EDatabaseError("Dataset has no database name");
    if (Database* db = m_session->findDatabase(m_databaseName))
        return *db;
    if (!m_private) {
        if (!AliasTable::directPath(m_databaseName) && !m_session->isAlias(m_databaseName))
            throw EDBEngineError::engine(status::kUnknownAlias, m_databaseName);
        m_private = std::make_unique<Database>(*m_session);
        m_private->setAliasName(m_databaseName);
        m_private->setLoginPrompt(false);
    }
    return *m_private;
}

Connection& DataSet::connection() {
    if (m_override)
        return *m_override;
    Database& db = database();
    if (!db.connected())
        db.open();
    return db.connection();
}

void DataSet::setConnectionOverride(Connection* connection) {
    if (connection != m_override) {
        close();
        m_override = connection;
    }
}

void DataSet::open() {
    if (m_cursor)
        return;
    Connection& conn = connection();
    columns();
    auto cursor = conn.query(selectSql(conn));
    if (!cursor)
        throw EDBEngineError::engine(status::kInvalidParameter, "the statement returns no rows");
    m_cursor = std::move(cursor);
    m_rowNumber = 0;
}

void DataSet::close() {
    m_cursor.reset();
    m_rowNumber = 0;
}

const std::vector<ColumnInfo>& DataSet::columns() {
    if (!m_columns)
        m_columns = describe(connection());
    return *m_columns;
}

std::vector<std::string> DataSet::columnNames() {
    std::vector<std::string> names;
    for (const auto& c : columns())
        names.push_back(c.name);
    return names;
}

bool DataSet::next() {
    if (!m_cursor)
        throw vt::EDatabaseError("Cannot perform this operation on a closed dataset");
    if (!m_cursor->next())
        return false;
    ++m_rowNumber;
    return true;
}

const std::vector<Value>& DataSet::row() const {
    if (!m_cursor)
        throw vt::EDatabaseError("Cannot perform this operation on a closed dataset");
    return m_cursor->row();
}

std::optional<std::int64_t> DataSet::cheapRowCount() {
    return std::nullopt;
}

} // namespace vt::dbengine
