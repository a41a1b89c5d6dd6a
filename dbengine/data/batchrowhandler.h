// BatchRowHandler: what a batch move does with each converted row, one kind per mode.
#pragma once

#include "dbengine/core/value.h"
#include "dbengine/data/batchmode.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vt::dbengine {

class BatchMovePlan;
class Connection;
struct TableRef;

// Writes the rows of a move into its destination table. Rows come converted to the plan's
// columns, in column order. A handler lives inside the move's transaction and is dropped before
// the transaction ends.
class BatchRowHandler {
public:
    // The handler of a mode: append and copy insert every row (in bulk), update changes the
    // row with the same key, append-update updates or inserts, delete removes by key. The
    // statements are prepared here; plan and connection must outlive the handler.
    static std::unique_ptr<BatchRowHandler> create(BatchMode mode, Connection& destination,
                                                   const TableRef& target,
                                                   const BatchMovePlan& plan);
    virtual ~BatchRowHandler() = default;

    // Writes one row and counts it in result.
    virtual void handle(const std::vector<Value>& row, BatchMoveResult& result) = 0;
    // Sends what is still buffered.
    virtual void finish() {}
    // After a failure: the number (from 1, in the order handed over) of the row the server
    // rejected, or 0 when it cannot be told (the failing row is then the last one handed over).
    virtual std::int64_t failedRow() const { return 0; }
};

} // namespace vt::dbengine
