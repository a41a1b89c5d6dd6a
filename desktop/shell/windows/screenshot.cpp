// Pictures of windows for the screenshot tools of scripts/screenshots.sh.
#include "desktop/shell/windows/screenshot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

namespace vt::desktop::screenshot {

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

bool save(const QPixmap& picture, const QString& folder, const char* name) {
    const QString file = QDir(folder).filePath(QString::fromLatin1(name));
    if (!picture.save(file)) {
        std::fprintf(stderr, "%s: cannot write %s\n", qPrintable(QApplication::applicationName()),
                     qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

bool shoot(QWidget& window, const QString& folder, const char* name) {
    window.show();
    window.activateWindow();
    settle();
    return save(window.grab(), folder, name);
}

bool writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace vt::desktop::screenshot
