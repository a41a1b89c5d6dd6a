// BatchMove: moves the rows of a source dataset into a destination table in one of five modes.
//
// How a move works:
//  - Columns. Each mapping line "DEST=SOURCE" names a destination column and the source column
//    that fills it ("NAME" alone means NAME=NAME); names are matched without regard to case.
//    Without mapping lines, every source column fills the destination column of the same name;
//    source columns the destination lacks are left out, and a move in which no column matches
//    is refused. A line naming an unknown column, a line without a source ("NAME=") and two
//    lines for one destination column are refused (kMappingError) before anything changes.
//  - Keys. Update, append-update and delete find destination rows by the destination's primary
//    key, or, without one, its first unique index whose columns are all mapped. A destination
//    without either is refused for these modes (kNoKey), as is a mapping that leaves a key
//    column out. Source rows whose key is null match nothing.
//  - Modes. Append inserts every source row. Update changes the mapped non-key columns of the
//    destination row with the same key; source rows without a match are skipped (counted as
//    unmatched). Append-update updates the matching row or inserts a new one. Delete removes the
//    destination row with the same key (unmatched rows counted). Copy creates the destination
//    table, replacing an existing one, with the mapped columns and the source's types (carried
//    over between drivers: same driver keeps the declared type; across drivers the nearest type,
//    see ColumnType), the source table's primary key when all its columns are mapped, then
//    appends every row.
//  - Types. Each value is converted explicitly to its destination column's type: integers
//    from integers, integral doubles and text holding a whole number; doubles from numbers and
//    numeric text; text from any value (numbers in decimal); booleans from 0/1 and from
//    true/false/t/f/yes/no/y/n/on/off; blobs from blobs and text. Any other value stops the move
//    with kConversion naming the row and column. Dates and times are passed as text and checked
//    by the destination server.
//  - Atomicity. The move runs in one transaction on the destination (a savepoint inside an
//    already open transaction): it completes, or changes nothing, copy's replacement included.
//    The error then holds an entry (native code 0) naming the source row number that failed
//    (from 1) and its key values when known, before the driver's own entry.
//  - Source and destination must not be the same table (kSameTable). When both are tables of
//    the same SQLite file, the source is read through the destination's connection.
//  - Progress. The progress handler is called every kProgressStep rows and once at the end with
//    the rows done and the total when cheaply known (a table source), else -1. Returning false
//    cancels the move (kCancelled; nothing is changed).
//  - Memory stays flat: rows stream from the source and go to the destination as they come
//    (PostgreSQL destinations: COPY FROM STDIN for appends and copies).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vt::dbengine {

class DataSet;
class Table;

// The five modes, in the data-access layer's numbering.
enum class BatchMode { Append = 0, Update = 1, AppendUpdate = 2, Delete = 3, Copy = 4 };

// Progress of a running move.
struct BatchProgress {
    std::int64_t done = 0;   // source rows processed
    std::int64_t total = -1; // source rows in all, or -1 when not known
};

// Counts of a finished move.
struct BatchMoveResult {
    std::int64_t rowsRead = 0;  // source rows read
    std::int64_t appended = 0;  // rows inserted
    std::int64_t updated = 0;   // rows updated
    std::int64_t deleted = 0;   // rows deleted
    std::int64_t unmatched = 0; // rows of update or delete that matched no destination row
};

// A batch move from a source dataset to a destination table (see the top of this file).
class BatchMove {
public:
    static constexpr std::int64_t kProgressStep = 10000;

    using ProgressHandler = std::function<bool(const BatchProgress&)>;

    BatchMove() = default;

    BatchMode mode() const { return m_mode; }
    void setMode(BatchMode mode) { m_mode = mode; }
    // The source (not owned; a Table or Query, open or closed).
    DataSet* source() const { return m_source; }
    void setSource(DataSet* source) { m_source = source; }
    // The destination table (not owned; its database and table name are used).
    Table* destination() const { return m_destination; }
    void setDestination(Table* destination) { m_destination = destination; }
    // The mapping lines "DEST=SOURCE"; empty lines are ignored; no lines: match by name.
    const std::vector<std::string>& mappings() const { return m_mappings; }
    void setMappings(std::vector<std::string> lines) { m_mappings = std::move(lines); }
    void setProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }

    // Runs the move. The source is opened (and closed afterwards when it was closed); the
    // destination's database must be connected or be openable by name. Raises EDBEngineError
    // or EDatabaseError (no source or destination).
    void execute();
    // Counts of the last successful execute.
    const BatchMoveResult& result() const { return m_result; }
    // Rows appended, updated or deleted by the last successful execute.
    std::int64_t movedCount() const;

private:
    BatchMode m_mode = BatchMode::Append;
    DataSet* m_source = nullptr;
    Table* m_destination = nullptr;
    std::vector<std::string> m_mappings;
    ProgressHandler m_progress;
    BatchMoveResult m_result;
};

} // namespace vt::dbengine
