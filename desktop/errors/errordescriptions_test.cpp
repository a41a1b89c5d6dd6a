// Tests of the description of each kind of exception without a message file.
#include "desktop/errors/errordescriptions.h"

#include "dbengine/core/engineerror.h"
#include "dbengine/data/database.h"
#include "dbengine/testkit/testkit.h"
#include "desktop/errors/eanyerror.h"
#include "desktop/errors/errorclasstable.h"
#include "desktop/errors/evtutilserror.h"
#include "desktop/errors/trerror.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace vt::desktop {
namespace {

VT_DECLARE_EXCEPTION(EMyOSError, EOSError);
VT_DECLARE_EXCEPTION(ESubRangeError, ERangeError);

struct DescribeCase {
    const char* name;
    std::function<void()> raise;
    QString title;
    QString message;
    QStringList description;
    bool saveLog;
};

const QString kConvertTail =
    QStringLiteral("\r\rЕсли Вы уверены в правильности введенных данных,\rобратитесь в службу "
                   "поддержки.");
const QString kInternalTail =
    QStringLiteral("\r\rЕсли это сообщение будет появляться еще,\rобратитесь в службу поддержки.");

std::vector<DescribeCase> describeCases() {
    return {
        {"OwnErrorIsExpandedAndLoggedWithDetails",
         [] {
             throw EAnyError("Ошибка показа веб-страницы:", "Не могу запустить веб-броузер.",
                             "Код ошибки: 2\\rАдрес: https://vantrel.example");
         },
         QStringLiteral("Ошибка показа веб-страницы:"),
         QStringLiteral("Не могу запустить веб-броузер."),
         {QStringLiteral("Код ошибки: 2"), QStringLiteral("Адрес: https://vantrel.example")},
         true},
        {"OwnErrorWithoutDetailsIsNotLogged",
         [] { throw EAnyError("T\\tx", "M\\nN", ""); },
         QStringLiteral("T\tx"),
         QStringLiteral("M\nN"),
         {},
         false},
        {"SystemErrorNamesTheCodeAndItsText",
         [] { throw EOSError("Нет доступа к файлу", 13); },
         QStringLiteral("Системная ошибка:"),
         QStringLiteral("Нет доступа к файлу"),
         {QStringLiteral("Системная ошибка 13: ") + systemErrorText(13)},
         true},
        {"SystemErrorOfAnUnknownCodeCarriesTheCodeAlone",
         [] { throw EOSError("Странная ошибка", 123456); },
         QStringLiteral("Системная ошибка:"),
         QStringLiteral("Странная ошибка"),
         {QStringLiteral("Системная ошибка 123456: ")},
         true},
        {"InOutErrorShowsTheSystemsText",
         [] { throw EInOutError("ignored", 2); },
         QStringLiteral("Ошибка ввода/вывода:"),
         systemErrorText(2),
         {QStringLiteral("Ошибка ввода/вывода 2: ") + systemErrorText(2)},
         true},
        {"ConversionErrorAsksToCheckTheInputAndIsNotLogged",
         [] { throw EConvertError("'abc' не является числом"); },
         QStringLiteral("Ошибка преобразования данных:"),
         QStringLiteral("'abc' не является числом") + kConvertTail,
         {},
         false},
        {"RangeErrorHasItsOwnTitle",
         [] { throw ERangeError("Индекс 7 вне диапазона"); },
         QStringLiteral("Ошибка выхода за границы диапазона:"),
         QStringLiteral("Индекс 7 вне диапазона") + kConvertTail,
         {},
         false},
        {"DataAccessErrorShowsItsMessage",
         [] { throw EDatabaseError("Field 'NAME' must have a value"); },
         QStringLiteral("Ошибка при работе с данными:"),
         QStringLiteral("Field 'NAME' must have a value"),
         {},
         false},
        {"UntranslatedUpdateErrorHasNoTitle",
         [] { throw EUpdateError("Record changed"); },
         QString(),
         QStringLiteral("Record changed"),
         {},
         false},
        {"OleExceptionMatchesTheEntryWrittenInOtherCase",
         [] { throw EOleException("Automation failed"); },
         QString(),
         QStringLiteral("Automation failed"),
         {},
         false},
        {"WorkflowErrorShowsItsFirstLineAndLogsAll",
         [] { throw EVTUtilsError("Команда 3 не выполнена.\r\nsyntax error near \\\"x\\\""); },
         QString(),
         QStringLiteral("Команда 3 не выполнена."),
         {QStringLiteral("Команда 3 не выполнена."), QStringLiteral("syntax error near \"x\"")},
         true},
        {"OneLineWorkflowErrorHasNoDetails",
         [] { throw EVTUtilsError("Нет связи"); },
         QString(),
         QStringLiteral("Нет связи"),
         {},
         true},
        {"DerivedUnregisteredClassIsAnInternalError",
         [] { throw EMyOSError("Подкласс", 1); },
         QStringLiteral("Ошибка в программе:"),
         QStringLiteral("Подкласс") + kInternalTail,
         {QStringLiteral("Ошибка EMyOSError: Подкласс")},
         true},
        {"ForeignExceptionIsAnInternalErrorWithItsTypeName",
         [] { throw std::runtime_error("boom\\n"); },
         QStringLiteral("Ошибка в программе:"),
         QStringLiteral("boom\\n") + kInternalTail,
         {QStringLiteral("Ошибка std::runtime_error: boom\\n")},
         true},
        {"PlainExceptionIsAnInternalError",
         [] { throw Exception("Ошибка формата версии."); },
         QStringLiteral("Ошибка в программе:"),
         QStringLiteral("Ошибка формата версии.") + kInternalTail,
         {QStringLiteral("Ошибка Exception: Ошибка формата версии.")},
         true},
    };
}

class DescribeTest : public ::testing::TestWithParam<DescribeCase> {
protected:
    void SetUp() override {
        if (!errorClassTable().find(QStringLiteral("EVTUtilsError")))
            RegisterErrorClass(QStringLiteral("EVTUtilsError"), describeVTUtilsError);
    }
};

TEST_P(DescribeTest, FillsTheDescription) {
    TrError error;
    error.setTitleMessage(QStringLiteral("left over"));
    error.setSaveLog(true);
    error.Description() = {QStringLiteral("old")};
    try {
        GetParam().raise();
        FAIL() << "nothing raised";
    } catch (const std::exception& e) {
        error.Describe(e);
    }
    EXPECT_EQ(error.TitleMessage(), GetParam().title);
    EXPECT_EQ(error.Message(), GetParam().message);
    EXPECT_EQ(error.Description(), GetParam().description);
    EXPECT_EQ(error.SaveLog(), GetParam().saveLog);
}

INSTANTIATE_TEST_SUITE_P(Table, DescribeTest, ::testing::ValuesIn(describeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DescribeRoutineTest, ClassesDerivedFromRangeErrorGetTheRangeTitle) {
    TrError error;
    describeConvertError(ESubRangeError("x"), error);
    EXPECT_EQ(error.TitleMessage(), QStringLiteral("Ошибка выхода за границы диапазона:"));
}

class EngineDescribeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = setOpenDatabasesProvider([this] { return m_open; });
    }
    void TearDown() override { setOpenDatabasesProvider(m_previous); }

    QStringList m_open;
    OpenDatabasesProvider m_previous;
};

TEST_F(EngineDescribeTest, WithoutMessageFileTheLastEntryIsShownAndLogged) {
    m_open = {QStringLiteral("SHOP"), QStringLiteral("DBName=/tmp/a.db")};
    const dbengine::EDBEngineError e(std::vector<dbengine::EngineErrorEntry>{
        {0x3303, 0, "Ошибка при добавлении записи 5\r\n"},
        {0x2601, 2067, "UNIQUE constraint failed: T.ID\n"}});
    TrError error;
    error.Describe(e);
    EXPECT_EQ(error.TitleMessage(), QStringLiteral("Ошибка при работе с базой данных:"));
    EXPECT_EQ(error.Message(), QStringLiteral("UNIQUE constraint failed: T.ID\n"));
    EXPECT_EQ(error.Description(),
              (QStringList{QStringLiteral("Ошибка BDE 13059 (категория: 51, код: 3): Ошибка при "
                                          "добавлении записи 5"),
                           QStringLiteral("Ошибка сервера 2067: UNIQUE constraint failed: T.ID"),
                           QStringLiteral("Открытые БД: SHOP;DBName=/tmp/a.db")}));
    EXPECT_TRUE(error.SaveLog());
}

TEST_F(EngineDescribeTest, EntriesEmptyAfterTrimmingLeaveOnlyTheOpenDatabases) {
    m_open = {QStringLiteral("ACCOUNTS")};
    const dbengine::EDBEngineError e(
        std::vector<dbengine::EngineErrorEntry>{{0x2104, 0, "\r\n"}, {0x2104, 5, "\n"}});
    TrError error;
    error.Describe(e);
    EXPECT_EQ(error.Message(), QStringLiteral("\n"));
    EXPECT_EQ(error.Description(), QStringList{QStringLiteral("Открытые БД: ACCOUNTS")});
    EXPECT_TRUE(error.SaveLog());
}

TEST_F(EngineDescribeTest, NoOpenDatabasesAddNoLine) {
    const dbengine::EDBEngineError e(dbengine::status::kInternal, 0, "failure");
    TrError error;
    error.Describe(e);
    EXPECT_EQ(error.Description().size(), 1);
}

TEST(TextLinesTest, SplitsAtEveryKindOfLineBreak) {
    EXPECT_EQ(textLines(QStringLiteral("a\r\nb\rc\nd\n")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                           QStringLiteral("d")}));
    EXPECT_EQ(textLines(QStringLiteral("a\r\rb")),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_TRUE(textLines(QString()).isEmpty());
}

} // namespace
} // namespace vt::desktop

namespace vt::desktop {
namespace {

TEST(EngineSessionTest, RealEngineErrorNamesTheConnectedDatabasesOfTheDefaultSession) {
    const dbengine::testkit::EngineEnv env;
    const std::string path = env.newSqliteFile("shop.db");
    dbengine::Database db;
    db.setDatabaseName("SHOPDB");
    db.setAliasName("DBName=" + path);
    db.setLoginPrompt(false);
    db.open();
    TrError error;
    try {
        db.execute("insert into no_such_table values (1)");
        FAIL() << "no engine error";
    } catch (const std::exception& e) {
        error.Describe(e);
    }
    db.close();
    EXPECT_EQ(error.TitleMessage(), QStringLiteral("Ошибка при работе с базой данных:"));
    ASSERT_FALSE(error.Description().isEmpty());
    EXPECT_TRUE(error.Message().contains(QStringLiteral("no_such_table")))
        << error.Message().toStdString();
    EXPECT_EQ(error.Description().back(),
              QStringLiteral("Открытые БД: DBName=") + QString::fromStdString(path));
    EXPECT_TRUE(error.SaveLog());
}

} // namespace
} // namespace vt::desktop
