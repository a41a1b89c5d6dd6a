// BatchTransfer: database objects, lists, mapping proposal and the move on a worker thread.
#include "desktop/scripts/batchtransfer.h"

#include "dbengine/core/engineerror.h"
#include "dbengine/data/batchmove.h"
#include "dbengine/data/database.h"
#include "dbengine/data/query.h"
#include "dbengine/data/session.h"
#include "dbengine/data/table.h"
#include "desktop/scripts/scripttexts.h"

#include <algorithm>

namespace vt::desktop {

namespace {

QStringList toList(const std::vector<std::string>& names) {
    QStringList out;
    for (const auto& n : names)
        out << QString::fromStdString(n);
    return out;
}

void sortNoCase(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

} // namespace

BatchTransfer::BatchTransfer(dbengine::Session& session, QObject* parent)
    : QObject(parent), m_session(session), m_source(std::make_unique<dbengine::Database>(session)),
      m_destination(std::make_unique<dbengine::Database>(session)) {
    qRegisterMetaType<BatchTransferOutcome>();
    m_source->setDatabaseName("SourceDB");
    m_destination->setDatabaseName("DestinationDB");
    m_destination->setTransIsolation(dbengine::Database::TransIsolation::DirtyRead);
}

BatchTransfer::~BatchTransfer() {
    m_cancel = true;
    collect(false);
    m_source->close();
    m_destination->close();
}

QStringList BatchTransfer::operationNames() {
    QStringList out;
    for (std::string_view name : texts::kBatchOperations)
        out << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return out;
}

dbengine::BatchMode BatchTransfer::operationMode(int operation) {
    using dbengine::BatchMode;
    static constexpr BatchMode kModes[] = {BatchMode::Append, BatchMode::Update,
                                           BatchMode::AppendUpdate, BatchMode::Copy,
                                           BatchMode::Delete};
    return operation >= 0 && operation < 5 ? kModes[operation] : BatchMode::Append;
}

int BatchTransfer::indexOfName(const QStringList& names, const QString& name) {
    for (qsizetype i = 0; i < names.size(); ++i)
        if (QString::compare(names[i], name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

QStringList BatchTransfer::proposeMapping(const QStringList& destinationColumns,
                                          const QStringList& sourceColumns) {
    QStringList lines;
    for (const QString& dest : destinationColumns) {
        int s = indexOfName(sourceColumns, dest);
        lines << dest + "=" + (s >= 0 ? sourceColumns[s] : QString());
    }
    return lines;
}

QStringList BatchTransfer::aliasNames() const {
    QStringList names = toList(m_session.aliasNames());
    sortNoCase(names);
    return names;
}

dbengine::Database& BatchTransfer::database(Side side) const {
    return side == Side::Source ? *m_source : *m_destination;
}

bool BatchTransfer::connected(Side side) const {
    return database(side).connected();
}

QString BatchTransfer::connectedAlias(Side side) const {
    return connected(side) ? QString::fromStdString(database(side).aliasName()) : QString();
}

QStringList BatchTransfer::tableNames(Side side) const {
    if (!connected(side))
        return {};
    QStringList names = toList(
        m_session.tableNames(database(side).databaseName(), "", side == Side::Source, false));
    sortNoCase(names);
    return names;
}

void BatchTransfer::closeDatabases() {
    if (running()) {
        m_cancel = true;
        collect(true);
    }
    m_source->close();
    m_destination->close();
    m_clearEnabled = false;
}

std::unique_ptr<dbengine::DataSet> BatchTransfer::makeSource() const {
    if (m_sourceIsQuery) {
        auto query = std::make_unique<dbengine::Query>(m_session);
        query->setDatabaseName(m_source->databaseName());
        query->setSql(m_queryText.toStdString());
        return query;
    }
    auto table = std::make_unique<dbengine::Table>(m_session);
    table->setDatabaseName(m_source->databaseName());
    table->setTableName(m_sourceTable.toStdString());
    return table;
}

QStringList BatchTransfer::proposeMapping() const {
    dbengine::Table destination(m_session);
    destination.setDatabaseName(m_destination->databaseName());
    destination.setTableName(m_destinationTable.toStdString());
    const QStringList destColumns = toList(destination.columnNames());
    std::unique_ptr<dbengine::DataSet> source = makeSource();
    if (auto* query = dynamic_cast<dbengine::Query*>(source.get()))
        query->prepare();
    return proposeMapping(destColumns, toList(source->columnNames()));
}

bool BatchTransfer::executeEnabled() const {
    return connected(Side::Source) && connected(Side::Destination) && !running();
}

bool BatchTransfer::start(int operation, const QStringList& mappings) {
    if (!executeEnabled())
        return false;
    m_moveSource = makeSource();
    m_moveDestination = std::make_unique<dbengine::Table>(m_session);
    m_moveDestination->setDatabaseName(m_destination->databaseName());
    m_moveDestination->setTableName(m_destinationTable.toStdString());
    auto move = std::make_shared<dbengine::BatchMove>();
    move->setMode(operationMode(operation));
    std::vector<std::string> lines;
    for (const QString& line : mappings)
        lines.push_back(line.toStdString());
    move->setMappings(std::move(lines));
    move->setSource(m_moveSource.get());
    move->setDestination(m_moveDestination.get());
    move->setCancelFlag(&m_cancel);
    move->setProgressHandler([this](const dbengine::BatchProgress& p) {
        QMetaObject::invokeMethod(
            this,
            [this, done = p.done, total = p.total] {
                if (running())
                    Q_EMIT progress(done, total);
            },
            Qt::QueuedConnection);
        return true;
    });
    m_cancel = false;
    m_outcome = {};
    m_worker = std::thread([this, move] {
        try {
            move->execute();
            m_outcome.counts = move->result();
        } catch (const dbengine::EDBEngineError& e) {
            m_outcome.kind = e.errorCode() == dbengine::status::kCancelled
                                 ? BatchTransferOutcome::Kind::Cancelled
                                 : BatchTransferOutcome::Kind::Failed;
            m_outcome.error = std::current_exception();
        } catch (...) {
            m_outcome.kind = BatchTransferOutcome::Kind::Failed;
            m_outcome.error = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this, [this] { collect(true); }, Qt::QueuedConnection);
    });
    return true;
}

void BatchTransfer::collect(bool report) {
    if (!m_worker.joinable())
        return;
    m_worker.join();
    m_moveSource.reset();
    m_moveDestination.reset();
    if (report)
        Q_EMIT finished(m_outcome);
}

} // namespace vt::desktop
