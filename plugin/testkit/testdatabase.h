// Databases for the plug-in's tests: SQLite files and fresh PostgreSQL databases, with an
// aliases file that names them, inspected through the databases' own client libraries.
#pragma once

#include "testkit/pgserver.h"
#include "testkit/tempdir.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vt::plugin::testkit {

enum class Driver { SQLite, PostgreSQL };

using ::vt::testkit::PgServer;

// One query result: rows of fields, nullopt for NULL.
using Rows = std::vector<std::vector<std::optional<std::string>>>;

// A fresh, empty database reachable through the alias kAlias. The test process's settings folder
// (VT_CONFIG_DIR) and aliases file (VT_ALIASES) point at a fresh temporary folder while it lives.
class TestDatabase {
public:
    static constexpr const char* kAlias = "TESTDB";

    // SQLite: a new file; PostgreSQL: a new database on the test server (throws when none).
    // The temporary folder is made under tempBase (default: the system's temporary folder).
    static std::unique_ptr<TestDatabase> create(Driver driver, const std::string& tempBase = {});
    virtual ~TestDatabase();

    Driver driver() const { return m_driver; }
    const std::string& folder() const { return m_dir.path(); }
    // The user and password to log in with.
    virtual std::string user() const { return {}; }
    virtual std::string password() const { return {}; }

    // Runs SQL (UTF-8) through the database's own client; throws std::runtime_error on failure.
    virtual void exec(const std::string& sql) = 0;
    virtual Rows query(const std::string& sql) = 0;
    // Ends every other connection to the database (PostgreSQL); false when the driver cannot.
    virtual bool terminateOtherConnections() { return false; }
    // Removes the tables the plug-in tests create, so that the database is empty again.
    void dropTables(const std::vector<std::string>& tables);

    // Writes the aliases file with kAlias and any extra sections (ini text).
    void writeAliases(const std::string& extraSections = {}) const;
    std::string aliasesFile() const { return m_dir.file("aliases.ini"); }

protected:
    TestDatabase(Driver driver, const std::string& tempBase);
    virtual std::string aliasSection() const = 0;

private:
    Driver m_driver;
    ::vt::testkit::TempDir m_dir;
    std::string m_oldConfigDir, m_oldAliases;
    bool m_hadConfigDir = false, m_hadAliases = false;
};

// Text of the first field of the first row, "<null>" for NULL, "<none>" without rows.
std::string firstValue(const Rows& rows);

} // namespace vt::plugin::testkit
