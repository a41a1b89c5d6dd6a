// Modules that carry resources: the program itself and the resource libraries it loads.
//
// A module's resources are Qt resources below its own root: the program's own below ":/vtdesk/",
// a library's below ":/" + its file name up to the first "." (":/vtres/" for vtres.so). Below the
// root, a resource lives at <type>/<NAME>, the name in capitals: ":/vtres/GIF/MAINLOGO".
#pragma once

#include <QString>
#include <string>

namespace vt::desktop {

class ResourceModule final {
public:
    ResourceModule(std::string fileName, QString root);

    // The full file name of the module.
    const std::string& fileName() const { return m_fileName; }
    // The Qt resource root, ending in "/".
    const QString& root() const { return m_root; }
    // The Qt resource path of a resource of the given type and (normalised) name.
    QString resourcePath(const QString& type, const QString& name) const;

    // The resource root of a library file: ":/" + its base name up to the first "." + "/".
    static QString libraryRoot(const std::string& fileName);

private:
    std::string m_fileName;
    QString m_root;
};

// A module handle; modules compare by identity.
using HModule = const ResourceModule*;

// The program's own module (the running executable, resources below ":/vtdesk/").
HModule programModule();

} // namespace vt::desktop
