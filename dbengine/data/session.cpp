// Session: aliases, table names and the session's database objects.
#include "dbengine/data/session.h"

#include "dbengine/core/aliases.h"
#include "dbengine/core/driver.h"
#include "dbengine/core/engineerror.h"
#include "dbengine/core/sqldriverhelp.h"
#include "dbengine/data/database.h"
#include "dbengine/drivers/drivers.h"

#include <algorithm>
#include <cctype>

namespace vt::dbengine {

namespace {

// '*' any run, '?' one character; ASCII letter case ignored.
bool wildcardMatch(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0, star = std::string_view::npos, mark = 0;
    auto eq = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    while (t < text.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || (pattern[p] != '*' && eq(pattern[p], text[t])))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

Session::Session() = default;

Session::~Session() {
    // Database objects outliving their session keep working, but are no longer listed.
    for (Database* db : m_databases)
        db->close();
}

Session& Session::defaultSession() {
    static Session session;
    return session;
}

std::vector<std::string> Session::aliasNames() const {
    std::vector<std::string> names;
    AliasTable table = AliasTable::load();
    for (const auto& alias : table.aliases())
        names.push_back(alias.name);
    return names;
}

bool Session::isAlias(std::string_view name) const {
    return AliasTable::load().find(name) != nullptr;
}

std::string Session::aliasDriverName(std::string_view alias) const {
    AliasTable table = AliasTable::load();
    const AliasDefinition* def = table.find(alias);
    if (!def)
        throw EDBEngineError::engine(status::kUnknownAlias, std::string(alias));
    return def->driverName;
}

ParamList Session::aliasParams(std::string_view alias) const {
    AliasTable table = AliasTable::load();
    const AliasDefinition* def = table.find(alias);
    if (!def)
        throw EDBEngineError::engine(status::kUnknownAlias, std::string(alias));
    return def->params;
}

std::vector<std::string> Session::tableNames(std::string_view databaseName,
                                             std::string_view pattern, bool /*extensions*/,
                                             bool systemTables) {
    std::unique_ptr<Connection> temporary;
    Connection* conn = nullptr;
    if (Database* db = findDatabase(databaseName)) {
        if (db->connected())
            conn = &db->connection();
        else
            temporary = connectDatabase(db->aliasName(), db->params().value("USER NAME"),
                                        db->params().value("PASSWORD"));
    } else {
        temporary = connectDatabase(databaseName, "", "");
    }
    if (!conn)
        conn = temporary.get();
    std::vector<std::string> names = conn->tableNames(systemTables);
    if (!pattern.empty())
        std::erase_if(names, [&](const std::string& n) { return !wildcardMatch(pattern, n); });
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return sqlhelp::lower(a) < sqlhelp::lower(b);
    });
    return names;
}

std::vector<Database*> Session::databases() const {
    return m_databases;
}

std::vector<Database*> Session::connectedDatabases() const {
    std::vector<Database*> out;
    for (Database* db : m_databases)
        if (db->connected())
            out.push_back(db);
    return out;
}

Database* Session::findDatabase(std::string_view databaseName) const {
    if (databaseName.empty())
        return nullptr;
    for (Database* db : m_databases)
        if (sqlhelp::sameNoCase(db->databaseName(), databaseName))
            return db;
    return nullptr;
}

void Session::addDatabase(Database* db) {
    m_databases.push_back(db);
}

void Session::removeDatabase(Database* db) {
    std::erase(m_databases, db);
}

} // namespace vt::dbengine
