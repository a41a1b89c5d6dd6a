// Tests of the login components without a window: remembered values, the attempt policy, the
// enabling rule, and TrDBConnect over real SQLite and PostgreSQL aliases.
#include "desktop/scripts/trconnect.h"
#include "desktop/scripts/trdbconnect.h"

#include "dbengine/data/database.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/data/session.h"
#include "dbengine/testkit/driverfixture.h"
#include "desktop/shell/registry.h"
#include "platform/exception.h"

#include <QFile>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\VT Tools\\Login");

class LoginTest : public ::testing::Test {
protected:
    void TearDown() override { TrCustomConnect::setDialogPresenter({}); }

    void store(const QString& name, const QString& value) {
        Registry registry;
        ASSERT_TRUE(registry.openKey(QStringLiteral("Software\\VT Tools\\Login"), true));
        registry.writeString(name, value);
    }
    std::optional<QString> stored(const QString& name) {
        Registry registry;
        if (!registry.openKey(QStringLiteral("Software\\VT Tools\\Login"), false))
            return std::nullopt;
        return registry.readString(name);
    }
    // A dialog that enters the user and password and closes with OK (or cancels).
    static void answerDialog(const QString& user, const QString& password, bool ok) {
        TrCustomConnect::setDialogPresenter([=](TrCustomConnect& c) {
            c.setUser(user);
            c.setPassword(password);
            return ok;
        });
    }

    dbengine::testkit::EngineEnv m_env;
};

TEST_F(LoginTest, LoginValuesLiveInParams) {
    TrConnect c;
    c.setResource(QStringLiteral("SHOP"));
    c.setUser(QStringLiteral("ivan"));
    c.setPassword(QStringLiteral("secret"));
    EXPECT_EQ(c.Params(), QStringList({"Resource_Name=SHOP", "User_Name=ivan", "Password=secret"}));
    c.setUser(QString());
    EXPECT_EQ(c.Params(), QStringList({"Resource_Name=SHOP", "Password=secret"}));
    c.setParams({QStringLiteral("user_name=petr"), QStringLiteral("Other=1")});
    EXPECT_EQ(c.User(), QStringLiteral("petr"));
    EXPECT_EQ(c.Resource(), QString());
}

TEST_F(LoginTest, SettingTheKeyLoadsTheLastResourceAndTheRecentUsersOnce) {
    store(QStringLiteral("Resource"), QStringLiteral("SHOP"));
    store(QStringLiteral("User"), QStringLiteral("a;b;"));
    TrConnect c;
    c.setRegKey(kKey);
    EXPECT_EQ(c.Resource(), QStringLiteral("SHOP"));
    EXPECT_EQ(c.RecentUsers(), QStringList({"a", "b"}));
    EXPECT_EQ(c.User(), QStringLiteral("a"));

    store(QStringLiteral("Resource"), QStringLiteral("OTHER"));
    c.setUser(QStringLiteral("typed"));
    c.setRegKey(kKey);
    EXPECT_EQ(c.Resource(), QStringLiteral("SHOP"));
    EXPECT_EQ(c.User(), QStringLiteral("typed"));
}

TEST_F(LoginTest, AMissingKeyChangesNothing) {
    TrConnect c;
    c.setResource(QStringLiteral("KEEP"));
    c.setRegKey(QStringLiteral("Software\\Nobody\\Here"));
    EXPECT_EQ(c.Resource(), QStringLiteral("KEEP"));
    EXPECT_EQ(c.RegKey(), QStringLiteral("Software\\Nobody\\Here"));
}

struct UsersCase {
    const char* name;
    const char* before;
    const char* user;
    const char* after;
};

class RecentUsersTest : public LoginTest, public ::testing::WithParamInterface<UsersCase> {};

TEST_P(RecentUsersTest, ASuccessfulLoginPutsItsUserFirst) {
    const UsersCase& row = GetParam();
    store(QStringLiteral("User"), QString::fromUtf8(row.before));
    TrConnect c;
    c.setRegKey(kKey);
    c.setResource(QStringLiteral("SHOP"));
    answerDialog(QString::fromUtf8(row.user), QStringLiteral("pw"), true);
    ASSERT_TRUE(c.Execute());
    EXPECT_EQ(stored(QStringLiteral("User")), QString::fromUtf8(row.after));
    EXPECT_EQ(stored(QStringLiteral("Resource")), QStringLiteral("SHOP"));
}

const UsersCase kUsersCases[] = {
    {"a new user goes in front", "a;b;", "c", "c;a;b;"},
    {"a known user changes places with the first", "a;b;", "b", "b;a;"},
    {"the first user found without regard to case stays", "a;b;", "A", "a;b;"},
    {"the first login", "", "ivan", "ivan;"},
    {"a third user swaps with the first only", "a;b;c;", "c", "c;b;a;"},
};
INSTANTIATE_TEST_SUITE_P(Users, RecentUsersTest, ::testing::ValuesIn(kUsersCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST_F(LoginTest, CancelRestoresTheValuesAndStoresNothing) {
    TrConnect c;
    c.setRegKey(kKey);
    c.setResource(QStringLiteral("SHOP"));
    c.setUser(QStringLiteral("before"));
    answerDialog(QStringLiteral("typed"), QStringLiteral("typed-pw"), false);
    EXPECT_FALSE(c.Execute());
    EXPECT_EQ(c.User(), QStringLiteral("before"));
    EXPECT_EQ(c.Password(), QString());
    EXPECT_EQ(stored(QStringLiteral("User")), std::nullopt);
}

TEST_F(LoginTest, ThePasswordNeverReachesTheRegistry) {
    TrConnect c;
    c.setRegKey(kKey);
    c.setResource(QStringLiteral("SHOP"));
    answerDialog(QStringLiteral("ivan"), QStringLiteral("Sup3rSecret"), true);
    ASSERT_TRUE(c.Execute());
    QFile file(QString::fromStdString(m_env.dir().file("registry.ini")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("ivan;"));
    EXPECT_FALSE(text.contains("Sup3rSecret"));
}

TEST_F(LoginTest, AutoLogonConnectsWithoutTheDialog) {
    TrConnect c;
    c.setAutoLogon(true);
    int connects = 0;
    c.OnConnect = [&](TrCustomConnect&) { ++connects; };
    TrCustomConnect::setDialogPresenter([](TrCustomConnect&) -> bool {
        ADD_FAILURE() << "the dialog was shown";
        return false;
    });
    EXPECT_TRUE(c.Execute());
    EXPECT_EQ(connects, 1);
    c.OnConnect = [](TrCustomConnect&) { throw Exception("refused"); };
    EXPECT_THROW(c.Execute(), Exception);
}

struct PolicyCase {
    const char* name;
    TrConnectAction action;
    int failures;     // attempts that fail before one succeeds
    bool throws;      // Connect raises
    bool silent;      // ...the silent abort
    int attempts;     // attempts counted
    int afterConnect; // AfterConnect fired
};

class ConnectPolicyTest : public LoginTest, public ::testing::WithParamInterface<PolicyCase> {};

TEST_P(ConnectPolicyTest, OnErrorDecidesWhatAFailedAttemptLeadsTo) {
    const PolicyCase& row = GetParam();
    TrConnect c;
    int failuresLeft = row.failures, before = 0, after = 0;
    c.OnConnect = [&](TrCustomConnect&) {
        if (failuresLeft-- > 0)
            throw Exception("login refused");
    };
    c.BeforeConnect = [&](TrCustomConnect&) { ++before; };
    c.AfterConnect = [&](TrCustomConnect&) { ++after; };
    c.OnError = [&](TrCustomConnect&, const std::exception& e, TrConnectAction& action) {
        EXPECT_STREQ(e.what(), "login refused");
        EXPECT_EQ(action, caFail);
        action = row.action;
    };
    try {
        c.Connect();
        EXPECT_FALSE(row.throws);
    } catch (const EAbort&) {
        EXPECT_TRUE(row.silent);
    } catch (const Exception& e) {
        EXPECT_TRUE(row.throws && !row.silent);
        EXPECT_STREQ(e.what(), "login refused");
    }
    EXPECT_EQ(c.attempts(), row.attempts);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, row.afterConnect);
}

const PolicyCase kPolicyCases[] = {
    {"success", caFail, 0, false, false, 1, 1},
    {"fail_reraises", caFail, 1, true, false, 1, 0},
    {"abort_is_silent", caAbort, 1, true, true, 1, 0},
    {"retry_repeats_until_success", caRetry, 2, false, false, 3, 1},
};
INSTANTIATE_TEST_SUITE_P(Policy, ConnectPolicyTest, ::testing::ValuesIn(kPolicyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginTest, CanConnectNeedsWhatIsRequired) {
    struct Row {
        const char *resource, *user, *password;
        bool userRequired, passwordRequired, expected;
    } rows[] = {
        {"SHOP", "u", "p", true, true, true}, {"", "u", "p", true, true, false},
        {"SHOP", "", "p", true, true, false}, {"SHOP", "", "p", false, true, true},
        {"SHOP", "u", "", true, true, false}, {"SHOP", "u", "", true, false, true},
        {"SHOP", "", "", false, false, true},
    };
    for (const Row& row : rows) {
        TrConnect c;
        c.setResource(QString::fromUtf8(row.resource));
        c.setUser(QString::fromUtf8(row.user));
        c.setPassword(QString::fromUtf8(row.password));
        c.setUserRequired(row.userRequired);
        c.setPasswordRequired(row.passwordRequired);
        EXPECT_EQ(c.CanConnect(), row.expected)
            << row.resource << "/" << row.user << "/" << row.password;
    }
}

TEST_F(LoginTest, DriversLimitTheOfferedAliases) {
    m_env.writeAliases("[SHOP]\nDRIVER=STANDARD\nPATH=shop.db\n\n[IB]\nDRIVER=INTERBASE\n\n"
                       "[ACC]\nDRIVER=PGSQL\nSERVER NAME=127.0.0.1/acc\nUSER NAME=admin\n\n"
                       "[ORA]\nDRIVER=ORACLE\n");
    TrDBConnect c;
    EXPECT_EQ(c.Resources(), QStringList({"SHOP", "IB", "ACC", "ORA"}));
    c.setDrivers(QStringLiteral("interbase;oracle"));
    EXPECT_EQ(c.Resources(), QStringList({"IB", "ORA"}));
    c.setDrivers(QStringLiteral("Pgsql"));
    EXPECT_EQ(c.Resources(), QStringList({"ACC"}));
    c.setDrivers(QString());
    EXPECT_EQ(c.Resources().size(), 4);
}

TEST_F(LoginTest, AStandardAliasNeedsNoLoginAndAnAliasBringsItsUser) {
    m_env.writeAliases("[SHOP]\nDRIVER=STANDARD\nPATH=shop.db\n\n"
                       "[ACC]\nDRIVER=PGSQL\nSERVER NAME=127.0.0.1/acc\nUSER NAME=admin\n");
    TrDBConnect c;
    EXPECT_EQ(c.Captions().Resource, QStringLiteral("&База данных:"));
    EXPECT_EQ(c.Help().Dialog, 10200);
    EXPECT_EQ(c.Help().Cancel, 10205);
    c.setAlias(QStringLiteral("SHOP"));
    EXPECT_TRUE(c.CanConnect());
    EXPECT_EQ(c.User(), QString());
    c.setAlias(QStringLiteral("ACC"));
    EXPECT_EQ(c.User(), QStringLiteral("ADMIN"));
    EXPECT_FALSE(c.CanConnect());
    c.setUser(QStringLiteral("someone"));
    c.setAlias(QStringLiteral("SHOP"));
    c.setAlias(QStringLiteral("ACC"));
    EXPECT_EQ(c.User(), QStringLiteral("someone"));
}

TEST_F(LoginTest, WithoutALinkedDatabaseTheAttemptEndsSilently) {
    TrDBConnect c;
    c.setAlias(QStringLiteral("DEFAULT"));
    EXPECT_THROW(c.Connect(), EAbort);
    {
        dbengine::Database database;
        c.setDatabase(&database);
        EXPECT_EQ(c.Database(), &database);
    }
    EXPECT_EQ(c.Database(), nullptr);
}

class DBConnectTest : public dbengine::testkit::DriverTest {};

TEST_P(DBConnectTest, TheLinkedDatabaseOpensWithTheLogin) {
    TrDBConnect c;
    dbengine::Database database;
    c.setDatabase(&database);
    c.setAlias(QStringLiteral("DB"));
    c.setUser(QString::fromStdString(user));
    c.setPassword(QString::fromStdString(password));
    c.Connect();
    EXPECT_TRUE(database.connected());
    EXPECT_EQ(database.aliasName(), "DB");
    EXPECT_FALSE(database.loginPrompt());
    if (!isPg())
        return;
    c.setPassword(QStringLiteral("wrong-password"));
    EXPECT_THROW(c.Connect(), dbengine::EDBEngineError);
    EXPECT_FALSE(database.connected());
    EXPECT_EQ(c.attempts(), 2);
}

INSTANTIATE_TEST_SUITE_P(Drivers, DBConnectTest,
                         ::testing::Values(dbengine::testkit::TestDriver::Sqlite,
                                           dbengine::testkit::TestDriver::Postgres),
                         dbengine::testkit::testDriverName);

} // namespace
} // namespace vt::desktop
