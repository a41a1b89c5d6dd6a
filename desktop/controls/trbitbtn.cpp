// TrBitBtn: a push button with a glyph taken from a named picture resource ("BBOK", "BBRETRY").
#include "desktop/controls/trbitbtn.h"

namespace vt::desktop {

TrBitBtn::TrBitBtn(QWidget* parent) : QPushButton(parent) {}

TrBitBtn::TrBitBtn(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void TrBitBtn::Loaded() {
    setProperty(kLoadingProperty, false);
    m_glyph.load();
}

} // namespace vt::desktop
