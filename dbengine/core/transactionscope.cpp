// TransactionScope: begin or savepoint, commit or release, rollback on the way out.
#include "dbengine/core/transactionscope.h"

#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"

namespace vt::dbengine {

TransactionScope::TransactionScope(Connection& connection, std::string savepoint)
    : m_connection(connection), m_savepoint(std::move(savepoint)),
      m_nested(connection.inTransaction()) {
    if (m_nested)
        m_connection.execute("SAVEPOINT " + m_savepoint);
    else
        m_connection.begin();
}

TransactionScope::~TransactionScope() {
    rollback();
}

void TransactionScope::commit() {
    if (!m_open)
        throw EDBEngineError::engine(status::kTransactionState, "the unit of work has ended");
    if (m_nested)
        m_connection.execute("RELEASE SAVEPOINT " + m_savepoint);
    else
        m_connection.commit();
    m_open = false;
}

void TransactionScope::rollback() noexcept {
    if (!m_open)
        return;
    m_open = false;
    try {
        if (m_nested) {
            m_connection.execute("ROLLBACK TO SAVEPOINT " + m_savepoint);
            m_connection.execute("RELEASE SAVEPOINT " + m_savepoint);
        } else if (m_connection.inTransaction()) {
            m_connection.rollback();
        }
    } catch (const std::exception&) {
        // A broken connection has dropped the transaction with it.
    }
}

} // namespace vt::dbengine
