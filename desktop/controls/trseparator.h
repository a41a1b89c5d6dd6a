// TrSeparator: a spacer between tool buttons, or an etched divider line.
#pragma once

#include "desktop/controls/controltypes.h"

#include <QWidget>

namespace vt::desktop {

enum TrSeparatorStyle { rspSeparator, rspDivider };

class TrSeparator : public QWidget {
    Q_OBJECT

public:
    // A new separator is 8 pixels wide and aligned left.
    explicit TrSeparator(QWidget* parent = nullptr);

    // How the separator lies in its parent; decides the direction of the divider line.
    TAlign Align() const { return m_align; }
    void setAlign(TAlign align);
    TrSeparatorStyle SeparatorStyle() const { return m_style; }
    // Throws vt::Exception (kDividerNeedsAlign) for rspDivider while Align is alNone or alClient,
    // leaving the style as it was.
    void setSeparatorStyle(TrSeparatorStyle style);
    // Also draw the bevel's own lowered box.
    bool UseShape() const { return m_useShape; }
    void setUseShape(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TAlign m_align = alLeft;
    TrSeparatorStyle m_style = rspSeparator;
    bool m_useShape = false;
};

} // namespace vt::desktop
