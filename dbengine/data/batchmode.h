// BatchMode and the counts of a batch move, shared by the move and its parts.
#pragma once

#include <cstdint>

namespace vt::dbengine {

// The five modes, in the data-access layer's numbering.
enum class BatchMode { Append = 0, Update = 1, AppendUpdate = 2, Delete = 3, Copy = 4 };

// Counts of a finished move.
struct BatchMoveResult {
    std::int64_t rowsRead = 0;  // source rows read
    std::int64_t appended = 0;  // rows inserted
    std::int64_t updated = 0;   // rows updated
    std::int64_t deleted = 0;   // rows deleted
    std::int64_t unmatched = 0; // rows of update or delete that matched no destination row
};

} // namespace vt::dbengine
