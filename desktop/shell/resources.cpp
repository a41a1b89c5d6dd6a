// Pictures from the resource modules: lookup, name normalisation and loading by kind.
#include "desktop/shell/resources.h"

#include "desktop/shell/appsettings.h"
#include "desktop/shell/shellerrors.h"
#include "desktop/shell/shelltexts.h"
#include "desktop/shell/textutils.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <stdexcept>

namespace vt::desktop {
namespace {

constexpr int kIconSize = 32;

[[noreturn]] void throwNotFound(const QString& name) {
    throw EResNotFound(QString::fromUtf8(texts::kResourceNotFound).arg(name).toStdString());
}

[[noreturn]] void throwInvalid(const QString& name) {
    throw EInvalidGraphic(QString::fromUtf8(texts::kInvalidGraphic).arg(name).toStdString());
}

QImage readImage(const QString& path, const QString& name) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throwNotFound(name);
    QImage image = QImage::fromData(file.readAll());
    if (image.isNull())
        throwInvalid(name);
    return image;
}

} // namespace

QString ResourceTypeOf(TBitmapResKind kind) {
    switch (kind) {
    case rkBitmap:
        return QStringLiteral("BITMAP");
    case rkIcon:
        return QStringLiteral("ICON");
    case rkCursor:
        return QStringLiteral("CURSOR");
    case rkEMF:
        return QStringLiteral("EMF");
    case rkWMF:
        return QStringLiteral("WMF");
    case rkGIF:
        return QStringLiteral("GIF");
    case rkJPEG:
        return QStringLiteral("JPEG");
    case rkNone:
        break;
    }
    return {};
}

std::optional<QString> FindResourceModule(HModule& module, const QString& name,
                                          const QString& type) {
    if (module) {
        const QString path = module->resourcePath(type, name);
        if (QFile::exists(path))
            return path;
    }
    for (HModule listed : ResourceModules()) {
        const QString path = listed->resourcePath(type, name);
        if (QFile::exists(path)) {
            module = listed;
            return path;
        }
    }
    return std::nullopt;
}

void NormalizeResName(QString& name) {
    name = name.trimmed();
    bool ok = false;
    const int value = name.toInt(&ok);
    if (ok && value > 0)
        name = QLatin1Char('#') + name;
}

ResourceHandle LoadResourceHandle(HModule module, const QString& name, TBitmapResKind kind) {
    if (kind != rkBitmap && kind != rkIcon && kind != rkCursor)
        throw std::invalid_argument("LoadResourceHandle: kind must be a bitmap, icon or cursor");
    QString resName = name;
    NormalizeResName(resName);
    const auto path = FindResourceModule(module, resName, ResourceTypeOf(kind));
    if (!path)
        throwNotFound(resName);
    switch (kind) {
    case rkIcon:
        return QIcon(*path);
    case rkCursor: {
        const QPixmap pixmap(*path);
        if (pixmap.isNull())
            throwInvalid(resName);
        return QCursor(pixmap);
    }
    default:
        return readImage(*path, resName);
    }
}

void LoadResourceGraphic(QImage& bitmap, HModule module, const QString& name, TBitmapResKind kind) {
    QString resName = name;
    NormalizeResName(resName);
    HModule found = module;
    const auto path = FindResourceModule(found, resName, ResourceTypeOf(kind));
    if (!path)
        throwNotFound(resName);
    switch (kind) {
    case rkBitmap:
        bitmap = readImage(*path, resName);
        break;
    case rkIcon: {
        const QIcon icon = std::get<QIcon>(LoadResourceHandle(module, resName, rkIcon));
        if (!icon.isNull()) {
            bitmap = QImage(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
            bitmap.fill(QColor(255, 0, 255));
            QPainter painter(&bitmap);
            icon.paint(&painter, 0, 0, kIconSize, kIconSize);
        }
        break;
    }
    case rkEMF:
    case rkWMF:
    case rkGIF:
    case rkJPEG: {
        const QImage picture = readImage(*path, resName);
        bitmap = QImage(picture.size(), QImage::Format_ARGB32_Premultiplied);
        bitmap.fill(Qt::transparent);
        QPainter painter(&bitmap);
        painter.drawImage(0, 0, picture);
        break;
    }
    case rkNone:
    case rkCursor:
        break;
    }
}

void LoadGlyphResource(const QObject* control, QImage& bitmap, TBitmapResKind kind,
                       const QString& name) {
    if (kind == rkNone || IsBlank(name))
        return;
    if (control && control->property(kLoadingProperty).toBool())
        return;
    try {
        LoadResourceGraphic(bitmap, programModule(), name, kind);
    } catch (const EResNotFound&) {
        if (!(control && control->property(kDesigningProperty).toBool()))
            throw;
    }
}

} // namespace vt::desktop
