// TrCustomConnect: the base of the login components: the three login values, the remembered
// resource and recent users in the registry, the attempt policy and the login dialog's run.
#pragma once

#include "desktop/scripts/trconnectcaptions.h"
#include "desktop/scripts/trconnecthelp.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

namespace vt::desktop {

// What a failed connection attempt leads to.
enum TrConnectAction { caFail = 0, caAbort = 1, caRetry = 2 };

class TrCustomConnect : public QObject {
    Q_OBJECT
public:
    using ConnectEvent = std::function<void(TrCustomConnect& sender)>;
    // Decides what a failed attempt leads to; Action starts as caFail.
    using ErrorEvent = std::function<void(TrCustomConnect& sender, const std::exception& E,
                                          TrConnectAction& Action)>;
    // Shows the login dialog for the component modally; true when it closed with OK. The windows
    // library installs the real dialog; tests install their own.
    using DialogPresenter = std::function<bool(TrCustomConnect& connect)>;

    explicit TrCustomConnect(QObject* parent = nullptr);
    ~TrCustomConnect() override;

    // The installed dialog; returns the previous one.
    static DialogPresenter setDialogPresenter(DialogPresenter presenter);

    // name=value lines; the three login values live here.
    const QStringList& Params() const { return m_params; }
    void setParams(const QStringList& params) { m_params = params; }
    QString Resource() const { return paramValue(texts::kParamResource); }
    void setResource(const QString& value) { setParamValue(texts::kParamResource, value); }
    QString User() const { return paramValue(texts::kParamUser); }
    void setUser(const QString& value) { setParamValue(texts::kParamUser, value); }
    QString Password() const { return paramValue(texts::kParamPassword); }
    void setPassword(const QString& value) { setParamValue(texts::kParamPassword, value); }

    // Registry path of the remembered values; setting another path loads them.
    const QString& RegKey() const { return m_regKey; }
    void setRegKey(const QString& key);

    bool ResourceEnabled() const { return m_resourceEnabled; }
    void setResourceEnabled(bool on) { m_resourceEnabled = on; }
    bool ResourceDirectInput() const { return m_resourceDirectInput; }
    void setResourceDirectInput(bool on) { m_resourceDirectInput = on; }
    const QStringList& Resources() const { return m_resources; }
    void setResources(const QStringList& resources) { m_resources = resources; }
    // The user names offered in the user box, most recent first.
    const QStringList& RecentUsers() const { return m_recentUsers; }
    void setRecentUsers(const QStringList& users) { m_recentUsers = users; }
    bool UserEnabled() const { return m_userEnabled; }
    void setUserEnabled(bool on) { m_userEnabled = on; }
    bool UserRequired() const { return m_userRequired; }
    void setUserRequired(bool on) { m_userRequired = on; }
    bool PasswordRequired() const { return m_passwordRequired; }
    void setPasswordRequired(bool on) { m_passwordRequired = on; }
    bool ShowLastPassword() const { return m_showLastPassword; }
    void setShowLastPassword(bool on) { m_showLastPassword = on; }
    bool AutoLogon() const { return m_autoLogon; }
    void setAutoLogon(bool on) { m_autoLogon = on; }
    int MaxAttempts() const { return m_maxAttempts; }
    void setMaxAttempts(int count) { m_maxAttempts = count; }
    TrConnectCaptions& Captions() { return m_captions; }
    const TrConnectCaptions& Captions() const { return m_captions; }
    void setCaptions(const TrConnectCaptions& captions) { m_captions = captions; }
    TrConnectHelp& Help() { return m_help; }
    const TrConnectHelp& Help() const { return m_help; }
    void setHelp(const TrConnectHelp& help) { m_help = help; }

    ConnectEvent BeforeConnect;
    ConnectEvent AfterConnect;
    ErrorEvent OnError;

    // Attempts made since Execute began.
    int attempts() const { return m_attempts; }

    // One connection under the OnError policy; raises on failure (EAbort for caAbort).
    virtual void Connect();
    virtual void DoAfterConnect();
    virtual void DoBeforeConnect();
    // One attempt; the base counts it.
    virtual void DoConnect();
    // Whether the entered values suffice to enable OK.
    virtual bool CanConnect() const;
    // Connects by automatic logon or through the dialog; false when cancelled or out of attempts.
    // The values of a successful dialog login are remembered under RegKey.
    virtual bool Execute();

    // The recent-users value after a login as user: user first, each name ended by ';'.
    static QString recentUsersValue(const QString& user, QStringList recentUsers);

protected:
    // Registry value names of the remembered resource and recent users.
    QString m_resourceValueName;
    QString m_userValueName;

private:
    QString paramValue(const char* name) const;
    void setParamValue(const char* name, const QString& value);
    void loadFromRegistry();
    void saveToRegistry();

    QString m_regKey;
    bool m_resourceEnabled = true;
    bool m_resourceDirectInput = false;
    QStringList m_resources;
    QStringList m_recentUsers;
    bool m_userEnabled = true;
    bool m_userRequired = true;
    bool m_passwordRequired = true;
    bool m_showLastPassword = false;
    bool m_autoLogon = false;
    int m_maxAttempts = 3;
    TrConnectCaptions m_captions;
    TrConnectHelp m_help;
    QStringList m_params;
    int m_attempts = 0;
};

} // namespace vt::desktop
