// Opening documents and addresses with the desktop's associated program, behind a seam.
#pragma once

#include <QUrl>
#include <functional>

namespace vt::desktop {

// Replacement of the desktop's opener for tests: gets the address, returns whether it opened.
using UrlOpener = std::function<bool(const QUrl& url)>;
// Installs an opener (an empty one restores QDesktopServices) and returns the previous one.
UrlOpener setUrlOpener(UrlOpener opener);

// Asks the desktop to open the document or address; false when no program took it.
bool openUrl(const QUrl& url);

} // namespace vt::desktop
