// BatchMoveSql: CREATE, INSERT, UPDATE and DELETE text of a batch move.
#include "dbengine/data/batchmovesql.h"

#include "dbengine/core/driver.h"

namespace vt::dbengine {

BatchMoveSql::BatchMoveSql(const Connection& destination, const BatchMovePlan& plan,
                           std::string target)
    : m_destination(destination), m_plan(plan), m_target(std::move(target)) {}

std::string BatchMoveSql::quoteNewTable(const Connection& destination, const std::string& name) {
    auto dot = name.find('.');
    if (dot == std::string::npos)
        return destination.quoteIdentifier(name);
    return destination.quoteIdentifier(name.substr(0, dot)) + "." +
           destination.quoteIdentifier(name.substr(dot + 1));
}

std::string BatchMoveSql::quote(std::size_t position) const {
    return m_destination.quoteIdentifier(m_plan.columns()[position].name);
}

std::string BatchMoveSql::whereKey() const {
    std::string where;
    const auto& key = m_plan.keyPositions();
    for (std::size_t k = 0; k < key.size(); ++k)
        where += (k ? " AND " : " WHERE ") + quote(static_cast<std::size_t>(key[k])) + " = ?";
    return where;
}

std::string BatchMoveSql::createTable() const {
    const auto& columns = m_plan.columns();
    std::string ddl = "CREATE TABLE " + m_target + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        ddl += (i ? ", " : "") + quote(i);
        std::string type = m_destination.columnTypeSql(columns[i]);
        if (!type.empty())
            ddl += " " + type;
        if (columns[i].notNull)
            ddl += " NOT NULL";
    }
    const auto& key = m_plan.copyKey();
    if (!key.empty()) {
        ddl += ", PRIMARY KEY (";
        for (std::size_t i = 0; i < key.size(); ++i)
            ddl += (i ? ", " : "") + m_destination.quoteIdentifier(key[i]);
        ddl += ")";
    }
    return ddl + ")";
}

std::string BatchMoveSql::update() const {
    std::string sql = "UPDATE " + m_target + " SET ";
    const std::vector<int> set = m_plan.nonKeyPositions();
    if (set.empty()) {
        std::string k = quote(static_cast<std::size_t>(m_plan.keyPositions().at(0)));
        sql += k + " = " + k;
    }
    for (std::size_t i = 0; i < set.size(); ++i)
        sql += (i ? ", " : "") + quote(static_cast<std::size_t>(set[i])) + " = ?";
    return sql + whereKey();
}

std::string BatchMoveSql::insert() const {
    std::string sql = "INSERT INTO " + m_target + " (";
    std::string marks;
    for (std::size_t i = 0; i < m_plan.columns().size(); ++i) {
        sql += (i ? ", " : "") + quote(i);
        marks += i ? ", ?" : "?";
    }
    return sql + ") VALUES (" + marks + ")";
}

std::string BatchMoveSql::remove() const {
    return "DELETE FROM " + m_target + whereKey();
}

} // namespace vt::dbengine
