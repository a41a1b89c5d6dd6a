// Registry root keys and the splitting of a key path into root key and sub-key path.
#pragma once

#include <QString>
#include <cstdint>

namespace vt::desktop {

// The registry's root keys, with the platform's handle values.
enum RootKey : uint32_t {
    HKEY_CLASSES_ROOT = 0x80000000u,
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
    HKEY_USERS = 0x80000003u,
    HKEY_PERFORMANCE_DATA = 0x80000004u,
    HKEY_CURRENT_CONFIG = 0x80000005u,
    HKEY_DYN_DATA = 0x80000006u,
};

// Splits "HKLM\Software\X" into HKEY_LOCAL_MACHINE and "\Software\X" and returns true; a path
// that does not begin with a root-key name (long or short, letter case matters) followed by a
// backslash gives HKEY_CURRENT_USER and the whole path, and false.
bool ParseRegistryPath(const QString& path, RootKey& rootKey, QString& subKey);

} // namespace vt::desktop
