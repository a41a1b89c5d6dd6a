// Table: a dataset over all rows of one table.
#pragma once

#include "dbengine/data/dataset.h"

namespace vt::dbengine {

// All rows of a named table (the name is matched as the driver matches unquoted names;
// "schema.table" for PostgreSQL).
class Table : public DataSet {
public:
    explicit Table(Session& session);
    Table(); // in the default session

    const std::string& tableName() const { return m_tableName; }
    // Sets the table name; closes the table first.
    void setTableName(std::string_view name);

    // Whether the table exists in the database.
    bool exists();
    // The row count (a count query, cheap next to moving the rows).
    std::optional<std::int64_t> cheapRowCount() override;

protected:
    std::string selectSql(Connection& connection) override;
    std::vector<ColumnInfo> describe(Connection& connection) override;

private:
    std::string m_tableName;
};

} // namespace vt::dbengine
