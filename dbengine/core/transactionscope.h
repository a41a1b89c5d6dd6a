// TransactionScope: one unit of work on a connection that commits only when told to.
#pragma once

#include <string>

namespace vt::dbengine {

class Connection;

// Starts a transaction on a connection, or a savepoint when one is already open, and rolls it
// back on every way out except commit(): an exception, an early return, a cancelled run.
// Not copyable; the connection must outlive the scope.
class TransactionScope {
public:
    // Begins the unit; savepoint names it inside an open transaction. Raises EDBEngineError
    // when the connection cannot begin.
    TransactionScope(Connection& connection, std::string savepoint);
    ~TransactionScope();
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;

    // Makes the work permanent (releases the savepoint); raises EDBEngineError when the
    // connection refuses, leaving the scope to roll back.
    void commit();
    // Undoes the work now; does nothing after commit or a first rollback. Never raises: a
    // broken connection has dropped its transaction already.
    void rollback() noexcept;

private:
    Connection& m_connection;
    std::string m_savepoint;
    bool m_nested = false;
    bool m_open = true;
};

} // namespace vt::dbengine
