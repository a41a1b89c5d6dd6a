// Opening documents and addresses with the desktop's associated program, behind a seam.
#include "desktop/shell/urlopener.h"

#include <QDesktopServices>

namespace vt::desktop {
namespace {

UrlOpener& openerSlot() {
    static UrlOpener opener;
    return opener;
}

} // namespace

UrlOpener setUrlOpener(UrlOpener opener) {
    return std::exchange(openerSlot(), std::move(opener));
}

bool openUrl(const QUrl& url) {
    if (openerSlot())
        return openerSlot()(url);
    return QDesktopServices::openUrl(url);
}

} // namespace vt::desktop
