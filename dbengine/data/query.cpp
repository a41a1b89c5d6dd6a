// Query: the rows and columns of one SQL select.
#include "dbengine/data/query.h"

#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/data/session.h"

namespace vt::dbengine {

Query::Query(Session& session) : DataSet(session) {}

Query::Query() : Query(Session::defaultSession()) {}

void Query::setSql(std::string_view sql) {
    close();
    m_sql = std::string(sql);
    m_prepared = false;
    invalidateDescription();
}

void Query::prepare() {
    if (m_prepared)
        return;
    invalidateDescription();
    columns();
    m_prepared = true;
}

void Query::unprepare() {
    close();
    m_prepared = false;
    invalidateDescription();
}

std::string Query::selectSql(Connection&) {
    if (m_sql.find_first_not_of(" \t\r\n") == std::string::npos)
        throw vt::EDatabaseError("Query has no SQL text");
    return m_sql;
}

std::vector<ColumnInfo> Query::describe(Connection& connection) {
    auto columns = connection.describeQuery(selectSql(connection));
    if (columns.empty())
        throw EDBEngineError::engine(status::kInvalidParameter, "the statement returns no rows");
    return columns;
}

} // namespace vt::dbengine
