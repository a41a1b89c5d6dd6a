// Tests of the failure text built from an engine error.
#include "plugin/engineerrortext.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <map>

namespace vt::plugin {
namespace {

namespace st = dbengine::status;

struct Entry {
    dbengine::Status code;
    std::int32_t nativeCode;
    std::string text;
};

// An engine error given as a table.
class TableSource final : public EngineErrorSource {
public:
    TableSource(std::map<dbengine::Status, std::string> general, std::vector<Entry> entries,
                dbengine::Status endCode = st::kNoMoreErrors)
        : m_general(std::move(general)), m_entries(std::move(entries)), m_endCode(endCode) {}

    std::string generalText(dbengine::Status code) const override {
        const auto it = m_general.find(code);
        return it == m_general.end() ? std::string() : it->second;
    }
    dbengine::Status entry(std::uint16_t number, std::int32_t& nativeCode,
                           std::string& text) const override {
        if (number == 0 || number > m_entries.size())
            return m_endCode;
        const Entry& e = m_entries[number - 1];
        nativeCode = e.nativeCode;
        text = e.text;
        return e.code;
    }

private:
    std::map<dbengine::Status, std::string> m_general;
    std::vector<Entry> m_entries;
    dbengine::Status m_endCode;
};

struct TextCase {
    const char* name;
    dbengine::Status code;
    std::map<dbengine::Status, std::string> general;
    std::vector<Entry> entries;
    std::string expected;
    dbengine::Status endCode = st::kNoMoreErrors;
};

std::vector<TextCase> cases() {
    const std::string cyrUpper = platform::ansi("ОШИБКА ДОСТУПА");
    const std::string cyrLower = platform::ansi("ошибка доступа");
    return {
        {"TheGeneralTextAndTheEntryTextAreJoined",
         st::kUnknownAlias,
         {{st::kUnknownAlias, "Unknown alias"}},
         {{st::kUnknownAlias, 0, "No alias named SHOP"}},
         "Unknown alias\r\nNo alias named SHOP"},
        {"ARepeatedLineIsSkippedWithoutRegardToCase",
         st::kUnknownAlias,
         {{st::kUnknownAlias, "Unknown alias"}},
         {{st::kUnknownAlias, 0, "UNKNOWN ALIAS"}, {st::kUnknownAlias, 0, "  unknown alias\r\n"}},
         "Unknown alias"},
        {"CyrillicLinesAreComparedWithoutCase",
         st::kLoginFailed,
         {{st::kLoginFailed, cyrUpper}},
         {{st::kLoginFailed, 0, cyrLower}},
         cyrUpper},
        {"AGeneralSqlErrorShowsOnlyTheServersTexts",
         st::kGeneralSql,
         {{st::kGeneralSql, "General SQL error"}, {st::kSqlSyntax, "Syntax error"}},
         {{st::kSqlSyntax, 0, "near \"SELEC\": syntax error"}},
         "near \"SELEC\": syntax error"},
        {"AnEntryWithANativeCodeAddsNoGeneralText",
         st::kKeyViolation,
         {{st::kKeyViolation, "Key violation"}, {st::kSqlSyntax, "Syntax error"}},
         {{st::kSqlSyntax, 2067, "UNIQUE constraint failed: t.k"}},
         "Key violation\r\nUNIQUE constraint failed: t.k"},
        {"AnEntryWithoutANativeCodeAddsItsGeneralText",
         st::kKeyViolation,
         {{st::kKeyViolation, "Key violation"}, {st::kConnectionLost, "Connection lost"}},
         {{st::kConnectionLost, 0, "server closed the connection"}},
         "Key violation\r\nConnection lost\r\nserver closed the connection"},
        {"LinesAreTrimmedAndEmptyOnesSkipped",
         st::kFileError,
         {{st::kFileError, "\t File error \r\n"}},
         {{st::kFileError, 5, "   "}, {st::kFileError, 5, "\x01 disk full \x02"}},
         "File error\r\ndisk full"},
        {"WithoutAnyTextTheCodeIsShown",
         st::kEndOfData,
         {},
         {},
         platform::ansi("Ошибка BDE $2202")},
        {"TheCodeIsShownInCapitalHexDigits",
         0x2EC4,
         {},
         {{0x2EC4, 7, ""}},
         platform::ansi("Ошибка BDE $2EC4")},
        {"ACodeBelow0x1000HasFourDigits", 0x00AB, {}, {}, platform::ansi("Ошибка BDE $00AB")},
        {"AnEntryCodeOfZeroEndsTheList",
         st::kFileError,
         {{st::kFileError, "File error"}},
         {{st::kFileError, 1, "first"}, {0, 0, "never"}},
         "File error\r\nfirst",
         0},
    };
}

class EngineErrorText : public ::testing::TestWithParam<TextCase> {};

TEST_P(EngineErrorText, CollectsTheLinesOfTheError) {
    const TextCase& c = GetParam();
    const TableSource source(c.general, c.entries, c.endCode);
    EXPECT_EQ(readEngineError(c.code, source).text, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, EngineErrorText, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EngineErrorReport, KeepsTheNativeCodesOfTheEntries) {
    const TableSource source({},
                             {{st::kGeneralSql, 25001, "cannot run"}, {st::kGeneralSql, 0, ""}});
    const EngineErrorReport report = readEngineError(st::kGeneralSql, source);
    EXPECT_EQ(report.nativeCodes, (std::vector<std::int32_t>{25001, 0}));
    EXPECT_EQ(report.text, "cannot run");
}

} // namespace
} // namespace vt::plugin
