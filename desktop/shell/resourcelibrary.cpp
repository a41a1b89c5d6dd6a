// A loaded product resource library and LoadResourceLibrary, which loads and registers one.
#include "desktop/shell/resourcelibrary.h"

#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/shelltexts.h"
#include "desktop/shell/textutils.h"
#include "desktop/shell/versionutils.h"

#include <QFile>

namespace vt::desktop {

ResourceLibrary::ResourceLibrary(platform::DynLib library, QString fileName)
    : m_library(std::move(library)), m_fileName(std::move(fileName)),
      m_module(m_library.path(), ResourceModule::libraryRoot(m_library.path())) {}

ResourceLibrary::~ResourceLibrary() {
    forgetResourceModule(&m_module);
}

std::unique_ptr<ResourceLibrary> LoadResourceLibrary(const QString& fileName, HModule callerModule,
                                                     const QString& minVersion) {
    platform::DynLib library;
    if (!library.load(QFile::encodeName(fileName).toStdString())) {
        const QString text =
            ExpandEscapes(QString::fromUtf8(texts::kCannotLoad))
                .arg(fileName, QString::fromLocal8Bit(library.errorText().c_str()));
        ShowAppMessage(text, mb::kOk | mb::kIconError);
        return nullptr;
    }
    auto loaded = std::make_unique<ResourceLibrary>(std::move(library), fileName);
    // The version is read from the file that was actually loaded, which for a bare name need not
    // lie in the current folder.
    const QString version = GetFileVersion(QFile::decodeName(loaded->path().c_str()));
    if (CompareVersions(version, minVersion) < 0) {
        const QString text =
            ExpandEscapes(QString::fromUtf8(texts::kLibraryTooOld)).arg(fileName, minVersion);
        ShowAppMessage(text, mb::kOk | mb::kIconError);
        return loaded;
    }
    auto& modules = ResourceModules();
    if (callerModule)
        modules.push_back(callerModule);
    if (callerModule != programModule())
        modules.push_back(programModule());
    modules.push_back(loaded->module());
    return loaded;
}

} // namespace vt::desktop
