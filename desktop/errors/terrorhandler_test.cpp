// TErrorHandler: what is logged, what the dialog is given, and the log file itself.
#include "desktop/errors/terrorhandler.h"

#include "dbengine/core/engineerror.h"
#include "dbengine/data/database.h"
#include "desktop/errors/eanyerror.h"
#include "desktop/errors/errordescriptions.h"
#include "desktop/errors/errorlog.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/sysinfo.h"
#include "desktop/shell/testenv.h"
#include "desktop/shell/versionutils.h"
#include "platform/codepage.h"
#include "platform/exception.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

const QDateTime kTime(QDate(2026, 12, 10), QTime(8, 30, 15));

class ErrorHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureQtApp();
        m_previousClock = setLogClock([] { return kTime; });
        m_previousDatabases = setOpenDatabasesProvider([] { return QStringList(); });
        m_handler.setLogFile(QStringLiteral("toolserr.log"));
        m_handler.setDialogPresenter([this](TErrorHandler& h) {
            ++m_dialogs;
            m_shownMessage = h.Message();
            m_shownDescription = h.Description();
        });
    }
    void TearDown() override {
        setLogClock(m_previousClock);
        setOpenDatabasesProvider(m_previousDatabases);
    }

    QString logText() const {
        QFile file(m_config.file(QStringLiteral("toolserr.log")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromStdString(platform::ansiToUtf8(file.readAll().toStdString()));
    }

    // The first two lines of an entry as this process writes them.
    QString header(const QString& user) const {
        const QString program = GetModuleFileNameStr();
        return logTimeStamp(kTime) + QStringLiteral(" Пользователь: ") + user +
               QStringLiteral(", Компьютер: ") + GetComputerNetName() +
               QStringLiteral("\r\nПрограмма: ") + program + QStringLiteral(" (") +
               GetFileVersion(program) + QStringLiteral(")\r\n");
    }

    testing::ScopedConfigDir m_config;
    TErrorHandler m_handler;
    LogClock m_previousClock;
    OpenDatabasesProvider m_previousDatabases;
    int m_dialogs = 0;
    QString m_shownMessage;
    QStringList m_shownDescription;
};

TEST_F(ErrorHandlerTest, EntriesAreWrittenInTheLogLayoutAndAppended) {
    m_handler.HandleException(EAnyError("Заголовок:", "Сообщение", "строка 1\\rстрока 2"));
    m_handler.setUserName(QStringLiteral("admin (БД)"));
    m_handler.setContextProvider([] { return QStringLiteral("Форма: FormMain, Main"); });
    m_handler.HandleException(vt::EOSError("Нет доступа", 13));

    const QString expected =
        header(GetLogonUserName()) + QStringLiteral("строка 1\r\nстрока 2\r\n\r\n") +
        header(QStringLiteral("admin (БД)")) + QStringLiteral("Форма: FormMain, Main\r\n") +
        QStringLiteral("Системная ошибка 13: ") + systemErrorText(13) + QStringLiteral("\r\n\r\n");
    EXPECT_EQ(logText(), expected);
    EXPECT_EQ(m_dialogs, 2);
}

TEST_F(ErrorHandlerTest, WhatIsLoggedDependsOnSaveLogAndShowForm) {
    struct Case {
        const char* name;
        bool showForm;
        bool logged;
        int dialogs;
    } cases[] = {
        {"a conversion error with the dialog is not logged", true, false, 1},
        {"without the dialog every error is logged", false, true, 0},
    };
    for (const Case& c : cases) {
        testing::ScopedConfigDir config;
        TErrorHandler handler;
        int dialogs = 0;
        handler.setLogFile(QStringLiteral("toolserr.log"));
        handler.setShowForm(c.showForm);
        handler.setDialogPresenter([&](TErrorHandler&) { ++dialogs; });
        handler.HandleException(vt::EConvertError("'x' не число"));
        QFile file(config.file(QStringLiteral("toolserr.log")));
        EXPECT_EQ(file.exists(), c.logged) << c.name;
        EXPECT_EQ(dialogs, c.dialogs) << c.name;
        if (c.logged) {
            // No details: the message is the last line, with no empty line after it.
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString text =
                QString::fromStdString(platform::ansiToUtf8(file.readAll().toStdString()));
            EXPECT_TRUE(text.endsWith(handler.Message() + QStringLiteral("\r\n"))) << c.name;
            EXPECT_FALSE(text.endsWith(QStringLiteral("\r\n\r\n"))) << c.name;
        }
    }
}

TEST_F(ErrorHandlerTest, UnwritableLogAddsTheFailureLineToTheShownMessage) {
    QDir(m_config.path()).mkdir(QStringLiteral("toolserr.log")); // a folder cannot be appended to
    m_handler.HandleException(EAnyError("T", "Сообщение", "details"));
    EXPECT_TRUE(m_shownMessage.startsWith(QStringLiteral("Сообщение\rОшибка записи в файл "
                                                         "протокола:\r")))
        << m_shownMessage.toStdString();
    EXPECT_TRUE(m_shownMessage.contains(m_config.file(QStringLiteral("toolserr.log"))));
}

TEST_F(ErrorHandlerTest, FailingContextIsReportedInAMessageBoxAndHandlingGoesOn) {
    QString boxText;
    unsigned boxFlags = 0;
    AppMessageHandler previous =
        setAppMessageHandler([&](const QString&, const QString& text, unsigned flags) {
            boxText = text;
            boxFlags = flags;
            return mb::idOk;
        });
    m_handler.setContextProvider([]() -> QString { throw vt::Exception("no window"); });
    m_handler.HandleException(EAnyError("T", "M", "D"));
    setAppMessageHandler(previous);
    EXPECT_EQ(boxText, QStringLiteral("Ошибка записи в файл протокола:\rno window"));
    EXPECT_EQ(boxFlags, mb::kOk | mb::kIconError);
    EXPECT_EQ(m_dialogs, 1);
}

TEST_F(ErrorHandlerTest, PasswordInAnEngineErrorIsShownAndLoggedAsStars) {
    const dbengine::EDBEngineError e(std::vector<dbengine::EngineErrorEntry>{
        {0x2A01, 0, "cannot connect with host=127.0.0.1 user=admin password=s3cret dbname=shop"},
        {0x2A02, 0, "connection to server failed: PASSWORD=s3cret"}});
    m_handler.HandleException(e);
    const QString shown = m_shownMessage + m_shownDescription.join(QLatin1Char('\n'));
    EXPECT_FALSE(shown.contains(QStringLiteral("s3cret"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("password=***")));
    const QString log = logText();
    EXPECT_FALSE(log.isEmpty());
    EXPECT_FALSE(log.contains(QStringLiteral("s3cret"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("PASSWORD=***")));
}

TEST_F(ErrorHandlerTest, CaptionIsTheApplicationTitle) {
    m_handler.setCaption(QStringLiteral("old"));
    m_handler.HandleException(vt::Exception("x"));
    EXPECT_EQ(m_handler.Caption(), QGuiApplication::applicationDisplayName());
}

TEST_F(ErrorHandlerTest, ExtraButtonShowsAsTheRulesSay) {
    struct Case {
        const char* name;
        bool clickHandler;
        TrEHExtBtn when;
        bool saveLog;
        QStringList description;
        int overrule; // -1 none, else the visibility OnExtButtonSetVisible sets
        bool visible;
    } cases[] = {
        {"hidden without a click handler", false, ebAlways, true, {}, -1, false},
        {"always", true, ebAlways, false, {}, -1, true},
        {"never", true, ebNone, true, {QStringLiteral("d")}, -1, false},
        {"as the log flag, on", true, ebAsSaveLog, true, {}, -1, true},
        {"as the log flag, off", true, ebAsSaveLog, false, {}, -1, false},
        {"details made of blanks count as none",
         true,
         ebDescNotEmpty,
         true,
         {QStringLiteral("  "), QString()},
         -1,
         false},
        {"details present", true, ebDescNotEmpty, false, {QStringLiteral("x")}, -1, true},
        {"the event overrules", true, ebAlways, false, {}, 0, false},
    };
    for (const Case& c : cases) {
        TErrorHandler handler;
        if (c.clickHandler)
            handler.setOnExtButtonClick([](TErrorHandler&) {});
        if (c.overrule >= 0)
            handler.setOnExtButtonSetVisible(
                [&c](TErrorHandler&, bool& visible) { visible = c.overrule != 0; });
        handler.setExtBtnVisible(c.when);
        handler.setSaveLog(c.saveLog);
        handler.setDescription(c.description);
        EXPECT_EQ(handler.extButtonVisible(), c.visible) << c.name;
    }
}

TEST_F(ErrorHandlerTest, LogUserNameIsTheDatabaseUserOnlyWhileConnected) {
    EXPECT_EQ(TErrorHandler::GetLogUserName(), GetLogonUserName() + QStringLiteral(" (ОС)"));
    QFile(m_config.file(QStringLiteral("shop.db"))).open(QIODevice::WriteOnly);
    dbengine::Database database;
    database.setDatabaseName("LogUser");
    database.setAliasName("DBName=" + m_config.file(QStringLiteral("shop.db")).toStdString());
    database.params().setValue("USER NAME", "kassa");
    EXPECT_EQ(TErrorHandler::GetLogUserName(&database),
              GetLogonUserName() + QStringLiteral(" (ОС)"));
    database.open();
    EXPECT_EQ(TErrorHandler::GetLogUserName(&database), QStringLiteral("kassa (БД)"));
}

} // namespace
} // namespace vt::desktop
