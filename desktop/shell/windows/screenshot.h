// Pictures of windows for the screenshot tools of scripts/screenshots.sh.
#pragma once

#include <QByteArray>
#include <QString>

class QPixmap;
class QWidget;

namespace vt::desktop::screenshot {

// Lets pending events (layouts, paints) run.
void settle();

// Saves the picture as <folder>/<name> and prints the file's path; says on stderr when the file
// cannot be written.
bool save(const QPixmap& picture, const QString& folder, const char* name);

// Shows and activates the window, lets it settle and saves a picture of it.
bool shoot(QWidget& window, const QString& folder, const char* name);

// Writes a sample file the pictured windows read.
bool writeFile(const QString& path, const QByteArray& text);

} // namespace vt::desktop::screenshot
