// BatchMove: planning the columns and key of a move, then streaming rows in one transaction.
#include "dbengine/data/batchmove.h"

#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/core/sqldriverhelp.h"
#include "dbengine/core/valueconvert.h"
#include "dbengine/data/dataset.h"
#include "dbengine/data/table.h"

#include <optional>

namespace vt::dbengine {

namespace {

std::string trim(std::string_view t) {
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front())))
        t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back())))
        t.remove_suffix(1);
    return std::string(t);
}

int findColumn(const std::vector<ColumnInfo>& columns, std::string_view name) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (sqlhelp::sameNoCase(columns[i].name, name))
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
            if (sqlhelp::sameNoCase(pairs[i].dest, pairs[j].dest))
                mappingError("destination column " + pairs[i].dest + " is filled twice");
}

// The table name quoted for SQL: "schema"."table" when it holds a dot.
std::string quoteNewTable(const Connection& conn, const std::string& name) {
    auto dot = name.find('.');
    if (dot == std::string::npos)
        return conn.quoteIdentifier(name);
    return conn.quoteIdentifier(name.substr(0, dot)) + "." +
           conn.quoteIdentifier(name.substr(dot + 1));
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

// Restores the source's own connection however the move ends.
struct OverrideGuard {
    DataSet* source;
    bool wasActive;
    ~OverrideGuard() {
        if (!wasActive)
            source->close();
        source->setConnectionOverride(nullptr);
    }
};

} // namespace

std::int64_t BatchMove::movedCount() const {
    return m_result.appended + m_result.updated + m_result.deleted;
}

void BatchMove::execute() {
    m_result = {};
    if (!m_source)
        throw vt::EDatabaseError("Batch move has no source");
    if (!m_destination)
        throw vt::EDatabaseError("Batch move has no destination table");
    const std::string destName = m_destination->tableName();
    if (destName.empty())
        throw vt::EDatabaseError("Batch move destination has no table name");

    Connection& dst = m_destination->connection();
    OverrideGuard guard{m_source, m_source->active()};
    m_source->close();
    Connection& own = m_source->connection();
    // Two connections to one SQLite file would lock each other out: read through the writer's.
    if (&own != &dst && own.driverName() == "STANDARD" && dst.driverName() == "STANDARD" &&
        own.identity() == dst.identity())
        m_source->setConnectionOverride(&dst);
    Connection& src = m_source->connection();
    const bool sameDatabase = src.identity() == dst.identity();

    const std::vector<ColumnInfo> sourceColumns = m_source->columns();
    std::optional<TableRef> destRef = dst.findTable(destName);
    if (!destRef && m_mode != BatchMode::Copy)
        throw EDBEngineError::engine(status::kNoSuchTable, destName);
    TableInfo destInfo;
    if (destRef)
        destInfo = dst.describeTable(*destRef);

    auto* sourceTable = dynamic_cast<Table*>(m_source);
    std::optional<TableRef> sourceRef;
    if (sourceTable)
        sourceRef = src.findTable(sourceTable->tableName());
    if (sameDatabase && destRef && sourceRef && sourceRef->sql == destRef->sql)
        throw EDBEngineError::engine(status::kSameTable, destRef->name);

    // Columns.
    std::vector<Pair> pairs = parseMappings(m_mappings, sourceColumns);
    if (pairs.empty()) {
        for (std::size_t i = 0; i < sourceColumns.size(); ++i)
            if (m_mode == BatchMode::Copy ||
                findColumn(destInfo.columns, sourceColumns[i].name) >= 0)
                pairs.push_back({sourceColumns[i].name, static_cast<int>(i)});
        if (pairs.empty())
            mappingError("no source column matches a column of " + destName);
    }
    checkUnique(pairs);
    std::vector<ColumnInfo> destColumns;
    for (const auto& p : pairs) {
        if (m_mode == BatchMode::Copy) {
            ColumnInfo c = sourceColumns[static_cast<std::size_t>(p.source)];
            c.name = p.dest;
            destColumns.push_back(std::move(c));
        } else {
            int j = findColumn(destInfo.columns, p.dest);
            if (j < 0)
                mappingError(destName + " has no column " + p.dest);
            destColumns.push_back(destInfo.columns[static_cast<std::size_t>(j)]);
        }
    }
    auto position = [&](std::string_view destColumn) {
        return findColumn(destColumns, destColumn);
    };

    // Key.
    std::vector<int> keyPos;
    auto allMapped = [&](const std::vector<std::string>& names) {
        for (const auto& n : names)
            if (position(n) < 0)
                return false;
        return !names.empty();
    };
    auto positions = [&](const std::vector<std::string>& names) {
        std::vector<int> out;
        for (const auto& n : names)
            out.push_back(position(n));
        return out;
    };
    const bool needsKey = m_mode == BatchMode::Update || m_mode == BatchMode::AppendUpdate ||
                          m_mode == BatchMode::Delete;
    if (needsKey) {
        if (!destInfo.primaryKey.empty()) {
            for (const auto& k : destInfo.primaryKey)
                if (position(k) < 0)
                    mappingError("key column " + k + " of " + destName + " is not mapped");
            keyPos = positions(destInfo.primaryKey);
        } else {
            for (const auto& unique : destInfo.uniqueKeys)
                if (allMapped(unique)) {
                    keyPos = positions(unique);
                    break;
                }
            if (keyPos.empty() && !destInfo.uniqueKeys.empty())
                mappingError("no unique index of " + destName + " has all its columns mapped");
            if (keyPos.empty())
                throw EDBEngineError::engine(
                    status::kNoKey, destName + " (update and delete need a key to find rows)");
        }
    } else if (m_mode == BatchMode::Append && allMapped(destInfo.primaryKey)) {
        keyPos = positions(destInfo.primaryKey); // only to name a failing row
    }

    // The source table's primary key travels with a copy when all its columns are mapped.
    std::vector<std::string> copyKey;
    if (m_mode == BatchMode::Copy && sourceRef) {
        for (const auto& k : src.describeTable(*sourceRef).primaryKey) {
            int s = findColumn(sourceColumns, k);
            auto it = std::find_if(pairs.begin(), pairs.end(),
                                   [&](const Pair& p) { return p.source == s; });
            if (it == pairs.end()) {
                copyKey.clear();
                break;
            }
            copyKey.push_back(it->dest);
        }
    }

    std::optional<std::int64_t> total = m_source->cheapRowCount();
    m_source->open();

    // Columns of unknown type (SQLite expressions) take the type of their first value, except in
    // SQLite, where an untyped column keeps each value as it comes.
    std::optional<bool> peeked;
    if (m_mode == BatchMode::Copy && dst.driverName() != "STANDARD") {
        bool unknown = false;
        for (const auto& c : destColumns)
            unknown = unknown || !c.typeKnown;
        if (unknown) {
            peeked = m_source->next();
            for (std::size_t i = 0; i < destColumns.size(); ++i)
                if (!destColumns[i].typeKnown)
                    destColumns[i] = inferType(
                        destColumns[i],
                        *peeked ? m_source->row()[static_cast<std::size_t>(pairs[i].source)]
                                : Value());
        }
    }

    const bool outer = dst.inTransaction();
    if (outer)
        dst.execute("SAVEPOINT vt_batch_move");
    else
        dst.begin();

    std::unique_ptr<BulkInserter> inserter;
    std::unique_ptr<Statement> update, insert, remove;
    std::vector<Value> row(destColumns.size());
    std::int64_t done = 0;
    bool rowKnown = false; // row holds the values of source row done
    BatchMoveResult result;
    auto report = [&] {
        if (m_progress && !m_progress(BatchProgress{done, total.value_or(-1)}))
            throw EDBEngineError::engine(status::kCancelled,
                                         "after " + std::to_string(done) + " rows");
    };

    try {
        TableRef target = destRef.value_or(TableRef{destName, quoteNewTable(dst, destName)});
        if (m_mode == BatchMode::Copy) {
            if (destRef)
                dst.execute("DROP TABLE " + destRef->sql);
            std::string ddl = "CREATE TABLE " + target.sql + " (";
            for (std::size_t i = 0; i < destColumns.size(); ++i) {
                ddl += (i ? ", " : "") + dst.quoteIdentifier(destColumns[i].name);
                std::string type = dst.columnTypeSql(destColumns[i]);
                if (!type.empty())
                    ddl += " " + type;
                if (destColumns[i].notNull)
                    ddl += " NOT NULL";
            }
            if (!copyKey.empty()) {
                ddl += ", PRIMARY KEY (";
                for (std::size_t i = 0; i < copyKey.size(); ++i)
                    ddl += (i ? ", " : "") + dst.quoteIdentifier(copyKey[i]);
                ddl += ")";
            }
            ddl += ")";
            dst.execute(ddl);
            auto created = dst.findTable(destName);
            if (!created)
                throw EDBEngineError::engine(status::kNoSuchTable, destName + " after creating it");
            target = *created;
            TableInfo info = dst.describeTable(target);
            for (auto& c : destColumns) {
                int j = findColumn(info.columns, c.name);
                if (j >= 0)
                    c = info.columns[static_cast<std::size_t>(j)];
            }
            if (!copyKey.empty())
                keyPos = positions(copyKey);
        }

        std::string where;
        for (std::size_t k = 0; k < keyPos.size(); ++k)
            where += (k ? " AND " : " WHERE ") +
                     dst.quoteIdentifier(destColumns[static_cast<std::size_t>(keyPos[k])].name) +
                     " = ?";
        std::vector<int> setPos;
        for (int i = 0; i < static_cast<int>(destColumns.size()); ++i)
            if (std::find(keyPos.begin(), keyPos.end(), i) == keyPos.end())
                setPos.push_back(i);
        if (m_mode == BatchMode::Append || m_mode == BatchMode::Copy) {
            inserter = dst.bulkInserter(target, destColumns);
        }
        if (m_mode == BatchMode::Update || m_mode == BatchMode::AppendUpdate) {
            std::string sql = "UPDATE " + target.sql + " SET ";
            if (setPos.empty()) {
                std::string k =
                    dst.quoteIdentifier(destColumns[static_cast<std::size_t>(keyPos[0])].name);
                sql += k + " = " + k;
            }
            for (std::size_t i = 0; i < setPos.size(); ++i)
                sql += (i ? ", " : "") +
                       dst.quoteIdentifier(destColumns[static_cast<std::size_t>(setPos[i])].name) +
                       " = ?";
            update = dst.prepare(sql + where);
        }
        if (m_mode == BatchMode::AppendUpdate) {
            std::string sql = "INSERT INTO " + target.sql + " (";
            std::string marks;
            for (std::size_t i = 0; i < destColumns.size(); ++i) {
                sql += (i ? ", " : "") + dst.quoteIdentifier(destColumns[i].name);
                marks += i ? ", ?" : "?";
            }
            insert = dst.prepare(sql + ") VALUES (" + marks + ")");
        }
        if (m_mode == BatchMode::Delete)
            remove = dst.prepare("DELETE FROM " + target.sql + where);

        auto nullKey = [&] {
            for (int k : keyPos)
                if (row[static_cast<std::size_t>(k)].isNull())
                    return true;
            return false;
        };
        std::string reason;
        while (peeked ? *peeked : m_source->next()) {
            peeked.reset();
            rowKnown = false;
            ++done;
            const std::vector<Value>& in = m_source->row();
            for (std::size_t i = 0; i < destColumns.size(); ++i) {
                if (!convertValue(in[static_cast<std::size_t>(pairs[i].source)], destColumns[i],
                                  row[i], reason))
                    throw EDBEngineError::engine(status::kConversion,
                                                 "column " + destColumns[i].name + ": " + reason);
            }
            rowKnown = true;
            switch (m_mode) {
            case BatchMode::Append:
            case BatchMode::Copy:
                inserter->add(row);
                ++result.appended;
                break;
            case BatchMode::Update:
            case BatchMode::AppendUpdate: {
                if (nullKey()) {
                    if (m_mode == BatchMode::Update) {
                        ++result.unmatched;
                        break;
                    }
                } else {
                    int n = 0;
                    for (int p : setPos)
                        update->bind(n++, row[static_cast<std::size_t>(p)]);
                    for (int k : keyPos)
                        update->bind(n++, row[static_cast<std::size_t>(k)]);
                    update->execute();
                    if (update->rowsAffected() > 0) {
                        result.updated += update->rowsAffected();
                        break;
                    }
                    if (m_mode == BatchMode::Update) {
                        ++result.unmatched;
                        break;
                    }
                }
                for (std::size_t i = 0; i < row.size(); ++i)
                    insert->bind(static_cast<int>(i), row[i]);
                insert->execute();
                ++result.appended;
                break;
            }
            case BatchMode::Delete: {
                if (nullKey()) {
                    ++result.unmatched;
                    break;
                }
                int n = 0;
                for (int k : keyPos)
                    remove->bind(n++, row[static_cast<std::size_t>(k)]);
                remove->execute();
                if (remove->rowsAffected() > 0)
                    result.deleted += remove->rowsAffected();
                else
                    ++result.unmatched;
                break;
            }
            }
            if (done % kProgressStep == 0)
                report();
        }
        rowKnown = false;
        if (inserter)
            inserter->finish();
        report();
        m_source->close();
        update.reset();
        insert.reset();
        remove.reset();
        if (outer)
            dst.execute("RELEASE SAVEPOINT vt_batch_move");
        else
            dst.commit();
    } catch (const EDBEngineError& e) {
        std::int64_t failed = done;
        if (inserter && inserter->failedRow() > 0 && inserter->failedRow() != done) {
            failed = inserter->failedRow(); // a buffered row, whose values are gone
            rowKnown = false;
        }
        inserter.reset();
        update.reset();
        insert.reset();
        remove.reset();
        m_source->close();
        try {
            if (outer) {
                dst.execute("ROLLBACK TO SAVEPOINT vt_batch_move");
                dst.execute("RELEASE SAVEPOINT vt_batch_move");
            } else if (dst.inTransaction()) {
                dst.rollback();
            }
        } catch (const EDBEngineError&) {
            // A broken connection has dropped the transaction with it.
        }
        std::string where = failed > 0 ? " at source row " + std::to_string(failed) : std::string();
        if (rowKnown && !keyPos.empty()) {
            where += " (";
            for (std::size_t k = 0; k < keyPos.size(); ++k) {
                const auto i = static_cast<std::size_t>(keyPos[k]);
                where += (k ? ", " : "") + destColumns[i].name + "=" + row[i].toText();
            }
            where += ")";
        }
        throw e.withContext(e.errorCode(), "Batch move into " + destName + " failed" + where +
                                               "; nothing was changed");
    }
    result.rowsRead = done;
    m_result = result;
}

} // namespace vt::dbengine
