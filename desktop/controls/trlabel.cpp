// TrLabel: a label that draws its caption with raised 3D copies, frames itself with bevels and a
// border, fits its bounds to the text and can blink between two colour sets.
#include "desktop/controls/trlabel.h"

#include "desktop/shell/resources.h"

#include <QEvent>
#include <QKeySequence>
#include <QPaintEvent>
#include <QPainter>
#include <QShortcut>
#include <QTimer>

namespace vt::desktop {
namespace {

// Draws a bevel of the given width on the rectangle and shrinks it; bvNone and bvSpace draw
// nothing and leave it as it is.
void drawBevel(QPainter& painter, QRect& rect, TBevelCut cut, int width, const QColor& light,
               const QColor& dark) {
    if (cut != bvLowered && cut != bvRaised)
        return;
    const QColor topLeft = cut == bvLowered ? dark : light;
    const QColor bottomRight = cut == bvLowered ? light : dark;
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
        painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
        painter.fillRect(QRect(rect.left() + 1, rect.bottom(), rect.width() - 1, 1), bottomRight);
        painter.fillRect(QRect(rect.right(), rect.top() + 1, 1, rect.height() - 1), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
}

// The bottom edge of a rectangle as the platform counts it: one past the last row.
int endOf(const QRect& rect) {
    return rect.top() + rect.height();
}

} // namespace

TrLabel::TrLabel(QWidget* parent) : QWidget(parent) {
    resize(65, 17);
}

TrLabel::~TrLabel() = default;

QColor TrLabel::resolved(const QColor& color, QPalette::ColorGroup group,
                         QPalette::ColorRole role) const {
    return color.isValid() ? color : palette().color(group, role);
}

QColor TrLabel::BlinkColor() const {
    return resolved(m_blinkColor, QPalette::Disabled, QPalette::Text);
}
QColor TrLabel::BlinkTopColor() const {
    return resolved(m_blinkTopColor, QPalette::Active, QPalette::Dark);
}
QColor TrLabel::BlinkBottomColor() const {
    return resolved(m_blinkBottomColor, QPalette::Active, QPalette::Light);
}
QColor TrLabel::RaisedTopColor() const {
    return resolved(m_raisedTopColor, QPalette::Active, QPalette::Light);
}
QColor TrLabel::RaisedBottomColor() const {
    return resolved(m_raisedBottomColor, QPalette::Active, QPalette::Dark);
}
QColor TrLabel::Color() const {
    return resolved(m_color, QPalette::Active, QPalette::Window);
}

void TrLabel::setCaption(const QString& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    updateAccelerator();
    adjustBounds();
    update();
}

void TrLabel::setBlink(bool on) {
    if (on == m_blink)
        return;
    m_blink = on;
    delete m_timer;
    m_timer = nullptr;
    if (on) {
        m_timer = new QTimer(this);
        m_timer->setInterval(m_blinkSpeed);
        connect(m_timer, &QTimer::timeout, this, [this] {
            if (isEnabled())
                m_blinkPhase = !m_blinkPhase;
            update();
        });
        m_timer->start();
    }
    m_blinkPhase = false;
    update();
}

void TrLabel::setBlinkSpeed(int ms) {
    m_blinkSpeed = std::max(0, ms);
    if (m_timer)
        m_timer->setInterval(m_blinkSpeed);
}

void TrLabel::setBlinkColor(const QColor& color) {
    assign(m_blinkColor, color, false);
}
void TrLabel::setBlinkTopColor(const QColor& color) {
    assign(m_blinkTopColor, color, false);
}
void TrLabel::setBlinkBottomColor(const QColor& color) {
    assign(m_blinkBottomColor, color, false);
}

void TrLabel::setRaisedTop(bool on) {
    assign(m_raisedTop, on, true);
}
void TrLabel::setRaisedBottom(bool on) {
    assign(m_raisedBottom, on, true);
}
void TrLabel::setRaisedTopColor(const QColor& color) {
    assign(m_raisedTopColor, color, true);
}
void TrLabel::setRaisedBottomColor(const QColor& color) {
    assign(m_raisedBottomColor, color, true);
}
void TrLabel::setRaisedTopDistance(int pixels) {
    assign(m_raisedTopDistance, std::max(0, pixels), true);
}
void TrLabel::setRaisedBottomDistance(int pixels) {
    assign(m_raisedBottomDistance, std::max(0, pixels), true);
}
void TrLabel::setBorderWidth(int pixels) {
    assign(m_borderWidth, std::max(0, pixels), true);
}
void TrLabel::setBevelWidth(int pixels) {
    assign(m_bevelWidth, std::max(1, pixels), true);
}
void TrLabel::setBorderTransparent(bool on) {
    assign(m_borderTransparent, on, false);
}
void TrLabel::setBevelOuter(TBevelCut cut) {
    assign(m_bevelOuter, cut, true);
}
void TrLabel::setBevelInner(TBevelCut cut) {
    assign(m_bevelInner, cut, true);
}
void TrLabel::setText3D(bool on) {
    assign(m_text3D, on, true);
}
void TrLabel::setAutoSize(bool on) {
    assign(m_autoSize, on, true);
}
void TrLabel::setAlignment(TAlignment alignment) {
    assign(m_alignment, alignment, false);
}
void TrLabel::setLayout(TTextLayout layout) {
    assign(m_layout, layout, false);
}
void TrLabel::setWordWrap(bool on) {
    assign(m_wordWrap, on, true);
}
void TrLabel::setTransparent(bool on) {
    assign(m_transparent, on, false);
}
void TrLabel::setColor(const QColor& color) {
    assign(m_color, color, false);
}

void TrLabel::setShowAccelChar(bool on) {
    if (on == m_showAccelChar)
        return;
    m_showAccelChar = on;
    updateAccelerator();
    update();
}

void TrLabel::setFocusControl(QWidget* control) {
    m_focusControl = control;
    updateAccelerator();
}

void TrLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        adjustBounds();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange ||
        event->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(event);
}

int TrLabel::frameMargin() const {
    int margin = m_borderWidth;
    if (m_bevelOuter != bvNone)
        margin += m_bevelWidth;
    if (m_bevelInner != bvNone)
        margin += m_bevelWidth;
    return margin;
}

int TrLabel::textFlags() const {
    int flags = Qt::AlignTop | Qt::TextExpandTabs;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic;
    switch (m_alignment) {
    case taLeftJustify:
        flags |= Qt::AlignLeft;
        break;
    case taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case taCenter:
        flags |= Qt::AlignHCenter;
        break;
    }
    return flags;
}

QString TrLabel::drawnText(bool measuring) const {
    if (measuring && (m_caption.isEmpty() || (m_showAccelChar && m_caption == QLatin1String("&"))))
        return m_caption + QLatin1Char(' ');
    // The program's messages break lines with CR (from "\r" escapes) or CR LF; Qt breaks at LF.
    QString text = m_caption;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Without the accelerator prefix an ampersand is text: doubled, Qt draws it once.
    if (!m_showAccelChar)
        text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return text;
}

QRect TrLabel::drawText3D(QPainter* painter, const QFontMetrics& metrics, const QRect& rect,
                          bool measuring) const {
    const QString text = drawnText(measuring);
    // Qt only treats "&" as a prefix when asked to show mnemonics; drawing it literally needs
    // the flag too, since the text then holds "&&".
    const int flags = textFlags() | (m_showAccelChar ? 0 : Qt::TextShowMnemonic);
    QColor textColor = palette().color(QPalette::Active, QPalette::WindowText);
    QColor topColor = RaisedTopColor();
    QColor bottomColor = RaisedBottomColor();
    if (m_blinkPhase) {
        textColor = BlinkColor();
        topColor = BlinkTopColor();
        bottomColor = BlinkBottomColor();
    }
    bool topOn = m_text3D && m_raisedTop;
    bool bottomOn = m_text3D && m_raisedBottom;
    const int topShift = m_raisedTopDistance;
    int bottomShift = m_raisedBottomDistance;
    if (!isEnabled()) {
        topOn = false;
        bottomOn = true;
        bottomShift = 1;
        bottomColor = palette().color(QPalette::Active, QPalette::Light);
        textColor = palette().color(QPalette::Disabled, QPalette::Text);
    }

    struct Copy {
        bool on;
        int shift;
        QColor color;
    };
    const Copy copies[] = {
        {topOn, -topShift, topColor}, {bottomOn, bottomShift, bottomColor}, {true, 0, textColor}};
    QRect measured;
    for (const Copy& copy : copies) {
        if (!copy.on)
            continue;
        const QRect moved = rect.translated(copy.shift, copy.shift);
        if (measuring) {
            measured |= metrics.boundingRect(moved, flags, text);
        } else {
            painter->setPen(copy.color);
            painter->drawText(moved, flags, text);
        }
    }
    return measured;
}

void TrLabel::paintLabel(QPainter& painter) {
    const QColor color = Color();
    const QColor light = palette().color(QPalette::Active, QPalette::Light);
    const QColor dark = palette().color(QPalette::Active, QPalette::Dark);
    if (!m_transparent && !m_borderTransparent)
        painter.fillRect(rect(), color);
    QRect r = rect();
    drawBevel(painter, r, m_bevelOuter, m_bevelWidth, light, dark);
    r.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    drawBevel(painter, r, m_bevelInner, m_bevelWidth, light, dark);
    painter.setClipRect(r);
    if (m_borderTransparent && !m_transparent)
        painter.fillRect(r, color);

    const int margin = frameMargin();
    const int top = m_text3D && m_raisedTop ? m_raisedTopDistance : 0;
    const int bottom = m_text3D && m_raisedBottom ? m_raisedBottomDistance : 0;
    const int dx = m_alignment == taLeftJustify ? top : m_alignment == taRightJustify ? -bottom : 0;
    const int dy = m_layout == tlTop ? top : m_layout == tlBottom ? -bottom : 0;

    painter.setFont(font());
    const QFontMetrics metrics(font());
    if (m_layout != tlTop) {
        const int measured =
            endOf(drawText3D(nullptr, metrics, QRect(QPoint(0, 0), r.size()), true));
        r.translate(0, m_layout == tlCenter ? (height() - measured) / 2 - margin
                                            : height() - measured - 2 * margin);
    }
    drawText3D(&painter, metrics, r.translated(dx, dy), false);
}

void TrLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintLabel(painter);
}

QSize TrLabel::fittedSize() const {
    const int top = m_text3D && m_raisedTop ? m_raisedTopDistance : 0;
    const int bottom = m_text3D && m_raisedBottom ? m_raisedBottomDistance : 0;
    const int margin = frameMargin() + (top + bottom) / 2;
    const QRect inner = rect().adjusted(margin, margin, -margin, -margin);
    const QRect measured = drawText3D(nullptr, QFontMetrics(font()), inner, true);
    return measured.size() + QSize(2 * margin, 2 * margin);
}

QSize TrLabel::sizeHint() const {
    return m_autoSize ? fittedSize() : QWidget::sizeHint();
}

void TrLabel::adjustBounds() {
    if (!m_autoSize || property(kLoadingProperty).toBool())
        return;
    const QSize size = fittedSize();
    QRect bounds = geometry();
    const bool keepRight = (m_alignment == taRightJustify) != isRightToLeft();
    if (keepRight)
        bounds.setLeft(bounds.right() + 1 - size.width());
    bounds.setSize(size);
    setGeometry(bounds);
    updateGeometry();
}

void TrLabel::updateAccelerator() {
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    const bool wanted = m_showAccelChar && m_focusControl && !key.isEmpty();
    if (!wanted) {
        delete m_accelerator;
        m_accelerator = nullptr;
        return;
    }
    if (!m_accelerator) {
        m_accelerator = new QShortcut(this);
        m_accelerator->setContext(Qt::WindowShortcut);
        connect(m_accelerator, &QShortcut::activated, this, &TrLabel::acceleratorPressed);
    }
    m_accelerator->setKey(key);
}

void TrLabel::acceleratorPressed() {
    if (isEnabled() && m_showAccelChar && m_focusControl && m_focusControl->isEnabled() &&
        m_focusControl->isVisible() && m_focusControl->focusPolicy() != Qt::NoFocus)
        m_focusControl->setFocus(Qt::ShortcutFocusReason);
}

} // namespace vt::desktop
