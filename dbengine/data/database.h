// Database: one database object of the data-access layer (a named connection through an alias).
#pragma once

#include "dbengine/core/paramlist.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vt::dbengine {

class Connection;
class Session;

// A named connection of a session; datasets refer to it by its database name. Text is UTF-8.
// The object registers itself with its session for its whole life.
class Database {
public:
    // Transaction isolation for the connection. SQLite runs every transaction serialised
    // whatever the level; PostgreSQL reads DirtyRead as read committed.
    enum class TransIsolation { DirtyRead, ReadCommitted, RepeatableRead };

    // Asked before a connection when the login prompt is on; may change the parameters
    // ("USER NAME", "PASSWORD"). Returning false cancels the open (EDatabaseError).
    using LoginHandler = std::function<bool(Database& db, ParamList& params)>;

    explicit Database(Session& session);
    Database(); // in the default session
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    Session& session() const { return *m_session; }

    // The name datasets use to find this object (unique in the session while connected).
    const std::string& databaseName() const { return m_databaseName; }
    // Sets the database name; raises EDatabaseError while connected.
    void setDatabaseName(std::string_view name);
    // The alias (or "DBName=<path>") the object connects through.
    const std::string& aliasName() const { return m_aliasName; }
    // Sets the alias; raises EDatabaseError while connected.
    void setAliasName(std::string_view alias);

    // Whether open() asks the login handler first (default true; without a handler the
    // parameters are used as they stand).
    bool loginPrompt() const { return m_loginPrompt; }
    void setLoginPrompt(bool on) { m_loginPrompt = on; }
    void setLoginHandler(LoginHandler handler) { m_loginHandler = std::move(handler); }

    // Connection parameters: "USER NAME" and "PASSWORD" (other names are ignored).
    ParamList& params() { return m_params; }
    const ParamList& params() const { return m_params; }

    TransIsolation transIsolation() const { return m_isolation; }
    // Sets the isolation; applied at once when connected, else at open.
    void setTransIsolation(TransIsolation level);

    // Connects (nothing when connected). Raises EDBEngineError (unknown alias, login failed,
    // server not reachable, ...) or EDatabaseError (no alias, duplicate database name).
    void open();
    // Disconnects (nothing when not connected); an open transaction is rolled back.
    void close();
    bool connected() const { return m_connection != nullptr; }

    // Whether the database runs SQL (true for every driver of this engine); raises
    // EDBEngineError kUnknownAlias when not connected and the alias is unknown.
    bool isSqlBased() const;
    // The driver name ("STANDARD", "PGSQL"), from the connection or the alias.
    std::string driverName() const;

    // Runs SQL text (several statements allowed) and discards any rows.
    void execute(std::string_view sql);
    // Transactions; raise EDBEngineError kTransactionState when misused.
    void startTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;

    // The open connection; raises EDatabaseError when not connected. For datasets and batch
    // moves of this library.
    Connection& connection() const;

private:
    Session* m_session;
    std::string m_databaseName;
    std::string m_aliasName;
    bool m_loginPrompt = true;
    LoginHandler m_loginHandler;
    ParamList m_params;
    TransIsolation m_isolation = TransIsolation::ReadCommitted;
    std::unique_ptr<Connection> m_connection;
};

} // namespace vt::dbengine
