// Tests of values, number parsing and the explicit conversions of batch moves.
#include "dbengine/core/valueconvert.h"

#include <gtest/gtest.h>

namespace vt::dbengine {
namespace {

ColumnInfo column(ColumnType type, int size = 0) {
    ColumnInfo c;
    c.name = "C";
    c.type = type;
    c.size = size;
    return c;
}

struct ConvertCase {
    const char* name;
    Value in;
    ColumnInfo column;
    bool ok;
    Value out;
};

class ConvertTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertTest, ConvertsExplicitlyOrRefuses) {
    const auto& c = GetParam();
    Value out;
    std::string reason;
    ASSERT_EQ(convertValue(c.in, c.column, out, reason), c.ok) << reason;
    if (c.ok)
        EXPECT_EQ(out, c.out);
    else
        EXPECT_FALSE(reason.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertTest,
    ::testing::Values(
        ConvertCase{"NullStaysNull", Value(), column(ColumnType::Integer), true, Value()},
        ConvertCase{"IntegerTextBecomesInteger", Value::text(" 42 "),
                    column(ColumnType::Integer, 8), true, Value::integer(42)},
        ConvertCase{"FractionalTextIsNoInteger",
                    Value::text("4.2"),
                    column(ColumnType::Integer, 8),
                    false,
                    {}},
        ConvertCase{"IntegralDoubleBecomesInteger", Value::real(7.0),
                    column(ColumnType::Integer, 4), true, Value::integer(7)},
        ConvertCase{"FractionalDoubleIsNoInteger",
                    Value::real(7.5),
                    column(ColumnType::Integer, 4),
                    false,
                    {}},
        ConvertCase{"TooLargeForSmallint",
                    Value::integer(40000),
                    column(ColumnType::Integer, 2),
                    false,
                    {}},
        ConvertCase{"BlobIsNoInteger", Value::blob("x"), column(ColumnType::Integer, 8), false, {}},
        ConvertCase{"IntegerBecomesDouble", Value::integer(3), column(ColumnType::Float, 8), true,
                    Value::real(3.0)},
        ConvertCase{"NumericTextBecomesDouble", Value::text("2.5"), column(ColumnType::Float, 8),
                    true, Value::real(2.5)},
        ConvertCase{"WordIsNoDouble", Value::text("abc"), column(ColumnType::Float, 8), false, {}},
        ConvertCase{"NumericKeepsItsText", Value::text("12.340"), column(ColumnType::Numeric, 10),
                    true, Value::text("12.340")},
        ConvertCase{"IntegerBecomesText", Value::integer(-5), column(ColumnType::Text), true,
                    Value::text("-5")},
        ConvertCase{"DoubleBecomesShortestText", Value::real(0.1), column(ColumnType::Text), true,
                    Value::text("0.1")},
        ConvertCase{"YesBecomesTrue", Value::text("Yes"), column(ColumnType::Boolean), true,
                    Value::integer(1)},
        ConvertCase{"ZeroBecomesFalse", Value::integer(0), column(ColumnType::Boolean), true,
                    Value::integer(0)},
        ConvertCase{"TwoIsNoBoolean", Value::integer(2), column(ColumnType::Boolean), false, {}},
        ConvertCase{"TextBecomesBlob", Value::text("ab"), column(ColumnType::Blob), true,
                    Value::blob("ab")},
        ConvertCase{"NumberIsNoBlob", Value::integer(1), column(ColumnType::Blob), false, {}},
        ConvertCase{"DateTextPassesAsText", Value::text("2024-02-29"), column(ColumnType::Date),
                    true, Value::text("2024-02-29")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertTest, AnUntypedColumnTakesEveryValueAsItIs) {
    ColumnInfo c = column(ColumnType::Other);
    c.typeKnown = false;
    Value out;
    std::string reason;
    ASSERT_TRUE(convertValue(Value::blob("\x01"), c, out, reason));
    EXPECT_EQ(out, Value::blob("\x01"));
}

TEST(ValueTest, TextFormsAndParsing) {
    EXPECT_EQ(Value::integer(-12).toText(), "-12");
    EXPECT_EQ(Value::real(1.5).toText(), "1.5");
    EXPECT_EQ(Value().toText(), "");
    std::int64_t i = 0;
    EXPECT_TRUE(parseInteger("+17", i));
    EXPECT_EQ(i, 17);
    EXPECT_FALSE(parseInteger("99999999999999999999", i));
    EXPECT_FALSE(parseInteger("", i));
    double d = 0;
    EXPECT_TRUE(parseDouble(" -2e3 ", d));
    EXPECT_EQ(d, -2000.0);
    EXPECT_FALSE(parseDouble("inf", d));
    Value v = Value::text("long text that needs a buffer");
    v.setText("short");
    EXPECT_EQ(v, Value::text("short"));
    v.setInteger(3);
    EXPECT_EQ(v, Value::integer(3));
}

} // namespace
} // namespace vt::dbengine
