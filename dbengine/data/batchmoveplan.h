// BatchMovePlan: the columns and key of a batch move, worked out from the mapping lines and the
// structure of both tables before any row moves (no database needed).
#pragma once

#include "dbengine/core/columninfo.h"
#include "dbengine/core/driver.h"
#include "dbengine/core/value.h"
#include "dbengine/data/batchmode.h"

#include <optional>
#include <string>
#include <vector>

namespace vt::dbengine {

// What the planning of a move starts from.
struct BatchMoveInput {
    BatchMode mode = BatchMode::Append;
    std::vector<std::string> mappings;     // "DEST=SOURCE" lines; empty: match by name
    std::vector<ColumnInfo> sourceColumns; // the source's columns, in row order
    std::vector<std::string> sourceKey;    // the source table's primary key (copy only)
    std::string destinationName;           // the destination table as the user named it
    std::optional<TableInfo> destination;  // the existing destination table, if any
};

// The destination columns of a move, the source column that fills each, and the key that finds
// destination rows (see batchmove.h for the rules).
class BatchMovePlan {
public:
    // Plans a move; raises EDBEngineError (kMappingError, kNoKey, kNoSuchTable) for a move that
    // cannot run.
    static BatchMovePlan make(const BatchMoveInput& input);

    // The destination columns, in insertion order.
    const std::vector<ColumnInfo>& columns() const { return m_columns; }
    // For each destination column, the index of the source column that fills it.
    const std::vector<int>& sourceIndex() const { return m_sourceIndex; }
    // Positions (in columns()) of the key that finds destination rows; for append and copy, of
    // the key that only names a failing row; may be empty.
    const std::vector<int>& keyPositions() const { return m_key; }
    // Positions of the columns outside the key, in column order.
    std::vector<int> nonKeyPositions() const;
    // The primary key a copy gives its new table (destination column names); may be empty.
    const std::vector<std::string>& copyKey() const { return m_copyKey; }

    // Whether a column has no known type (SQLite expression columns).
    bool hasUntypedColumns() const;
    // Gives each untyped column the type of its value in the first source row (nullptr when the
    // source is empty: text).
    void typeUntypedColumns(const std::vector<Value>* firstRow);
    // Takes the column descriptions of the table a copy has just created.
    void adoptCreatedTable(const TableInfo& created);

private:
    std::vector<ColumnInfo> m_columns;
    std::vector<int> m_sourceIndex;
    std::vector<int> m_key;
    std::vector<std::string> m_copyKey;
};

} // namespace vt::dbengine
