// Tests of move planning without a database: columns, keys, the copy key, untyped columns.
#include "dbengine/data/batchmoveplan.h"

#include "dbengine/core/engineerror.h"

#include <gtest/gtest.h>

namespace vt::dbengine {
namespace {

std::vector<ColumnInfo> columns(std::initializer_list<const char*> names) {
    std::vector<ColumnInfo> out;
    for (const char* n : names)
        out.push_back(ColumnInfo{.name = n, .type = ColumnType::Integer, .size = 4});
    return out;
}

TableInfo table(std::initializer_list<const char*> names, std::vector<std::string> key = {},
                std::vector<std::vector<std::string>> unique = {}) {
    TableInfo t;
    t.columns = columns(names);
    t.primaryKey = std::move(key);
    t.uniqueKeys = std::move(unique);
    return t;
}

struct PlanCase {
    const char* name;
    BatchMode mode;
    std::vector<std::string> mappings;
    std::optional<TableInfo> destination;
    std::vector<std::string> sourceKey;
    // Expected: "DEST<-index" per column, key positions, copy key; or the error.
    std::vector<std::string> pairs;
    std::vector<int> key;
    std::vector<std::string> copyKey;
    Status error = 0;
    const char* message = "";
};

// The source of every case: ID, Name, Qty.
const PlanCase kPlanCases[] = {
    {"WithoutMappingsSameNamedColumnsAreMatchedInAnyCase",
     BatchMode::Append,
     {},
     table({"qty", "ID", "other"}),
     {},
     {"ID<-0", "qty<-2"},
     {},
     {}},
    {"AppendNamesTheFailingRowByTheMappedPrimaryKey",
     BatchMode::Append,
     {},
     table({"id", "name"}, {"id"}),
     {},
     {"id<-0", "name<-1"},
     {0},
     {}},
    {"AppendWithAnUnmappedPrimaryKeyHasNoKey",
     BatchMode::Append,
     {"name"},
     table({"id", "name"}, {"id"}),
     {},
     {"name<-1"},
     {},
     {}},
    {"MappingLinesChooseAndRenameColumns",
     BatchMode::Append,
     {" id = qty ", "", "NAME"},
     table({"id", "name", "qty"}),
     {},
     {"id<-2", "name<-1"},
     {},
     {}},
    {"UpdateFindsRowsByThePrimaryKey",
     BatchMode::Update,
     {},
     table({"name", "id"}, {"id"}),
     {},
     {"id<-0", "name<-1"},
     {0},
     {}},
    {"WithoutPrimaryKeyTheFirstFullyMappedUniqueIndexServes",
     BatchMode::Delete,
     {"qty", "name"},
     table({"id", "name", "qty"}, {}, {{"id"}, {"qty"}}),
     {},
     {"qty<-2", "name<-1"},
     {0},
     {}},
    {"CopyTakesTheSourcesColumnsAndItsKeyUnderTheMappedNames",
     BatchMode::Copy,
     {"KEY=id", "name"},
     std::nullopt,
     {"ID"},
     {"KEY<-0", "name<-1"},
     {0},
     {"KEY"}},
    {"CopyDropsTheKeyWhenAKeyColumnIsNotMapped",
     BatchMode::Copy,
     {"name"},
     table({"x"}),
     {"id"},
     {"name<-1"},
     {},
     {}},
    {"ADestinationThatIsMissingIsRefusedExceptForCopy",
     BatchMode::Append,
     {},
     std::nullopt,
     {},
     {},
     {},
     {},
     status::kNoSuchTable,
     "Table does not exist: dst"},
    {"NoCommonColumnIsRefused",
     BatchMode::Append,
     {},
     table({"other"}),
     {},
     {},
     {},
     {},
     status::kMappingError,
     "Invalid column mapping: no source column matches a column of dst"},
    {"AnUnknownSourceColumnIsRefused",
     BatchMode::Append,
     {"id=nope"},
     table({"id"}),
     {},
     {},
     {},
     {},
     status::kMappingError,
     "Invalid column mapping: the source has no column nope"},
    {"ALineWithoutSourceIsRefused",
     BatchMode::Append,
     {"ID=id", "NAME="},
     table({"id", "name"}),
     {},
     {},
     {},
     {},
     status::kMappingError,
     "Invalid column mapping: line \"NAME=\" names no source column"},
    {"AColumnFilledTwiceIsRefused",
     BatchMode::Append,
     {"ID=id", "id=qty"},
     table({"id"}),
     {},
     {},
     {},
     {},
     status::kMappingError,
     "Invalid column mapping: destination column ID is filled twice"},
    {"AnUnknownDestinationColumnIsRefused",
     BatchMode::Append,
     {"nope=id"},
     table({"id"}),
     {},
     {},
     {},
     {},
     status::kMappingError,
     "Invalid column mapping: dst has no column nope"},
    {"UpdateWithAnUnmappedKeyColumnIsRefused",
     BatchMode::Update,
     {"name"},
     table({"id", "name"}, {"id"}),
     {},
     {},
     {},
     {},
     status::kMappingError,
     "Invalid column mapping: key column id of dst is not mapped"},
    {"UpdateWithNoFullyMappedUniqueIndexIsRefused",
     BatchMode::AppendUpdate,
     {"name"},
     table({"id", "name"}, {}, {{"id"}}),
     {},
     {},
     {},
     {},
     status::kMappingError,
     "Invalid column mapping: no unique index of dst has all its columns mapped"},
    {"DeleteWithoutAnyKeyIsRefused",
     BatchMode::Delete,
     {},
     table({"id"}),
     {},
     {},
     {},
     {},
     status::kNoKey,
     "Table has no primary key or unique index: dst (update and delete need a key to find rows)"},
};

class BatchMovePlanTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(BatchMovePlanTest, PlansTheMove) {
    const PlanCase& c = GetParam();
    BatchMoveInput input;
    input.mode = c.mode;
    input.mappings = c.mappings;
    input.sourceColumns = columns({"ID", "Name", "Qty"});
    input.sourceKey = c.sourceKey;
    input.destinationName = "dst";
    input.destination = c.destination;
    if (c.error) {
        try {
            BatchMovePlan::make(input);
            FAIL() << "the plan was accepted";
        } catch (const EDBEngineError& e) {
            EXPECT_EQ(e.errorCode(), c.error);
            EXPECT_EQ(e.message(), c.message);
        }
        return;
    }
    BatchMovePlan plan = BatchMovePlan::make(input);
    std::vector<std::string> pairs;
    for (std::size_t i = 0; i < plan.columns().size(); ++i)
        pairs.push_back(plan.columns()[i].name + "<-" + std::to_string(plan.sourceIndex()[i]));
    EXPECT_EQ(pairs, c.pairs);
    EXPECT_EQ(plan.keyPositions(), c.key);
    EXPECT_EQ(plan.copyKey(), c.copyKey);
}

INSTANTIATE_TEST_SUITE_P(Cases, BatchMovePlanTest, ::testing::ValuesIn(kPlanCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BatchMovePlan, NonKeyColumnsAreTheRestInColumnOrder) {
    BatchMoveInput input{.mode = BatchMode::Update,
                         .sourceColumns = columns({"a", "k", "b"}),
                         .destinationName = "dst",
                         .destination = table({"a", "b", "k"}, {"k"})};
    BatchMovePlan plan = BatchMovePlan::make(input);
    EXPECT_EQ(plan.keyPositions(), std::vector<int>{1});
    EXPECT_EQ(plan.nonKeyPositions(), (std::vector<int>{0, 2}));
}

TEST(BatchMovePlan, UntypedColumnsTakeTheTypeOfTheFirstValue) {
    std::vector<ColumnInfo> source = columns({"n", "f", "t", "known"});
    for (int i = 0; i < 3; ++i)
        source[static_cast<std::size_t>(i)].typeKnown = false;
    BatchMoveInput input{.mode = BatchMode::Copy,
                         .mappings = {"known", "T=t", "F=f", "N=n"},
                         .sourceColumns = source,
                         .destinationName = "dst"};
    BatchMovePlan plan = BatchMovePlan::make(input);
    EXPECT_TRUE(plan.hasUntypedColumns());
    std::vector<Value> first{Value::integer(1), Value::real(2.5), Value::text("x"),
                             Value::integer(4)};
    plan.typeUntypedColumns(&first);
    EXPECT_FALSE(plan.hasUntypedColumns());
    std::vector<ColumnType> types;
    for (const auto& c : plan.columns())
        types.push_back(c.type);
    EXPECT_EQ(types, (std::vector<ColumnType>{ColumnType::Integer, ColumnType::Text,
                                              ColumnType::Float, ColumnType::Integer}));
    EXPECT_EQ(plan.columns()[0].size, 4) << "a known column keeps its description";

    BatchMovePlan empty = BatchMovePlan::make(input);
    empty.typeUntypedColumns(nullptr);
    EXPECT_EQ(empty.columns()[3].type, ColumnType::Text) << "an empty source gives text";
}

} // namespace
} // namespace vt::dbengine
