// A test fixture that loads the plug-in fresh for each test and gives it a fresh database.
#pragma once

#include "platform/codepage.h"
#include "plugin/testkit/testdatabase.h"
#include "plugin/testkit/vtutilsapi.h"
#include "plugin/vtutils.h"
#include "script/rsqlwriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vt::plugin::testkit {

// Sets an environment variable for the scope (children inherit it).
class ScopedEnv final {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// What CheckDataBaseParams gave.
struct CheckResult {
    int result = 0;
    int first = 1;
    int last = 0;
    std::string code;
    std::string version;
    std::string message;
};

// The drivers to run against, named for test names.
inline std::string driverName(const ::testing::TestParamInfo<Driver>& info) {
    return info.param == Driver::SQLite ? "SQLite" : "PostgreSQL";
}

// Loads the plug-in and creates the database of the test's driver; a missing PostgreSQL server
// skips the test unless VT_TEST_PG_REQUIRED=1.
class PluginFixture : public ::testing::TestWithParam<Driver> {
protected:
    void SetUp() override {
        if (GetParam() == Driver::PostgreSQL)
            VT_REQUIRE_PG();
        db = TestDatabase::create(GetParam());
        api = std::make_unique<VtUtilsApi>();
    }

    void TearDown() override {
        if (api)
            api->piDone();
        api.reset();
        db.reset();
        perCommand.reset();
    }

    // From the next connection on (children included), every command commits on its own, so
    // that the progress after each command can be seen from outside.
    void commitEachCommand() { perCommand.emplace("VT_GROUP_COMMIT", "0"); }

    // Unloads the plug-in (after piDone) and loads it again, as a new run of a runner does.
    void reload() {
        api->piDone();
        api.reset();
        api = std::make_unique<VtUtilsApi>();
    }

    // Writes a script into the test's folder and returns its file name.
    std::string writeScript(const script::RsqlContent& content) {
        static std::atomic<int> counter{0};
        const std::string file = db->folder() + "/s" + std::to_string(++counter) + ".rsql";
        script::writeRsqlScript(file, content);
        return file;
    }

    // piInit with the script, then dbConnect to the test database; returns dbConnect's result.
    int open(const std::string& scriptFile) {
        api->piInit(scriptFile.c_str(), "");
        EXPECT_EQ(api->GetLastVTError(), 0) << api->lastMessage();
        return api->dbConnect(TestDatabase::kAlias, db->user().c_str(), db->password().c_str());
    }

    CheckResult check(bool create) {
        CheckResult r;
        const char* code = "";
        const char* version = "";
        r.result = api->CheckDataBaseParams(&r.first, &r.last, &code, &version, create ? 1 : 0);
        r.code = code ? code : "<null>";
        r.version = version ? version : "<null>";
        r.message = api->lastMessage();
        return r;
    }

    // MakeSQLCommand and ExecrSQL for n = first .. last; the first failing n, or 0.
    int runCommands(int first, int last) {
        for (int n = first; n <= last; ++n) {
            const std::string command = api->MakeSQLCommand(n);
            if (api->ExecrSQL(command.c_str()) != 0)
                return n;
        }
        return 0;
    }

    // A script edited after an interrupted run, and the command its resume is refused at (0: the
    // resume is allowed).
    struct ScriptEdit {
        const char* name;
        std::vector<std::string> commands;
        int differing;
    };

    // Checks each edited script against the interrupted run in turn: a refused one names its
    // command, an allowed one resumes at first and runs to the end, recording the version.
    void expectResumes(const std::vector<ScriptEdit>& edits, int first);

    // The rows of R_VERSION as "DBCode|Version|Counter" (blank-trimmed, "-" for NULL), by code.
    std::vector<std::string> versionRows() {
        std::vector<std::string> rows;
        for (const auto& row : db->query("SELECT rtrim(DBCode), rtrim(Version), Counter "
                                         "FROM R_VERSION ORDER BY DBCode"))
            rows.push_back(row[0].value_or("-") + "|" + row[1].value_or("-") + "|" +
                           row[2].value_or("-"));
        return rows;
    }

    // The keys of table t in order, joined by ",".
    std::string keys(const std::string& table = "t") {
        std::string list;
        for (const auto& row : db->query("SELECT k FROM " + table + " ORDER BY k"))
            list += (list.empty() ? "" : ",") + row[0].value_or("-");
        return list;
    }

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<VtUtilsApi> api;
    std::optional<ScopedEnv> perCommand;
};

// A script content with one line per command.
inline script::RsqlContent scriptWith(std::string code, std::string oldVersion,
                                      std::string newVersion,
                                      const std::vector<std::string>& commands) {
    script::RsqlContent content;
    content.code = std::move(code);
    content.oldVersion = std::move(oldVersion);
    content.newVersion = std::move(newVersion);
    for (const std::string& command : commands)
        content.commands.push_back({command});
    return content;
}

// A table and rows 2 .. n, one command each.
inline std::vector<std::string> insertingCommands(int n) {
    std::vector<std::string> commands = {"CREATE TABLE t (k integer)"};
    for (int k = 2; k <= n; ++k)
        commands.push_back("INSERT INTO t VALUES (" + std::to_string(k) + ")");
    return commands;
}

// A UTF-8 message in the ANSI code page, as the plug-in reports it.
inline std::string ansi(std::string_view utf8) {
    return platform::ansi(utf8);
}

// The refusal of a resume whose script differs from the interrupted run at the command.
inline std::string resumeMismatch(int command) {
    return ansi("Команда " + std::to_string(command) +
                " скрипта отличается от команды, выполненной на БД при прерванном запуске: "
                "продолжить выполнение этим скриптом нельзя.");
}

inline void PluginFixture::expectResumes(const std::vector<ScriptEdit>& edits, int first) {
    for (const ScriptEdit& edit : edits) {
        SCOPED_TRACE(edit.name);
        reload();
        ASSERT_EQ(open(writeScript(scriptWith("ABC", "", "1.0", edit.commands))), 0);
        const CheckResult r = check(false);
        if (edit.differing == 0) {
            ASSERT_EQ(r.result, 0) << r.message;
            EXPECT_EQ(r.first, first);
            ASSERT_EQ(runCommands(r.first, r.last), 0) << api->lastMessage();
            ASSERT_EQ(api->UpDateVersion(), 0);
            continue;
        }
        EXPECT_EQ(r.result, -3);
        EXPECT_EQ(api->GetLastVTErrorCause(), VT_CAUSE_VERSION);
        EXPECT_EQ(r.message, resumeMismatch(edit.differing));
    }
}

} // namespace vt::plugin::testkit
