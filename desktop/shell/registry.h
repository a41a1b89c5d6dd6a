// The program's registry: keys and values kept by QSettings in INI files of the settings folder.
//
// HKEY_CURRENT_USER lives in "registry.ini" of the settings folder; HKEY_LOCAL_MACHINE is read
// from /etc/vantrel/registry.ini and never written; the other roots hold no keys. Key and value
// names are matched without regard to letter case, as the registry does. A key exists while it
// holds a value or a sub-key: opening a key with creation allowed makes it on its first write.
#pragma once

#include "desktop/shell/registrypath.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vt::desktop {

class Registry final {
public:
    explicit Registry(RootKey rootKey = HKEY_CURRENT_USER);

    // The root that key paths without a root-key name are opened under.
    RootKey rootKey() const { return m_rootKey; }
    // Changes the root and closes the current key.
    void setRootKey(RootKey rootKey);

    // The INI file behind a root, or empty for a root that holds no keys.
    static QString rootFile(RootKey rootKey);

    // Opens a key path that may begin with a root-key name ("HKLM\Software\X"); false when the
    // key is missing and canCreate is false, or when the root cannot hold it.
    bool openKey(const QString& path, bool canCreate);
    // Forgets the current key.
    void closeKey();
    // True while a key is open.
    bool hasCurrentKey() const { return m_open; }
    // The current key's path below its root, segments joined by backslashes.
    QString currentPath() const { return m_segments.join(QLatin1Char('\\')); }

    // True when the key path (which may begin with a root-key name) exists.
    bool keyExists(const QString& path) const;
    // True when the current key holds the value.
    bool valueExists(const QString& name) const;
    // The value of the current key, or nullopt when it is missing.
    std::optional<QString> readString(const QString& name) const;
    // The value as an integer, or nullopt when it is missing or not an integer.
    std::optional<int> readInteger(const QString& name) const;
    // The value as a boolean (an integer other than 0), or nullopt as readInteger.
    std::optional<bool> readBool(const QString& name) const;

    // Writes a value of the current key at once; throws ERegistryException on failure.
    void writeString(const QString& name, const QString& value);
    void writeInteger(const QString& name, int value);
    void writeBool(const QString& name, bool value);
    // Removes a value of the current key; false when it did not exist. Throws ERegistryException
    // when the file cannot be written.
    bool deleteValue(const QString& name);

private:
    struct Location {
        RootKey root;
        QStringList segments;
    };
    Location locate(const QString& path) const;
    std::optional<QString> valueKey(const QString& name) const;
    void writeValue(const QString& name, const QString& value);

    RootKey m_rootKey;
    RootKey m_openRoot = HKEY_CURRENT_USER;
    QStringList m_segments;
    bool m_open = false;
};

} // namespace vt::desktop
