// Tests of the script windows: the kinds list and editor, and both conversion windows with their
// enabling rules, messages, viewer calls and files, compared byte for byte with vtconvert's.
#include "desktop/controls/trspeedbutton.h"
#include "desktop/errors/terrorhandler.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/windows/formconvert1.h"
#include "desktop/scripts/windows/formconvert2.h"
#include "desktop/scripts/windows/formsqledit.h"
#include "desktop/scripts/windows/formsqltools.h"
#include "desktop/scripts/windows/trfileedit.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/resourcelibrary.h"
#include "desktop/shell/resourcemodule.h"
#include "desktop/shell/urlopener.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace vt::desktop {
namespace {

// Three kinds: a line-rule kind with a terminator statement, the default SQLite kind, and a
// PostgreSQL kind.
constexpr const char* kKinds =
    "[Firebird]\r\nUseDefault=0\r\nDelimeter=;\r\nCommand=SET TERM\r\n"
    "Ignore Command=CONNECT;COMMIT\r\nUserName=SYSDBA\r\nDefault Path=\r\nCommentBegin=/*\r\n"
    "CommentEnd=*/\r\nDBCode=STOCK\r\n"
    "[SQLite]\r\nUseDefault=1\r\nDelimeter=;\r\nCommand=\r\nIgnore Command=BEGIN;COMMIT\r\n"
    "UserName=\r\nDefault Path=\r\nCommentBegin=--\r\nCommentEnd=\r\nDBCode=SHOP\r\n"
    "Dialect=SQLite\r\n"
    "[PostgreSQL]\r\nUseDefault=0\r\nDelimeter=;\r\nCommand=\r\nIgnore Command=COMMIT\r\n"
    "UserName=postgres\r\nDefault Path=\r\nCommentBegin=--\r\nCommentEnd=\r\n"
    "DBCode=ACCOUNTS\r\nDialect=PostgreSQL\r\n";

constexpr const char* kFirebirdSql = "/* stock tables */\r\n"
                                     "CONNECT 'stock.fdb';\r\n"
                                     "CREATE TABLE A (X INT);\r\n"
                                     "SET TERM ^ ;\r\n"
                                     "CREATE PROCEDURE P AS\r\n"
                                     "BEGIN\r\n"
                                     "  INSERT INTO A VALUES (1);\r\n"
                                     "END^\r\n"
                                     "SET TERM ; ^\r\n"
                                     "/* RECONNECT */\r\n"
                                     "COMMIT;\r\n"
                                     "INSERT INTO A VALUES (2)\r\n";

struct ViewerCall {
    QString fileName;
    int commandNumber;
    bool isRsql;
};

} // namespace

class ScriptWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void kindEditorSaveEnabling_data();
    void kindEditorSaveEnabling();
    void kindEditorSavesWhatWasTypedAndKeepsTheDialect();
    void kindsListAddsASavedNameOnlyWhenNew_data();
    void kindsListAddsASavedNameOnlyWhenNew();
    void kindsListRemovesAKindOnlyOnYes_data();
    void kindsListRemovesAKindOnlyOnYes();

    void conversionWindowsPreselectTheDefaultKind_data();
    void conversionWindowsPreselectTheDefaultKind();
    void convert1ExecuteEnabling_data();
    void convert1ExecuteEnabling();
    void convert2ExecuteEnabling_data();
    void convert2ExecuteEnabling();
    void thePasswordGroupIsEnabledOnlyWithItsCheckBox();
    void choosingAKindFillsItsDefaults();
    void browsingStartsInTheKindsFolderWithTheFileBoxsFilter();

    void convert1WritesWhatVtconvertWrites_data();
    void convert1WritesWhatVtconvertWrites();
    void convert1RefusesAPasswordConfirmedWrongly_data();
    void convert1RefusesAPasswordConfirmedWrongly();
    void convert1ReportsAScriptWithoutCommands();
    void convert2WritesWhatVtconvertWrites_data();
    void convert2WritesWhatVtconvertWrites();
    void convert2RefusesAWrongPassword();
    void aRefusedOverwriteLeavesTheFileAndOpensNoViewer();
    void writingOverTheScriptBeingReadIsRefused();
    void aMissingScriptReachesTheErrorHandlerAndTheWindowStaysUsable();
    void f4InAFileBoxOpensTheViewerAndTakesTheNameBack();
    void closingFreesTheWindow();
    void everyWindowOpensTheHelpAtItsOwnContext_data();
    void everyWindowOpensTheHelpAtItsOwnContext();

private:
    QString file(const QString& name) const { return QDir(m_config->path()).filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) const;
    QByteArray readFile(const QString& name) const;
    // Runs vtconvert with the arguments and the test's settings folder; true on exit code 0.
    bool vtconvert(const QStringList& args) const;
    template <class Form> void watch(Form& form);
    // Clicks Execute and waits until the conversion has ended.
    template <class Form> void execute(Form& form);

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<ResourceLibrary> m_library;
    TErrorHandler m_errors;
    QStringList m_errorMessages;
    QStringList m_messages;
    std::vector<unsigned> m_flags;
    int m_answer = mb::idYes;
    std::vector<ViewerCall> m_views;
};

void ScriptWindowsTest::init() {
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("VT_CONFIG_DIR", QFile::encodeName(m_config->path()));
    writeFile(QStringLiteral("sqltools.ini"), kKinds);
    doneAppSettings();
    initAppSettings();
    m_library = LoadResourceLibrary(
        QDir(qEnvironmentVariable("VT_PROGRAM_BIN")).filePath(QStringLiteral("vtres.so")),
        programModule(), QStringLiteral("2.0.7"));
    QVERIFY(m_library);
    m_messages.clear();
    m_flags.clear();
    m_views.clear();
    m_errorMessages.clear();
    m_answer = mb::idYes;
    setAppMessageHandler([this](const QString&, const QString& text, unsigned flags) {
        m_messages << text;
        m_flags.push_back(flags);
        return m_answer;
    });
    ErrorHandlingApplication::installErrorHandler(&m_errors);
    m_errors.setDialogPresenter([this](TErrorHandler& h) { m_errorMessages << h.Message(); });
}

void ScriptWindowsTest::cleanup() {
    ErrorHandlingApplication::installErrorHandler(nullptr);
    setAppMessageHandler({});
    m_library.reset();
    doneAppSettings();
}

void ScriptWindowsTest::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile out(file(name));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

QByteArray ScriptWindowsTest::readFile(const QString& name) const {
    QFile in(file(name));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
}

bool ScriptWindowsTest::vtconvert(const QStringList& args) const {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VT_CONFIG_DIR"), m_config->path());
    env.remove(QStringLiteral("VT_SCRIPT_PASSWORD"));
    process.setProcessEnvironment(env);
    process.start(
        QDir(qEnvironmentVariable("VT_PROGRAM_BIN")).filePath(QStringLiteral("vtconvert")), args);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

template <class Form> void ScriptWindowsTest::watch(Form& form) {
    form.setScriptViewer([this](const QString& fileName, int commandNumber, bool isRsql) {
        m_views.push_back({fileName, commandNumber, isRsql});
        return fileName;
    });
}

template <class Form> void ScriptWindowsTest::execute(Form& form) {
    QVERIFY(form.BitBtn1->isEnabled());
    form.BitBtn1->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form.converting(), 60000);
    // The window is usable again.
    QVERIFY(form.GroupBox1->isEnabled());
    QCOMPARE(form.PBConvert->value(), 0);
}

void ScriptWindowsTest::kindEditorSaveEnabling_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("commentBegin");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("name, terminator and comment marker given") << "Oracle"
                                                               << ";"
                                                               << "--"
                                                               << "" << true;
    QTest::newRow("a terminator of blanks does not count") << "Oracle"
                                                           << "   "
                                                           << "--"
                                                           << "X" << false;
    QTest::newRow("a blank name does not count") << " "
                                                 << ";"
                                                 << "--"
                                                 << "X" << false;
    QTest::newRow("a comment marker of blanks does not count") << "Oracle"
                                                               << "/"
                                                               << "\t "
                                                               << "X" << false;
    QTest::newRow("the database code is no condition") << "Oracle"
                                                       << "/"
                                                       << "REM"
                                                       << "" << true;
}

void ScriptWindowsTest::kindEditorSaveEnabling() {
    QFETCH(QString, name);
    QFETCH(QString, delimiter);
    QFETCH(QString, commentBegin);
    QFETCH(QString, code);
    QFETCH(bool, enabled);
    TFormSQLEdit editor;
    QVERIFY(!editor.rBBOK->isEnabled());
    QTest::keyClicks(editor.EName, name);
    QTest::keyClicks(editor.EDelimeter, delimiter);
    QTest::keyClicks(editor.ECommentBegin, commentBegin);
    QTest::keyClicks(editor.EDBCode, code);
    QCOMPARE(editor.rBBOK->isEnabled(), enabled);
}

void ScriptWindowsTest::kindEditorSavesWhatWasTypedAndKeepsTheDialect() {
    TFormSQLEdit editor;
    editor.setKind(ScriptKinds(SqlToolsIni()).load("SQLite"));
    editor.EName->setText(QStringLiteral("SQLite copy"));
    editor.EIgnore->setText(QStringLiteral("BEGIN;  COMMIT"));
    editor.CBDefault->setChecked(true);
    editor.rBBOK->click();
    QCOMPARE(editor.result(), int(QDialog::Accepted));

    const ScriptKinds kinds(SqlToolsIni());
    QCOMPARE(kinds.names(),
             (std::vector<std::string>{"Firebird", "SQLite", "PostgreSQL", "SQLite copy"}));
    const ScriptKind copy = kinds.load("SQLite copy");
    QCOMPARE(copy.ignoreCommand, std::string("BEGIN;  COMMIT"));
    QCOMPARE(copy.dialect, std::string("SQLite"));
    QCOMPARE(copy.dbCode, std::string("SHOP"));
    QVERIFY(copy.useDefault);
    // The copy is the only default now; the kind it was made from is left otherwise unchanged.
    QCOMPARE(kinds.defaultKindName(), std::optional<std::string>("SQLite copy"));
    QCOMPARE(kinds.load("SQLite").dialect, std::string("SQLite"));
}

void ScriptWindowsTest::kindsListAddsASavedNameOnlyWhenNew_data() {
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<int>("count");
    QTest::newRow("a new kind is appended") << false << "Oracle"
                                            << "" << 4;
    QTest::newRow("a name differing in letter case is the same kind") << true << "firebird"
                                                                      << "Firebird" << 3;
    QTest::newRow("a renamed kind joins the old one") << true << "Firebird 3"
                                                      << "Firebird" << 4;
    QTest::newRow("a cancelled editor adds nothing") << false << ""
                                                     << "" << 3;
}

void ScriptWindowsTest::kindsListAddsASavedNameOnlyWhenNew() {
    QFETCH(bool, edit);
    QFETCH(QString, saved);
    QFETCH(QString, opened);
    QFETCH(int, count);
    TFormSQLTools tools;
    QString openedWith = QStringLiteral("<not opened>");
    tools.setKindEditRunner([&](const QString& name) -> std::optional<QString> {
        openedWith = name;
        if (saved.isEmpty())
            return std::nullopt;
        return saved;
    });
    tools.FormActivate();
    (edit ? tools.rBBDelete : tools.rBBAdd)->click();
    QCOMPARE(openedWith, opened);
    QCOMPARE(tools.ListTools->count(), count);
}

void ScriptWindowsTest::kindsListRemovesAKindOnlyOnYes_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("count");
    QTest::newRow("Yes removes the selected kind") << int(mb::idYes) << 2;
    QTest::newRow("No keeps it") << int(mb::idNo) << 3;
}

void ScriptWindowsTest::kindsListRemovesAKindOnlyOnYes() {
    QFETCH(int, answer);
    QFETCH(int, count);
    m_answer = answer;
    TFormSQLTools tools;
    tools.ListTools->setCurrentRow(1);
    tools.rBBRemove->click();
    QCOMPARE(m_messages, QStringList{QStringLiteral("Удалить вид скрипта ?")});
    QCOMPARE(m_flags, std::vector<unsigned>{36});
    QCOMPARE(tools.ListTools->count(), count);
    QCOMPARE(int(ScriptKinds(SqlToolsIni()).names().size()), count);
    QCOMPARE(tools.ListTools->currentRow(), 0);
}

void ScriptWindowsTest::conversionWindowsPreselectTheDefaultKind_data() {
    QTest::addColumn<QByteArray>("kinds");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("count");
    QTest::newRow("the default kind") << QByteArray(kKinds) << "SQLite" << 3;
    QTest::newRow("the first of two defaults")
        << QByteArray("[A]\r\nUseDefault=0\r\n[B]\r\nUseDefault=1\r\n[C]\r\nUseDefault=1\r\n")
        << "B" << 3;
    QTest::newRow("none without a default")
        << QByteArray("[A]\r\n[B]\r\nUseDefault=2\r\n") << "" << 2;
    QTest::newRow("none in an empty file") << QByteArray() << "" << 0;
}

void ScriptWindowsTest::conversionWindowsPreselectTheDefaultKind() {
    QFETCH(QByteArray, kinds);
    QFETCH(QString, chosen);
    QFETCH(int, count);
    writeFile(QStringLiteral("sqltools.ini"), kinds);
    SqlToolsIni().reload();
    TFormConvert1 convert1;
    TFormConvert2 convert2;
    convert1.FEScript->setText(file(QStringLiteral("a.sql")));
    convert2.FEIni2->setText(file(QStringLiteral("a.rsql")));
    for (TFormScriptAction* form :
         {static_cast<TFormScriptAction*>(&convert1), static_cast<TFormScriptAction*>(&convert2)}) {
        QCOMPARE(form->CBScript->count(), count);
        QCOMPARE(form->CBScript->currentText(), chosen);
        QCOMPARE(form->SBEdit->isEnabled(), !chosen.isEmpty());
        // Both file names are given: Execute waits for a kind only.
        QCOMPARE(form->BitBtn1->isEnabled(), !chosen.isEmpty());
    }
}

void ScriptWindowsTest::convert1ExecuteEnabling_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("rsql");
    QTest::addColumn<bool>("kind");
    QTest::addColumn<QString>("oldVersion");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("files and kind") << "a.sql"
                                    << "a.rsql" << true << ""
                                    << "" << true;
    QTest::newRow("no kind") << "a.sql"
                             << "a.rsql" << false << ""
                             << "" << false;
    QTest::newRow("a blank rSQL name") << "a.sql"
                                       << "  " << true << ""
                                       << "" << false;
    QTest::newRow("an old version without code") << "a.sql"
                                                 << "a.rsql" << true << "1.0"
                                                 << " " << false;
    QTest::newRow("an old version with code") << "a.sql"
                                              << "a.rsql" << true << "1.0"
                                              << "SHOP" << true;
}

void ScriptWindowsTest::convert1ExecuteEnabling() {
    QFETCH(QString, sql);
    QFETCH(QString, rsql);
    QFETCH(bool, kind);
    QFETCH(QString, oldVersion);
    QFETCH(QString, code);
    QFETCH(bool, enabled);
    TFormConvert1 form;
    if (!kind)
        form.CBScript->setCurrentIndex(-1);
    form.FEScript->setText(sql);
    QCOMPARE(form.FEIni->text(), QStringLiteral("a.rsql"));
    QVERIFY(form.SBLookSQL->isEnabled());
    form.FEIni->setText(rsql);
    form.Edit1->setText(oldVersion);
    form.EDBCode->setText(code);
    QCOMPARE(form.BitBtn1->isEnabled(), enabled);
}

void ScriptWindowsTest::convert2ExecuteEnabling_data() {
    QTest::addColumn<QString>("rsql");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("kind");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("files and kind") << "dir.v1/a.rsql"
                                    << "" << true << true;
    QTest::newRow("no kind") << "a.rsql"
                             << "" << false << false;
    QTest::newRow("a blank SQL name") << "a.rsql"
                                      << " " << true << false;
    QTest::newRow("a blank rSQL name") << ""
                                       << "a.sql" << true << false;
}

void ScriptWindowsTest::convert2ExecuteEnabling() {
    QFETCH(QString, rsql);
    QFETCH(QString, sql);
    QFETCH(bool, kind);
    QFETCH(bool, enabled);
    TFormConvert2 form;
    if (!kind)
        form.CBScript->setCurrentIndex(-1);
    QVERIFY(!form.SBSQLView->isEnabled());
    form.FEIni2->setText(rsql);
    QCOMPARE(form.SBSQLView->isEnabled(), !rsql.isEmpty());
    if (!rsql.isEmpty())
        QCOMPARE(form.FESQLFile->text(), rsql.chopped(5) + QStringLiteral(".sql"));
    if (!sql.isEmpty())
        form.FESQLFile->setText(sql);
    QCOMPARE(form.BitBtn1->isEnabled(), enabled);
}

void ScriptWindowsTest::thePasswordGroupIsEnabledOnlyWithItsCheckBox() {
    TFormConvert1 form;
    QVERIFY(!form.CBCrypt->isChecked());
    QVERIFY(form.CBCrypt->isEnabled());
    QVERIFY(!form.EPassKey->isEnabled());
    QVERIFY(!form.EPassKey1->isEnabled());
    const QColor windowColour = form.palette().color(QPalette::Base);
    const QColor faceColour = form.palette().color(QPalette::Button);
    QCOMPARE(form.EPassKey->palette().color(QPalette::Base), faceColour);
    form.CBCrypt->click();
    QVERIFY(form.EPassKey->isEnabled());
    QVERIFY(form.EPassKey1->isEnabled());
    QCOMPARE(form.EPassKey1->palette().color(QPalette::Base), windowColour);
    form.CBCrypt->click();
    QVERIFY(!form.EPassKey1->isEnabled());
    QCOMPARE(form.EPassKey1->palette().color(QPalette::Base), faceColour);
}

void ScriptWindowsTest::choosingAKindFillsItsDefaults() {
    TFormConvert1 convert1;
    convert1.EDBUser->setText(QStringLiteral("typed"));
    convert1.CBScript->setCurrentText(QStringLiteral("Firebird"));
    QCOMPARE(convert1.EDBUser->text(), QStringLiteral("SYSDBA"));
    QCOMPARE(convert1.EDBCode->text(), QStringLiteral("STOCK"));
    TFormConvert2 convert2;
    QCOMPARE(convert2.ETerm->text(), QStringLiteral(";"));
    convert2.ETerm->setText(QStringLiteral("^"));
    convert2.CBScript->setCurrentText(QStringLiteral("Firebird"));
    QCOMPARE(convert2.ETerm->text(), QStringLiteral(";"));
}

void ScriptWindowsTest::browsingStartsInTheKindsFolderWithTheFileBoxsFilter() {
    ScriptKinds kinds(SqlToolsIni());
    ScriptKind firebird = kinds.load("Firebird");
    firebird.defaultPath = "/srv/scripts";
    kinds.save(firebird);
    TFormConvert1 form;
    form.CBScript->setCurrentText(QStringLiteral("Firebird"));
    struct Asked {
        QString folder, filter, ext;
        TrFileEdit::Mode mode;
    };
    std::vector<Asked> asked;
    QString answer = QStringLiteral("/srv/scripts/stock.sql");
    const auto runner = [&](TrFileEdit& box) {
        asked.push_back({box.startFolder(), box.filter(), box.defaultExt(), box.mode()});
        return answer;
    };
    form.FEScript->setFileDialogRunner(runner);
    form.FEIni->setFileDialogRunner(runner);
    const auto browse = [](TrFileEdit* box) {
        box->findChild<QAction*>(QStringLiteral("browse"))->trigger();
    };
    browse(form.FEScript);
    QCOMPARE(form.FEScript->text(), QStringLiteral("/srv/scripts/stock.sql"));
    QCOMPARE(form.FEIni->text(), QStringLiteral("/srv/scripts/stock.rsql"));
    answer.clear(); // the user cancels: the name stays
    browse(form.FEIni);
    QCOMPARE(form.FEIni->text(), QStringLiteral("/srv/scripts/stock.rsql"));
    QCOMPARE(asked.size(), std::size_t{2});
    QCOMPARE(asked[0].folder, QStringLiteral("/srv/scripts"));
    QCOMPARE(asked[0].filter, QStringLiteral("SQL-скрипты (*.sql)|*.sql|Все файлы (*.*)|*.*"));
    QCOMPARE(asked[0].ext, QStringLiteral("Sql"));
    QVERIFY(asked[0].mode == TrFileEdit::Mode::Open);
    QCOMPARE(asked[1].filter, QStringLiteral("rSQL-скрипты (*.rsql)|*.rsql|Все файлы (*.*)|*.*"));
    QCOMPARE(asked[1].ext, QStringLiteral("rSQL"));
    QVERIFY(asked[1].mode == TrFileEdit::Mode::Save);
}

void ScriptWindowsTest::convert1WritesWhatVtconvertWrites_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("comments");
    QTest::newRow("a line-rule kind, plain") << "Firebird"
                                             << "" << QStringList();
    QTest::newRow("a line-rule kind, scrambled, with comments")
        << "Firebird"
        << "geheim" << QStringList{"Склад", "second line"};
    QTest::newRow("the SQLite dialect, scrambled") << "SQLite"
                                                   << "pw" << QStringList{"one"};
}

void ScriptWindowsTest::convert1WritesWhatVtconvertWrites() {
    QFETCH(QString, kind);
    QFETCH(QString, password);
    QFETCH(QStringList, comments);
    writeFile(QStringLiteral("update.sql"), kFirebirdSql);
    TFormConvert1 form;
    watch(form);
    form.CBScript->setCurrentText(kind);
    form.FEScript->setText(file(QStringLiteral("update.sql")));
    form.Edit1->setText(QStringLiteral("1.0"));
    form.Edit3->setText(QStringLiteral("1.1"));
    form.EDBUser->setText(QStringLiteral("admin"));
    form.Memo1->setPlainText(comments.join(u'\n'));
    if (!password.isEmpty()) {
        form.CBCrypt->click();
        form.EPassKey->setText(password);
        form.EPassKey1->setText(password);
    }
    execute(form);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(m_views.size(), std::size_t{1});
    QCOMPARE(m_views[0].fileName, file(QStringLiteral("update.rsql")));
    QCOMPARE(m_views[0].commandNumber, 0);
    QVERIFY(m_views[0].isRsql);

    QStringList args{QStringLiteral("sql2rsql"),
                     file(QStringLiteral("update.sql")),
                     file(QStringLiteral("cli.rsql")),
                     QStringLiteral("--kind"),
                     kind,
                     QStringLiteral("--old"),
                     QStringLiteral("1.0"),
                     QStringLiteral("--new"),
                     QStringLiteral("1.1"),
                     QStringLiteral("--user"),
                     QStringLiteral("admin")};
    for (const QString& line : comments)
        args << QStringLiteral("--comment") << line;
    if (!password.isEmpty())
        args << QStringLiteral("--password") << password;
    QVERIFY(vtconvert(args));
    QVERIFY(readFile(QStringLiteral("update.rsql")).contains("[Command3]"));
    QCOMPARE(readFile(QStringLiteral("update.rsql")), readFile(QStringLiteral("cli.rsql")));
}

void ScriptWindowsTest::convert1RefusesAPasswordConfirmedWrongly_data() {
    QTest::addColumn<bool>("crypt");
    QTest::newRow("with scrambling") << true;
    QTest::newRow("also with the boxes disabled") << false;
}

void ScriptWindowsTest::convert1RefusesAPasswordConfirmedWrongly() {
    QFETCH(bool, crypt);
    writeFile(QStringLiteral("update.sql"), kFirebirdSql);
    TFormConvert1 form;
    watch(form);
    form.EPassKey->setText(QStringLiteral("one"));
    form.EPassKey1->setText(QStringLiteral("two"));
    form.CBCrypt->setChecked(crypt);
    form.FEScript->setText(file(QStringLiteral("update.sql")));
    execute(form);
    QCOMPARE(m_messages, QStringList{QStringLiteral("Пароль подтвержден неверно.")});
    QCOMPARE(m_flags, std::vector<unsigned>{16});
    QVERIFY(!QFile::exists(file(QStringLiteral("update.rsql"))));
    QVERIFY(m_views.empty());
}

void ScriptWindowsTest::convert1ReportsAScriptWithoutCommands() {
    writeFile(QStringLiteral("empty.sql"), "-- nothing but a comment\r\n\r\n");
    TFormConvert1 form;
    watch(form);
    form.FEScript->setText(file(QStringLiteral("empty.sql")));
    execute(form);
    QCOMPARE(m_messages, QStringList{QStringLiteral("В скрипт не добавлена ни одна команда.")});
    QCOMPARE(m_flags, std::vector<unsigned>{64});
    // The file is written all the same and shown.
    QVERIFY(readFile(QStringLiteral("empty.rsql")).contains("Commands=0"));
    QCOMPARE(m_views.size(), std::size_t{1});
}

void ScriptWindowsTest::convert2WritesWhatVtconvertWrites_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("terminator");
    QTest::newRow("plain, the kind's terminator") << ""
                                                  << ";";
    QTest::newRow("scrambled, another terminator set around the script") << "geheim"
                                                                         << "^";
}

void ScriptWindowsTest::convert2WritesWhatVtconvertWrites() {
    QFETCH(QString, password);
    QFETCH(QString, terminator);
    writeFile(QStringLiteral("update.sql"), kFirebirdSql);
    QStringList args{QStringLiteral("sql2rsql"), file(QStringLiteral("update.sql")),
                     file(QStringLiteral("update.rsql")), QStringLiteral("--kind"),
                     QStringLiteral("Firebird")};
    if (!password.isEmpty())
        args << QStringLiteral("--password") << password;
    QVERIFY(vtconvert(args));

    TFormConvert2 form;
    watch(form);
    form.CBScript->setCurrentText(QStringLiteral("Firebird"));
    form.FEIni2->setText(file(QStringLiteral("update.rsql")));
    form.FESQLFile->setText(file(QStringLiteral("back.sql")));
    form.ETerm->setText(terminator);
    form.EPassKey->setText(password);
    execute(form);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(m_views.size(), std::size_t{1});
    QCOMPARE(m_views[0].fileName, file(QStringLiteral("back.sql")));
    QCOMPARE(m_views[0].commandNumber, 0);
    QVERIFY(!m_views[0].isRsql);

    QStringList back{QStringLiteral("rsql2sql"),
                     file(QStringLiteral("update.rsql")),
                     file(QStringLiteral("cli.sql")),
                     QStringLiteral("--kind"),
                     QStringLiteral("Firebird"),
                     QStringLiteral("--term"),
                     terminator};
    if (!password.isEmpty())
        back << QStringLiteral("--password") << password;
    QVERIFY(vtconvert(back));
    QCOMPARE(readFile(QStringLiteral("back.sql")), readFile(QStringLiteral("cli.sql")));
    QVERIFY(readFile(QStringLiteral("back.sql")).contains("/*RECONNECT*/\r\n"));
}

void ScriptWindowsTest::convert2RefusesAWrongPassword() {
    writeFile(QStringLiteral("update.sql"), kFirebirdSql);
    QVERIFY(vtconvert({QStringLiteral("sql2rsql"), file(QStringLiteral("update.sql")),
                       file(QStringLiteral("update.rsql")), QStringLiteral("--password"),
                       QStringLiteral("right")}));
    TFormConvert2 form;
    watch(form);
    form.FEIni2->setText(file(QStringLiteral("update.rsql")));
    form.EPassKey->setText(QStringLiteral("wrong"));
    // The SQL file the script was made from is the one to write: the user agrees to replace it.
    QCOMPARE(form.FESQLFile->text(), file(QStringLiteral("update.sql")));
    execute(form);
    QCOMPARE(m_messages,
             (QStringList{QStringLiteral("Файл с таким именем уже существует. Перезаписать?"),
                          QStringLiteral("Пароль раскодирования неверен.")}));
    QCOMPARE(m_flags, (std::vector<unsigned>{36, 16}));
    QCOMPARE(readFile(QStringLiteral("update.sql")), QByteArray(kFirebirdSql));
    QVERIFY(m_views.empty());
}

void ScriptWindowsTest::aRefusedOverwriteLeavesTheFileAndOpensNoViewer() {
    writeFile(QStringLiteral("update.sql"), kFirebirdSql);
    writeFile(QStringLiteral("update.rsql"), "kept");
    m_answer = mb::idNo;
    TFormConvert1 form;
    watch(form);
    form.FEScript->setText(file(QStringLiteral("update.sql")));
    execute(form);
    QCOMPARE(m_messages,
             QStringList{QStringLiteral("Файл с таким именем уже существует. Перезаписать?")});
    QCOMPARE(m_flags, std::vector<unsigned>{36});
    QCOMPARE(readFile(QStringLiteral("update.rsql")), QByteArray("kept"));
    QVERIFY(m_views.empty());

    TFormConvert2 back;
    watch(back);
    back.FEIni2->setText(file(QStringLiteral("update.rsql")));
    execute(back);
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(readFile(QStringLiteral("update.sql")), QByteArray(kFirebirdSql));
    QVERIFY(m_views.empty());
}

void ScriptWindowsTest::writingOverTheScriptBeingReadIsRefused() {
    const QString refused = QStringLiteral("Файл для записи совпадает с исходным файлом. Укажите "
                                           "другое имя.");
    writeFile(QStringLiteral("update.rsql"), kFirebirdSql);
    TFormConvert1 form;
    watch(form);
    form.FEScript->setText(file(QStringLiteral("update.rsql")));
    execute(form);
    QCOMPARE(m_messages, QStringList{refused});
    QCOMPARE(m_flags, std::vector<unsigned>{16});
    QCOMPARE(readFile(QStringLiteral("update.rsql")), QByteArray(kFirebirdSql));

    // Another spelling of the same file is the same file.
    m_messages.clear();
    TFormConvert2 back;
    watch(back);
    back.FEIni2->setText(file(QStringLiteral("update.rsql")));
    back.FESQLFile->setText(m_config->path() + QStringLiteral("/./update.rsql"));
    execute(back);
    QCOMPARE(m_messages, QStringList{refused});
    QCOMPARE(readFile(QStringLiteral("update.rsql")), QByteArray(kFirebirdSql));
    QVERIFY(m_views.empty());
}

void ScriptWindowsTest::aMissingScriptReachesTheErrorHandlerAndTheWindowStaysUsable() {
    TFormConvert2 form;
    watch(form);
    const QString missing = file(QStringLiteral("gone.rsql"));
    form.FEIni2->setText(missing);
    execute(form);
    QCOMPARE(m_errorMessages.size(), 1);
    QVERIFY2(m_errorMessages[0].startsWith(QStringLiteral("Файл ") + missing +
                                           QStringLiteral(" не существует.")),
             qPrintable(m_errorMessages[0]));
    QVERIFY(!QFile::exists(file(QStringLiteral("gone.sql"))));
    QVERIFY(form.BitBtn1->isEnabled());
    QVERIFY(m_views.empty());
}

void ScriptWindowsTest::f4InAFileBoxOpensTheViewerAndTakesTheNameBack() {
    TFormConvert2 form;
    form.setScriptViewer([this](const QString& fileName, int commandNumber, bool isRsql) {
        m_views.push_back({fileName, commandNumber, isRsql});
        return file(QStringLiteral("saved as.rsql"));
    });
    form.show();
    form.FEIni2->setText(file(QStringLiteral("update.rsql")));
    form.FEIni2->setFocus();
    QTest::keyClick(form.FEIni2, Qt::Key_F4);
    QCOMPARE(m_views.size(), std::size_t{1});
    QCOMPARE(m_views[0].fileName, file(QStringLiteral("update.rsql")));
    QCOMPARE(m_views[0].commandNumber, 0);
    QVERIFY(m_views[0].isRsql);
    QCOMPARE(form.FEIni2->text(), file(QStringLiteral("saved as.rsql")));

    QString edited;
    form.setKindEditRunner([&](const QString& name) {
        edited = name;
        return std::nullopt;
    });
    form.CBScript->setFocus();
    QTest::keyClick(form.CBScript, Qt::Key_F4);
    QCOMPARE(edited, QStringLiteral("SQLite"));
}

void ScriptWindowsTest::closingFreesTheWindow() {
    auto* form = new TFormConvert1;
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> reference(form);
    form->show();
    form->BitBtn2->click();
    QTRY_VERIFY(reference.isNull());
}

void ScriptWindowsTest::everyWindowOpensTheHelpAtItsOwnContext_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("context");
    QTest::newRow("SQL to rSQL") << "TFormConvert1"
                                 << "100300";
    QTest::newRow("rSQL to SQL") << "TFormConvert2"
                                 << "100500";
    QTest::newRow("kind editor") << "TFormSQLEdit"
                                 << "100600";
    QTest::newRow("kinds list") << "TFormSQLTools"
                                << "100700";
}

void ScriptWindowsTest::everyWindowOpensTheHelpAtItsOwnContext() {
    QFETCH(QString, window);
    QFETCH(QString, context);
    QStringList opened;
    setUrlOpener([&](const QUrl& url) {
        opened << url.fragment();
        return true;
    });
    std::unique_ptr<QDialog> form;
    QAbstractButton* help = nullptr;
    if (window == QLatin1String("TFormConvert1")) {
        auto* f = new TFormConvert1;
        help = f->BitBtn3;
        form.reset(f);
    } else if (window == QLatin1String("TFormConvert2")) {
        auto* f = new TFormConvert2;
        help = f->BitBtn3;
        form.reset(f);
    } else if (window == QLatin1String("TFormSQLEdit")) {
        auto* f = new TFormSQLEdit;
        help = f->rBBHelp;
        form.reset(f);
    } else {
        auto* f = new TFormSQLTools;
        help = f->BBHelp;
        form.reset(f);
    }
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_F1);
    help->click();
    setUrlOpener({});
    QCOMPARE(opened, (QStringList{context, context}));
}

} // namespace vt::desktop

int main(int argc, char** argv) {
    // Exceptions leaving the windows' handlers reach the error handler, as in the program.
    vt::desktop::ErrorHandlingApplication app(argc, argv);
    vt::desktop::ScriptWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "scriptwindows_test.moc"
