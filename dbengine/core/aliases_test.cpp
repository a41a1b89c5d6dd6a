// Tests of the aliases file: sections, defaults, the built-in DEFAULT and DBName=<path>.
#include "dbengine/core/aliases.h"

#include "dbengine/core/engineerror.h"
#include "dbengine/testkit/testkit.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vt::dbengine {
namespace {

using testkit::EngineEnv;

TEST(AliasTableTest, WithoutAFileOffersTheBuiltInDefaultInTheSettingsFolder) {
    EngineEnv env;
    AliasTable t = AliasTable::load();
    ASSERT_EQ(t.aliases().size(), 1u);
    const auto& d = t.aliases()[0];
    EXPECT_EQ(d.name, "DEFAULT");
    EXPECT_EQ(d.driverName, "STANDARD");
    EXPECT_TRUE(d.builtIn);
    EXPECT_EQ(d.params.value("PATH"), env.dir().file("default.db"));
}

TEST(AliasTableTest, ReadsSectionsInFileOrderWithTheirParameters) {
    EngineEnv env;
    env.writeAliases("; aliases\n[SHOP]\nDRIVER=standard\nPATH=/var/lib/shop/shop.db\n\n"
                     "[Accounts]\nDRIVER=PGSQL\nSERVER NAME=127.0.0.1:5432/accounts\n"
                     "USER NAME=admin\nSSLMODE=disable\n[PLAIN]\nPATH=plain.db\n");
    AliasTable t = AliasTable::load();
    ASSERT_EQ(t.aliases().size(), 3u);
    EXPECT_EQ(t.aliases()[0].name, "SHOP");
    EXPECT_EQ(t.aliases()[0].driverName, "STANDARD");
    const AliasDefinition* acc = t.find("ACCOUNTS");
    ASSERT_NE(acc, nullptr);
    EXPECT_EQ(acc->driverName, "PGSQL");
    EXPECT_EQ(acc->params.value("user name"), "admin");
    EXPECT_EQ(acc->params.lines(),
              (std::vector<std::string>{"SERVER NAME=127.0.0.1:5432/accounts", "USER NAME=admin",
                                        "SSLMODE=disable"}));
    EXPECT_EQ(t.find("plain")->driverName, "STANDARD") << "a missing DRIVER means STANDARD";
    EXPECT_EQ(t.resolve("PLAIN").params.value("PATH"), env.dir().file("plain.db"))
        << "a relative PATH is relative to the aliases file";
    EXPECT_EQ(t.find("DEFAULT"), nullptr) << "an aliases file replaces the built-in alias";
}

TEST(AliasTableTest, VtAliasesNamesAnotherFile) {
    EngineEnv env;
    std::string other = env.dir().file("other.ini");
    { std::ofstream(other) << "[ELSEWHERE]\nPATH=/tmp/x.db\n"; }
    setenv("VT_ALIASES", other.c_str(), 1);
    EXPECT_EQ(AliasTable::defaultPath(), other);
    AliasTable t = AliasTable::load();
    ASSERT_EQ(t.aliases().size(), 1u);
    EXPECT_EQ(t.aliases()[0].name, "ELSEWHERE");
}

TEST(AliasTableTest, DbNameOpensAFileDirectly) {
    EngineEnv env;
    AliasTable t = AliasTable::load();
    AliasDefinition d = t.resolve("dbname=/data/x.db");
    EXPECT_EQ(d.driverName, "STANDARD");
    EXPECT_EQ(d.params.value("PATH"), "/data/x.db");
    EXPECT_EQ(AliasTable::directPath("DBName=a b.db"), "a b.db");
    EXPECT_EQ(AliasTable::directPath("SHOP"), std::nullopt);
}

TEST(AliasTableTest, AnUnknownAliasIsAnEngineErrorWithoutNativeCode) {
    EngineEnv env;
    try {
        AliasTable::load().resolve("NOPE");
        FAIL() << "no error";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.errorCode(), status::kUnknownAlias);
        EXPECT_EQ(e.nativeCode(), 0);
        EXPECT_EQ(e.message(), "Unknown database alias: NOPE");
    }
}

TEST(AliasTableTest, AnUnreadableFileIsAnAliasFileError) {
    EngineEnv env;
    std::filesystem::create_directory(env.dir().file("aliases.ini"));
    try {
        AliasTable::load();
        FAIL() << "no error";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.errorCode(), status::kAliasFileError);
    }
}

} // namespace
} // namespace vt::dbengine
