// BatchMoveSql: the SQL statements of a batch move on its destination connection.
#pragma once

#include "dbengine/data/batchmoveplan.h"

#include <string>

namespace vt::dbengine {

class Connection;

// Builds the statements of a planned move into one table, quoted for the destination's driver.
// Update and delete find rows by the plan's key, in key order after the SET values.
class BatchMoveSql {
public:
    // target is the table's name quoted for SQL (TableRef::sql).
    BatchMoveSql(const Connection& destination, const BatchMovePlan& plan, std::string target);

    // A name typed by the user, quoted for a table still to be created: "schema"."table" when it
    // holds a dot.
    static std::string quoteNewTable(const Connection& destination, const std::string& name);

    // CREATE TABLE with the plan's columns, their types in the destination's dialect, NOT NULL
    // where declared and the copy key as primary key.
    std::string createTable() const;
    // UPDATE of the non-key columns (the key set to itself when all columns are key) by key.
    std::string update() const;
    // INSERT of all columns.
    std::string insert() const;
    // DELETE by key.
    std::string remove() const;

private:
    std::string quote(std::size_t position) const;
    std::string whereKey() const;

    const Connection& m_destination;
    const BatchMovePlan& m_plan;
    std::string m_target;
};

} // namespace vt::dbengine
