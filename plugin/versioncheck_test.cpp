// Tests of the version check, row by row.
#include "plugin/versioncheck.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace vt::plugin {
namespace {

const std::string kMissingCode = platform::ansi("Отсутствует код базы данных.");
const std::string kWrongCode = platform::ansi("Неверный код базы данных.");
const std::string kPrevious = platform::ansi("Предыдущий скрипт был выполнен с ошибками.");
const std::string kAlready = platform::ansi("Скрипт данной версии уже был выполнен на БД.");

std::string damaged(const std::string& counter, const std::string& n) {
    return platform::ansi("Счётчик R_VERSION (") + counter +
           platform::ansi(") повреждён: в скрипте ") + n + platform::ansi(" команд.");
}

std::string mismatch(const std::string& db, const std::string& old) {
    return platform::ansi("Версия БД (") + db +
           platform::ansi(") не совпадает с требуемой (старой) версией (") + old + ").";
}

struct CheckCase {
    const char* name;
    std::vector<VersionRow> rows;
    ScriptHeaderValues script;
    int result;
    std::optional<int> first;
    int last;
    int remaining;
    std::optional<std::size_t> row;
    std::optional<std::string> errorText;
    VtErrorCause cause = VT_CAUSE_NONE;
};

std::vector<CheckCase> cases() {
    const ScriptHeaderValues abc10{"ABC", "", "1.0", 5};
    return {
        {"WithoutRowsEveryCommandRuns",
         {},
         abc10,
         0,
         std::nullopt,
         5,
         5,
         std::nullopt,
         std::nullopt},
        {"AFreshRowRunsEveryCommand", {{"", "ABC", 0}}, abc10, 0, std::nullopt, 5, 5, 0, ""},
        {"TheCodeIsComparedWithoutLetterCase",
         {{"", "abc", 0}},
         abc10,
         0,
         std::nullopt,
         5,
         5,
         0,
         ""},
        {"AnInterruptedRunResumesAtTheFirstCommandNotDone",
         {{"", "ABC", 3}},
         abc10,
         0,
         3,
         5,
         3,
         0,
         ""},
        {"ARunInterruptedAtTheOldVersionResumes",
         {{"0.9", "ABC", 2}},
         {"ABC", "0.9", "1.0", 5},
         0,
         4,
         5,
         2,
         0,
         ""},
        {"TheSameVersionAgainIsRefused",
         {{"1.0", "ABC", 0}},
         abc10,
         -3,
         std::nullopt,
         5,
         5,
         0,
         kAlready,
         VT_CAUSE_APPLIED},
        {"AnotherOldVersionIsRefusedAtOnce",
         {{"1.0", "ABC", 0}, {"", "ABC", 0}},
         {"ABC", "0.9", "1.0", 5},
         -3,
         0,
         5,
         5,
         0,
         mismatch("1.0", "0.9"),
         VT_CAUSE_VERSION},
        {"AVersionMismatchReportsTheCounterAsFirst",
         {{"1.0", "ABC", 2}},
         {"ABC", "0.9", "1.1", 5},
         -3,
         2,
         5,
         2,
         0,
         mismatch("1.0", "0.9"),
         VT_CAUSE_VERSION},
        {"ARunInterruptedAfterAnotherVersionIsRefused",
         {{"0.8", "ABC", 2}},
         abc10,
         -3,
         std::nullopt,
         5,
         2,
         0,
         kPrevious,
         VT_CAUSE_VERSION},
        {"AnEmptyCodeIsRefused",
         {{"", "ABC", 0}},
         {"", "", "1.0", 5},
         -3,
         std::nullopt,
         5,
         5,
         0,
         kMissingCode,
         VT_CAUSE_VERSION},
        {"AWrongCodeMovesToTheNextRow",
         {{"", "A", 0}, {"", "B", 1}},
         {"B", "", "1.0", 5},
         0,
         5,
         5,
         1,
         1,
         ""},
        {"TheLastRowsErrorStands",
         {{"", "A", 0}, {"1.0", "B", 0}},
         {"B", "", "1.0", 5},
         -3,
         std::nullopt,
         5,
         5,
         1,
         kAlready,
         VT_CAUSE_APPLIED},
        {"EverythingTakesTheFirstRow",
         {{"", "A", 0}, {"", "B", 0}},
         {"EVERYTHING", "", "1.0", 5},
         0,
         std::nullopt,
         5,
         5,
         0,
         ""},
        {"EverythingIsComparedExactly",
         {{"", "A", 0}},
         {"everything", "", "1.0", 5},
         -3,
         std::nullopt,
         5,
         5,
         0,
         kWrongCode,
         VT_CAUSE_VERSION},
        {"AnUnversionedScriptIgnoresTheCounter",
         {{"0.8", "ABC", 2}},
         {"ABC", "", "", 5},
         0,
         std::nullopt,
         5,
         5,
         0,
         ""},
        {"AnUnversionedScriptWithAnOldVersionStillChecksIt",
         {{"0.8", "ABC", 2}},
         {"ABC", "0.9", "", 5},
         -3,
         0,
         5,
         5,
         0,
         mismatch("0.8", "0.9"),
         VT_CAUSE_VERSION},
        {"VersionsAreComparedWithLetterCase",
         {{"1.0a", "ABC", 0}},
         {"ABC", "", "1.0A", 5},
         0,
         std::nullopt,
         5,
         5,
         0,
         ""},
        {"ANegativeCounterIsDamagedProgress",
         {{"", "ABC", -1}},
         abc10,
         -3,
         std::nullopt,
         5,
         0,
         0,
         damaged("-1", "5"),
         VT_CAUSE_VERSION},
        {"ACounterAboveTheCommandCountIsDamagedProgress",
         {{"", "ABC", 303}, {"", "ABC", 0}},
         abc10,
         -3,
         std::nullopt,
         5,
         0,
         0,
         damaged("303", "5"),
         VT_CAUSE_VERSION},
        {"ACounterOfEveryCommandResumesAtTheFirst", {{"", "ABC", 5}}, abc10, 0, 1, 5, 5, 0, ""},
        {"AnUnversionedScriptIgnoresADamagedCounter",
         {{"", "ABC", 303}},
         {"ABC", "", "", 5},
         0,
         std::nullopt,
         5,
         5,
         0,
         ""},
    };
}

class DecideVersion : public ::testing::TestWithParam<CheckCase> {};

TEST_P(DecideVersion, FollowsTheRowsInOrder) {
    const CheckCase& c = GetParam();
    const VersionDecision d = decideVersion(c.rows, c.script);
    EXPECT_EQ(d.result, c.result);
    EXPECT_EQ(d.first, c.first);
    EXPECT_EQ(d.last, c.last);
    EXPECT_EQ(d.remaining, c.remaining);
    EXPECT_EQ(d.row, c.row);
    EXPECT_EQ(d.errorText, c.errorText);
    EXPECT_EQ(d.cause, c.cause);
}

INSTANTIATE_TEST_SUITE_P(Rows, DecideVersion, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommandFingerprint, IsSixteenHexDigitsThatChangeWithAnyByte) {
    EXPECT_EQ(commandFingerprint(""), "cbf29ce484222325");
    EXPECT_EQ(commandFingerprint("a"), "af63dc4c8601ec8c");
    EXPECT_NE(commandFingerprint("select 1\r\n"), commandFingerprint("select 2\r\n"));
    EXPECT_NE(commandFingerprint("select 1\r\n"), commandFingerprint("select 1\n"));
}

struct StepCase {
    const char* name;
    std::vector<StepRecord> steps;
    int done;
    std::optional<std::int64_t> differing;
};

class FirstDifferingStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(FirstDifferingStep, ComparesEveryRecordWithTheScript) {
    const StepCase& c = GetParam();
    const auto fingerprintOf = [](int step) { return "h" + std::to_string(step); };
    EXPECT_EQ(firstDifferingStep(c.steps, c.done, fingerprintOf), c.differing);
}

const StepCase kStepCases[] = {
    {"RecordsOfTheSameScriptAgree", {{1, "h1"}, {2, "h2"}, {3, "h3"}}, 3, std::nullopt},
    {"NoRecordsAreProgressOfARunThatKeptNone", {}, 3, std::nullopt},
    {"RecordsFromAResumedOlderRunAgree", {{3, "h3"}}, 3, std::nullopt},
    {"AnEditedEarlyCommandIsNamed", {{1, "h1"}, {2, "x"}, {3, "h3"}}, 3, 2},
    {"ARecordBeyondTheCommandsDoneIsNamed", {{1, "h1"}, {2, "h2"}, {4, "h4"}}, 3, 4},
    {"ARecordOfANumberNoCommandHasIsNamed", {{0, "h0"}}, 3, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, FirstDifferingStep, ::testing::ValuesIn(kStepCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::plugin
