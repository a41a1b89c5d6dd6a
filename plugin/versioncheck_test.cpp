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

struct StepCase {
    const char* name;
    std::vector<StepRecord> steps;
    int done;
    std::optional<std::int64_t> differing;
};

// Script commands "c1", "c2", ...: the chain through step n and command n's own fingerprint.
std::string command(int n) {
    return "c" + std::to_string(n);
}

std::string chainThrough(int step) {
    FingerprintChain chain;
    while (chain.step() < step)
        chain.add(command(chain.step() + 1));
    return chain.text();
}

std::string own(int n) {
    return commandFingerprint(command(n));
}

// The chain through step 3 of a script whose command 2 read "x".
std::string chainWithCommand2Edited() {
    FingerprintChain chain;
    chain.add(command(1));
    chain.add("x");
    chain.add(command(3));
    return chain.text();
}

class CheckRecordedSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(CheckRecordedSteps, ComparesEveryRecordWithTheScriptsChain) {
    const StepCase& c = GetParam();
    const ResumeCheck check = checkRecordedSteps(c.steps, c.done, command);
    EXPECT_EQ(check.differing, c.differing);
    if (!c.differing) {
        EXPECT_EQ(check.chain.step(), c.done);
        EXPECT_EQ(check.chain.text(), chainThrough(c.done)) << "the chain the run goes on from";
    }
}

const StepCase kStepCases[] = {
    {"ARecordPerCommandAgrees",
     {{1, chainThrough(1)}, {2, chainThrough(2)}, {3, chainThrough(3)}},
     3,
     std::nullopt},
    {"ARecordPerGroupAgrees", {{2, chainThrough(2)}, {5, chainThrough(5)}}, 6, std::nullopt},
    {"RecordsInAnyOrderAgree", {{5, chainThrough(5)}, {2, chainThrough(2)}}, 5, std::nullopt},
    {"NoRecordsAreProgressOfARunThatKeptNone", {}, 3, std::nullopt},
    {"RecordsFromAResumedOlderRunAgree", {{3, chainThrough(3)}}, 3, std::nullopt},
    {"OneRowPerCommandOfAnEarlierReleaseAgrees",
     {{1, own(1)}, {2, own(2)}, {3, own(3)}},
     3,
     std::nullopt},
    {"OldRowsFollowedByChainedOnesAgree",
     {{1, own(1)}, {2, own(2)}, {4, chainThrough(4)}},
     4,
     std::nullopt},
    {"AnEditedCommandWithARecordOfItsOwnIsNamed",
     {{1, chainThrough(1)}, {2, "0000000000000000"}, {3, chainThrough(3)}},
     3,
     2},
    {"AnEditedCommandInsideAGroupNamesTheGroupsRecord",
     {{1, chainThrough(1)}, {3, chainWithCommand2Edited()}},
     3,
     3},
    {"AnEditedCommandWithAnOldRowIsNamed", {{1, own(1)}, {2, commandFingerprint("x")}}, 3, 2},
    {"ARecordBeyondTheCommandsDoneIsNamed", {{1, chainThrough(1)}, {4, chainThrough(4)}}, 3, 4},
    {"ARecordOfANumberNoCommandHasIsNamed", {{0, chainThrough(0)}}, 3, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, CheckRecordedSteps, ::testing::ValuesIn(kStepCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vt::plugin
