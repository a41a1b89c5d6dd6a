// TrBitBtn: a push button with a glyph taken from a named picture resource ("BBOK", "BBRETRY").
#pragma once

#include "desktop/controls/buttonglyph.h"

#include <QPushButton>

namespace vt::desktop {

class TrBitBtn : public QPushButton {
    Q_OBJECT

public:
    explicit TrBitBtn(QWidget* parent = nullptr);
    explicit TrBitBtn(const QString& caption, QWidget* parent = nullptr);

    const QImage& Glyph() const { return m_glyph.Glyph(); }
    void setGlyph(const QImage& picture) { m_glyph.setGlyph(picture); }
    TBitmapResKind GlyphResKind() const { return m_glyph.GlyphResKind(); }
    void setGlyphResKind(TBitmapResKind kind) { m_glyph.setGlyphResKind(kind); }
    const QString& GlyphResource() const { return m_glyph.GlyphResource(); }
    void setGlyphResource(const QString& name) { m_glyph.setGlyphResource(name); }
    // Ends loading from a window description: clears the loading mark and loads the glyph.
    void Loaded();

private:
    ButtonGlyph m_glyph{this};
};

} // namespace vt::desktop
