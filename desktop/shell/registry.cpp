// The program's registry: keys and values kept by QSettings in INI files of the settings folder.
#include "desktop/shell/registry.h"

#include "desktop/shell/shellerrors.h"
#include "desktop/shell/shelltexts.h"
#include "platform/paths.h"

#include <QFile>
#include <QSettings>
#include <system_error>

namespace vt::desktop {
namespace {

constexpr const char* kMachineFile = "/etc/vantrel/registry.ini";
constexpr const char* kUserFileName = "registry.ini";

QStringList splitKeyPath(const QString& path) {
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// The stored name among candidates that equals name without regard to case.
std::optional<QString> matchName(const QStringList& candidates, const QString& name) {
    for (const QString& candidate : candidates)
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    return std::nullopt;
}

// Walks the segments from the top of the store; returns the stored group path of the longest
// existing prefix and how many segments it covers.
std::pair<QString, qsizetype> resolveGroups(QSettings& settings, const QStringList& segments) {
    QString group;
    qsizetype matched = 0;
    for (const QString& segment : segments) {
        settings.beginGroup(group);
        const auto found = matchName(settings.childGroups(), segment);
        settings.endGroup();
        if (!found)
            break;
        group = group.isEmpty() ? *found : group + QLatin1Char('/') + *found;
        ++matched;
    }
    return {group, matched};
}

[[noreturn]] void throwWriteFailed(const char* text, const QString& name) {
    throw ERegistryException(QString::fromUtf8(text).arg(name).toStdString());
}

} // namespace

Registry::Registry(RootKey rootKey) : m_rootKey(rootKey) {}

void Registry::setRootKey(RootKey rootKey) {
    m_rootKey = rootKey;
    closeKey();
}

QString Registry::rootFile(RootKey rootKey) {
    switch (rootKey) {
    case HKEY_CURRENT_USER:
        return QFile::decodeName(platform::settingsFile(kUserFileName).c_str());
    case HKEY_LOCAL_MACHINE:
        return QString::fromLatin1(kMachineFile);
    default:
        return {};
    }
}

Registry::Location Registry::locate(const QString& path) const {
    RootKey root = m_rootKey;
    QString subKey;
    if (!ParseRegistryPath(path, root, subKey))
        root = m_rootKey;
    return {root, splitKeyPath(subKey)};
}

bool Registry::openKey(const QString& path, bool canCreate) {
    closeKey();
    const Location where = locate(path);
    const QString file = rootFile(where.root);
    if (file.isEmpty())
        return false;
    const bool writable = where.root == HKEY_CURRENT_USER;
    if (!keyExists(path) && !(canCreate && writable))
        return false;
    m_openRoot = where.root;
    m_segments = where.segments;
    m_open = true;
    return true;
}

void Registry::closeKey() {
    m_open = false;
    m_segments.clear();
}

bool Registry::keyExists(const QString& path) const {
    const Location where = locate(path);
    const QString file = rootFile(where.root);
    if (file.isEmpty() || !QFile::exists(file))
        return false;
    QSettings settings(file, QSettings::IniFormat);
    return resolveGroups(settings, where.segments).second == where.segments.size();
}

std::optional<QString> Registry::valueKey(const QString& name) const {
    if (!m_open)
        return std::nullopt;
    const QString file = rootFile(m_openRoot);
    if (!QFile::exists(file))
        return std::nullopt;
    QSettings settings(file, QSettings::IniFormat);
    const auto [group, matched] = resolveGroups(settings, m_segments);
    if (matched != m_segments.size())
        return std::nullopt;
    settings.beginGroup(group);
    const auto found = matchName(settings.childKeys(), name);
    settings.endGroup();
    if (!found)
        return std::nullopt;
    return group.isEmpty() ? *found : group + QLatin1Char('/') + *found;
}

bool Registry::valueExists(const QString& name) const {
    return valueKey(name).has_value();
}

std::optional<QString> Registry::readString(const QString& name) const {
    const auto key = valueKey(name);
    if (!key)
        return std::nullopt;
    QSettings settings(rootFile(m_openRoot), QSettings::IniFormat);
    return settings.value(*key).toString();
}

std::optional<int> Registry::readInteger(const QString& name) const {
    const auto text = readString(name);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<bool> Registry::readBool(const QString& name) const {
    const auto value = readInteger(name);
    return value ? std::optional<bool>(*value != 0) : std::nullopt;
}

void Registry::writeValue(const QString& name, const QString& value) {
    if (!m_open)
        throw ERegistryException(texts::kRegistryNoKey);
    if (m_openRoot != HKEY_CURRENT_USER)
        throwWriteFailed(texts::kRegistryWriteFailed, name);
    try {
        platform::ensureSettingsFolder();
    } catch (const std::system_error&) {
        throwWriteFailed(texts::kRegistryWriteFailed, name);
    }
    QSettings settings(rootFile(m_openRoot), QSettings::IniFormat);
    // Existing keys keep the letter case they were stored with.
    auto [group, matched] = resolveGroups(settings, m_segments);
    for (qsizetype i = matched; i < m_segments.size(); ++i)
        group = group.isEmpty() ? m_segments.at(i) : group + QLatin1Char('/') + m_segments.at(i);
    settings.beginGroup(group);
    const QString key = matchName(settings.childKeys(), name).value_or(name);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throwWriteFailed(texts::kRegistryWriteFailed, name);
}

void Registry::writeString(const QString& name, const QString& value) {
    writeValue(name, value);
}

void Registry::writeInteger(const QString& name, int value) {
    writeValue(name, QString::number(value));
}

void Registry::writeBool(const QString& name, bool value) {
    writeValue(name, QString::number(value ? 1 : 0));
}

bool Registry::deleteValue(const QString& name) {
    const auto key = valueKey(name);
    if (!key)
        return false;
    if (m_openRoot != HKEY_CURRENT_USER)
        throwWriteFailed(texts::kRegistryDeleteFailed, name);
    QSettings settings(rootFile(m_openRoot), QSettings::IniFormat);
    settings.remove(*key);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throwWriteFailed(texts::kRegistryDeleteFailed, name);
    return true;
}

} // namespace vt::desktop
