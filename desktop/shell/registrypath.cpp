// Registry root keys and the splitting of a key path into root key and sub-key path.
#include "desktop/shell/registrypath.h"

#include <array>

namespace vt::desktop {
namespace {

struct RootName {
    const char* longName;
    const char* shortName;
    RootKey key;
};

constexpr std::array<RootName, 7> kRootNames = {{
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", "HKUS", HKEY_USERS},
    {"HKEY_PERFORMANCE_DATA", "HKPD", HKEY_PERFORMANCE_DATA},
    {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG},
    {"HKEY_DYN_DATA", "HKDD", HKEY_DYN_DATA},
}};

} // namespace

bool ParseRegistryPath(const QString& path, RootKey& rootKey, QString& subKey) {
    rootKey = HKEY_CURRENT_USER;
    subKey = path;
    const qsizetype slash = path.indexOf(QLatin1Char('\\'));
    if (path.size() <= 1 || slash <= 0)
        return false;
    const QStringView head = QStringView(path).left(slash);
    for (const RootName& root : kRootNames) {
        if (head == QLatin1String(root.longName) || head == QLatin1String(root.shortName)) {
            rootKey = root.key;
            subKey = path.mid(slash);
            return true;
        }
    }
    return false;
}

} // namespace vt::desktop
