// BatchRowHandler: bulk insertion, update by key, update-or-insert and delete by key.
#include "dbengine/data/batchrowhandler.h"

#include "dbengine/core/driver.h"
#include "dbengine/data/batchmoveplan.h"
#include "dbengine/data/batchmovesql.h"

namespace vt::dbengine {

namespace {

// Whether a key value of the row is null: such a row matches nothing.
bool nullKey(const BatchMovePlan& plan, const std::vector<Value>& row) {
    for (int k : plan.keyPositions())
        if (row[static_cast<std::size_t>(k)].isNull())
            return true;
    return false;
}

// Binds the values at positions to the markers from first on; the next marker index.
int bindAt(Statement& statement, int first, const std::vector<int>& positions,
           const std::vector<Value>& row) {
    for (int p : positions)
        statement.bind(first++, row[static_cast<std::size_t>(p)]);
    return first;
}

// Append and copy: every row into a bulk insertion.
class AppendRows final : public BatchRowHandler {
public:
    AppendRows(Connection& destination, const TableRef& target, const BatchMovePlan& plan)
        : m_inserter(destination.bulkInserter(target, plan.columns())) {}

    void handle(const std::vector<Value>& row, BatchMoveResult& result) override {
        m_inserter->add(row);
        ++result.appended;
    }
    void finish() override { m_inserter->finish(); }
    std::int64_t failedRow() const override { return m_inserter->failedRow(); }

private:
    std::unique_ptr<BulkInserter> m_inserter;
};

// Update: the row with the same key takes the non-key values; rows without a match are counted.
class UpdateRows : public BatchRowHandler {
public:
    UpdateRows(Connection& destination, const BatchMovePlan& plan, const BatchMoveSql& sql)
        : m_plan(plan), m_set(plan.nonKeyPositions()), m_update(destination.prepare(sql.update())) {
    }

    void handle(const std::vector<Value>& row, BatchMoveResult& result) override {
        if (!updated(row, result))
            ++result.unmatched;
    }

protected:
    // Updates the row with the row's key; false when none matched (or the key is null).
    bool updated(const std::vector<Value>& row, BatchMoveResult& result) {
        if (nullKey(m_plan, row))
            return false;
        bindAt(*m_update, bindAt(*m_update, 0, m_set, row), m_plan.keyPositions(), row);
        m_update->execute();
        result.updated += m_update->rowsAffected();
        return m_update->rowsAffected() > 0;
    }

    const BatchMovePlan& m_plan;

private:
    std::vector<int> m_set;
    std::unique_ptr<Statement> m_update;
};

// Append-update: update the row with the same key, else insert the row.
class AppendUpdateRows final : public UpdateRows {
public:
    AppendUpdateRows(Connection& destination, const BatchMovePlan& plan, const BatchMoveSql& sql)
        : UpdateRows(destination, plan, sql), m_insert(destination.prepare(sql.insert())) {}

    void handle(const std::vector<Value>& row, BatchMoveResult& result) override {
        if (updated(row, result))
            return;
        for (std::size_t i = 0; i < row.size(); ++i)
            m_insert->bind(static_cast<int>(i), row[i]);
        m_insert->execute();
        ++result.appended;
    }

private:
    std::unique_ptr<Statement> m_insert;
};

// Delete: the row with the same key goes; rows without a match are counted.
class DeleteRows final : public BatchRowHandler {
public:
    DeleteRows(Connection& destination, const BatchMovePlan& plan, const BatchMoveSql& sql)
        : m_plan(plan), m_remove(destination.prepare(sql.remove())) {}

    void handle(const std::vector<Value>& row, BatchMoveResult& result) override {
        if (nullKey(m_plan, row)) {
            ++result.unmatched;
            return;
        }
        bindAt(*m_remove, 0, m_plan.keyPositions(), row);
        m_remove->execute();
        if (m_remove->rowsAffected() > 0)
            result.deleted += m_remove->rowsAffected();
        else
            ++result.unmatched;
    }

private:
    const BatchMovePlan& m_plan;
    std::unique_ptr<Statement> m_remove;
};

} // namespace

std::unique_ptr<BatchRowHandler> BatchRowHandler::create(BatchMode mode, Connection& destination,
                                                         const TableRef& target,
                                                         const BatchMovePlan& plan) {
    BatchMoveSql sql(destination, plan, target.sql);
    switch (mode) {
    case BatchMode::Update:
        return std::make_unique<UpdateRows>(destination, plan, sql);
    case BatchMode::AppendUpdate:
        return std::make_unique<AppendUpdateRows>(destination, plan, sql);
    case BatchMode::Delete:
        return std::make_unique<DeleteRows>(destination, plan, sql);
    case BatchMode::Append:
    case BatchMode::Copy:
        break;
    }
    return std::make_unique<AppendRows>(destination, target, plan);
}

} // namespace vt::dbengine
