// Tests of the main window and the start-up: the Tools menu from tools.ini, the tools window
// keeping menus, drop-down, list and file in step, single-instance windows and the start-up
// order with and without the product resource library.
#include "desktop/app/desktopstartup.h"
#include "desktop/app/mainform.h"
#include "desktop/controls/trbackground.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/launcher.h"
#include "desktop/shell/resourcelibrary.h"
#include "desktop/shell/shellerrors.h"
#include "desktop/shell/toolseditor.h"
#include "desktop/shell/urlopener.h"
#include "desktop/shell/windows/formtools.h"
#include "desktop/shell/windows/logo.h"
#include "platform/exception.h"
#include "script/inifile.h"

#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace vt::desktop {
namespace {

QString programLibrary() {
    return QDir(qEnvironmentVariable("VT_PROGRAM_BIN")).filePath(QStringLiteral("vtres.so"));
}

// The captions of a menu's entries; a separator reads "-" when visible and is left out when not.
QStringList captions(const QMenu* menu) {
    QStringList result;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            if (a->isVisible())
                result << QStringLiteral("-");
        } else {
            result << a->text();
        }
    }
    return result;
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void toolsMenuIsBuiltFromToolsIni_data();
    void toolsMenuIsBuiltFromToolsIni();
    void aToolEntryStartsItsProgram();
    void theToolsWindowKeepsMenusListAndFileInStep();
    void aToolsWindowWithoutTheResourceLibraryIsNotMade();
    void aSecondCommandBringsTheOpenWindowForward();
    void buttonsShowTheirLongHintInTheStatusLine();
    void whatsNewOpensChangesTxtOfTheProgramFolder();
    void theMainWindowOwnsTheApplicationsErrorHandler();

    void startUpRunsInOrderWithTheSplashFor2000Ms();
    void startUpWithoutAUsableResourceLibraryEndsWithoutAMainWindow_data();
    void startUpWithoutAUsableResourceLibraryEndsWithoutAMainWindow();

private:
    void writeTools(const QByteArray& text);
    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<ResourceLibrary> m_library;
    QStringList m_messages;
};

void MainFormTest::init() {
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel Utilities"));
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("VT_CONFIG_DIR", QFile::encodeName(m_config->path()));
    doneAppSettings();
    m_messages.clear();
    setAppMessageHandler([this](const QString&, const QString& text, unsigned) {
        m_messages << text;
        return mb::idYes;
    });
}

void MainFormTest::cleanup() {
    setAppMessageHandler({});
    CloseSplash(false);
    m_library.reset();
    doneAppSettings();
}

void MainFormTest::writeTools(const QByteArray& text) {
    QFile file(QDir(m_config->path()).filePath(QStringLiteral("tools.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void MainFormTest::toolsMenuIsBuiltFromToolsIni_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<QStringList>("dropDown");
    QTest::newRow("no file") << QByteArray() << QStringList{"&Настройка..."} << QStringList{};
    QTest::newRow("three sections")
        << QByteArray("[A]\r\nProgramName=a\r\n[B]\r\n[C]\r\nProgramName=c\r\n")
        << QStringList{"A", "B", "C", "-", "&Настройка..."} << QStringList{"A", "B", "C"};
    QTest::newRow("a caption with an ampersand")
        << QByteArray("[&Notepad]\r\nProgramName=/bin/true\r\n")
        << QStringList{"&&Notepad", "-", "&Настройка..."} << QStringList{"&&Notepad"};
}

void MainFormTest::toolsMenuIsBuiltFromToolsIni() {
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, menu);
    QFETCH(QStringList, dropDown);
    if (!ini.isEmpty())
        writeTools(ini);
    TMainForm form;
    QCOMPARE(captions(form.NTools), menu);
    QCOMPARE(captions(form.PMTools), dropDown);
    QCOMPARE(form.windowTitle(), QStringLiteral("Vantrel Utilities"));
}

void MainFormTest::aToolEntryStartsItsProgram() {
    writeTools("[Editor]\r\nProgramName=/bin/true\r\n"
               "[&Notepad]\r\nProgramName=\"/bin/echo\"\r\nWorkDir=/tmp\r\nParams=\"a b\" c\r\n");
    TMainForm form;
    TLaunchRequest started;
    form.Launcher->BeforeLaunch = [&](TLauncher*, TLaunchRequest& request) { started = request; };
    QAction* entry = form.findChild<QAction*>(QStringLiteral("NItem1_Popup"));
    QVERIFY(entry);
    entry->trigger();
    QCOMPARE(started.arguments, (QStringList{"/bin/echo", "a b", "c"}));
    QCOMPARE(started.workDir, QStringLiteral("/tmp"));
}

void MainFormTest::theToolsWindowKeepsMenusListAndFileInStep() {
    writeTools("[Editor]\r\nProgramName=vi\r\nWorkDir=\r\nParams=\r\n"
               "[Viewer]\r\nProgramName=less\r\nWorkDir=\r\nParams=\r\n");
    m_library = LoadResourceLibrary(programLibrary(), programModule(), QStringLiteral("2.0.7"));
    TMainForm form;
    {
        TFormTools tools(form, &form);
        std::optional<TToolParams> answer;
        std::optional<TToolParams> offered;
        tools.setToolEditRunner([&](const std::optional<TToolParams>& tool) {
            offered = tool;
            return answer;
        });
        tools.show();
        tools.FormActivate();
        QCOMPARE(tools.ListTools->currentRow(), 0);

        // Add a tool, then a name differing only in case updates the existing one.
        answer = TToolParams{"Diff", "meld", "", "--newtab"};
        tools.rBBAdd->click();
        QVERIFY(!offered);
        answer = TToolParams{"EDITOR", "nano", "", ""};
        tools.rBBAdd->click();
        QCOMPARE(tools.ListTools->count(), 3);
        // Editing with a new name adds a tool; the edited one stays.
        tools.ListTools->setCurrentRow(1);
        answer = TToolParams{"Pager", "less", "", "-R"};
        tools.rBBDelete->click();
        QVERIFY(offered);
        QCOMPARE(offered->name, QStringLiteral("Viewer"));
        // Remove the first, move the last to the top.
        tools.ListTools->setCurrentRow(0);
        tools.rBBRemove->click();
        QCOMPARE(m_messages, QStringList{"Удалить инструмент ?"});
        tools.ListTools->setCurrentRow(2);
        tools.UpBtn->click();
        tools.UpBtn->click();
        QCOMPARE(tools.ListTools->currentRow(), 0);
        tools.UpBtn->click();
        QVERIFY(!tools.UpBtn->isEnabled());
        tools.BBClose->click();
    }
    const QStringList expected{"Pager", "Viewer", "Diff"};
    QCOMPARE(captions(form.PMTools), expected);
    QCOMPARE(captions(form.NTools), (expected + QStringList{"-", "&Настройка..."}));
    script::IniFile reread(QDir(m_config->path()).filePath("tools.ini").toStdString());
    QCOMPARE(toolNames(reread), expected);
    QCOMPARE(QString::fromStdString(reread.readString("Diff", "Params")),
             QStringLiteral("--newtab"));
    QCOMPARE(QString::fromStdString(reread.readString("Pager", "Params")), QStringLiteral("-R"));
    QVERIFY(!reread.hasSection("Editor"));

    // Removing every tool hides the separator and leaves a file without sections.
    {
        TFormTools tools(form, &form);
        while (tools.ListTools->count() > 0) {
            tools.ListTools->setCurrentRow(0);
            tools.rBBRemove->click();
        }
        tools.BBClose->click();
    }
    QCOMPARE(captions(form.NTools), QStringList{"&Настройка..."});
    QVERIFY(captions(form.PMTools).isEmpty());
    QVERIFY(toolNames(reread).isEmpty());
}

void MainFormTest::aToolsWindowWithoutTheResourceLibraryIsNotMade() {
    TMainForm form;
    try {
        TFormTools tools(form, &form);
        QFAIL("no exception");
    } catch (const EResNotFound& e) {
        QCOMPARE(QString::fromStdString(e.message()), QStringLiteral("Ресурс EXIT_BTN не найден"));
    }
}

void MainFormTest::aSecondCommandBringsTheOpenWindowForward() {
    int made = 0;
    TScriptWindows windows;
    windows.execSQL = [&](TMainForm* owner) {
        ++made;
        auto* window = new QDialog(owner);
        window->setObjectName(QStringLiteral("TFormExecSQL"));
        return window;
    };
    TMainForm form(windows);
    form.show();
    QVERIFY(form.NExecrSQL);
    QVERIFY(!form.NBatch && !form.NINIConvert && !form.NSQLConvert && !form.NScriptSetup);
    QCOMPARE(form.NExecrSQL->text(), QStringLiteral("Вы&полнить скрипт..."));
    form.NExecrSQL->trigger();
    QWidget* first = form.formExecSQL();
    QVERIFY(first && first->isVisible());
    form.findChild<QToolButton*>(QStringLiteral("SIExecSQL"))->click();
    QCOMPARE(made, 1);
    QCOMPARE(form.formExecSQL(), first);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!form.formExecSQL());
    form.NExecrSQL->trigger();
    QCOMPARE(made, 2);
    QVERIFY(form.formExecSQL());
}

void MainFormTest::buttonsShowTheirLongHintInTheStatusLine() {
    TMainForm form;
    form.show();
    auto* exit = form.findChild<QToolButton*>(QStringLiteral("SBExit"));
    QVERIFY(exit);
    QCOMPARE(exit->toolTip(), QStringLiteral("Выход"));
    QStatusTipEvent tip(exit->statusTip());
    QCoreApplication::sendEvent(&form, &tip);
    QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("Выход"));
    QCOMPARE(form.TBTools->statusTip(), QStringLiteral("Настройка инструментов"));
    QCOMPARE(exit->size(), QSize(45, 40));
}

void MainFormTest::whatsNewOpensChangesTxtOfTheProgramFolder() {
    // The tests' program folder holds no changes.txt.
    TMainForm form;
    try {
        form.NWhatsNew->trigger();
        QFAIL("no exception");
    } catch (const EOSError& e) {
        QCOMPARE(QString::fromStdString(e.message()),
                 QStringLiteral("Файл 'CHANGES.TXT' не найден."));
    }
    const QString changes = QDir(QCoreApplication::applicationDirPath()).filePath("changes.txt");
    QFile file(changes);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QList<QUrl> opened;
    setUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    form.NWhatsNew->trigger();
    setUrlOpener({});
    QFile::remove(changes);
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(changes)});
}

void MainFormTest::theMainWindowOwnsTheApplicationsErrorHandler() {
    {
        TMainForm form;
        QCOMPARE(ErrorHandlingApplication::errorHandler(), &form.ErrorHandler1);
        QCOMPARE(form.ErrorHandler1.IniFile(), QStringLiteral("toolserr.ini"));
        QCOMPARE(form.ErrorHandler1.LogFile(), QStringLiteral("toolserr.log"));
        QVERIFY(!form.ErrorHandler1.SaveLog());
        QVERIFY(form.ErrorHandler1.UserName().endsWith(QStringLiteral(" (ОС)")));
        QCOMPARE(form.rBackground1->RegKey(),
                 RegRoot() + AppSubKey() + QStringLiteral("\\Background"));
    }
    QCOMPARE(ErrorHandlingApplication::errorHandler(), nullptr);
}

// A start-up whose event loop and clock are replaced: records each step and what exists then.
class RecordedStartup final : public StartupSteps {
public:
    RecordedStartup(QApplication& app, const QString& library) : m_real(app, {}, library) {
        m_real.setSleeper([this](int ms) { log << QStringLiteral("sleep %1").arg(ms) + state(); });
    }
    QStringList log;

    void initModule() override {
        step("module", [&] { m_real.initModule(); });
    }
    void initApplication() override {
        step("application", [&] { m_real.initApplication(); });
    }
    void loadResources() override {
        step("resources", [&] { m_real.loadResources(); });
    }
    void showSplash() override {
        step("splash", [&] { m_real.showSplash(); });
    }
    void sleep(int ms) override { m_real.sleep(ms); }
    void createMainWindow() override {
        step("main window", [&] { m_real.createMainWindow(); });
    }
    void closeSplash() override {
        step("close splash", [&] { m_real.closeSplash(); });
    }
    int runEventLoop() override {
        log << QStringLiteral("event loop") + state();
        return 0;
    }
    void releaseResources() override {
        step("release", [&] { m_real.releaseResources(); });
    }
    void showFatalError(const std::exception& e) override {
        log << QStringLiteral("fatal: ") + QString::fromUtf8(e.what());
    }

private:
    // What is on screen: " S" for the splash, " M" for the main window.
    QString state() const {
        return QString(currentSplash() ? " S" : "") + QString(m_real.mainForm() ? " M" : "");
    }
    template <class F> void step(const char* name, F run) {
        run();
        log << QString::fromLatin1(name) + state();
    }
    DesktopStartup m_real;
};

void MainFormTest::startUpRunsInOrderWithTheSplashFor2000Ms() {
    RecordedStartup startup(*qApp, programLibrary());
    QCOMPARE(runStartup(startup), 0);
    QCOMPARE(startup.log,
             (QStringList{"module", "application", "resources", "splash S", "sleep 2000 S",
                          "main window S M", "close splash M", "event loop M", "release"}));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Vantrel Utilities"));
}

void MainFormTest::startUpWithoutAUsableResourceLibraryEndsWithoutAMainWindow_data() {
    QTest::addColumn<bool>("tooOld");
    QTest::newRow("missing") << false;
    QTest::newRow("too old") << true;
}

void MainFormTest::startUpWithoutAUsableResourceLibraryEndsWithoutAMainWindow() {
    QFETCH(bool, tooOld);
    QTemporaryDir dir;
    QString library = dir.filePath(QStringLiteral("vtres.so"));
    if (tooOld) {
        QFile source(programLibrary());
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray bytes = source.readAll();
        QVERIFY(bytes.contains("FILEVERSION=2.1.0.0"));
        bytes.replace("FILEVERSION=2.1.0.0", "FILEVERSION=2.0.6.0");
        QFile copy(library);
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(bytes);
    }
    RecordedStartup startup(*qApp, library);
    QCOMPARE(runStartup(startup), 1);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.first().startsWith(tooOld ? "Требуется версия библиотеки"
                                                 : "Не могу загрузить"));
    QCOMPARE(startup.log, (QStringList{"module", "application", "resources", "release",
                                       "fatal: Ресурс MAINLOGO не найден"}));
}

} // namespace vt::desktop

QTEST_MAIN(vt::desktop::MainFormTest)
#include "mainform_test.moc"
