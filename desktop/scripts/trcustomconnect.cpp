// TrCustomConnect: the base of the login components.
#include "desktop/scripts/trcustomconnect.h"

#include "desktop/shell/registry.h"
#include "desktop/shell/registrypath.h"
#include "platform/exception.h"

#include <utility>

namespace vt::desktop {
namespace {

TrCustomConnect::DialogPresenter& presenterSlot() {
    static TrCustomConnect::DialogPresenter presenter;
    return presenter;
}

int findParam(const QStringList& params, const QString& name) {
    const QString prefix = name + QLatin1Char('=');
    for (int i = 0; i < params.size(); ++i)
        if (params[i].startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}

// Opens RegKey's path: the root named at its start, else the current user's.
bool openRegKey(Registry& registry, const QString& path, bool canCreate) {
    RootKey root = HKEY_CURRENT_USER;
    QString subKey;
    ParseRegistryPath(path, root, subKey);
    registry.setRootKey(root);
    return registry.openKey(subKey, canCreate);
}

} // namespace

TrCustomConnect::TrCustomConnect(QObject* parent)
    : QObject(parent), m_resourceValueName(QString::fromUtf8(texts::kResourceValue)),
      m_userValueName(QString::fromUtf8(texts::kUserValue)) {}

TrCustomConnect::~TrCustomConnect() = default;

TrCustomConnect::DialogPresenter TrCustomConnect::setDialogPresenter(DialogPresenter presenter) {
    return std::exchange(presenterSlot(), std::move(presenter));
}

QString TrCustomConnect::paramValue(const char* name) const {
    const int i = findParam(m_params, QString::fromLatin1(name));
    return i < 0 ? QString() : m_params[i].mid(m_params[i].indexOf(QLatin1Char('=')) + 1);
}

void TrCustomConnect::setParamValue(const char* name, const QString& value) {
    const QString key = QString::fromLatin1(name);
    const int i = findParam(m_params, key);
    if (value.isEmpty()) {
        if (i >= 0)
            m_params.removeAt(i);
        return;
    }
    const QString line = key + QLatin1Char('=') + value;
    if (i < 0)
        m_params.append(line);
    else if (m_params[i] != line)
        m_params[i] = line;
}

void TrCustomConnect::setRegKey(const QString& key) {
    if (key == m_regKey)
        return;
    m_regKey = key;
    loadFromRegistry();
}

void TrCustomConnect::loadFromRegistry() {
    Registry registry;
    if (!openRegKey(registry, m_regKey, false))
        return;
    setResource(registry.readString(m_resourceValueName).value_or(QString()));
    const QString users = registry.readString(m_userValueName).value_or(QString());
    m_recentUsers = users.isEmpty() ? QStringList()
                                    : QString(users)
                                          .replace(QLatin1Char(';'), QLatin1Char('\n'))
                                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    setUser(m_recentUsers.isEmpty() ? QString() : m_recentUsers.first());
}

QString TrCustomConnect::recentUsersValue(const QString& user, QStringList recentUsers) {
    QString value;
    int at = -1;
    for (int i = 0; i < recentUsers.size() && at < 0; ++i)
        if (recentUsers[i].compare(user, Qt::CaseInsensitive) == 0)
            at = i;
    if (at < 0)
        value = user + QLatin1Char(';');
    else if (at > 0)
        recentUsers.swapItemsAt(0, at);
    for (const QString& name : recentUsers)
        value += name + QLatin1Char(';');
    return value;
}

void TrCustomConnect::saveToRegistry() {
    // The connection stands whatever happens here: a key that cannot be opened or written is
    // skipped, as one that cannot be read is at loading.
    try {
        Registry registry;
        if (!openRegKey(registry, m_regKey, true))
            return;
        registry.writeString(m_resourceValueName, Resource());
        registry.writeString(m_userValueName, recentUsersValue(User(), m_recentUsers));
    } catch (const std::exception& e) {
        qWarning("%s", e.what());
    }
}

void TrCustomConnect::Connect() {
    DoBeforeConnect();
    for (;;) {
        try {
            DoConnect();
            break;
        } catch (const std::exception& e) {
            TrConnectAction action = caFail;
            if (OnError)
                OnError(*this, e, action);
            if (action == caFail)
                throw;
            if (action == caAbort)
                throw EAbort(std::string());
        }
    }
    DoAfterConnect();
}

void TrCustomConnect::DoAfterConnect() {
    if (AfterConnect)
        AfterConnect(*this);
}

void TrCustomConnect::DoBeforeConnect() {
    if (BeforeConnect)
        BeforeConnect(*this);
}

void TrCustomConnect::DoConnect() {
    ++m_attempts;
}

bool TrCustomConnect::CanConnect() const {
    return !Resource().isEmpty() && (!User().isEmpty() || !m_userRequired) &&
           (!Password().isEmpty() || !m_passwordRequired);
}

bool TrCustomConnect::Execute() {
    m_attempts = 0;
    if (m_autoLogon) {
        Connect();
        return true;
    }
    const QString resource = Resource(), user = User(), password = Password();
    const DialogPresenter& presenter = presenterSlot();
    if (!presenter)
        throw Exception("no login dialog is installed");
    const bool connected = presenter(*this);
    if (!connected) {
        setResource(resource);
        setUser(user);
        setPassword(password);
        return false;
    }
    if (!m_regKey.isEmpty())
        saveToRegistry();
    return true;
}

} // namespace vt::desktop
