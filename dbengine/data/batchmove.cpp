// BatchMove: planning a move, then streaming its rows through a row handler in one transaction.
#include "dbengine/data/batchmove.h"

#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/core/transactionscope.h"
#include "dbengine/core/valueconvert.h"
#include "dbengine/data/batchmoveplan.h"
#include "dbengine/data/batchmovesql.h"
#include "dbengine/data/batchrowhandler.h"
#include "dbengine/data/dataset.h"
#include "dbengine/data/table.h"
#include "platform/asciitext.h"

#include <optional>

namespace vt::dbengine {

namespace {

// Restores the source's own connection however the move ends.
struct OverrideGuard {
    DataSet* source;
    bool wasActive;
    ~OverrideGuard() {
        if (!wasActive)
            source->close();
        source->setConnectionOverride(nullptr);
    }
};

// " (KEY=value, ...)" of a converted row, or nothing without a key.
std::string keyText(const BatchMovePlan& plan, const std::vector<Value>& row) {
    std::string text;
    const auto& key = plan.keyPositions();
    for (std::size_t k = 0; k < key.size(); ++k) {
        const auto i = static_cast<std::size_t>(key[k]);
        text += (k ? ", " : " (") + plan.columns()[i].name + "=" + row[i].toText();
    }
    return key.empty() ? text : text + ")";
}

} // namespace

std::int64_t BatchMove::movedCount() const {
    return m_result.appended + m_result.updated + m_result.deleted;
}

void BatchMove::execute() {
    m_result = {};
    if (!m_source)
        throw vt::EDatabaseError("Batch move has no source");
    if (!m_destination)
        throw vt::EDatabaseError("Batch move has no destination table");
    const std::string destName = m_destination->tableName();
    if (destName.empty())
        throw vt::EDatabaseError("Batch move destination has no table name");

    Connection& dst = m_destination->connection();
    OverrideGuard guard{m_source, m_source->active()};
    m_source->close();
    Connection& own = m_source->connection();
    // Two connections that lock each other out: read through the writer's.
    if (&own != &dst && dst.connectionsExcludeEachOther() && own.identity() == dst.identity())
        m_source->setConnectionOverride(&dst);
    Connection& src = m_source->connection();

    BatchMoveInput input;
    input.mode = m_mode;
    input.mappings = m_mappings;
    input.sourceColumns = m_source->columns();
    input.destinationName = destName;
    std::optional<TableRef> destRef = dst.findTable(destName);
    if (destRef)
        input.destination = dst.describeTable(*destRef);
    std::optional<TableRef> sourceRef;
    if (auto* sourceTable = dynamic_cast<Table*>(m_source))
        sourceRef = src.findTable(sourceTable->tableName());
    if (destRef && sourceRef && sourceRef->sql == destRef->sql && src.identity() == dst.identity())
        throw EDBEngineError::engine(status::kSameTable, destRef->name);
    if (m_mode == BatchMode::Copy && sourceRef)
        input.sourceKey = src.describeTable(*sourceRef).primaryKey;
    BatchMovePlan plan = BatchMovePlan::make(input);

    std::optional<std::int64_t> total = m_source->cheapRowCount();
    m_source->open();

    // Columns of unknown type (SQLite expressions) take the type of their first value, except
    // where an untyped column keeps each value as it comes.
    std::optional<bool> peeked;
    if (m_mode == BatchMode::Copy && !dst.keepsUntypedValues() && plan.hasUntypedColumns()) {
        peeked = m_source->next();
        plan.typeUntypedColumns(*peeked ? &m_source->row() : nullptr);
    }

    std::vector<Value> row(plan.columns().size());
    std::int64_t done = 0;
    bool rowKnown = false; // row holds the values of source row done
    BatchMoveResult result;
    auto report = [&] {
        if (m_progress && !m_progress(BatchProgress{done, total.value_or(-1)}))
            throw EDBEngineError::engine(status::kCancelled);
    };
    auto checkCancel = [this] {
        if (m_cancel && m_cancel->load(std::memory_order_relaxed))
            throw EDBEngineError::engine(status::kCancelled);
    };

    TransactionScope transaction(dst, "vt_batch_move");
    std::unique_ptr<BatchRowHandler> handler;
    try {
        TableRef target =
            destRef.value_or(TableRef{destName, BatchMoveSql::quoteNewTable(dst, destName)});
        if (m_mode == BatchMode::Copy) {
            if (destRef)
                dst.execute("DROP TABLE " + destRef->sql);
            dst.execute(BatchMoveSql(dst, plan, target.sql).createTable());
            auto created = dst.findTable(destName);
            if (!created)
                throw EDBEngineError::engine(status::kNoSuchTable, destName + " after creating it");
            target = *created;
            plan.adoptCreatedTable(dst.describeTable(target));
        }
        handler = BatchRowHandler::create(m_mode, dst, target, plan);

        const auto& sourceIndex = plan.sourceIndex();
        const auto& columns = plan.columns();
        std::string reason;
        while (peeked ? *peeked : m_source->next()) {
            peeked.reset();
            checkCancel();
            rowKnown = false;
            ++done;
            const std::vector<Value>& in = m_source->row();
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (!convertValue(in[static_cast<std::size_t>(sourceIndex[i])], columns[i], row[i],
                                  reason))
                    throw EDBEngineError::engine(status::kConversion,
                                                 "column " + columns[i].name + ": " + reason);
            }
            rowKnown = true;
            handler->handle(row, result);
            if (done % kProgressStep == 0)
                report();
        }
        rowKnown = false;
        handler->finish();
        checkCancel(); // a cancel during the last rows still wins over the commit
        report();
        m_source->close();
        handler.reset();
        transaction.commit();
    } catch (const EDBEngineError& e) {
        std::int64_t failed = done;
        if (handler && handler->failedRow() > 0 && handler->failedRow() != done) {
            failed = handler->failedRow(); // a buffered row, whose values are gone
            rowKnown = false;
        }
        handler.reset();
        m_source->close();
        transaction.rollback();
        if (e.errorCode() == status::kCancelled)
            throw e.withContext(e.errorCode(), "Batch move into " + destName + " cancelled after " +
                                                   std::to_string(done) +
                                                   " rows; nothing was changed");
        std::string where = failed > 0 ? " at source row " + std::to_string(failed) : std::string();
        if (rowKnown)
            where += keyText(plan, row);
        throw e.withContext(e.errorCode(), "Batch move into " + destName + " failed" + where +
                                               "; nothing was changed");
    }
    result.rowsRead = done;
    m_result = result;
}

} // namespace vt::dbengine
