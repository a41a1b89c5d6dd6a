// BatchTransfer: what the data transfer window decides and does, without a window: the two
// database objects, table lists, the mapping proposal, the enabling of its buttons and the move
// on a worker thread that Cancel can stop.
#pragma once

#include "dbengine/data/batchmode.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

namespace vt::dbengine {
class DataSet;
class Database;
class Session;
class Table;
} // namespace vt::dbengine

namespace vt::desktop {

// How a move ended.
struct BatchTransferOutcome {
    enum class Kind { Done, Cancelled, Failed };
    Kind kind = Kind::Done;
    dbengine::BatchMoveResult counts; // of a move that was done
    std::exception_ptr error;         // of a failed move: the engine's error
};

// The transfer's state and work. Threading: every function is called on the thread that made
// the object; while a move runs, the database objects belong to the worker, and functions that
// would touch them (table lists, mapping proposal, logins through database(), another move)
// must not be called: running() says so, and the window disables its controls. progress and
// finished are delivered on the object's thread.
class BatchTransfer : public QObject {
    Q_OBJECT
public:
    enum class Side { Source, Destination };

    // The two database objects "SourceDB" and "DestinationDB" (dirty read) of the session,
    // which must outlive the object.
    explicit BatchTransfer(dbengine::Session& session, QObject* parent = nullptr);
    // Cancels a running move and waits for its rollback; closes both databases.
    ~BatchTransfer() override;

    // The texts of the operations, in list order.
    static QStringList operationNames();
    // The batch-move mode of an operation (index 3 is copy, 4 delete); append for an index
    // outside the list.
    static dbengine::BatchMode operationMode(int operation);
    // Mapping lines "DEST=Source" for each destination column, with the source column of the
    // same name in any letter case, or "DEST=" when the source has none.
    static QStringList proposeMapping(const QStringList& destinationColumns,
                                      const QStringList& sourceColumns);
    // The index of the name in names without regard to letter case, or -1.
    static int indexOfName(const QStringList& names, const QString& name);

    // The session's alias names, sorted without regard to case.
    QStringList aliasNames() const;
    // The database object of a side, for the login component to open.
    dbengine::Database& database(Side side) const;
    bool connected(Side side) const;
    // The alias of a connected side, else empty.
    QString connectedAlias(Side side) const;
    // The table names of a connected side, sorted without regard to case, system tables left out.
    QStringList tableNames(Side side) const;
    // Closes both databases (a running move is cancelled first and rolled back).
    void closeDatabases();

    // The source: a table of the source database, or the rows of a query typed by the user.
    void setSourceIsQuery(bool query) { m_sourceIsQuery = query; }
    bool sourceIsQuery() const { return m_sourceIsQuery; }
    void setSourceTable(const QString& name) { m_sourceTable = name; }
    void setQueryText(const QString& sql) { m_queryText = sql; }
    // The destination table: an existing one, or a new name for the copy operation.
    void setDestinationTable(const QString& name) { m_destinationTable = name; }

    // Proposes the mapping lines for the destination table from the current source (see the
    // static overload). Raises the engine's error when a table or the query cannot be read.
    QStringList proposeMapping() const;

    // The buttons' states. Execute and the mapping proposal need both databases and no move
    // under way; Clear follows the source login and the source page as the window reports them.
    bool executeEnabled() const;
    bool fillEnabled() const { return executeEnabled(); }
    bool clearEnabled() const { return m_clearEnabled && !running(); }
    // A source login ended (connected or not): Clear is enabled on the table page only.
    void sourceLoginEnded() { m_clearEnabled = connected(Side::Source) && !m_sourceIsQuery; }
    // The source page changed: Clear is enabled when the source is connected.
    void sourcePageChanged() { m_clearEnabled = connected(Side::Source); }

    // Starts the move of the current source into the destination table with an operation and
    // mapping lines (empty lines ignored; none: columns matched by name). Returns false, doing
    // nothing, when a database is not connected or a move is under way. The source and
    // destination objects are made here and freed when the move ends.
    bool start(int operation, const QStringList& mappings);
    bool running() const { return m_worker.joinable(); }
    // Asks a running move to stop; it rolls the destination back and ends as cancelled.
    void cancel() { m_cancel = true; }

signals:
    // Rows of the source done, and their total or -1 when not known.
    void progress(qint64 done, qint64 total);
    // The move has ended; the objects are free for the next one.
    void finished(const vt::desktop::BatchTransferOutcome& outcome);

private:
    std::unique_ptr<dbengine::DataSet> makeSource() const;
    // Joins the ended worker and frees the move's objects; reports the outcome when asked.
    void collect(bool report);

    dbengine::Session& m_session;
    std::unique_ptr<dbengine::Database> m_source, m_destination;
    bool m_sourceIsQuery = false;
    QString m_sourceTable, m_queryText, m_destinationTable;
    bool m_clearEnabled = false;

    std::unique_ptr<dbengine::DataSet> m_moveSource;
    std::unique_ptr<dbengine::Table> m_moveDestination;
    std::atomic<bool> m_cancel{false};
    BatchTransferOutcome m_outcome; // written by the worker, read after it is joined
    std::thread m_worker;
};

} // namespace vt::desktop

Q_DECLARE_METATYPE(vt::desktop::BatchTransferOutcome)
