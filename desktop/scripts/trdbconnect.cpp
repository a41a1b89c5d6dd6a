// TrDBConnect: the login component over the engine's session and database objects.
#include "desktop/scripts/trdbconnect.h"

#include "dbengine/data/database.h"
#include "dbengine/data/session.h"
#include "platform/exception.h"

#include <algorithm>

namespace vt::desktop {
namespace {

constexpr const char* kStandardDriver = "STANDARD";
constexpr const char* kUserNameParam = "USER NAME";
constexpr const char* kPasswordParam = "PASSWORD";

QStringList aliasList(dbengine::Session& session) {
    QStringList names;
    for (const std::string& name : session.aliasNames())
        names.append(QString::fromStdString(name));
    return names;
}

} // namespace

TrDBConnect::TrDBConnect(QObject* parent, dbengine::Session* session)
    : TrCustomConnect(parent), m_session(session ? *session : dbengine::Session::defaultSession()) {
    Captions().Resource = QString::fromUtf8(texts::kLoginDatabase);
    m_resourceValueName = QString::fromUtf8(texts::kDatabaseValue);
    setHelp(TrConnectHelp(10200));
    setResources(aliasList(m_session));
}

dbengine::Database* TrDBConnect::Database() const {
    if (!m_database)
        return nullptr;
    const std::vector<dbengine::Database*> alive = m_session.databases();
    return std::find(alive.begin(), alive.end(), m_database) != alive.end() ? m_database : nullptr;
}

void TrDBConnect::setDatabase(dbengine::Database* database) {
    m_database = database;
}

QStringList TrDBConnect::filterAliases(dbengine::Session& session, const QString& drivers) {
    QStringList names = aliasList(session);
    if (drivers.isEmpty())
        return names;
    const QString wanted = QLatin1Char(';') + drivers.toUpper() + QLatin1Char(';');
    for (int i = names.size() - 1; i >= 0; --i) {
        const QString driver =
            QString::fromStdString(session.aliasDriverName(names[i].toStdString())).toUpper();
        if (!wanted.contains(QLatin1Char(';') + driver + QLatin1Char(';')))
            names.removeAt(i);
    }
    return names;
}

void TrDBConnect::setDrivers(const QString& drivers) {
    if (drivers == m_drivers)
        return;
    m_drivers = drivers;
    setResources(filterAliases(m_session, m_drivers));
}

void TrDBConnect::setAlias(const QString& alias) {
    if (alias == Resource())
        return;
    setResource(alias);
    const std::string name = alias.toStdString();
    if (User().isEmpty() && m_session.isAlias(name))
        setUser(
            QString::fromStdString(m_session.aliasParams(name).value(kUserNameParam)).toUpper());
}

bool TrDBConnect::CanConnect() const {
    if (TrCustomConnect::CanConnect())
        return true;
    const std::string name = Resource().toStdString();
    try {
        return !name.empty() && m_session.isAlias(name) &&
               m_session.aliasDriverName(name) == kStandardDriver;
    } catch (const std::exception&) {
        return false; // an unreadable aliases file is reported when connecting
    }
}

void TrDBConnect::DoConnect() {
    TrCustomConnect::DoConnect();
    dbengine::Database* database = Database();
    if (!database)
        throw EAbort(std::string());
    // Opening the linked database is the engine's login check: a refused login raises the
    // engine's error before anything of the object changes but its closed state.
    database->close();
    database->setAliasName(Alias().toStdString());
    database->setLoginPrompt(false);
    database->params().setValue(kUserNameParam, User().toStdString());
    database->params().setValue(kPasswordParam, Password().toStdString());
    database->open();
}

} // namespace vt::desktop
