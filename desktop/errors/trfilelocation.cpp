// TrFileLocation: where a bare file name of the error handler is placed.
#include "desktop/errors/trfilelocation.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>

namespace vt::desktop {

QString completeFileName(const QString& name, TrFileLocation location) {
    if (name.contains(QLatin1Char('/')))
        return name;
    std::string folder;
    if (location == flDefault) {
        // The settings folder, so that the files never depend on the folder the program was
        // started from.
        folder = platform::settingsFolder();
    } else if (location == flProgram) {
        folder = platform::programFolder();
    } else {
        const std::string module =
            platform::moduleFileOf(reinterpret_cast<const void*>(&completeFileName));
        folder =
            module.empty() ? platform::programFolder() : module.substr(0, module.find_last_of('/'));
    }
    return QDir(QFile::decodeName(folder.c_str())).filePath(name);
}

} // namespace vt::desktop
