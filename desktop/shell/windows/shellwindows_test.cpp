// Tests of the shell's windows: the script viewer, the action-window base, the about box and the
// splash, with and without the product resource library.
#include "desktop/errors/eanyerror.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/resourcelibrary.h"
#include "desktop/shell/shellerrors.h"
#include "desktop/shell/urlopener.h"
#include "desktop/shell/windows/aboutbox.h"
#include "desktop/shell/windows/formaction.h"
#include "desktop/shell/windows/formmemo.h"
#include "desktop/shell/windows/logo.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace vt::desktop {

class ShellWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void viewerSelectsTheCommandHeading_data();
    void viewerSelectsTheCommandHeading();
    void viewScriptFileRefusesAMissingFile();
    void ctrlEnterWithoutChangesClosesWithTheGivenName();
    void savingUnderANewNameTakesItOver();
    void escapeInAModifiedViewerAsksAndCancelKeepsTheText();
    void escapeAnsweredNoClosesWithoutSaving();

    void ctrlEnterClicksExecuteOnlyWhileEnabled();

    void f1OpensTheHelpAtTheFocusedControlsContext();

    void aboutBoxShowsTheVersionStrings();
    void aboutLinksThatCannotOpenRaiseTheirErrors_data();
    void aboutLinksThatCannotOpenRaiseTheirErrors();

    void splashProgressStepsOnlyWithSteps();
    void withoutTheResourceLibraryThePicturesAreMissing();

private:
    QString writeScript(const QByteArray& text);
    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<ResourceLibrary> m_library;
    std::vector<QString> m_questions;
    int m_answer = mb::idCancel;
};

void ShellWindowsTest::init() {
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("VT_CONFIG_DIR", QFile::encodeName(m_config->path()));
    doneAppSettings();
    initAppSettings();
    m_library = LoadResourceLibrary(
        QDir(qEnvironmentVariable("VT_PROGRAM_BIN")).filePath(QStringLiteral("vtres.so")),
        programModule(), QStringLiteral("2.0.7"));
    QVERIFY(m_library);
    m_questions.clear();
    setAppMessageHandler([this](const QString&, const QString& text, unsigned) {
        m_questions.push_back(text);
        return m_answer;
    });
}

void ShellWindowsTest::cleanup() {
    setAppMessageHandler({});
    setUrlOpener({});
    m_library.reset();
    doneAppSettings();
}

QString ShellWindowsTest::writeScript(const QByteArray& text) {
    const QString path = QDir(m_config->path()).filePath(QStringLiteral("script.rsql"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return path;
}

void ShellWindowsTest::viewerSelectsTheCommandHeading_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("start");
    QTest::newRow("command 4, not command 40") << 4 << "[Command4]" << 19;
    QTest::newRow("command 40") << 40 << "[Command40]" << 0;
    QTest::newRow("number 0 selects nothing") << 0 << "" << 0;
    QTest::newRow("a heading that is missing") << 7 << "" << 0;
}

void ShellWindowsTest::viewerSelectsTheCommandHeading() {
    QFETCH(int, number);
    QFETCH(QString, selected);
    QFETCH(int, start);
    TFormMemo viewer(writeScript("[Command40]\r\nSQL1=x\r\n[Command4]\r\nSQL1=y\r\n"), number,
                     true);
    viewer.show();
    viewer.FormActivate();
    QTextCursor cursor = viewer.Memo1->textCursor();
    QCOMPARE(cursor.selectedText(), selected);
    QCOMPARE(cursor.selectionStart(), start);
    QVERIFY(!viewer.BBOK->isEnabled());
}

void ShellWindowsTest::viewScriptFileRefusesAMissingFile() {
    const QString missing = QDir(m_config->path()).filePath(QStringLiteral("gone.sql"));
    try {
        ViewScriptFile(missing, 0, false);
        QFAIL("no exception");
    } catch (const Exception& e) {
        QCOMPARE(QString::fromStdString(e.message()),
                 QStringLiteral("Файл %1 не найден.").arg(missing));
    }
}

void ShellWindowsTest::ctrlEnterWithoutChangesClosesWithTheGivenName() {
    const QString file = writeScript("[Command1]\r\n");
    TFormMemo viewer(file, 1, true);
    viewer.setSaveFileChooser([](const QString&, const QString&) -> std::optional<QString> {
        throw std::logic_error("no dialog expected");
    });
    viewer.show();
    QTest::keyClick(viewer.Memo1, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(viewer.result(), int(QDialog::Accepted));
    QCOMPARE(viewer.fileName(), file);
}

void ShellWindowsTest::savingUnderANewNameTakesItOver() {
    const QString file = writeScript("select 1;\r\n");
    const QString copy = QDir(m_config->path()).filePath(QStringLiteral("copy.sql"));
    TFormMemo viewer(file, 0, false);
    QString filter;
    viewer.setSaveFileChooser([&](const QString&, const QString& f) {
        filter = f;
        return std::optional<QString>(copy);
    });
    viewer.show();
    QTest::keyClicks(viewer.Memo1, "-- ");
    QVERIFY(viewer.BBOK->isEnabled());
    QTest::keyClick(viewer.Memo1, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(viewer.result(), int(QDialog::Accepted));
    QCOMPARE(viewer.fileName(), copy);
    QCOMPARE(filter, QStringLiteral("SQL-скрипты (*.sql)|*.sql|Все файлы (*.*)|*.*"));
    QFile saved(copy);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("-- select 1;\r\n"));
    QFile original(file);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), QByteArray("select 1;\r\n"));
}

void ShellWindowsTest::escapeInAModifiedViewerAsksAndCancelKeepsTheText() {
    TFormMemo viewer(writeScript("select 1;\r\n"), 0, false);
    viewer.show();
    QTest::keyClicks(viewer.Memo1, "x");
    m_answer = mb::idCancel;
    QTest::keyClick(viewer.Memo1, Qt::Key_Escape);
    QCOMPARE(m_questions, std::vector<QString>{"В документ были внесены изменения. Сохранить?"});
    QVERIFY(viewer.isVisible());
    QCOMPARE(viewer.Memo1->toPlainText(), QStringLiteral("xselect 1;"));
}

void ShellWindowsTest::escapeAnsweredNoClosesWithoutSaving() {
    const QString file = writeScript("select 1;\r\n");
    TFormMemo viewer(file, 0, false);
    viewer.show();
    QTest::keyClicks(viewer.Memo1, "x");
    m_answer = mb::idNo;
    QTest::keyClick(viewer.Memo1, Qt::Key_Escape);
    QVERIFY(!viewer.isVisible());
    QCOMPARE(viewer.result(), int(QDialog::Rejected));
    QFile original(file);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), QByteArray("select 1;\r\n"));
}

void ShellWindowsTest::ctrlEnterClicksExecuteOnlyWhileEnabled() {
    TFormAction window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicks(window.BitBtn1, &QPushButton::clicked);
    window.BitBtn1->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(clicks.count(), 0);
    window.BitBtn1->setEnabled(true);
    QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(!window.BitBtn1->icon().isNull());
}

void ShellWindowsTest::f1OpensTheHelpAtTheFocusedControlsContext() {
    QList<QUrl> opened;
    setUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    TFormAction window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.BitBtn1->setFocus();
    QTest::keyClick(&window, Qt::Key_F1);
    window.BitBtn3->setFocus();
    QTest::keyClick(&window, Qt::Key_F1);
    window.BitBtn3->click();
    QCOMPARE(opened.size(), 3);
    QVERIFY(opened[0].isLocalFile());
    QVERIFY(opened[0].path().endsWith(QStringLiteral("/help/vtdesk.html")));
    QCOMPARE(opened[0].fragment(), QStringLiteral("20301"));
    QCOMPARE(opened[1].fragment(), QStringLiteral("20300"));
    QCOMPARE(opened[2].fragment(), QStringLiteral("20300"));
}

void ShellWindowsTest::aboutBoxShowsTheVersionStrings() {
    TAboutBox about;
    const AboutTexts& t = about.aboutTexts();
    QCOMPARE(t.FileDescription, QStringLiteral("Desktop shell window tests"));
    QCOMPARE(about.FileDesc->Caption(), t.FileDescription + u' ');
    QCOMPARE(about.Version->text(), QStringLiteral("Версия 3.4.5.6"));
    QCOMPARE(about.RxLabel1->Caption(),
             QStringLiteral("Vantrel Utilities %1\n%2\n%3")
                 .arg(t.ProductVersion, t.LegalCopyright, t.LegalTrademarks));
    QVERIFY(!about.HomePage->text().isEmpty());
    QVERIFY(!about.CompanyImage->pixmap().isNull());
}

void ShellWindowsTest::aboutLinksThatCannotOpenRaiseTheirErrors_data() {
    QTest::addColumn<bool>("mail");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("details");
    QTest::newRow("home page") << false << "Ошибка показа веб-страницы:"
                               << "Не могу запустить веб-броузер."
                               << "Web browser error #31.";
    QTest::newRow("e-mail") << true << "Ошибка отправки письма:"
                            << "Не могу запустить почтового клиента."
                            << "E-mail client error #31.";
}

void ShellWindowsTest::aboutLinksThatCannotOpenRaiseTheirErrors() {
    QFETCH(bool, mail);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, details);
    QList<QUrl> asked;
    setUrlOpener([&](const QUrl& url) {
        asked << url;
        return false;
    });
    TAboutBox about;
    const QString address = mail ? about.EMail->text() : about.HomePage->text();
    try {
        QTest::mouseClick(mail ? about.EMail : about.HomePage, Qt::LeftButton);
        QFAIL("no exception");
    } catch (const EAnyError& e) {
        QCOMPARE(QString::fromStdString(e.title()), title);
        QCOMPARE(QString::fromStdString(e.message()), message);
        QCOMPARE(QString::fromStdString(e.details()), details + QStringLiteral("\r\n") + address);
    }
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().toString(), mail ? QStringLiteral("mailto:") + address : address);
}

void ShellWindowsTest::splashProgressStepsOnlyWithSteps() {
    ShowSplash(0);
    TLogo* splash = currentSplash();
    QVERIFY(splash);
    QVERIFY(!splash->ProgressBar->isVisibleTo(splash));
    QCOMPARE(splash->RxLabel2->Caption(), QStringLiteral("Версия 3.4"));
    SplashStep(QStringLiteral("Загрузка"), 1);
    QVERIFY(splash->ProgressLabel->text().isEmpty());
    const int label2Top = splash->Label2->y();
    const int descTop = splash->RxLabel1->y();
    ShowSplash(3);
    QCOMPARE(currentSplash(), splash);
    QVERIFY(splash->ProgressBar->isVisibleTo(splash));
    QVERIFY(splash->Label2->y() < label2Top);
    QCOMPARE(splash->RxLabel1->y(), descTop - splash->ProgressBar->height() - 1);
    SplashStep(QStringLiteral("Загрузка"), 2);
    SplashStep(QStringLiteral("Настройка"), 1);
    QCOMPARE(splash->ProgressLabel->text(), QStringLiteral("Настройка..."));
    QCOMPARE(splash->ProgressBar->value(), 2);
    ShowSplash(0);
    QCOMPARE(splash->Label2->y(), label2Top);
    QCOMPARE(splash->RxLabel1->y(), descTop);
    CloseSplash(true);
    QVERIFY(!currentSplash());
}

void ShellWindowsTest::withoutTheResourceLibraryThePicturesAreMissing() {
    m_library.reset();
    const auto expectMissing = [](auto make, const QString& name) {
        try {
            make();
            QFAIL("no exception");
        } catch (const EResNotFound& e) {
            QCOMPARE(QString::fromStdString(e.message()),
                     QStringLiteral("Ресурс %1 не найден").arg(name));
        }
    };
    expectMissing([] { ShowSplash(0); }, QStringLiteral("MAINLOGO"));
    QVERIFY(!currentSplash());
    expectMissing([] { TAboutBox about; }, QStringLiteral("COMPANY"));
}

} // namespace vt::desktop

QTEST_MAIN(vt::desktop::ShellWindowsTest)
#include "shellwindows_test.moc"
