// Modules that carry resources: the program itself and the resource libraries it loads.
#include "desktop/shell/resourcemodule.h"

#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>

namespace vt::desktop {

ResourceModule::ResourceModule(std::string fileName, QString root)
    : m_fileName(std::move(fileName)), m_root(std::move(root)) {}

QString ResourceModule::resourcePath(const QString& type, const QString& name) const {
    if (type.isEmpty())
        return m_root + name.toUpper();
    return m_root + type + QLatin1Char('/') + name.toUpper();
}

QString ResourceModule::libraryRoot(const std::string& fileName) {
    const QString base = QFileInfo(QFile::decodeName(fileName.c_str())).fileName();
    return QStringLiteral(":/") + base.section(QLatin1Char('.'), 0, 0).toLower() + QLatin1Char('/');
}

HModule programModule() {
    static const ResourceModule module(platform::programFile(), QStringLiteral(":/vtdesk/"));
    return &module;
}

} // namespace vt::desktop
