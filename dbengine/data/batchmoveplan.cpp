// BatchMovePlan: matching mapping lines to columns, choosing the key, typing untyped columns.
#include "dbengine/data/batchmoveplan.h"

#include "dbengine/core/engineerror.h"
#include "platform/asciitext.h"

#include <algorithm>

namespace vt::dbengine {

namespace {

std::string trim(std::string_view t) {
    return std::string(platform::trim(t, " \t\n\v\f\r"));
}

int findColumn(const std::vector<ColumnInfo>& columns, std::string_view name) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (platform::equalsNoCase(columns[i].name, name))
            return static_cast<int>(i);
    return -1;
}

[[noreturn]] void mappingError(const std::string& text) {
    throw EDBEngineError::engine(status::kMappingError, text);
}

// One destination column and the source column that fills it.
struct Pair {
    std::string dest;
    int source = -1;
};

std::vector<Pair> parseMappings(const std::vector<std::string>& lines,
                                const std::vector<ColumnInfo>& sourceColumns) {
    std::vector<Pair> pairs;
    for (const auto& raw : lines) {
        std::string line = trim(raw);
        if (line.empty())
            continue;
        auto eq = line.find('=');
        std::string dest = trim(line.substr(0, eq));
        std::string src = eq == std::string::npos ? dest : trim(line.substr(eq + 1));
        if (dest.empty())
            mappingError("line \"" + line + "\" names no destination column");
        if (src.empty())
            mappingError("line \"" + line + "\" names no source column");
        int index = findColumn(sourceColumns, src);
        if (index < 0)
            mappingError("the source has no column " + src);
        pairs.push_back({dest, index});
    }
    return pairs;
}

void checkUnique(const std::vector<Pair>& pairs) {
    for (std::size_t i = 0; i < pairs.size(); ++i)
        for (std::size_t j = i + 1; j < pairs.size(); ++j)
            if (platform::equalsNoCase(pairs[i].dest, pairs[j].dest))
                mappingError("destination column " + pairs[i].dest + " is filled twice");
}

ColumnInfo inferType(const ColumnInfo& column, const Value& v) {
    ColumnInfo c = column;
    c.typeKnown = true;
    c.driverName.clear();
    c.declaredType.clear();
    c.size = 0;
    switch (v.kind()) {
    case Value::Kind::Integer:
        c.type = ColumnType::Integer;
        c.size = 8;
        break;
    case Value::Kind::Float:
        c.type = ColumnType::Float;
        c.size = 8;
        break;
    case Value::Kind::Blob:
        c.type = ColumnType::Blob;
        break;
    default:
        c.type = ColumnType::Text;
        break;
    }
    return c;
}

} // namespace

BatchMovePlan BatchMovePlan::make(const BatchMoveInput& in) {
    const bool copy = in.mode == BatchMode::Copy;
    if (!in.destination && !copy)
        throw EDBEngineError::engine(status::kNoSuchTable, in.destinationName);
    const TableInfo destInfo = in.destination.value_or(TableInfo{});
    const std::string& destName = in.destinationName;

    // Columns.
    std::vector<Pair> pairs = parseMappings(in.mappings, in.sourceColumns);
    if (pairs.empty()) {
        for (std::size_t i = 0; i < in.sourceColumns.size(); ++i)
            if (copy || findColumn(destInfo.columns, in.sourceColumns[i].name) >= 0)
                pairs.push_back({in.sourceColumns[i].name, static_cast<int>(i)});
        if (pairs.empty())
            mappingError("no source column matches a column of " + destName);
    }
    checkUnique(pairs);
    BatchMovePlan plan;
    for (const auto& p : pairs) {
        plan.m_sourceIndex.push_back(p.source);
        if (copy) {
            ColumnInfo c = in.sourceColumns[static_cast<std::size_t>(p.source)];
            c.name = p.dest;
            plan.m_columns.push_back(std::move(c));
        } else {
            int j = findColumn(destInfo.columns, p.dest);
            if (j < 0)
                mappingError(destName + " has no column " + p.dest);
            plan.m_columns.push_back(destInfo.columns[static_cast<std::size_t>(j)]);
        }
    }

    // Key.
    auto positions = [&](const std::vector<std::string>& names) {
        std::vector<int> out;
        for (const auto& n : names) {
            int p = findColumn(plan.m_columns, n);
            if (p < 0)
                return std::vector<int>{};
            out.push_back(p);
        }
        return out;
    };
    const bool needsKey = in.mode == BatchMode::Update || in.mode == BatchMode::AppendUpdate ||
                          in.mode == BatchMode::Delete;
    if (needsKey) {
        if (!destInfo.primaryKey.empty()) {
            for (const auto& k : destInfo.primaryKey)
                if (findColumn(plan.m_columns, k) < 0)
                    mappingError("key column " + k + " of " + destName + " is not mapped");
            plan.m_key = positions(destInfo.primaryKey);
        } else {
            for (const auto& unique : destInfo.uniqueKeys) {
                plan.m_key = positions(unique);
                if (!plan.m_key.empty())
                    break;
            }
            if (plan.m_key.empty() && !destInfo.uniqueKeys.empty())
                mappingError("no unique index of " + destName + " has all its columns mapped");
            if (plan.m_key.empty())
                throw EDBEngineError::engine(
                    status::kNoKey, destName + " (update and delete need a key to find rows)");
        }
    } else if (in.mode == BatchMode::Append) {
        plan.m_key = positions(destInfo.primaryKey); // only to name a failing row
    }

    // The source table's primary key travels with a copy when all its columns are mapped.
    if (copy) {
        for (const auto& k : in.sourceKey) {
            int s = findColumn(in.sourceColumns, k);
            auto it = std::find_if(pairs.begin(), pairs.end(),
                                   [&](const Pair& p) { return p.source == s; });
            if (s < 0 || it == pairs.end()) {
                plan.m_copyKey.clear();
                break;
            }
            plan.m_copyKey.push_back(it->dest);
        }
        plan.m_key = positions(plan.m_copyKey);
    }
    return plan;
}

std::vector<int> BatchMovePlan::nonKeyPositions() const {
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(m_columns.size()); ++i)
        if (std::find(m_key.begin(), m_key.end(), i) == m_key.end())
            out.push_back(i);
    return out;
}

bool BatchMovePlan::hasUntypedColumns() const {
    return std::any_of(m_columns.begin(), m_columns.end(),
                       [](const ColumnInfo& c) { return !c.typeKnown; });
}

void BatchMovePlan::typeUntypedColumns(const std::vector<Value>* firstRow) {
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (!m_columns[i].typeKnown)
            m_columns[i] = inferType(
                m_columns[i],
                firstRow ? (*firstRow)[static_cast<std::size_t>(m_sourceIndex[i])] : Value());
}

void BatchMovePlan::adoptCreatedTable(const TableInfo& created) {
    for (auto& c : m_columns) {
        int j = findColumn(created.columns, c.name);
        if (j >= 0)
            c = created.columns[static_cast<std::size_t>(j)];
    }
}

} // namespace vt::dbengine
