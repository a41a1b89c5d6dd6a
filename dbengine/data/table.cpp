// Table: the rows and columns of one table.
#include "dbengine/data/table.h"

#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/data/session.h"

namespace vt::dbengine {

Table::Table(Session& session) : DataSet(session) {}

Table::Table() : Table(Session::defaultSession()) {}

void Table::setTableName(std::string_view name) {
    close();
    m_tableName = std::string(name);
    invalidateDescription();
}

namespace {

TableRef find(Connection& conn, const std::string& name) {
    if (name.empty())
        throw vt::EDatabaseError("Table has no table name");
    auto ref = conn.findTable(name);
    if (!ref)
        throw EDBEngineError::engine(status::kNoSuchTable, name);
    return *ref;
}

} // namespace

bool Table::exists() {
    if (m_tableName.empty())
        return false;
    return connection().findTable(m_tableName).has_value();
}

std::optional<std::int64_t> Table::cheapRowCount() {
    Connection& conn = connection();
    auto cursor = conn.query("SELECT count(*) FROM " + find(conn, m_tableName).sql);
    if (cursor && cursor->next() && cursor->row().at(0).kind() == Value::Kind::Integer)
        return cursor->row()[0].asInteger();
    return std::nullopt;
}

std::string Table::selectSql(Connection& connection) {
    return "SELECT * FROM " + find(connection, m_tableName).sql;
}

std::vector<ColumnInfo> Table::describe(Connection& connection) {
    return connection.describeTable(find(connection, m_tableName)).columns;
}

} // namespace vt::dbengine
