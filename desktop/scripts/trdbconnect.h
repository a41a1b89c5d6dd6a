// TrDBConnect: the login component that connects a database object of the engine's
// data-access layer through an alias of the engine session.
#pragma once

#include "desktop/scripts/trcustomconnect.h"

namespace vt::dbengine {
class Database;
class Session;
} // namespace vt::dbengine

namespace vt::desktop {

class TrDBConnect : public TrCustomConnect {
    Q_OBJECT
public:
    // Offers the aliases of the session (the process's default session when none is given),
    // which must outlive the component. Raises EDBEngineError when the aliases file cannot be
    // read.
    explicit TrDBConnect(QObject* parent = nullptr, dbengine::Session* session = nullptr);

    // The linked database object (not owned), or null; null again once that object is gone.
    dbengine::Database* Database() const;
    // Links a database object of the component's session (null unlinks).
    void setDatabase(dbengine::Database* database);

    // ';'-separated driver names (letter case ignored) that the offered aliases are limited to;
    // empty offers every alias.
    const QString& Drivers() const { return m_drivers; }
    void setDrivers(const QString& drivers);

    // The resource under its engine name; a known alias fills in its "USER NAME" (in upper case)
    // while User is empty.
    QString Alias() const { return Resource(); }
    void setAlias(const QString& alias);
    bool AliasEnabled() const { return ResourceEnabled(); }
    void setAliasEnabled(bool on) { setResourceEnabled(on); }

    // True as the base says, and also for an alias of the STANDARD driver, which needs no login.
    bool CanConnect() const override;
    // Counts the attempt, then connects the linked database with Alias, User and Password
    // (EAbort without one; the engine's error when the login fails).
    void DoConnect() override;

    // The alias names of the session whose driver is one of the ';'-separated drivers.
    static QStringList filterAliases(dbengine::Session& session, const QString& drivers);

private:
    dbengine::Session& m_session;
    dbengine::Database* m_database = nullptr;
    QString m_drivers;
};

} // namespace vt::desktop
