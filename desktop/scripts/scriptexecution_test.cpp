// Tests of the execution window's run without a window: the fake plug-in of the console tests
// stands in for vtutils.so and a recording view answers the questions.
#include "desktop/scripts/scriptexecution.h"

#include "desktop/errors/evtutilserror.h"
#include "desktop/shell/appmessage.h"
#include "platform/codepage.h"
#include "platform/exception.h"
#include "script/rsqlwriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vt::desktop {
namespace {

// Records what the run shows; answers questions from a list (Yes when it runs out).
class RecordingView final : public ScriptExecutionView {
public:
    ScriptExecution* execution = nullptr;
    std::vector<QString> messages;
    std::vector<int> answers;
    bool dialogConnects = true;
    int dialogs = 0;
    QString presetUser;
    QString database, version, alias;
    int maximum = -1, position = -1, ended = 0, completedRuns = 0;
    std::vector<int> started;
    std::function<void(int)> onCommand;

    int message(const QString& text, unsigned) override {
        messages.push_back(text);
        if (answers.empty())
            return mb::idYes;
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void setResources(const QStringList& aliases) override { resources = aliases; }
    bool loginDialog(const QString& scriptUser) override {
        ++dialogs;
        presetUser = scriptUser;
        if (dialogConnects)
            execution->rConnectConnect(login());
        return dialogConnects;
    }
    LoginValues login() override {
        return {QStringLiteral("ALPHA"), QStringLiteral("ivan"), QStringLiteral("pw")};
    }
    void setErrorUserName(const QString& user) override { errorUser = user; }
    void runStarted(const QString& a) override { alias = a; }
    void showDatabase(const QString& code, const QString& v) override {
        database = code;
        version = v;
    }
    void showVersion(const QString& v) override { version = v; }
    void setProgress(int max, int pos) override {
        maximum = max;
        position = pos;
    }
    void commandStarting(int n, const QString&) override {
        started.push_back(n);
        if (onCommand)
            onCommand(n);
    }
    void commandEnded() override { ++ended; }
    void runCompleted(const QString&) override { ++completedRuns; }

    QStringList resources;
    QString errorUser;
};

class ScriptExecutionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_log = m_dir.filePath(QStringLiteral("calls.log"));
        setenv("VT_FAKE_LOG", m_log.toLocal8Bit().constData(), 1);
        for (const char* name :
             {"VT_FAKE_FIRST", "VT_FAKE_LAST", "VT_FAKE_FAIL", "VT_FAKE_CONNECT",
              "VT_FAKE_CHECK_ERROR", "VT_FAKE_INIT_ERROR", "VT_FAKE_UPDATE_ERROR"})
            unsetenv(name);
        m_view.execution = &m_run;
        m_run.setPluginFile(QStringLiteral(VT_FAKE_PLUGIN));
    }
    // A script of n commands, versioned when newVersion is not empty.
    QString script(const std::string& newVersion, int n = 3) {
        script::RsqlContent content;
        content.code = "SHOP";
        content.oldVersion = "1.0";
        content.newVersion = newVersion;
        content.user = "scriptuser";
        content.comments = {"first line", "second line"};
        for (int i = 1; i <= n; ++i)
            content.commands.push_back({"UPDATE t SET n = " + std::to_string(i)});
        const QString path = m_dir.filePath(QStringLiteral("update.rsql"));
        script::writeRsqlScript(path.toStdString(), content);
        return path;
    }
    std::string calls() {
        std::ifstream in(m_log.toStdString());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string messageText(const std::exception& e) { return e.what(); }

    QTemporaryDir m_dir;
    QString m_log;
    RecordingView m_view;
    ScriptExecution m_run{m_view};
};

TEST_F(ScriptExecutionTest, ARunCompletesAndRecordsTheNewVersion) {
    m_run.run(script("1.1"));
    EXPECT_EQ(m_view.resources, QStringList({"ALPHA", "BETA"}));
    EXPECT_EQ(m_view.presetUser, QStringLiteral("scriptuser"));
    EXPECT_EQ(m_view.errorUser, QStringLiteral("ivan"));
    EXPECT_EQ(m_view.alias, QStringLiteral("ALPHA"));
    EXPECT_EQ(m_view.database, QStringLiteral("FAKE"));
    EXPECT_EQ(m_view.version, QStringLiteral("1.0"));
    EXPECT_EQ(m_view.started, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(m_view.ended, 3);
    EXPECT_EQ(m_view.messages, std::vector<QString>({"Операция выполнена успешно."}));
    EXPECT_TRUE(m_run.scriptCompleted());
    EXPECT_EQ(m_run.currentCommand(), 3);
    const std::string log = calls();
    EXPECT_NE(log.find("dbConnect|ALPHA|ivan|pw"), std::string::npos);
    EXPECT_NE(log.find("UpDateVersion\npiDone\n"), std::string::npos);
}

TEST_F(ScriptExecutionTest, AResumedRunCountsTheCommandsLeftAndStartsTheBarThere) {
    setenv("VT_FAKE_FIRST", "5", 1);
    setenv("VT_FAKE_LAST", "12", 1);
    m_run.run(script("1.1", 12));
    EXPECT_EQ(m_view.version, QStringLiteral("1.0 (8 команд)"));
    EXPECT_EQ(m_view.maximum, 12);
    EXPECT_EQ(m_view.position, 4);
    EXPECT_EQ(m_view.started.front(), 5);
    EXPECT_EQ(m_view.started.size(), 8u);
}

TEST_F(ScriptExecutionTest, AFailedCommandOfAVersionedScriptEndsTheRunWithThePluginsText) {
    setenv("VT_FAKE_FIRST", "5", 1);
    setenv("VT_FAKE_LAST", "12", 1);
    setenv("VT_FAKE_FAIL", "7:0", 1);
    try {
        m_run.run(script("1.1", 12));
        FAIL() << "no exception";
    } catch (const EVTUtilsError& e) {
        EXPECT_EQ(messageText(e), "failure of command 7");
    }
    EXPECT_EQ(m_view.version, QStringLiteral("1.0 (6 команд)"));
    EXPECT_TRUE(m_view.messages.empty());
    EXPECT_FALSE(m_run.scriptCompleted());
    const std::string log = calls();
    EXPECT_EQ(log.find("UpDateVersion"), std::string::npos);
    EXPECT_NE(log.find("piDone"), std::string::npos);
}

struct ChoiceCase {
    const char* name;
    const char* failures;     // VT_FAKE_FAIL
    std::vector<int> answers; // to the Abort/Retry/Ignore box
    int boxes;                // boxes shown
    bool completes;           // ends with the new version
    int executions;           // ExecrSQL calls
};

class FailureChoiceTest : public ScriptExecutionTest,
                          public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(FailureChoiceTest, TheUserDecidesAfterAFailedCommandOfAnUnversionedScript) {
    const ChoiceCase& row = GetParam();
    setenv("VT_FAKE_FAIL", row.failures, 1);
    m_view.answers = row.answers;
    m_run.run(script(""));
    ASSERT_EQ(m_view.messages.size(), static_cast<std::size_t>(row.boxes + 1));
    for (int i = 0; i < row.boxes; ++i)
        EXPECT_TRUE(m_view.messages[i].startsWith(
            QStringLiteral("В результате выполнения скрипта произошла ошибка:\r\nfailure")));
    EXPECT_EQ(m_view.messages.back(),
              row.completes ? QStringLiteral("Операция выполнена успешно.")
                            : QStringLiteral("Выполнение скрипта прервано пользователем."));
    const std::string log = calls();
    EXPECT_EQ(log.find("UpDateVersion") != std::string::npos, row.completes);
    std::size_t executions = 0;
    for (std::size_t at = log.find("ExecrSQL|"); at != std::string::npos;
         at = log.find("ExecrSQL|", at + 1))
        ++executions;
    EXPECT_EQ(executions, static_cast<std::size_t>(row.executions));
}

const ChoiceCase kChoiceCases[] = {
    {"IgnoreEveryFailureCompletes",
     "1:0,2:0,3:0",
     {mb::idIgnore, mb::idIgnore, mb::idIgnore},
     3,
     true,
     3},
    {"RetryRunsTheCommandAgain", "2:1", {mb::idRetry}, 1, true, 4},
    {"AbortStopsWithoutTheNewVersion", "2:0", {mb::idAbort}, 1, false, 2},
};
INSTANTIATE_TEST_SUITE_P(Choices, FailureChoiceTest, ::testing::ValuesIn(kChoiceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptExecutionTest, CancelStopsAfterTheCommandUnderWay) {
    m_view.onCommand = [&](int n) {
        if (n == 2)
            m_run.requestAbort();
    };
    m_run.run(script("1.1"));
    EXPECT_EQ(m_view.started, (std::vector<int>{1, 2}));
    EXPECT_EQ(m_view.messages,
              std::vector<QString>({"Выполнение скрипта прервано пользователем."}));
    const std::string log = calls();
    EXPECT_NE(log.find("MakeSQLCommand|2"), std::string::npos);
    EXPECT_EQ(log.find("MakeSQLCommand|3"), std::string::npos);
    EXPECT_EQ(log.find("UpDateVersion"), std::string::npos);
}

TEST_F(ScriptExecutionTest, AMissingPluginOrFunctionIsNamed) {
    struct Row {
        QString plugin;
        std::string message;
    } rows[] = {
        {QStringLiteral("/nonexistent/vtutils.so"),
         "Не могу загрузить библиотеку /nonexistent/vtutils.so."},
        {QStringLiteral(VT_FAKE_PLUGIN_NOINIT), "Функция 'piInit' не описана в данной библиотеке."},
        {QStringLiteral(VT_FAKE_PLUGIN_NOEXEC),
         "Функция 'ExecrSQL' не описана в данной библиотеке."},
    };
    for (const Row& row : rows) {
        m_run.setPluginFile(row.plugin);
        try {
            m_run.run(script("1.1"));
            ADD_FAILURE() << "no exception for " << row.plugin.toStdString();
        } catch (const EOSError& e) {
            EXPECT_EQ(messageText(e), row.message);
        }
    }
}

TEST_F(ScriptExecutionTest, AfterSuccessTheDialogComesAgainAfterAFailureTheConnectionIsOffered) {
    m_run.run(script("1.1"));
    EXPECT_EQ(m_view.dialogs, 1);
    m_view.messages.clear();
    m_run.run(script("1.1"));
    EXPECT_EQ(m_view.dialogs, 2);
    EXPECT_TRUE(m_view.messages.size() == 1); // only the completion

    setenv("VT_FAKE_FAIL", "1:0", 1);
    EXPECT_THROW(m_run.run(script("1.1")), EVTUtilsError);
    unsetenv("VT_FAKE_FAIL");
    m_view.messages.clear();
    m_view.answers = {mb::idYes};
    m_run.run(script("1.1"));
    EXPECT_EQ(m_view.dialogs, 3);
    ASSERT_FALSE(m_view.messages.empty());
    EXPECT_EQ(m_view.messages.front(),
              QStringLiteral("Выполнить скрипт, используя текущее соединение?"));
    EXPECT_NE(calls().rfind("dbConnect|ALPHA|ivan|pw"), std::string::npos);
}

TEST_F(ScriptExecutionTest, AMissingVersionTableIsCreatedWhenTheUserAgrees) {
    setenv("VT_FAKE_CONNECT", "1", 1);
    m_view.answers = {mb::idNo};
    m_run.run(script("1.1"));
    EXPECT_EQ(
        m_view.messages.front(),
        QStringLiteral("Необходимо выполнить инициализационный скрипт. Выполнить его сейчас?"));
    EXPECT_NE(calls().find("CheckDataBaseParams|1|0"), std::string::npos);
    m_view.answers = {mb::idYes};
    m_run.setScriptCompleted(false);
    m_run.run(script("1.1"));
    EXPECT_NE(calls().find("CheckDataBaseParams|1|1"), std::string::npos);
}

TEST_F(ScriptExecutionTest, PluginFailuresBeforeTheCommandsCarryItsText) {
    struct Row {
        const char* variable;
        const char* value;
        std::string message;
        QString version; // shown after the check
    } rows[] = {
        {"VT_FAKE_INIT_ERROR", "script damaged", "script damaged", QString()},
        {"VT_FAKE_CHECK_ERROR", "too old", "too old", QStringLiteral("1.0 (ошибка в 1 команде)")},
        {"VT_FAKE_UPDATE_ERROR", "cannot record", "cannot record", QStringLiteral("1.0")},
    };
    for (const Row& row : rows) {
        setenv(row.variable, row.value, 1);
        m_view.version.clear();
        m_run.setScriptCompleted(true);
        try {
            m_run.run(script("1.1"));
            ADD_FAILURE() << "no exception for " << row.variable;
        } catch (const EVTUtilsError& e) {
            EXPECT_EQ(messageText(e), row.message);
        }
        EXPECT_EQ(m_view.version, row.version) << row.variable;
        if (!row.version.isEmpty())
            EXPECT_FALSE(m_run.scriptCompleted());
        unsetenv(row.variable);
    }
}

TEST_F(ScriptExecutionTest, ALoginDialogClosedWithoutConnectingEndsTheRunSilently) {
    m_view.dialogConnects = false;
    m_run.run(script("1.1"));
    EXPECT_TRUE(m_view.messages.empty());
    EXPECT_EQ(calls().find("CheckDataBaseParams"), std::string::npos);
    EXPECT_NE(calls().find("piDone"), std::string::npos);
}

TEST(ScriptHeaderTest, ScrambledHeadersAreShownPlain) {
    QTemporaryDir dir;
    script::RsqlContent content;
    content.code = "SHOP";
    content.oldVersion = "1.0";
    content.newVersion = "1.1";
    content.comments = {platform::utf8ToAnsi("Добавляет склад")};
    content.commands = {{"select 1"}, {"select 2"}};
    content.crypt = true;
    const QString path = dir.filePath(QStringLiteral("s.rsql"));
    script::writeRsqlScript(path.toStdString(), content);
    const ScriptHeader header = ScriptHeader::read(path);
    EXPECT_EQ(header.code, QStringLiteral("SHOP"));
    EXPECT_EQ(header.oldVersion, QStringLiteral("1.0"));
    EXPECT_EQ(header.newVersion, QStringLiteral("1.1"));
    EXPECT_EQ(header.commands, QStringLiteral("2"));
    EXPECT_EQ(header.comments, QStringList({"Добавляет склад"}));
}

} // namespace
} // namespace vt::desktop
