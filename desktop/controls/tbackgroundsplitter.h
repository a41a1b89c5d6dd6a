// TBackgroundSplitter: keeps the size of the pane each splitter of a window resizes.
//
// A QSplitter resizes its first pane against the others: the saved text is that pane's name,
// height and width ("%s;%d;%d"). Loading gives the named control that height and width; inside a
// splitter the pane's neighbour takes up the difference.
#pragma once

#include "desktop/controls/tbackgroundcontrol.h"

namespace vt::desktop {

class TBackgroundSplitter final : public TBackGroundControl {
public:
    using TBackGroundControl::TBackGroundControl;

    const QMetaObject& controlClass() const override;
    QString suffix() const override { return QStringLiteral("_Splitters_NEW"); }
    QString SaveControl(QWidget* control) override;
    void LoadControl(QWidget* control, const QString& text) override;
    // The older list: a flag (0 or no integer ends reading), then triples of control name,
    // height and width; sizes are applied when they are positive.
    void LoadOldFormat(const QString& text) override;

private:
    // Gives the control the size; sizes of -1 are left alone.
    static void applySize(QWidget* control, int height, int width);
};

} // namespace vt::desktop
