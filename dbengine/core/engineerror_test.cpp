// Tests of the status codes, SQLSTATE native codes and EDBEngineError.
#include "dbengine/core/engineerror.h"

#include <gtest/gtest.h>

namespace vt::dbengine {
namespace {

TEST(StatusTest, TheCodesCallersTellApartHaveTheirFixedValues) {
    EXPECT_EQ(status::kOk, 0);
    EXPECT_EQ(status::kEndOfData, 0x2202);
    EXPECT_EQ(status::kNoSuchTable, 0x2728);
    EXPECT_EQ(status::kNoSuchTableAlt, 0x2208);
    EXPECT_EQ(status::kNoMoreErrors, 0x2A06);
    EXPECT_EQ(status::kGeneralSql, 0x2EC4);
}

TEST(StatusTest, EveryEngineCodeHasAGeneralText) {
    for (int code = 0x2100; code < 0x3000; ++code) {
        auto text = statusText(static_cast<Status>(code));
        if (!text.empty()) {
            EXPECT_NE(text.back(), '.') << std::hex << code;
        }
    }
    for (Status code : {status::kUnknownAlias, status::kCannotConnect, status::kLoginFailed,
                        status::kNoSuchTable, status::kKeyViolation, status::kNoKey})
        EXPECT_FALSE(statusText(code).empty()) << std::hex << code;
    EXPECT_EQ(statusText(0x1234), "");
    EXPECT_EQ(statusCategory(status::kKeyViolation), 0x26);
    EXPECT_EQ(statusSubCode(status::kKeyViolation), 0x01);
}

struct SqlStateCase {
    const char* name;
    const char* sqlState;
    std::int32_t native;
};

class SqlStateTest : public ::testing::TestWithParam<SqlStateCase> {};

TEST_P(SqlStateTest, MapsToAStableNativeCode) {
    EXPECT_EQ(nativeCodeFromSqlState(GetParam().sqlState), GetParam().native);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqlStateTest,
    ::testing::Values(SqlStateCase{"DigitsReadAsTheirDecimalValue", "23505", 23505},
                      SqlStateCase{"LeadingZeroesAreKept", "08006", 8006},
                      SqlStateCase{"LettersUseBase36AboveOneHundredThousand", "42P01",
                                   100000 + (((4 * 36 + 2) * 36 + 25) * 36 + 0) * 36 + 1},
                      SqlStateCase{"SuccessHasNoCode", "00000", 0},
                      SqlStateCase{"ShortTextHasNoCode", "2350", 0},
                      SqlStateCase{"LowerCaseHasNoCode", "42p01", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EDBEngineErrorTest, CarriesOrderedEntriesAndJoinsTheirMessages) {
    EDBEngineError e({{status::kKeyViolation, 0, "Batch move failed"},
                      {status::kKeyViolation, 23505, "duplicate key (SQLSTATE 23505)"}});
    EXPECT_STREQ(e.className(), "EDBEngineError");
    EXPECT_EQ(e.errorCode(), status::kKeyViolation);
    EXPECT_EQ(e.nativeCode(), 23505);
    EXPECT_EQ(e.message(), "Batch move failed\nduplicate key (SQLSTATE 23505)");
    ASSERT_EQ(e.entries().size(), 2u);
    EXPECT_EQ(e.entries()[1].nativeCode, 23505);
    const vt::EDatabaseError& base = e;
    EXPECT_STREQ(base.className(), "EDBEngineError");
}

TEST(EDBEngineErrorTest, EngineFailuresCarryTheGeneralTextAndNoNativeCode) {
    auto e = EDBEngineError::engine(status::kUnknownAlias, "SHOP");
    EXPECT_EQ(e.message(), "Unknown database alias: SHOP");
    EXPECT_EQ(e.nativeCode(), 0);
    auto withContext = e.withContext(status::kCannotConnect, "Opening SHOP");
    ASSERT_EQ(withContext.entries().size(), 2u);
    EXPECT_EQ(withContext.errorCode(), status::kCannotConnect);
    EXPECT_EQ(withContext.entries()[1].message, "Unknown database alias: SHOP");
}

TEST(EDBEngineErrorTest, AnEmptyEntryListBecomesAnInternalError) {
    EDBEngineError e(std::vector<EngineErrorEntry>{});
    EXPECT_EQ(e.errorCode(), status::kInternal);
}

} // namespace
} // namespace vt::dbengine
