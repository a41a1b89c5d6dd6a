// TrLabel: a label that draws its caption with raised 3D copies, frames itself with bevels and a
// border, fits its bounds to the text and can blink between two colour sets.
//
// Colours left at their defaults follow the palette: the highlight colour is QPalette::Light,
// the shadow colour QPalette::Dark, the grey-text colour the disabled QPalette::Text, the font
// colour QPalette::WindowText and the label colour QPalette::Window. Assigning an invalid QColor
// returns a colour to its default.
#pragma once

#include "desktop/controls/controltypes.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

class QShortcut;
class QTimer;

namespace vt::desktop {

class TrLabel : public QWidget {
    Q_OBJECT

public:
    explicit TrLabel(QWidget* parent = nullptr);
    ~TrLabel() override;

    // The caption; "&" marks the accelerator while ShowAccelChar is on.
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);

    bool Blink() const { return m_blink; }
    void setBlink(bool on);
    // Milliseconds between the blink alternations.
    int BlinkSpeed() const { return m_blinkSpeed; }
    void setBlinkSpeed(int ms);
    QColor BlinkColor() const;
    void setBlinkColor(const QColor& color);
    QColor BlinkTopColor() const;
    void setBlinkTopColor(const QColor& color);
    QColor BlinkBottomColor() const;
    void setBlinkBottomColor(const QColor& color);
    // Stored only; painting does not consult it.
    bool BlinkTransparent() const { return m_blinkTransparent; }
    void setBlinkTransparent(bool on) { m_blinkTransparent = on; }
    // True while the blink colour set is shown.
    bool blinkPhase() const { return m_blinkPhase; }

    bool RaisedTop() const { return m_raisedTop; }
    void setRaisedTop(bool on);
    bool RaisedBottom() const { return m_raisedBottom; }
    void setRaisedBottom(bool on);
    QColor RaisedTopColor() const;
    void setRaisedTopColor(const QColor& color);
    QColor RaisedBottomColor() const;
    void setRaisedBottomColor(const QColor& color);
    int RaisedTopDistance() const { return m_raisedTopDistance; }
    void setRaisedTopDistance(int pixels);
    int RaisedBottomDistance() const { return m_raisedBottomDistance; }
    void setRaisedBottomDistance(int pixels);

    int BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(int pixels);
    int BevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int pixels);
    bool BorderTransparent() const { return m_borderTransparent; }
    void setBorderTransparent(bool on);
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void setBevelInner(TBevelCut cut);

    bool Text3D() const { return m_text3D; }
    void setText3D(bool on);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    TAlignment Alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment);
    TTextLayout Layout() const { return m_layout; }
    void setLayout(TTextLayout layout);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void setShowAccelChar(bool on);
    // The control that takes the focus when the accelerator is pressed.
    QWidget* FocusControl() const { return m_focusControl; }
    void setFocusControl(QWidget* control);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on);
    // The background colour.
    QColor Color() const;
    void setColor(const QColor& color);

    // Draws the label as painting does, onto any surface of the label's size.
    void paintLabel(QPainter& painter);
    // The bounds AutoSize would give the label now.
    QSize fittedSize() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int frameMargin() const;
    int textFlags() const;
    QString drawnText(bool measuring) const;
    QRect drawText3D(QPainter* painter, const QFontMetrics& metrics, const QRect& rect,
                     bool measuring) const;
    void adjustBounds();
    // Sets a member that changes the look; refits the bounds when asked, and repaints.
    template <typename T> void assign(T& member, const T& value, bool refit) {
        if (member == value)
            return;
        member = value;
        if (refit)
            adjustBounds();
        update();
    }
    void updateAccelerator();
    void acceleratorPressed();
    QColor resolved(const QColor& color, QPalette::ColorGroup group,
                    QPalette::ColorRole role) const;

    QString m_caption;
    bool m_blink = false;
    int m_blinkSpeed = 500;
    QColor m_blinkColor, m_blinkTopColor, m_blinkBottomColor;
    bool m_blinkTransparent = true;
    bool m_blinkPhase = false;
    bool m_raisedTop = true;
    bool m_raisedBottom = true;
    QColor m_raisedTopColor, m_raisedBottomColor;
    int m_raisedTopDistance = 1;
    int m_raisedBottomDistance = 1;
    int m_borderWidth = 0;
    int m_bevelWidth = 1;
    bool m_borderTransparent = false;
    TBevelCut m_bevelOuter = bvNone;
    TBevelCut m_bevelInner = bvNone;
    bool m_text3D = true;
    bool m_autoSize = true;
    TAlignment m_alignment = taLeftJustify;
    TTextLayout m_layout = tlTop;
    bool m_wordWrap = false;
    bool m_showAccelChar = true;
    QPointer<QWidget> m_focusControl;
    bool m_transparent = false;
    QColor m_color;
    QTimer* m_timer = nullptr;
    QShortcut* m_accelerator = nullptr;
};

} // namespace vt::desktop
