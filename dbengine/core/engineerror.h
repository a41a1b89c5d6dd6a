// EDBEngineError: the one normalised error of the database engine, with its ordered entries.
#pragma once

#include "dbengine/core/status.h"
#include "platform/exception.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vt::dbengine {

// One entry of an engine error.
struct EngineErrorEntry {
    std::uint16_t code = 0;      // engine status code: category in the high byte, sub-code low
    std::int32_t nativeCode = 0; // the server's own code (SQLite: extended result code;
                                 // PostgreSQL: nativeCodeFromSqlState); 0 for engine failures
    std::string message;         // UTF-8 text; for server errors the server's text

    bool operator==(const EngineErrorEntry&) const = default;
};

// Raised by every failing operation of the engine's data-access layer and its drivers.
//
// Entries run from the general to the specific: an engine-side context entry (native code 0,
// for example the batch-move row that failed) comes before the server's own entry, so the last
// entry carries the server's message. A server-reported error always has a non-zero native code;
// a failure of the engine itself (unknown alias, connection refused) has native code 0.
// The exception's message (what()) is the entries' messages joined by line feeds; all texts are
// UTF-8.
class EDBEngineError : public vt::EDatabaseError {
public:
    // An error with the given entries (at least one is expected; an empty list gets one entry of
    // kInternal).
    explicit EDBEngineError(std::vector<EngineErrorEntry> entries);
    // An error with one entry.
    EDBEngineError(Status code, std::int32_t nativeCode, std::string message);
    // An engine failure with one entry of the code and its general text, followed by detail.
    static EDBEngineError engine(Status code, std::string detail = {});

    const char* className() const noexcept override { return "EDBEngineError"; }

    // The entries in order.
    const std::vector<EngineErrorEntry>& entries() const noexcept { return m_entries; }
    // The code of the first entry: the status the engine's call interface returns for it.
    Status errorCode() const noexcept { return m_entries.front().code; }
    // The first non-zero native code among the entries, or 0.
    std::int32_t nativeCode() const noexcept;
    // A copy with one more entry placed before the existing ones (context of a failure).
    EDBEngineError withContext(Status code, std::string message) const;

private:
    std::vector<EngineErrorEntry> m_entries;
};

} // namespace vt::dbengine
