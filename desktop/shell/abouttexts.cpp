// The texts of the splash and the about window, taken from the program's version strings.
#include "desktop/shell/abouttexts.h"

#include "desktop/shell/shelltexts.h"
#include "desktop/shell/versionutils.h"

#include <QDir>
#include <QFileInfo>

namespace vt::desktop {
namespace {

constexpr const char* kLogoExtensions = "GIF;JPG;JPEG;BMP;WMF;EMF";

} // namespace

AboutTexts AboutTexts::fromVersionInfo(const QStringList& lines) {
    AboutTexts t;
    t.FileDescription = ListValue(lines, QStringLiteral("FileDescription"));
    t.FileVersion = ListValue(lines, QStringLiteral("FileVersion"));
    t.ProductName = ListValue(lines, QStringLiteral("ProductName"));
    t.ProductVersion = ListValue(lines, QStringLiteral("ProductVersion"));
    t.LegalCopyright = ListValue(lines, QStringLiteral("LegalCopyright"));
    t.LegalTrademarks = ListValue(lines, QStringLiteral("LegalTrademarks"));
    t.HomePage = ListValue(lines, QStringLiteral("HomePage"));
    t.EMail = ListValue(lines, QStringLiteral("E-Mail"));
    return t;
}

QString AboutTexts::splashVersion() const {
    const QString prefix = QString::fromUtf8(texts::kVersionPrefix);
    const qsizetype first = FileVersion.indexOf(u'.');
    const qsizetype second = first < 0 ? -1 : FileVersion.indexOf(u'.', first + 1);
    return second < 0 ? prefix : prefix + FileVersion.left(second);
}

QString AboutTexts::aboutVersion() const {
    return QString::fromUtf8(texts::kVersionPrefix) + FileVersion;
}

QString AboutTexts::legalText() const {
    QString text;
    if (!ProductName.isEmpty())
        text = ProductName + u' ' + ProductVersion + u'\r';
    text += LegalCopyright;
    if (!LegalTrademarks.isEmpty())
        text += u'\r' + LegalTrademarks;
    return text;
}

QString findProductLogo(const QString& folder) {
    const QDir dir(folder);
    for (const QString& ext : QString::fromLatin1(kLogoExtensions).split(u';')) {
        // File names are case-sensitive here; the capital spelling is the product's own.
        for (const QString& name :
             {QStringLiteral("LOGO.") + ext, QStringLiteral("logo.") + ext.toLower()}) {
            const QString path = dir.filePath(name);
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return {};
}

} // namespace vt::desktop
