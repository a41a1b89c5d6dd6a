// Tests of the message file: opening, FindMessage, ExpandMacros and translated descriptions.
#include "desktop/errors/trerror.h"

#include "dbengine/core/engineerror.h"
#include "desktop/errors/errordescriptions.h"
#include "desktop/shell/testenv.h"
#include "platform/codepage.h"
#include "platform/exception.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

class MessageFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setAnsiCodePage(platform::AnsiCodePage::Cp1251);
        m_previous = setOpenDatabasesProvider([] { return QStringList(); });
    }
    void TearDown() override { setOpenDatabasesProvider(m_previous); }

    // Writes the message file (UTF-8 source text, stored in the ANSI code page) and opens it.
    void useMessageFile(const char* utf8Text) {
        const QString path = m_config.file(QStringLiteral("toolserr.ini"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray::fromStdString(platform::utf8ToAnsi(utf8Text)));
        file.close();
        m_error.setIniFile(path);
        m_error.reloadMessageFile();
    }

    testing::ScopedConfigDir m_config;
    TrError m_error;
    OpenDatabasesProvider m_previous;
};

struct FindCase {
    const char* name;
    QString message;
    QString expected;
    bool saveLog;
};

const char* kGroups = R"([<CONSTANTS>]
KEYNAME=key <MESSAGE> on

[General SQL error;Key violation\32]
<DEFAULT>=Нарушение ключа <KEYNAME>
<LOGGING>=0

[ORA-]
00001;unique=Нарушение уникальности
02291=Нет родительской записи
<DEFAULT>=<MESSAGE>
<LOGGING>=1

[ORA-0;ORA-9]
PARENT=Позднейшая группа
<LOGGING>=0

[no default group]
nothing matches=never
)";

class FindMessageTest : public MessageFileTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindMessageTest, TranslatesByGroupAndKey) {
    useMessageFile(kGroups);
    m_error.setSaveLog(false);
    EXPECT_EQ(m_error.FindMessage(GetParam().message), GetParam().expected);
    EXPECT_EQ(m_error.SaveLog(), GetParam().saveLog);
}

const FindCase kFindCases[] = {
    {"FirstPrefixMatchesInAnyLetterCase",
     QStringLiteral("general SQL ERROR: violation of key PK_X on table ORDERS"),
     QStringLiteral("Нарушение ключа PK_X"), false},
    {"SecondPrefixMatchesWithItsTrailingSpace",
     QStringLiteral("Key violation of key PK_Y on ITEMS"), QStringLiteral("Нарушение ключа PK_Y"),
     false},
    {"SecondPrefixWithoutTheSpaceDoesNotMatch", QStringLiteral("Key violation."), QString(), false},
    {"KeyWordOccursAnywhereInAnyCase", QStringLiteral("ORA-00001: UNIQUE constraint violated"),
     QStringLiteral("Нарушение уникальности"), true},
    {"SecondWordOfAKeyMatches", QStringLiteral("ORA-12345: unique index"),
     QStringLiteral("Нарушение уникальности"), true},
    {"GroupDefaultKeepsTheWholeMessage", QStringLiteral("ORA-12899: value too large"),
     QStringLiteral("ORA-12899: value too large"), true},
    {"LaterMatchingGroupReplacesTheResult", QStringLiteral("ORA-02291: parent key not found"),
     QStringLiteral("Позднейшая группа"), false},
    {"GroupWithoutDefaultGivesTheMessage", QStringLiteral("no default group here"),
     QStringLiteral("no default group here"), false},
    {"MessageOfNoGroupIsNotTranslated", QStringLiteral("Something else"), QString(), false},
    {"MessageShorterThanThePrefixDoesNotMatch", QStringLiteral("ORA"), QString(), false},
};

INSTANTIATE_TEST_SUITE_P(Table, FindMessageTest, ::testing::ValuesIn(kFindCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageFileTest, MatchingGroupWithoutMatchingKeyEndsTheScanWithItsDefault) {
    useMessageFile("[ORA-]\nx=1\n<DEFAULT>=Первая\n[ORA-0]\nunique=Вторая\n");
    EXPECT_EQ(m_error.FindMessage(QStringLiteral("ORA-00001 unique")), QStringLiteral("Первая"));
}

TEST_F(MessageFileTest, TrailingBlankOfASectionNameBelongsToItsLastPrefix) {
    useMessageFile("[violation;Lock ]\r\n<DEFAULT>=Блокировка\r\n");
    EXPECT_EQ(m_error.FindMessage(QStringLiteral("Lock x")), QStringLiteral("Блокировка"));
    EXPECT_EQ(m_error.FindMessage(QStringLiteral("VIOLATION of key")),
              QStringLiteral("Блокировка"));
    EXPECT_EQ(m_error.FindMessage(QStringLiteral("Lockout x")), QString());
}

TEST_F(MessageFileTest, ReservedKeysMatchOnlyWhenTheMessageHoldsThemLiterally) {
    useMessageFile("[E]\n<LOGGING>=1\n<DEFAULT>=По умолчанию\n");
    EXPECT_EQ(m_error.FindMessage(QStringLiteral("E: text")), QStringLiteral("По умолчанию"));
    // "<LOGGING>" now is a matching key whose value "1" becomes the translation.
    EXPECT_EQ(m_error.FindMessage(QStringLiteral("E: <logging> seen")), QStringLiteral("1"));
}

TEST_F(MessageFileTest, NoMessageFileAndBlankNamesTranslateNothing) {
    EXPECT_FALSE(m_error.hasMessageFile());
    EXPECT_EQ(m_error.FindMessage(QStringLiteral("anything")), QString());
    m_error.setIniFile(QStringLiteral("   "));
    EXPECT_FALSE(m_error.hasMessageFile());
    m_error.setIniFile(m_config.file(QStringLiteral("missing.ini")));
    EXPECT_TRUE(m_error.hasMessageFile());
    m_error.reloadMessageFile();
    EXPECT_TRUE(m_error.Sections().isEmpty());
    EXPECT_EQ(m_error.FindMessage(QStringLiteral("anything")), QString());
}

TEST_F(MessageFileTest, UnreadableMessageFileBehavesAsAnEmptyOne) {
    const QString path = m_config.file(QStringLiteral("toolserr.ini"));
    ASSERT_TRUE(QDir().mkpath(path)); // a folder in the file's place cannot be read
    m_error.setIniFile(path);
    EXPECT_TRUE(m_error.hasMessageFile());
    EXPECT_EQ(m_error.Ini(), nullptr);
    const dbengine::EDBEngineError e(std::vector<dbengine::EngineErrorEntry>{
        {0x2104, 0, "context"}, {0x2601, 19, "server text"}, {0x2104, 0, "tail"}});
    m_error.Describe(e);
    EXPECT_EQ(m_error.Message(), QStringLiteral("server text"));
    EXPECT_FALSE(m_error.SaveLog());
}

TEST_F(MessageFileTest, SectionsAndConstantsAreReadAgainAtEveryDescribe) {
    useMessageFile("[<constants>]\nA=1\nB=2\n[First]\n");
    EXPECT_EQ(m_error.Sections(), QStringList{QStringLiteral("First")});
    EXPECT_EQ(m_error.Constants(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    QFile file(m_error.iniPath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("[Second]\nx=y\n");
    file.close();
    m_error.Describe(EDatabaseError("m"));
    EXPECT_EQ(m_error.Sections(), (QStringList{QStringLiteral("First"), QStringLiteral("Second")}));
}

TEST_F(MessageFileTest, BareNameIsPlacedByTheLocationAndReopenedWhenItChanges) {
    m_error.setIniFile(QStringLiteral("toolserr.ini"));
    EXPECT_EQ(m_error.iniPath(), m_config.file(QStringLiteral("toolserr.ini")));
    m_error.setIniLocation(flProgram);
    EXPECT_TRUE(m_error.iniPath().endsWith(QStringLiteral("/toolserr.ini")));
    EXPECT_NE(m_error.iniPath(), QStringLiteral("toolserr.ini"));
    EXPECT_EQ(m_error.IniFile(), QStringLiteral("toolserr.ini"));
}

struct MacroCase {
    const char* name;
    QString value;
    QString message;
    QString expected;
};

class ExpandMacrosTest : public MessageFileTest, public ::testing::WithParamInterface<MacroCase> {};

TEST_P(ExpandMacrosTest, ExtractsAndSubstitutes) {
    useMessageFile("[<CONSTANTS>]\n"
                   "Table=таблица <Name>\n"
                   "Name=ORDERS\n"
                   "Self=again <self>\n"
                   "Ping=ping <Pong>\n"
                   "Pong=pong <Ping>\n"
                   "Key=key <MESSAGE> on\n");
    EXPECT_EQ(m_error.ExpandMacros(GetParam().value, GetParam().message), GetParam().expected);
}

const QString kViolation = QStringLiteral("violation of key PK_X on table ORDERS");

const MacroCase kMacroCases[] = {
    {"TextAroundMessageDelimitsTheKeptPiece", QStringLiteral("key <MESSAGE> on"), kViolation,
     QStringLiteral("PK_X")},
    {"MissingOpeningTextKeepsTheWholeMessage", QStringLiteral("key <MESSAGE> on"),
     QStringLiteral("violation of index IX on table ORDERS"),
     QStringLiteral("violation of index IX on table ORDERS")},
    {"MessageTokenAloneKeepsTheWholeMessage", QStringLiteral("<message>"), kViolation, kViolation},
    {"ClosingTextNotInTheMessageKeepsTheWholeMessage", QStringLiteral("<MESSAGE> xyz"), kViolation,
     kViolation},
    {"MissingClosingTextKeepsTheTextAfterTheLastOpening", QStringLiteral("of <MESSAGE>xyz"),
     QStringLiteral("list of a, of key"), QStringLiteral("key")},
    {"EscapesAreExpandedFirst", QStringLiteral("a\\tb"), QString(), QStringLiteral("a\tb")},
    {"NestedConstantIsSubstitutedAlreadyReplaced", QStringLiteral("В <TABLE>."), QString(),
     QStringLiteral("В таблица ORDERS.")},
    {"ConstantMayPickAPieceOfTheMessage", QStringLiteral("Ключ <Key>"), kViolation,
     QStringLiteral("Ключ PK_X")},
    {"UnknownTokensStayAsTheyAre", QStringLiteral("<foo> and <bar> x"), QString(),
     QStringLiteral("<foo> and <bar> x")},
    {"ClosingBracketBeforeOpeningHidesTheToken", QStringLiteral("a > <Name>"), QString(),
     QStringLiteral("a > <Name>")},
    {"ConstantReferringToItselfStopsTheExpansion", QStringLiteral("<Self>!"), QString(),
     QStringLiteral("again <self>!")},
    {"ConstantsReferringToEachOtherStopTheExpansion", QStringLiteral("<Ping>"), QString(),
     QStringLiteral("ping pong <Ping>")},
};

INSTANTIATE_TEST_SUITE_P(Table, ExpandMacrosTest, ::testing::ValuesIn(kMacroCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageFileTest, ExponentialNestingOfConstantsEndsAtTheSubstitutionBound) {
    std::string text = "[<CONSTANTS>]\n";
    for (int i = 0; i < 40; ++i)
        text += "C" + std::to_string(i) + "=<C" + std::to_string(i + 1) + "><C" +
                std::to_string(i + 1) + ">\n";
    text += "C40=z\n";
    useMessageFile(text.c_str());
    const QString result = m_error.ExpandMacros(QStringLiteral("<C0>"), QString());
    EXPECT_TRUE(result.contains(QLatin1Char('<'))); // stopped before the end
    EXPECT_LT(result.size(), 100000);
}

TEST_F(MessageFileTest, EngineErrorTakesTheTranslationOfTheFirstQualifyingEntry) {
    useMessageFile("[UNIQUE constraint]\nfailed=Запись с таким ключом уже есть.\n<LOGGING>=0\n"
                   "[Ошибка при]\n<DEFAULT>=never used: native code 0 and not last\n");
    const dbengine::EDBEngineError e(
        std::vector<dbengine::EngineErrorEntry>{{0x3303, 0, "Ошибка при добавлении записи 5"},
                                                {0x2601, 2067, "UNIQUE constraint failed: T.ID"}});
    m_error.Describe(e);
    EXPECT_EQ(m_error.Message(), QStringLiteral("Запись с таким ключом уже есть."));
    EXPECT_FALSE(m_error.SaveLog());
    EXPECT_EQ(m_error.Description().size(), 2);
}

TEST_F(MessageFileTest, EngineErrorWithoutMatchingGroupTakesTheFirstQualifyingEntryUnlogged) {
    useMessageFile("[Other]\n<DEFAULT>=x\n");
    const dbengine::EDBEngineError e(std::vector<dbengine::EngineErrorEntry>{
        {0x2104, 0, "context\r\n"}, {0x2601, 7, "server says\r\n"}, {0x2104, 0, "tail"}});
    m_error.Describe(e);
    EXPECT_EQ(m_error.Message(), QStringLiteral("server says\r\n"));
    EXPECT_FALSE(m_error.SaveLog());
}

TEST_F(MessageFileTest, TranslatedDataErrorsFollowTheGroupsLogging) {
    useMessageFile("[Field]\nmust have a value=Заполните поле.\n<LOGGING>=1\n"
                   "[Record]\nchanged=Запись изменена другим пользователем.\n<LOGGING>=0\n");
    m_error.Describe(EDatabaseError("Field 'NAME' must have a value"));
    EXPECT_EQ(m_error.TitleMessage(), QStringLiteral("Ошибка при работе с данными:"));
    EXPECT_EQ(m_error.Message(), QStringLiteral("Заполните поле."));
    EXPECT_TRUE(m_error.SaveLog());
    EXPECT_TRUE(m_error.Description().isEmpty());

    m_error.Describe(EUpdateError("Record changed by another user\nrow 5"));
    EXPECT_EQ(m_error.TitleMessage(), QStringLiteral("Ошибка при работе с данными:"));
    EXPECT_EQ(m_error.Message(), QStringLiteral("Запись изменена другим пользователем."));
    EXPECT_EQ(m_error.Description(), (QStringList{QStringLiteral("Record changed by another user"),
                                                  QStringLiteral("row 5")}));
    EXPECT_FALSE(m_error.SaveLog());
}

TEST_F(MessageFileTest, ConversionErrorsAreNeverLoggedEvenWhenAGroupMatches) {
    useMessageFile("[']\n<DEFAULT>=x\n<LOGGING>=1\n");
    m_error.Describe(EConvertError("'abc' is not a valid integer value"));
    EXPECT_FALSE(m_error.SaveLog());
    EXPECT_TRUE(m_error.Description().isEmpty());
}

} // namespace
} // namespace vt::desktop
