// TrSeparator: a spacer between tool buttons, or an etched divider line.
#include "desktop/controls/trseparator.h"

#include "desktop/controls/controlstexts.h"
#include "desktop/shell/resources.h"
#include "platform/exception.h"

#include <QPainter>
#include <qdrawutil.h>

namespace vt::desktop {

TrSeparator::TrSeparator(QWidget* parent) : QWidget(parent) {
    resize(8, 22);
}

void TrSeparator::setAlign(TAlign align) {
    if (align == m_align)
        return;
    m_align = align;
    updateGeometry();
    update();
}

void TrSeparator::setSeparatorStyle(TrSeparatorStyle style) {
    if (style == rspDivider && (m_align == alNone || m_align == alClient))
        throw vt::Exception(texts::kDividerNeedsAlign);
    if (style == m_style)
        return;
    m_style = style;
    update();
}

void TrSeparator::setUseShape(bool on) {
    if (on == m_useShape)
        return;
    m_useShape = on;
    update();
}

QSize TrSeparator::sizeHint() const {
    return m_align == alTop || m_align == alBottom ? QSize(22, 8) : QSize(8, 22);
}

void TrSeparator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const int w = width();
    const int h = height();
    if (m_style == rspDivider && m_align != alNone && m_align != alClient) {
        // An etched edge: the sunken outer line in the shadow colour, the raised inner one in
        // the highlight colour beside it.
        if (m_align == alLeft || m_align == alRight) {
            const int x = w / 2 - 1;
            painter.fillRect(QRect(x, 1, 1, h - 2), pal.color(QPalette::Dark));
            painter.fillRect(QRect(x + 1, 1, 1, h - 2), pal.color(QPalette::Light));
        } else {
            const int y = h / 2 - 1;
            painter.fillRect(QRect(1, y, w - 2, 1), pal.color(QPalette::Dark));
            painter.fillRect(QRect(1, y + 1, w - 2, 1), pal.color(QPalette::Light));
        }
    }
    if (m_useShape) {
        qDrawShadeRect(&painter, rect(), pal, true);
    } else if (property(kDesigningProperty).toBool()) {
        painter.setPen(QPen(pal.color(QPalette::Dark), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace vt::desktop
