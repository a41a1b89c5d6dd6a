// A loaded product resource library and LoadResourceLibrary, which loads and registers one.
#pragma once

#include "desktop/shell/resourcemodule.h"
#include "platform/dynlib.h"

#include <QString>
#include <memory>

namespace vt::desktop {

// A resource library held loaded; releasing it removes its module from ResourceModules and
// unloads it.
class ResourceLibrary final {
public:
    ResourceLibrary(platform::DynLib library, QString fileName);
    ~ResourceLibrary();
    ResourceLibrary(const ResourceLibrary&) = delete;
    ResourceLibrary& operator=(const ResourceLibrary&) = delete;

    // The library's module, whose resources lie below its own root.
    HModule module() const { return &m_module; }
    // The file name the library was asked for.
    const QString& fileName() const { return m_fileName; }
    // The full path the library was loaded from.
    const std::string& path() const { return m_library.path(); }

private:
    platform::DynLib m_library;
    QString m_fileName;
    ResourceModule m_module;
};

// Loads the library (a bare name is looked for beside the program first) and, when its file
// version is at least minVersion, appends to ResourceModules the caller's module, the program's
// own module when it differs from the caller's, and the library's module. A library that cannot
// be loaded is reported with ShowAppMessage and gives null; one that is too old is reported and
// returned without being registered, so its resources are not found.
std::unique_ptr<ResourceLibrary> LoadResourceLibrary(const QString& fileName, HModule callerModule,
                                                     const QString& minVersion);

} // namespace vt::desktop
