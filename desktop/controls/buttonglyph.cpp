// ButtonGlyph: the glyph of a button, drawn from a named picture resource or assigned directly.
#include "desktop/controls/buttonglyph.h"

#include "desktop/shell/textutils.h"

#include <QAbstractButton>
#include <QBitmap>

namespace vt::desktop {

QPixmap glyphPixmap(const QImage& picture) {
    if (picture.isNull())
        return {};
    QPixmap pixmap = QPixmap::fromImage(picture);
    if (!picture.hasAlphaChannel()) {
        const QRgb transparent = picture.pixel(0, picture.height() - 1);
        pixmap.setMask(
            QBitmap::fromImage(picture.createMaskFromColor(transparent, Qt::MaskInColor)));
    }
    return pixmap;
}

void ButtonGlyph::setGlyph(const QImage& picture) {
    m_glyph = picture;
    const QPixmap pixmap = glyphPixmap(picture);
    m_button->setIcon(pixmap.isNull() ? QIcon() : QIcon(pixmap));
    if (!pixmap.isNull())
        m_button->setIconSize(pixmap.size());
}

void ButtonGlyph::setGlyphResKind(TBitmapResKind kind) {
    if (kind == m_kind)
        return;
    m_kind = kind;
    load();
}

void ButtonGlyph::setGlyphResource(const QString& name) {
    if (name == m_resource)
        return;
    m_resource = name;
    load();
}

void ButtonGlyph::load() {
    if (m_kind == rkNone || IsBlank(m_resource) || m_button->property(kLoadingProperty).toBool())
        return;
    QImage picture;
    LoadGlyphResource(m_button, picture, m_kind, m_resource);
    if (!picture.isNull())
        setGlyph(picture);
}

bool ButtonGlyph::storesGlyph() const {
    return m_kind == rkNone || IsBlank(m_resource);
}

} // namespace vt::desktop
