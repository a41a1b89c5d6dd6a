// ButtonGlyph: the glyph of a button, drawn from a named picture resource or assigned directly.
#pragma once

#include "desktop/shell/resources.h"

#include <QImage>
#include <QPixmap>
#include <QString>

class QAbstractButton;

namespace vt::desktop {

class ButtonGlyph final {
public:
    // The glyph of the button, which must outlive it.
    explicit ButtonGlyph(QAbstractButton* button) : m_button(button) {}

    const QImage& Glyph() const { return m_glyph; }
    // Shows the picture on the button.
    void setGlyph(const QImage& picture);
    TBitmapResKind GlyphResKind() const { return m_kind; }
    // A different kind loads the glyph again (see load).
    void setGlyphResKind(TBitmapResKind kind);
    const QString& GlyphResource() const { return m_resource; }
    // A different name loads the glyph again (see load).
    void setGlyphResource(const QString& name);
    // Loads the glyph with LoadGlyphResource: nothing for rkNone, a blank name or a button being
    // loaded; a missing resource throws EResNotFound "Ресурс %s не найден".
    void load();
    // True when the glyph is stored with the window description rather than named.
    bool storesGlyph() const;

private:
    QAbstractButton* m_button;
    QImage m_glyph;
    TBitmapResKind m_kind = rkBitmap;
    QString m_resource;
};

// The picture as a button glyph. A picture without an alpha channel is transparent where it has
// the colour of its bottom-left pixel, as the platform's bitmap glyphs are.
QPixmap glyphPixmap(const QImage& picture);

} // namespace vt::desktop
