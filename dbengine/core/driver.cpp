// The parts of Connection common to every driver.
#include "dbengine/core/driver.h"

#include "dbengine/core/engineerror.h"

namespace vt::dbengine {

std::string Connection::quoteIdentifier(std::string_view name) const {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void Connection::execute(std::string_view sql) {
    auto cursor = query(sql);
    if (cursor)
        while (cursor->next()) {
        }
}

void Connection::runAtomically(const std::vector<AtomicStep>& steps) {
    begin();
    try {
        for (const AtomicStep& step : steps) {
            auto rows = step.prepared ? step.prepared->execute() : query(step.sql);
            if (rows)
                while (rows->next()) {
                }
        }
        commit();
    } catch (...) {
        if (inTransaction()) {
            try {
                rollback();
            } catch (const EDBEngineError&) {
                // The first error is the one to report.
            }
        }
        throw;
    }
}

void Connection::runInSavepoint(const AtomicStep& step) {
    if (!inTransaction())
        throw EDBEngineError::engine(status::kTransactionState, "no transaction is active");
    execute(kSavepointSql);
    try {
        auto rows = step.prepared ? step.prepared->execute() : query(step.sql);
        if (rows)
            while (rows->next()) {
            }
    } catch (...) {
        undoSavepoint();
        throw;
    }
    execute(kReleaseSql);
}

void Connection::undoSavepoint() {
    if (!inTransaction())
        return; // the failure ended the transaction
    try {
        execute(kUndoSql);
    } catch (const EDBEngineError&) {
        // The step's own error is the one to report; the caller sees the transaction's state.
    }
}

void Connection::attachChild(ConnectionChild* child) {
    m_children.push_back(child);
}

void Connection::detachChild(ConnectionChild* child) {
    std::erase(m_children, child);
}

void Connection::closeChildren() {
    auto children = std::move(m_children);
    m_children.clear();
    for (ConnectionChild* child : children)
        child->connectionClosing();
}

} // namespace vt::dbengine
