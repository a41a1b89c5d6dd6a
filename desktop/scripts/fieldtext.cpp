// Texts of the script windows' fields as the files and converters take them.
#include "desktop/scripts/fieldtext.h"

#include <QFile>
#include <QFileInfo>

#include "platform/codepage.h"
#include "platform/paths.h"

namespace vt::desktop {

std::string toAnsiText(const QString& text) {
    return platform::utf8ToAnsi(text.toStdString());
}

QString fromAnsiText(std::string_view text) {
    return QString::fromStdString(platform::ansiToUtf8(text));
}

std::string filePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString changeFileExt(const QString& fileName, const QString& ext) {
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return (dot > slash ? fileName.left(dot) : fileName) + ext;
}

bool fileStandsAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool sameFile(const QString& first, const QString& second) {
    return platform::sameFile(filePath(first), filePath(second));
}

} // namespace vt::desktop
