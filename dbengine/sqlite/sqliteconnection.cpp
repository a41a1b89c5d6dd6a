// SqliteConnection and SqliteDriver: opening SQLite files and serving the driver interface.
#include "dbengine/sqlite/sqliteconnection.h"

#include "dbengine/core/sqldriverhelp.h"
#include "dbengine/core/sqlscan.h"
#include "dbengine/sqlite/sqlitedriver.h"
#include "dbengine/sqlite/sqlitestatement.h"
#include "dbengine/sqlite/sqliteutil.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace vt::dbengine {

namespace fs = std::filesystem;

std::unique_ptr<Connection> SqliteDriver::connect(const AliasDefinition& alias, const std::string&,
                                                  const std::string&) const {
    std::string path = alias.params.value("PATH");
    if (path.empty())
        throw EDBEngineError::engine(status::kInvalidAlias, "alias " + alias.name + " has no PATH");
    return std::make_unique<SqliteConnection>(path, alias.builtIn);
}

SqliteConnection::SqliteConnection(const std::string& path, bool create) {
    std::error_code ec;
    if (!create) {
        if (!fs::exists(path, ec))
            throw EDBEngineError::engine(status::kFileNotFound, path);
        if (fs::is_directory(path, ec))
            throw EDBEngineError::engine(status::kNotADatabase, path + " is a folder");
    } else {
        fs::path folder = fs::path(path).parent_path();
        if (!folder.empty())
            fs::create_directories(folder, ec);
        if (ec)
            throw EDBEngineError::engine(status::kFileError, folder.string() + ": " + ec.message());
    }
    // One connection serves one thread at a time, so SQLite need not lock every call.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        EDBEngineError err = sqliteutil::error(m_db, rc);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw err.withContext(err.errorCode(), "Cannot open " + path);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 5000);
    // Reading the schema tells a database from any other file.
    rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        EDBEngineError err = sqliteutil::error(m_db, rc);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw err.withContext(err.errorCode(), "Cannot open " + path);
    }
    m_realPath = fs::weakly_canonical(path, ec).string();
    if (ec)
        m_realPath = path;
}

SqliteConnection::~SqliteConnection() {
    closeChildren();
    unlockRun();
    if (m_db) {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(m_db);
    }
}

namespace {

// The current local time as "YYYY-MM-DD HH:MM:SS".
std::string localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// What the holder wrote into the lock file: "<pid> <since>"; the since part.
std::string lockFileSince(int fd) {
    char text[128];
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0)
        return {};
    std::string content(text, static_cast<std::size_t>(n));
    const std::size_t space = content.find(' ');
    const std::size_t end = content.find('\n');
    if (space == std::string::npos || end == std::string::npos || end < space)
        return {};
    return content.substr(space + 1, end - space - 1);
}

} // namespace

bool SqliteConnection::tryLockRun(std::string& heldSince) {
    heldSince.clear();
    if (m_runLockFd >= 0 || m_runLockImplicit)
        return true;
    db();
    const std::string file = m_realPath + "-vtlock";
    bool writable = true;
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        writable = false;
        fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && (errno == ENOENT || errno == EACCES || errno == EROFS)) {
            // A folder that nobody may create files in cannot take a journal either, so no
            // run can change this database: there is nothing to keep apart.
            m_runLockImplicit = true;
            return true;
        }
    }
    if (fd < 0)
        throw EDBEngineError::engine(status::kFileError, file + ": " + std::strerror(errno));
    int rc;
    while ((rc = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (rc != 0) {
        const int code = errno;
        if (code == EWOULDBLOCK)
            heldSince = lockFileSince(fd);
        ::close(fd);
        if (code == EWOULDBLOCK)
            return false;
        throw EDBEngineError::engine(status::kFileError, file + ": " + std::strerror(code));
    }
    if (writable) {
        const std::string content = std::to_string(::getpid()) + " " + localTimeNow() + "\n";
        if (::ftruncate(fd, 0) == 0) {
            // Only a notice for those who wait: a failed write changes nothing of the lock.
            [[maybe_unused]] const ssize_t written =
                ::pwrite(fd, content.data(), content.size(), 0);
        }
    }
    m_runLockFd = fd;
    return true;
}

void SqliteConnection::unlockRun() {
    m_runLockImplicit = false;
    if (m_runLockFd < 0)
        return;
    ::close(m_runLockFd); // closing the file ends its flock
    m_runLockFd = -1;
}

sqlite3* SqliteConnection::db() const {
    if (!m_db)
        throw EDBEngineError::engine(status::kNotConnected);
    return m_db;
}

sqlite3_stmt* SqliteConnection::prepareOne(std::string_view text, std::string_view& tail,
                                           unsigned flags) {
    sqlite3_stmt* stmt = nullptr;
    while (!text.empty()) {
        const char* rest = nullptr;
        int rc = sqlite3_prepare_v3(db(), text.data(), static_cast<int>(text.size()), flags, &stmt,
                                    &rest);
        if (rc != SQLITE_OK)
            sqliteutil::raise(m_db, rc);
        text.remove_prefix(static_cast<std::size_t>(rest - text.data()));
        if (stmt) {
            tail = text;
            return stmt;
        }
    }
    tail = text;
    return nullptr;
}

std::unique_ptr<Cursor> SqliteConnection::query(std::string_view sql) {
    std::string_view rest = sql;
    while (true) {
        std::string_view tail;
        sqlite3_stmt* stmt = prepareOne(rest, tail);
        if (!stmt)
            return nullptr;
        rest = tail;
        if (sqlite3_column_count(stmt) > 0 &&
            splitSqlStatements(rest, SqlDialect::sqlite()).empty())
            return std::make_unique<SqliteCursor>(*this, stmt, nullptr);
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            EDBEngineError err = sqliteutil::error(m_db, rc);
            sqlite3_finalize(stmt);
            throw err;
        }
        sqlite3_finalize(stmt);
    }
}

std::unique_ptr<Statement> SqliteConnection::prepare(std::string_view sql) {
    return std::make_unique<SqliteStatement>(*this, sql);
}

std::vector<ColumnInfo> SqliteConnection::describeQuery(std::string_view sql) {
    SqliteStatement stmt(*this, sql);
    std::vector<ColumnInfo> columns;
    sqlite3_stmt* h = stmt.handle();
    for (int i = 0, n = sqlite3_column_count(h); i < n; ++i) {
        const char* decl = sqlite3_column_decltype(h, i);
        columns.push_back(sqliteutil::columnFromDecl(sqlite3_column_name(h, i), decl ? decl : ""));
    }
    return columns;
}

void SqliteConnection::begin() {
    if (inTransaction())
        throw EDBEngineError::engine(status::kTransactionState, "a transaction is already active");
    execute("BEGIN");
}

void SqliteConnection::commit() {
    if (!inTransaction())
        throw EDBEngineError::engine(status::kTransactionState, "no transaction is active");
    int rc = sqlite3_exec(db(), "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        EDBEngineError err = sqliteutil::error(m_db, rc);
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw err;
    }
}

void SqliteConnection::rollback() {
    if (!inTransaction())
        throw EDBEngineError::engine(status::kTransactionState, "no transaction is active");
    int rc = sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        sqliteutil::raise(m_db, rc);
}

bool SqliteConnection::inTransaction() const {
    return m_db && !sqlite3_get_autocommit(m_db);
}

std::vector<std::string> SqliteConnection::textColumn(std::string_view sql,
                                                      const std::vector<std::string>& args) {
    SqliteStatement stmt(*this, sql);
    for (std::size_t i = 0; i < args.size(); ++i)
        stmt.bind(static_cast<int>(i), Value::text(args[i]));
    std::vector<std::string> out;
    auto cursor = stmt.execute();
    while (cursor && cursor->next())
        out.push_back(cursor->row().at(0).toText());
    return out;
}

std::vector<std::string> SqliteConnection::tableNames(bool systemTables) {
    auto names = textColumn("SELECT name FROM sqlite_schema WHERE type IN ('table','view')", {});
    if (systemTables)
        names.insert(names.begin(), "sqlite_schema");
    else
        std::erase_if(names,
                      [](const std::string& n) { return sqlhelp::startsWithNoCase(n, "sqlite_"); });
    return names;
}

std::optional<SqliteConnection::TableLocation> SqliteConnection::locate(std::string_view name) {
    auto inSchema = [&](const std::string& schema,
                        std::string_view table) -> std::optional<TableLocation> {
        if (sqlhelp::sameNoCase(table, "sqlite_schema") ||
            sqlhelp::sameNoCase(table, "sqlite_master"))
            return TableLocation{schema, "sqlite_schema"};
        auto found = textColumn("SELECT name FROM " + quoteIdentifier(schema) +
                                    ".sqlite_schema WHERE type IN ('table','view') AND "
                                    "name = ?1 COLLATE NOCASE",
                                {std::string(table)});
        if (found.empty())
            return std::nullopt;
        return TableLocation{schema, found.front()};
    };
    if (auto loc = inSchema("main", name))
        return loc;
    auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    std::string schema(name.substr(0, dot));
    for (const auto& known : textColumn("SELECT name FROM pragma_database_list", {}))
        if (sqlhelp::sameNoCase(known, schema))
            return inSchema(known, name.substr(dot + 1));
    return std::nullopt;
}

std::optional<TableRef> SqliteConnection::findTable(std::string_view name) {
    auto loc = locate(name);
    if (!loc)
        return std::nullopt;
    TableRef ref;
    if (loc->schema == "main") {
        ref.name = loc->name;
        ref.sql = quoteIdentifier(loc->name);
    } else {
        ref.name = loc->schema + "." + loc->name;
        ref.sql = quoteIdentifier(loc->schema) + "." + quoteIdentifier(loc->name);
    }
    return ref;
}

TableInfo SqliteConnection::describeTable(const TableRef& table) {
    auto loc = locate(table.name);
    if (!loc)
        throw EDBEngineError::engine(status::kNoSuchTable, table.name);
    TableInfo info;
    info.ref = table;
    std::vector<std::pair<int, std::string>> pk;
    {
        SqliteStatement stmt(*this,
                             "SELECT name, type, \"notnull\", pk FROM pragma_table_info(?1, ?2)");
        stmt.bind(0, Value::text(loc->name));
        stmt.bind(1, Value::text(loc->schema));
        auto cursor = stmt.execute();
        while (cursor && cursor->next()) {
            const auto& r = cursor->row();
            ColumnInfo c = sqliteutil::columnFromDecl(r[0].toText(), r[1].toText());
            c.notNull = r[2].kind() == Value::Kind::Integer && r[2].asInteger() != 0;
            if (r[3].kind() == Value::Kind::Integer && r[3].asInteger() > 0)
                pk.emplace_back(static_cast<int>(r[3].asInteger()), c.name);
            info.columns.push_back(std::move(c));
        }
    }
    std::sort(pk.begin(), pk.end());
    for (auto& [order, name] : pk)
        info.primaryKey.push_back(name);
    std::vector<std::string> indexes;
    {
        SqliteStatement stmt(*this, "SELECT name FROM pragma_index_list(?1, ?2) "
                                    "WHERE \"unique\" = 1 AND origin <> 'pk' AND partial = 0 "
                                    "ORDER BY seq DESC");
        stmt.bind(0, Value::text(loc->name));
        stmt.bind(1, Value::text(loc->schema));
        auto cursor = stmt.execute();
        while (cursor && cursor->next())
            indexes.push_back(cursor->row()[0].toText());
    }
    for (const auto& index : indexes) {
        SqliteStatement stmt(*this, "SELECT name FROM pragma_index_info(?1, ?2) ORDER BY seqno");
        stmt.bind(0, Value::text(index));
        stmt.bind(1, Value::text(loc->schema));
        auto cursor = stmt.execute();
        std::vector<std::string> columns;
        bool expression = false;
        while (cursor && cursor->next()) {
            if (cursor->row()[0].isNull())
                expression = true;
            else
                columns.push_back(cursor->row()[0].toText());
        }
        if (!expression && !columns.empty())
            info.uniqueKeys.push_back(std::move(columns));
    }
    return info;
}

std::string SqliteConnection::columnTypeSql(const ColumnInfo& column) const {
    return sqliteutil::columnTypeSql(column);
}

std::unique_ptr<BulkInserter>
SqliteConnection::bulkInserter(const TableRef& table, const std::vector<ColumnInfo>& columns) {
    return std::make_unique<SqliteInserter>(*this, table, columns);
}

} // namespace vt::dbengine
