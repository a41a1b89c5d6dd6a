// Tests of the class table and of exception class names.
#include "desktop/errors/errorclasstable.h"

#include "dbengine/core/engineerror.h"
#include "desktop/errors/eanyerror.h"
#include "desktop/errors/evtutilserror.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <stdexcept>

namespace vt::desktop {
namespace {

void routineA(const std::exception&, TrError&) {}
void routineB(const std::exception&, TrError&) {}

VT_DECLARE_EXCEPTION(EMyOSError, EOSError);

TEST(ErrorClassTableTest, ProcessTableHoldsTheRegistrationsInTheirOrder) {
    const QStringList expected = {
        QStringLiteral("EAnyError"),      QStringLiteral("EOSError"),
        QStringLiteral("EInOutError"),    QStringLiteral("EConvertError"),
        QStringLiteral("ERangeError"),    QStringLiteral("EDBEngineError"),
        QStringLiteral("EDatabaseError"), QStringLiteral("EUpdateError"),
        QStringLiteral("EOLEException")};
    const auto& entries = errorClassTable().entries();
    ASSERT_GE(entries.size(), std::size_t(expected.size()));
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(entries[i].className, expected[i]) << i;
}

TEST(ErrorClassTableTest, RegisteringAgainLeavesTheEarlierEntryInCharge) {
    ErrorClassTable table;
    table.RegisterErrorClass(QStringLiteral("EFoo"), routineA);
    table.RegisterErrorClass(QStringLiteral("EFOO"), routineB);
    EXPECT_EQ(table.entries().size(), 2u);
    EXPECT_EQ(table.find(QStringLiteral("efoo")), &routineA);
    EXPECT_EQ(table.find(QStringLiteral("EBar")), nullptr);
}

TEST(ErrorClassTableTest, ReplacingChangesTheFirstEntryOfTheNameOrAppends) {
    ErrorClassTable table;
    table.RegisterErrorClass(QStringLiteral("EFoo"), routineA);
    table.ReplaceErrorClass(QStringLiteral("EFOO"), routineB);
    ASSERT_EQ(table.entries().size(), 1u);
    EXPECT_EQ(table.entries()[0].className, QStringLiteral("EFOO"));
    EXPECT_EQ(table.find(QStringLiteral("EFoo")), &routineB);
    table.ReplaceErrorClass(QStringLiteral("EBar"), routineA);
    EXPECT_EQ(table.entries().size(), 2u);
}

TEST(ErrorClassTableTest, EveryClassReportsItsOwnName) {
    struct Case {
        const char* expected;
        const std::exception& e;
    };
    const EOSError os("x", 5);
    const EMyOSError derived("x", 5);
    const EAnyError any("t", "m", "d");
    const EVTUtilsError workflow("w");
    const EOleException ole("o");
    const dbengine::EDBEngineError engine(dbengine::status::kInternal, 0, "e");
    const std::runtime_error foreign("f");
    const Exception plain("p");
    for (const Case& c : {Case{"EOSError", os}, Case{"EMyOSError", derived}, Case{"EAnyError", any},
                          Case{"EVTUtilsError", workflow}, Case{"EOleException", ole},
                          Case{"EDBEngineError", engine}, Case{"std::runtime_error", foreign},
                          Case{"Exception", plain}})
        EXPECT_EQ(errorClassName(c.e), QString::fromLatin1(c.expected));
}

} // namespace
} // namespace vt::desktop
