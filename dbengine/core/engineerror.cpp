// EDBEngineError: entries and message.
#include "dbengine/core/engineerror.h"

namespace vt::dbengine {

namespace {

std::vector<EngineErrorEntry> nonEmpty(std::vector<EngineErrorEntry> entries) {
    if (entries.empty())
        entries.push_back({status::kInternal, 0, std::string(statusText(status::kInternal))});
    return entries;
}

std::string joinMessages(const std::vector<EngineErrorEntry>& entries) {
    std::string text;
    for (const auto& e : entries) {
        if (!text.empty())
            text += '\n';
        text += e.message;
    }
    return text;
}

} // namespace

EDBEngineError::EDBEngineError(std::vector<EngineErrorEntry> entries)
    : vt::EDatabaseError(std::string()), m_entries(nonEmpty(std::move(entries))) {
    setMessage(joinMessages(m_entries));
}

EDBEngineError::EDBEngineError(Status code, std::int32_t nativeCode, std::string message)
    : EDBEngineError(std::vector<EngineErrorEntry>{{code, nativeCode, std::move(message)}}) {}

EDBEngineError EDBEngineError::engine(Status code, std::string detail) {
    std::string text(statusText(code));
    if (!detail.empty())
        text = text.empty() ? std::move(detail) : text + ": " + detail;
    return EDBEngineError(code, 0, std::move(text));
}

std::int32_t EDBEngineError::nativeCode() const noexcept {
    for (const auto& e : m_entries)
        if (e.nativeCode != 0)
            return e.nativeCode;
    return 0;
}

EDBEngineError EDBEngineError::withContext(Status code, std::string message) const {
    std::vector<EngineErrorEntry> entries;
    entries.reserve(m_entries.size() + 1);
    entries.push_back({code, 0, std::move(message)});
    entries.insert(entries.end(), m_entries.begin(), m_entries.end());
    return EDBEngineError(std::move(entries));
}

} // namespace vt::dbengine
