// Tests of the script execution window: runs through the fake plug-in and through vtutils.so on
// SQLite and PostgreSQL aliases, the answers given through the message-box and dialog seams.
#include "desktop/scripts/windows/formexecsql.h"

#include "dbengine/testkit/testkit.h"
#include "desktop/controls/trbitbtn.h"
#include "desktop/controls/trspeedbutton.h"
#include "desktop/errors/evtutilserror.h"
#include "desktop/errors/terrorhandler.h"
#include "desktop/errors/trerror.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/trconnect.h"
#include "desktop/scripts/windows/trpassworddlg.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "platform/codepage.h"
#include "script/rsqlwriter.h"
#include "testkit/qtpgserver.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>

namespace vt::desktop {

class FormExecSQLTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void choosingAFileShowsItsHeader();
    void aResumedRunShowsTheCommandsLeftAndCancelStopsAfterTheCommand();
    void ignoreOnEveryFailureCompletes();
    void aMissingPluginIsReportedAndTheWindowStaysUsable();
    void aRunOnAnSqliteAliasRecordsTheNewVersion();
    void theWindowRepaintsWhileACommandSleeps();

private:
    QString writeScript(const std::string& newVersion, std::vector<std::string> commands,
                        bool scrambled = false);
    // Answers the login dialog with the user and password.
    void answerLogin(const QString& user, const QString& password);

    std::unique_ptr<dbengine::testkit::EngineEnv> m_env;
    TErrorHandler m_handler;
    QStringList m_reported;
    QStringList m_messages;
    std::vector<int> m_answers;
    std::function<void()> m_onQuestion;
};

void FormExecSQLTest::init() {
    m_env = std::make_unique<dbengine::testkit::EngineEnv>();
    for (const char* name : {"VT_FAKE_FIRST", "VT_FAKE_LAST", "VT_FAKE_FAIL", "VT_FAKE_CONNECT"})
        unsetenv(name);
    initAppSettings();
    TrPasswordDlg::install();
    ErrorHandlingApplication::installErrorHandler(&m_handler);
    m_handler.setDialogPresenter(
        [this](TErrorHandler& h) { m_reported.append(h.error().Message()); });
    m_reported.clear();
    m_messages.clear();
    m_answers.clear();
    m_onQuestion = nullptr;
    setAppMessageHandler([this](const QString&, const QString& text, unsigned flags) {
        m_messages.append(text);
        if (m_onQuestion)
            m_onQuestion();
        if (m_answers.empty())
            return flags == (mb::kAbortRetryIgnore | mb::kIconError) ? mb::idIgnore : mb::idYes;
        const int answer = m_answers.front();
        m_answers.erase(m_answers.begin());
        return answer;
    });
    answerLogin(QStringLiteral("ivan"), QStringLiteral("pw"));
}

void FormExecSQLTest::cleanup() {
    setAppMessageHandler({});
    ErrorHandlingApplication::installErrorHandler(nullptr);
    TrPasswordDlg::setModalRunner({});
    TrCustomConnect::setDialogPresenter({});
    doneAppSettings();
    m_env.reset();
}

void FormExecSQLTest::answerLogin(const QString& user, const QString& password) {
    TrPasswordDlg::setModalRunner([user, password](TrPasswordDlg& dialog) {
        dialog.show();
        dialog.EditUser->setEditText(user);
        dialog.EditPassword->setText(password);
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
        return dialog.isVisible() ? int(QDialog::Rejected) : dialog.result();
    });
}

QString FormExecSQLTest::writeScript(const std::string& newVersion,
                                     std::vector<std::string> commands, bool scrambled) {
    script::RsqlContent content;
    content.code = "SHOP";
    content.oldVersion = newVersion.empty() ? "" : "1.0";
    content.newVersion = newVersion;
    content.user = "admin";
    content.comments = {platform::utf8ToAnsi("Склад получает даты доставки"), "second line"};
    for (const std::string& command : commands)
        content.commands.push_back({command});
    content.crypt = scrambled;
    const std::string path = m_env->dir().file("update.rsql");
    script::writeRsqlScript(path, content);
    return QString::fromStdString(path);
}

void FormExecSQLTest::choosingAFileShowsItsHeader() {
    TFormExecSQL form;
    QVERIFY(!form.BitBtn1->isEnabled());
    form.FEIni2->setText(writeScript("1.1", {"select 1", "select 2"}, true));
    QCOMPARE(form.LCode->text(), QStringLiteral("SHOP"));
    QCOMPARE(form.LOldVer->text(), QStringLiteral("1.0"));
    QCOMPARE(form.LNewVer->text(), QStringLiteral("1.1"));
    QCOMPARE(form.LCount->text(), QStringLiteral("2"));
    QCOMPARE(form.MDiscript->toPlainText(),
             QStringLiteral("Склад получает даты доставки\nsecond line"));
    QVERIFY(form.BitBtn1->isEnabled());
    QVERIFY(form.SBLookFile->isEnabled());
    form.FEIni2->setText(QStringLiteral("   "));
    QVERIFY(!form.BitBtn1->isEnabled());
}

void FormExecSQLTest::aResumedRunShowsTheCommandsLeftAndCancelStopsAfterTheCommand() {
    setenv("VT_FAKE_FIRST", "5", 1);
    setenv("VT_FAKE_LAST", "12", 1);
    setenv("VT_FAKE_FAIL", "5:1", 1);
    const QString log = QString::fromStdString(m_env->dir().file("calls.log"));
    setenv("VT_FAKE_LOG", log.toLocal8Bit().constData(), 1);
    TFormExecSQL form;
    form.setPluginFile(QStringLiteral(VT_FAKE_PLUGIN));
    form.FEIni2->setText(writeScript("", std::vector<std::string>(12, "select 1")));
    form.show();
    // The failure box of command 5 comes while the worker waits: the window shows the state of
    // the run; Cancel is pressed there and answered Yes, then the box is answered Ignore.
    QString version, rest;
    int value = -1, maximum = -1;
    bool refusedClose = false;
    m_onQuestion = [&] {
        if (value >= 0)
            return;
        version = form.STVersion->text();
        rest = form.LRest->text();
        value = form.ProgressBar->value();
        maximum = form.ProgressBar->maximum();
        refusedClose = !form.close();
        QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    };
    m_answers = {mb::idIgnore, mb::idYes};
    form.BBOKClick();
    unsetenv("VT_FAKE_LOG");
    QCOMPARE(version, QStringLiteral(" (8 команд)").prepend(QStringLiteral("1.0")));
    QCOMPARE(rest, QStringLiteral("5"));
    QCOMPARE(value, 4);
    QCOMPARE(maximum, 12);
    QVERIFY(refusedClose);
    QCOMPARE(form.GBDBParams->title(), QStringLiteral(" БД: ALPHA "));
    QCOMPARE(m_messages.size(), 3);
    QCOMPARE(m_messages[1], QStringLiteral("Прервать выполнение скрипта?"));
    QCOMPARE(m_messages[2], QStringLiteral("Выполнение скрипта прервано пользователем."));
    QFile calls(log);
    QVERIFY(calls.open(QIODevice::ReadOnly));
    const QByteArray text = calls.readAll();
    QVERIFY(!text.contains("MakeSQLCommand|6"));
    QVERIFY(!text.contains("UpDateVersion"));
    QVERIFY(text.endsWith("piDone\n"));
    QVERIFY(form.BitBtn1->isEnabled());
    QVERIFY(!form.running());
}

void FormExecSQLTest::ignoreOnEveryFailureCompletes() {
    setenv("VT_FAKE_FAIL", "1:0,2:0", 1);
    TFormExecSQL form;
    form.setPluginFile(QStringLiteral(VT_FAKE_PLUGIN));
    form.FEIni2->setText(writeScript("", {"a", "b", "c"}));
    form.BBOKClick();
    QCOMPARE(m_messages.size(), 3);
    QVERIFY(m_messages[0].startsWith(
        QStringLiteral("В результате выполнения скрипта произошла ошибка:\r\n")));
    QCOMPARE(m_messages.last(), QStringLiteral("Операция выполнена успешно."));
    QCOMPARE(form.ProgressBar->value(), form.ProgressBar->minimum());
    QCOMPARE(form.LRest->text(), QString());
    QVERIFY(m_reported.isEmpty());
}

void FormExecSQLTest::aMissingPluginIsReportedAndTheWindowStaysUsable() {
    TFormExecSQL form;
    form.setPluginFile(QStringLiteral("/nonexistent/vtutils.so"));
    form.FEIni2->setText(writeScript("1.1", {"select 1"}));
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    QCOMPARE(m_reported, QStringList({"Не могу загрузить библиотеку /nonexistent/vtutils.so."}));
    QVERIFY(form.BitBtn1->isEnabled());
    QVERIFY(!form.running());
}

void FormExecSQLTest::aRunOnAnSqliteAliasRecordsTheNewVersion() {
    const std::string db = m_env->newSqliteFile("shop.db");
    m_env->writeAliases("[SHOP]\nDRIVER=STANDARD\nPATH=" + db + "\n");
    answerLogin(QStringLiteral("admin"), QString());
    TFormExecSQL form;
    form.setPluginFile(QDir(qEnvironmentVariable("VT_PROGRAM_BIN")).filePath("vtutils.so"));
    form.FEIni2->setText(
        writeScript("1.1", {"create table orders(id integer)", "insert into orders values (1)"}));
    form.BBOKClick();
    QVERIFY2(m_reported.isEmpty(), qPrintable(m_reported.join('\n')));
    QCOMPARE(m_messages,
             QStringList({"Необходимо выполнить инициализационный скрипт. Выполнить его сейчас?",
                          "Операция выполнена успешно."}));
    QCOMPARE(form.STVersion->text(), QStringLiteral("1.1"));
    QCOMPARE(dbengine::testkit::sqliteRun(db, "select count(*) from orders"), std::string("1"));
    QVERIFY(form.execution().scriptCompleted());

    // The same file again logs in anew (no question about the current connection) and the
    // plug-in refuses it: the database has the new version already.
    m_messages.clear();
    int dialogs = 0;
    TrPasswordDlg::setModalRunner([&](TrPasswordDlg& dialog) {
        ++dialogs;
        dialog.show();
        dialog.EditUser->setEditText(QStringLiteral("admin"));
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
        return dialog.result();
    });
    try {
        form.BBOKClick();
        QFAIL("the applied script ran again");
    } catch (const EVTUtilsError& e) {
        QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("1.1")));
    }
    QCOMPARE(dialogs, 1);
    QCOMPARE(m_messages, QStringList());
    QVERIFY(form.BitBtn1->isEnabled());
}

void FormExecSQLTest::theWindowRepaintsWhileACommandSleeps() {
    const auto server = dbengine::testkit::PgServer::fromEnvironment();
    VT_QREQUIRE_PG(server);
    dbengine::testkit::PgScratchDatabase scratch(*server);
    m_env->writeAliases("[ACC]\nDRIVER=PGSQL\nSERVER NAME=" + server->serverName(scratch.name()) +
                        "\nUSER NAME=" + server->user + "\n");
    answerLogin(QString::fromStdString(server->user), QString::fromStdString(server->password));
    TFormExecSQL form;
    form.setPluginFile(QDir(qEnvironmentVariable("VT_PROGRAM_BIN")).filePath("vtutils.so"));
    form.FEIni2->setText(writeScript("", {"select pg_sleep(2)", "select 1"}));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    int paintsDuringSleep = 0;
    QString labelDuringSleep;
    QElapsedTimer clock;
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&] {
        if (form.LRest->text() != QStringLiteral("1"))
            return;
        labelDuringSleep = form.LFirstCommand->text();
        form.ProgressBar->repaint();
        ++paintsDuringSleep;
    });
    tick.start(50);
    clock.start();
    form.BBOKClick();
    tick.stop();
    QVERIFY2(m_reported.isEmpty(), qPrintable(m_reported.join('\n')));
    QVERIFY(clock.elapsed() >= 2000);
    QVERIFY2(paintsDuringSleep >= 10, qPrintable(QString::number(paintsDuringSleep)));
    QCOMPARE(labelDuringSleep, QStringLiteral("select pg_sleep(2)"));
    QCOMPARE(m_messages.last(), QStringLiteral("Операция выполнена успешно."));
}

} // namespace vt::desktop

QTEST_MAIN(vt::desktop::FormExecSQLTest)
#include "formexecsql_test.moc"
