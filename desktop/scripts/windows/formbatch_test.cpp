// Tests of the data transfer window, offscreen, from SQLite into SQLite and PostgreSQL: logins
// through the login component, the destination of the source's name, the mapping proposal, the
// operations, a failing move, Cancel during a move and Cancel of the window.
#include "desktop/scripts/windows/formbatch.h"

#include "dbengine/data/session.h"
#include "dbengine/testkit/testkit.h"
#include "desktop/errors/terrorhandler.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/trdbconnect.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/urlopener.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

using vt::dbengine::testkit::sqliteRun;

namespace vt::desktop {

class FormBatchTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void theDestinationOfTheSourcesNameIsChosenInAnyCase_data();
    void theDestinationOfTheSourcesNameIsChosenInAnyCase();
    void fillProposesTheMapping_data();
    void fillProposesTheMapping();
    void operationsMoveAndReportSuccess_data();
    void operationsMoveAndReportSuccess();
    void aFailingRowChangesNothingAndIsReported_data();
    void aFailingRowChangesNothingAndIsReported();
    void cancelDuringAMoveRollsBackAndSaysSo_data();
    void cancelDuringAMoveRollsBackAndSaysSo();
    void cancelClosesBothConnectionsAndANewWindowStartsEmpty();
    void helpOpensOnceAtTheWindowsOrTheControlsContext();

private:
    void addDestinations();
    bool destinationRow();
    // Chooses an alias in the box as the user does; the login dialog answers OK.
    void chooseAlias(QComboBox* box, const QString& alias);
    // Shows the window, logs into SRC and the row's destination, and types the destination table.
    void openBoth(TFormBatch& form, const QString& table);
    std::string destination(const std::string& sql);
    // Clicks Execute and waits for the move's end.
    void execute(TFormBatch& form);

    std::unique_ptr<dbengine::testkit::EngineEnv> m_env;
    std::unique_ptr<dbengine::testkit::PgScratchDatabase> m_pg;
    std::string m_source, m_sqliteDestination, m_pgUser, m_pgPassword;
    QString m_alias;
    QStringList m_messages; // message boxes shown
    QStringList m_errors;   // errors reported
    TErrorHandler m_handler;
};

void FormBatchTest::init() {
    m_env = std::make_unique<dbengine::testkit::EngineEnv>();
    initAppSettings();
    m_source = m_env->newSqliteFile("source.db");
    m_sqliteDestination = m_env->newSqliteFile("destination.db");
    sqliteRun(m_source, "create table Customers(id integer primary key, Title varchar(30)); "
                        "insert into Customers values (1, 'one'), (2, 'two'), (3, 'three'); "
                        "create table other(x int)");
    std::string aliases = "[SRC]\nDRIVER=STANDARD\nPATH=" + m_source +
                          "\n[DSQ]\nDRIVER=STANDARD\nPATH=" + m_sqliteDestination + "\n";
    if (auto server = dbengine::testkit::PgServer::fromEnvironment()) {
        m_pg = std::make_unique<dbengine::testkit::PgScratchDatabase>(*server);
        m_pgUser = server->user;
        m_pgPassword = server->password;
        aliases += "[DPG]\nDRIVER=PGSQL\nSERVER NAME=" + server->serverName(m_pg->name()) +
                   "\nUSER NAME=" + server->user + "\n";
    }
    m_env->writeAliases(aliases);
    m_messages.clear();
    m_errors.clear();
    setAppMessageHandler([this](const QString&, const QString& text, unsigned) {
        m_messages << text;
        return mb::idOk;
    });
    ErrorHandlingApplication::installErrorHandler(&m_handler);
    m_handler.setDialogPresenter([this](TErrorHandler& h) {
        m_errors << h.error().Message() + "\n" + h.error().Description().join("\n");
    });
    // The login dialog answers OK with the test server's user and password.
    TrCustomConnect::setDialogPresenter([this](TrCustomConnect& c) {
        c.setUser(QString::fromStdString(m_pgUser));
        c.setPassword(QString::fromStdString(m_pgPassword));
        c.Connect();
        return true;
    });
}

void FormBatchTest::cleanup() {
    TrCustomConnect::setDialogPresenter({});
    ErrorHandlingApplication::installErrorHandler(nullptr);
    setAppMessageHandler({});
    doneAppSettings();
    m_pg.reset();
    m_env.reset();
}

void FormBatchTest::addDestinations() {
    QTest::addColumn<QString>("alias");
    QTest::newRow("SQLite to SQLite") << "DSQ";
    QTest::newRow("SQLite to PostgreSQL") << "DPG";
}

bool FormBatchTest::destinationRow() {
    QFETCH(QString, alias);
    m_alias = alias;
    if (alias == "DPG" && !m_pg) {
        if (dbengine::testkit::PgServer::required())
            qFatal("VT_TEST_PG_REQUIRED=1 but no PostgreSQL test server is set");
        return false;
    }
    return true;
}

#define VT_DESTINATION()                                                                           \
    if (!destinationRow())                                                                         \
    QSKIP("no PostgreSQL test server (VT_TEST_PGHOST)")

void FormBatchTest::chooseAlias(QComboBox* box, const QString& alias) {
    const int index = box->findText(alias);
    QVERIFY(index >= 0);
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

void FormBatchTest::openBoth(TFormBatch& form, const QString& table) {
    form.show();
    chooseAlias(form.ComboBox1, "SRC");
    chooseAlias(form.ComboBox2, m_alias);
    form.ComboBox4->setCurrentText(table);
}

std::string FormBatchTest::destination(const std::string& sql) {
    return m_alias == "DPG" ? m_pg->run(sql) : sqliteRun(m_sqliteDestination, sql);
}

void FormBatchTest::execute(TFormBatch& form) {
    QSignalSpy finished(&form.transfer(), &BatchTransfer::finished);
    QVERIFY(form.BitBtn1->isEnabled());
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    QVERIFY(finished.wait(60000));
}

void FormBatchTest::theDestinationOfTheSourcesNameIsChosenInAnyCase_data() {
    addDestinations();
}

void FormBatchTest::theDestinationOfTheSourcesNameIsChosenInAnyCase() {
    VT_DESTINATION();
    destination("create table aaa(x int); create table \"CUSTOMERS\"(id int); "
                "create table \"OTHER\"(x int)");
    TFormBatch form;
    form.show();
    QCOMPARE(form.ComboBox1->currentIndex(), -1);
    QVERIFY(!form.BitBtn1->isEnabled());
    chooseAlias(form.ComboBox1, "SRC");
    QCOMPARE(form.ComboBox1->currentText(), QString("SRC"));
    QCOMPARE(form.ComboBox3->currentText(), QString("Customers")); // the first table
    QVERIFY(!form.BitBtn1->isEnabled());
    QVERIFY(form.Button1->isEnabled());

    chooseAlias(form.ComboBox2, m_alias);
    QCOMPARE(form.ComboBox4->currentText(), QString("CUSTOMERS"));
    QVERIFY(form.BitBtn1->isEnabled());
    QVERIFY(form.Button2->isEnabled());

    form.ComboBox3->setCurrentIndex(form.ComboBox3->findText("other"));
    QCOMPARE(form.ComboBox4->currentText(), QString("OTHER"));
}

void FormBatchTest::fillProposesTheMapping_data() {
    addDestinations();
}

void FormBatchTest::fillProposesTheMapping() {
    VT_DESTINATION();
    destination("create table dst(\"ID\" int, \"NAME\" varchar(30))");
    TFormBatch form;
    openBoth(form, "dst");
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    QCOMPARE(form.Memo2->toPlainText(), QString("ID=id\nNAME="));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(form.Memo2->toPlainText(), QString());
}

void FormBatchTest::operationsMoveAndReportSuccess_data() {
    QTest::addColumn<QString>("alias");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("rows");
    for (const char* alias : {"DSQ", "DPG"}) {
        const QString to = QString(alias) == "DSQ" ? " into SQLite" : " into PostgreSQL";
        QTest::newRow(qPrintable("new table typed by name" + to)) << alias << 3 << "fresh"
                                                                  << "1:one 2:two 3:three";
        QTest::newRow(qPrintable("append and update" + to)) << alias << 2 << "dst"
                                                            << "1:one 2:two 3:three 5:five";
        QTest::newRow(qPrintable("update by primary key" + to)) << alias << 1 << "dst"
                                                                << "2:two 5:five";
        QTest::newRow(qPrintable("delete by primary key" + to)) << alias << 4 << "dst"
                                                                << "5:five";
    }
}

void FormBatchTest::operationsMoveAndReportSuccess() {
    VT_DESTINATION();
    QFETCH(int, operation);
    QFETCH(QString, table);
    QFETCH(QString, rows);
    destination("create table dst(id int primary key, title varchar(30)); "
                "insert into dst values (2, 'old'); insert into dst values (5, 'five')");
    TFormBatch form;
    openBoth(form, table);
    form.ComboBox5->setCurrentIndex(operation);
    form.Memo2->setPlainText("id=id\ntitle=Title\n");
    execute(form);
    QCOMPARE(m_errors, QStringList());
    QCOMPARE(m_messages, QStringList{"Операция выполнена успешно."});
    const std::string concat = m_alias == "DPG" ? "string_agg(id || ':' || title, ' ' order by id)"
                                                : "group_concat(id || ':' || title, ' ')";
    const std::string from = m_alias == "DPG"
                                 ? table.toStdString()
                                 : "(select * from " + table.toStdString() + " order by id)";
    QCOMPARE(QString::fromStdString(destination("select " + concat + " from " + from)), rows);
    QVERIFY(form.BitBtn1->isEnabled());
}

void FormBatchTest::aFailingRowChangesNothingAndIsReported_data() {
    addDestinations();
}

void FormBatchTest::aFailingRowChangesNothingAndIsReported() {
    VT_DESTINATION();
    destination("create table dst(id int primary key, title varchar(30)); "
                "insert into dst values (3, 'taken')");
    TFormBatch form;
    openBoth(form, "dst");
    execute(form);
    QCOMPARE(m_messages, QStringList());
    QCOMPARE(m_errors.size(), 1);
    QVERIFY2(m_errors[0].contains("at source row 3"), qPrintable(m_errors[0]));
    QCOMPARE(destination("select count(*) from dst"), std::string("1"));
}

void FormBatchTest::cancelDuringAMoveRollsBackAndSaysSo_data() {
    addDestinations();
}

void FormBatchTest::cancelDuringAMoveRollsBackAndSaysSo() {
    VT_DESTINATION();
    sqliteRun(m_source, "create table big(id integer primary key, title text); "
                        "with recursive g(x) as (select 1 union all select x + 1 from g "
                        "where x < 200000) insert into big select x, 'row ' || x from g");
    destination("create table big(id int primary key, title text); "
                "insert into big values (-1, 'kept')");
    TFormBatch form;
    form.show();
    chooseAlias(form.ComboBox1, "SRC");
    form.ComboBox3->setCurrentIndex(form.ComboBox3->findText("big"));
    chooseAlias(form.ComboBox2, m_alias);
    QCOMPARE(form.ComboBox4->currentText(), QString("big"));
    form.ComboBox5->setCurrentIndex(2);
    QSignalSpy progress(&form.transfer(), &BatchTransfer::progress);
    QSignalSpy finished(&form.transfer(), &BatchTransfer::finished);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    QVERIFY(!form.BitBtn1->isEnabled());
    QVERIFY(!form.ComboBox1->isEnabled());
    QVERIFY(progress.wait(60000));
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    QVERIFY(finished.wait(60000));
    QCOMPARE(m_messages, QStringList{"Перенос данных прерван. Приемник оставлен без изменений."});
    QVERIFY2(form.isVisible(), "Cancel during a move keeps the window");
    QVERIFY(form.BitBtn1->isEnabled());
    QCOMPARE(destination("select count(*) from big"), std::string("1"));
    QCOMPARE(destination("select title from big"), std::string("kept"));
}

void FormBatchTest::cancelClosesBothConnectionsAndANewWindowStartsEmpty() {
    auto* form = new TFormBatch;
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<TFormBatch> guard(form);
    form->show();
    chooseAlias(form->ComboBox1, "SRC");
    chooseAlias(form->ComboBox2, "DSQ");
    QCOMPARE(dbengine::Session::defaultSession().connectedDatabases().size(), std::size_t{2});
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(dbengine::Session::defaultSession().connectedDatabases().empty());
    QTRY_VERIFY(guard.isNull());

    TFormBatch again;
    again.show();
    QCOMPARE(again.ComboBox1->currentIndex(), -1);
    QCOMPARE(again.ComboBox2->currentIndex(), -1);
    QCOMPARE(again.ComboBox3->count(), 0);
    QVERIFY(!again.BitBtn1->isEnabled());
    QVERIFY(!again.Button1->isEnabled());
    QVERIFY(!again.Button2->isEnabled());
}

void FormBatchTest::helpOpensOnceAtTheWindowsOrTheControlsContext() {
    QStringList opened;
    setUrlOpener([&](const QUrl& url) {
        opened << url.fragment();
        return true;
    });
    TFormBatch form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.ComboBox4->setFocus();
    QTest::keyClick(&form, Qt::Key_F1);
    QTest::mouseClick(form.BitBtn3, Qt::LeftButton);
    setUrlOpener({});
    QCOMPARE(opened, (QStringList{"100204", "100200"}));
}

} // namespace vt::desktop

QTEST_MAIN(vt::desktop::FormBatchTest)
#include "formbatch_test.moc"
