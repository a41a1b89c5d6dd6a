// Query: a dataset over the rows of an SQL select.
#pragma once

#include "dbengine/data/dataset.h"

namespace vt::dbengine {

// The rows of one SQL statement that returns rows (a select), typed by the user.
class Query : public DataSet {
public:
    explicit Query(Session& session);
    Query(); // in the default session

    const std::string& sql() const { return m_sql; }
    // Sets the SQL text; closes and unprepares the query first.
    void setSql(std::string_view sql);

    // Has the server check the text and describe its columns without running it. Raises
    // EDBEngineError for SQL errors, and kInvalidParameter for a text that holds more than one
    // statement or returns no rows.
    void prepare();
    // Forgets the preparation.
    void unprepare();
    bool prepared() const { return m_prepared; }

protected:
    std::string selectSql(Connection& connection) override;
    std::vector<ColumnInfo> describe(Connection& connection) override;

private:
    std::string m_sql;
    bool m_prepared = false;
};

} // namespace vt::dbengine
