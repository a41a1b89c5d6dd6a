// Tests of the data transfer's logic without a window: operations, mapping proposal, the
// destination of the source's name, enabling, and moves from SQLite into SQLite and PostgreSQL
// on the worker thread, with Cancel.
#include "desktop/scripts/batchtransfer.h"

#include "dbengine/core/engineerror.h"
#include "dbengine/data/database.h"
#include "dbengine/data/session.h"
#include "dbengine/testkit/testkit.h"
#include "testkit/qtpgserver.h"

#include <QSignalSpy>
#include <QTest>

using vt::dbengine::BatchMode;
using vt::dbengine::testkit::sqliteRun;
using Side = vt::desktop::BatchTransfer::Side;
using Kind = vt::desktop::BatchTransferOutcome::Kind;

namespace vt::desktop {

class BatchTransferTest : public QObject {
    Q_OBJECT

private slots:
    void operationsSelectTheirModes_data();
    void operationsSelectTheirModes();
    void proposalPairsColumnsOfTheSameNameInAnyCase_data();
    void proposalPairsColumnsOfTheSameNameInAnyCase();

    void init();
    void cleanup();
    void buttonsFollowTheLoginsAndTheMove();
    void theDestinationOfTheSourcesNameIsFoundInAnyCase_data();
    void theDestinationOfTheSourcesNameIsFoundInAnyCase();
    void proposalReadsBothTablesOrTheQuery_data();
    void proposalReadsBothTablesOrTheQuery();
    void copyCreatesANewTableTypedByName_data();
    void copyCreatesANewTableTypedByName();
    void updateAndDeleteFindRowsByThePrimaryKey_data();
    void updateAndDeleteFindRowsByThePrimaryKey();
    void aRowThatFailsChangesNothingAndIsNamed_data();
    void aRowThatFailsChangesNothingAndIsNamed();
    void cancelDuringALongMoveLeavesTheDestinationAsItWas_data();
    void cancelDuringALongMoveLeavesTheDestinationAsItWas();
    void closingTheDatabasesDuringAMoveCancelsIt();

private:
    void addDestinations();
    // Opens a side as the login component would.
    void login(BatchTransfer& transfer, Side side, const QString& alias);
    // Logs both sides in (the source on SRC) and chooses the two tables.
    void prepare(BatchTransfer& transfer, const QString& destinationAlias,
                 const QString& sourceTable, const QString& destinationTable);
    // Runs SQL on the destination database directly; the first value or "".
    std::string destination(const std::string& sql);
    // Runs a move to its end and returns how it ended.
    BatchTransferOutcome run(BatchTransfer& transfer, int operation, const QStringList& mappings);

    std::unique_ptr<dbengine::testkit::EngineEnv> m_env;
    std::unique_ptr<dbengine::testkit::PgScratchDatabase> m_pg;
    std::string m_source, m_sqliteDestination, m_pgPassword;
    QString m_alias; // the destination alias of the current row
};

void BatchTransferTest::operationsSelectTheirModes_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::newRow("append") << 0 << "Добавление записей" << int(BatchMode::Append);
    QTest::newRow("update") << 1 << "Изменение записей" << int(BatchMode::Update);
    QTest::newRow("append and update")
        << 2 << "Добавление и изменение записей" << int(BatchMode::AppendUpdate);
    QTest::newRow("new table is copy") << 3 << "Создание новой таблицы" << int(BatchMode::Copy);
    QTest::newRow("delete") << 4 << "Удаление записей" << int(BatchMode::Delete);
}

void BatchTransferTest::operationsSelectTheirModes() {
    QFETCH(int, operation);
    QFETCH(QString, text);
    QFETCH(int, mode);
    QCOMPARE(BatchTransfer::operationNames().value(operation), text);
    QCOMPARE(int(BatchTransfer::operationMode(operation)), mode);
    QCOMPARE(BatchTransfer::operationNames().size(), 5);
}

void BatchTransferTest::proposalPairsColumnsOfTheSameNameInAnyCase_data() {
    QTest::addColumn<QStringList>("destination");
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("unmatched columns stay open")
        << QStringList{"ID", "NAME"} << QStringList{"id", "Title"} << QStringList{"ID=id", "NAME="};
    QTest::newRow("the source's spelling is taken")
        << QStringList{"qty", "Name"} << QStringList{"NAME", "Qty", "extra"}
        << QStringList{"qty=Qty", "Name=NAME"};
    QTest::newRow("Cyrillic names in any case")
        << QStringList{"ИМЯ"} << QStringList{"имя"} << QStringList{"ИМЯ=имя"};
    QTest::newRow("no destination columns") << QStringList{} << QStringList{"id"} << QStringList{};
}

void BatchTransferTest::proposalPairsColumnsOfTheSameNameInAnyCase() {
    QFETCH(QStringList, destination);
    QFETCH(QStringList, source);
    QFETCH(QStringList, lines);
    QCOMPARE(BatchTransfer::proposeMapping(destination, source), lines);
}

void BatchTransferTest::init() {
    m_env = std::make_unique<dbengine::testkit::EngineEnv>();
    m_source = m_env->newSqliteFile("source.db");
    m_sqliteDestination = m_env->newSqliteFile("destination.db");
    sqliteRun(m_source, "create table Customers(id integer primary key, Title varchar(30), "
                        "qty int); insert into Customers values (1, 'one', 10), (2, 'two', 20), "
                        "(3, 'three', 30); create table other(x int)");
    std::string aliases = "[SRC]\nDRIVER=STANDARD\nPATH=" + m_source +
                          "\n[DSQ]\nDRIVER=STANDARD\nPATH=" + m_sqliteDestination + "\n";
    if (auto server = dbengine::testkit::PgServer::fromEnvironment()) {
        m_pg = std::make_unique<dbengine::testkit::PgScratchDatabase>(*server);
        m_pgPassword = server->password;
        aliases += "[DPG]\nDRIVER=PGSQL\nSERVER NAME=" + server->serverName(m_pg->name()) +
                   "\nUSER NAME=" + server->user + "\n";
    }
    m_env->writeAliases(aliases);
}

void BatchTransferTest::cleanup() {
    m_pg.reset();
    m_env.reset();
}

void BatchTransferTest::addDestinations() {
    QTest::addColumn<QString>("alias");
    QTest::newRow("SQLite to SQLite") << "DSQ";
    QTest::newRow("SQLite to PostgreSQL") << "DPG";
}

void BatchTransferTest::login(BatchTransfer& transfer, Side side, const QString& alias) {
    dbengine::Database& db = transfer.database(side);
    db.close();
    db.setAliasName(alias.toStdString());
    db.setLoginPrompt(false);
    if (alias == "DPG")
        db.params().setValue("PASSWORD", m_pgPassword);
    db.open();
}

void BatchTransferTest::prepare(BatchTransfer& transfer, const QString& destinationAlias,
                                const QString& sourceTable, const QString& destinationTable) {
    login(transfer, Side::Source, "SRC");
    login(transfer, Side::Destination, destinationAlias);
    transfer.setSourceTable(sourceTable);
    transfer.setDestinationTable(destinationTable);
}

std::string BatchTransferTest::destination(const std::string& sql) {
    return m_alias == "DPG" ? m_pg->run(sql) : sqliteRun(m_sqliteDestination, sql);
}

BatchTransferOutcome BatchTransferTest::run(BatchTransfer& transfer, int operation,
                                            const QStringList& mappings) {
    QSignalSpy finished(&transfer, &BatchTransfer::finished);
    if (!transfer.start(operation, mappings)) {
        qWarning("the move did not start");
        return {Kind::Failed, {}, {}};
    }
    if (!finished.wait(60000)) {
        qWarning("the move did not end");
        return {Kind::Failed, {}, {}};
    }
    return finished.at(0).at(0).value<BatchTransferOutcome>();
}

// The engine's message of a failed outcome.
static QString errorText(const BatchTransferOutcome& outcome) {
    try {
        if (outcome.error)
            std::rethrow_exception(outcome.error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

// Sets the row's destination alias; skips PostgreSQL rows without a server unless required.
#define VT_DESTINATION()                                                                           \
    QFETCH(QString, alias);                                                                        \
    m_alias = alias;                                                                               \
    VT_QREQUIRE_PG(alias != "DPG" || m_pg)

void BatchTransferTest::buttonsFollowTheLoginsAndTheMove() {
    BatchTransfer transfer(dbengine::Session::defaultSession());
    const QStringList aliases = m_pg ? QStringList{"DPG", "DSQ", "SRC"} : QStringList{"DSQ", "SRC"};
    QCOMPARE(transfer.aliasNames(), aliases);
    QVERIFY(!transfer.executeEnabled());
    QVERIFY(!transfer.fillEnabled());
    QVERIFY(!transfer.clearEnabled());

    login(transfer, Side::Source, "SRC");
    transfer.sourceLoginEnded();
    QCOMPARE(transfer.connectedAlias(Side::Source), QString("SRC"));
    QVERIFY(!transfer.executeEnabled());
    QVERIFY(transfer.clearEnabled());
    transfer.setSourceIsQuery(true);
    transfer.sourceLoginEnded();
    QVERIFY2(!transfer.clearEnabled(), "a source login on the query page leaves Clear off");
    transfer.sourcePageChanged();
    QVERIFY(transfer.clearEnabled());
    QVERIFY(!transfer.start(0, {}));

    login(transfer, Side::Destination, "DSQ");
    QVERIFY(transfer.executeEnabled());
    QVERIFY2(transfer.fillEnabled(), "whichever side connects last");

    sqliteRun(m_sqliteDestination, "create table t(id int)");
    transfer.setQueryText("select id from Customers");
    transfer.setDestinationTable("t");
    QSignalSpy finished(&transfer, &BatchTransfer::finished);
    QVERIFY(transfer.start(0, {}));
    QVERIFY(transfer.running());
    QVERIFY(!transfer.executeEnabled());
    QVERIFY(!transfer.fillEnabled());
    QVERIFY(!transfer.clearEnabled());
    QVERIFY(!transfer.start(0, {}));
    QVERIFY(finished.wait(30000));
    QVERIFY(transfer.executeEnabled());
    QCOMPARE(sqliteRun(m_sqliteDestination, "select sum(id) from t"), std::string("6"));

    transfer.closeDatabases();
    QVERIFY(!transfer.connected(Side::Source));
    QVERIFY(!transfer.connected(Side::Destination));
    QCOMPARE(transfer.connectedAlias(Side::Source), QString());
    QVERIFY(!transfer.executeEnabled());
    QVERIFY(!transfer.clearEnabled());
}

void BatchTransferTest::theDestinationOfTheSourcesNameIsFoundInAnyCase_data() {
    addDestinations();
}

void BatchTransferTest::theDestinationOfTheSourcesNameIsFoundInAnyCase() {
    VT_DESTINATION();
    destination("create table aaa(x int); create table customers(id int); create table zzz(x int)");
    BatchTransfer transfer(dbengine::Session::defaultSession());
    login(transfer, Side::Source, "SRC");
    login(transfer, Side::Destination, alias);
    QCOMPARE(transfer.tableNames(Side::Source), (QStringList{"Customers", "other"}));
    const QStringList tables = transfer.tableNames(Side::Destination);
    QCOMPARE(tables, (QStringList{"aaa", "customers", "zzz"}));
    QCOMPARE(BatchTransfer::indexOfName(tables, "Customers"), 1);
    QCOMPARE(BatchTransfer::indexOfName(tables, "other"), -1);
}

void BatchTransferTest::proposalReadsBothTablesOrTheQuery_data() {
    addDestinations();
}

void BatchTransferTest::proposalReadsBothTablesOrTheQuery() {
    VT_DESTINATION();
    destination("create table dst(ID int, NAME varchar(30))");
    BatchTransfer transfer(dbengine::Session::defaultSession());
    prepare(transfer, alias, "Customers", "dst");
    const QStringList lines = transfer.proposeMapping();
    QCOMPARE(lines.size(), 2);
    // PostgreSQL folds the unquoted names of the table to lower case.
    QCOMPARE(lines[0], alias == "DPG" ? QString("id=id") : QString("ID=id"));
    QCOMPARE(lines[1].toUpper(), QString("NAME="));

    transfer.setSourceIsQuery(true);
    transfer.setQueryText("select Title as name from Customers");
    QCOMPARE(transfer.proposeMapping().value(1).toUpper(), QString("NAME=NAME"));
}

void BatchTransferTest::copyCreatesANewTableTypedByName_data() {
    addDestinations();
}

void BatchTransferTest::copyCreatesANewTableTypedByName() {
    VT_DESTINATION();
    BatchTransfer transfer(dbengine::Session::defaultSession());
    prepare(transfer, alias, "Customers", "fresh");
    QSignalSpy progress(&transfer, &BatchTransfer::progress);
    BatchTransferOutcome outcome = run(transfer, 3, {});
    QCOMPARE(int(outcome.kind), int(Kind::Done));
    QCOMPARE(outcome.counts.appended, 3);
    QCOMPARE(destination("select count(*) from fresh"), std::string("3"));
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(0).toLongLong(), 3);
    QCOMPARE(progress.last().at(1).toLongLong(), 3);
}

void BatchTransferTest::updateAndDeleteFindRowsByThePrimaryKey_data() {
    addDestinations();
}

void BatchTransferTest::updateAndDeleteFindRowsByThePrimaryKey() {
    VT_DESTINATION();
    destination("create table dst(id int primary key, title varchar(30)); "
                "insert into dst values (2, 'old'); insert into dst values (5, 'five')");
    BatchTransfer transfer(dbengine::Session::defaultSession());
    prepare(transfer, alias, "Customers", "dst");
    const QStringList mapping{"id=id", "title=Title"};

    BatchTransferOutcome updated = run(transfer, 1, mapping);
    QCOMPARE(int(updated.kind), int(Kind::Done));
    QCOMPARE(updated.counts.updated, 1);
    QCOMPARE(updated.counts.unmatched, 2);
    QCOMPARE(destination("select title from dst where id = 2"), std::string("two"));

    BatchTransferOutcome deleted = run(transfer, 4, mapping);
    QCOMPARE(int(deleted.kind), int(Kind::Done));
    QCOMPARE(deleted.counts.deleted, 1);
    QCOMPARE(destination("select count(*) from dst"), std::string("1"));
    QCOMPARE(destination("select title from dst"), std::string("five"));
}

void BatchTransferTest::aRowThatFailsChangesNothingAndIsNamed_data() {
    addDestinations();
}

void BatchTransferTest::aRowThatFailsChangesNothingAndIsNamed() {
    VT_DESTINATION();
    destination("create table dst(id int primary key, title varchar(30)); "
                "insert into dst values (3, 'taken')");
    BatchTransfer transfer(dbengine::Session::defaultSession());
    prepare(transfer, alias, "Customers", "dst");
    BatchTransferOutcome outcome = run(transfer, 0, {"id=id", "title=Title"});
    QCOMPARE(int(outcome.kind), int(Kind::Failed));
    const QString text = errorText(outcome);
    QVERIFY2(text.contains("Batch move into dst failed at source row 3"), qPrintable(text));
    QVERIFY2(text.contains("nothing was changed"), qPrintable(text));
    QCOMPARE(destination("select count(*) from dst"), std::string("1"));
}

void BatchTransferTest::cancelDuringALongMoveLeavesTheDestinationAsItWas_data() {
    addDestinations();
}

void BatchTransferTest::cancelDuringALongMoveLeavesTheDestinationAsItWas() {
    VT_DESTINATION();
    sqliteRun(m_source, "create table big(id integer primary key, title text); "
                        "with recursive g(x) as (select 1 union all select x + 1 from g "
                        "where x < 200000) insert into big select x, 'row ' || x from g");
    destination("create table big(id int primary key, title text); "
                "insert into big values (7, 'mine'); insert into big values (-1, 'kept')");
    BatchTransfer transfer(dbengine::Session::defaultSession());
    prepare(transfer, alias, "big", "big");
    QSignalSpy progress(&transfer, &BatchTransfer::progress);
    QSignalSpy finished(&transfer, &BatchTransfer::finished);
    connect(&transfer, &BatchTransfer::progress, &transfer, [&] { transfer.cancel(); });
    QVERIFY(transfer.start(2, {}));
    QVERIFY(finished.wait(60000));
    auto outcome = finished.at(0).at(0).value<BatchTransferOutcome>();
    QCOMPARE(int(outcome.kind), int(Kind::Cancelled));
    QVERIFY2(errorText(outcome).contains("cancelled after"), qPrintable(errorText(outcome)));
    QCOMPARE(progress.at(0).at(0).toLongLong(), 10000);
    QCOMPARE(progress.at(0).at(1).toLongLong(), 200000);
    QCOMPARE(destination("select count(*) from big"), std::string("2"));
    QCOMPARE(destination("select title from big where id = 7"), std::string("mine"));
}

void BatchTransferTest::closingTheDatabasesDuringAMoveCancelsIt() {
    sqliteRun(m_source, "create table big(id integer primary key); "
                        "with recursive g(x) as (select 1 union all select x + 1 from g "
                        "where x < 200000) insert into big select x from g");
    sqliteRun(m_sqliteDestination, "create table big(id int primary key)");
    BatchTransfer transfer(dbengine::Session::defaultSession());
    prepare(transfer, "DSQ", "big", "big");
    QSignalSpy finished(&transfer, &BatchTransfer::finished);
    QVERIFY(transfer.start(2, {}));
    transfer.closeDatabases();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(int(finished.at(0).at(0).value<BatchTransferOutcome>().kind), int(Kind::Cancelled));
    QVERIFY(!transfer.connected(Side::Destination));
    QCOMPARE(sqliteRun(m_sqliteDestination, "select count(*) from big"), std::string("0"));
}

} // namespace vt::desktop

QTEST_GUILESS_MAIN(vt::desktop::BatchTransferTest)
#include "batchtransfer_test.moc"
