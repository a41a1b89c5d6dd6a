// TBackgroundToolbar: keeps the place, size, visibility and parent of each tool bar of a window
// as "left;top;height;width;visible;parent".
#pragma once

#include "desktop/controls/tbackgroundcontrol.h"

namespace vt::desktop {

class Registry;

class TBackgroundToolbar final : public TBackGroundControl {
public:
    using TBackGroundControl::TBackGroundControl;

    const QMetaObject& controlClass() const override;
    QString suffix() const override { return QStringLiteral("_ToolBars_NEW"); }
    QString SaveControl(QWidget* control) override;
    // Moves the tool bar to the named parent when that differs; left, top, height and width are
    // taken when they are integers other than 0; visible defaults to 1.
    void LoadControl(QWidget* control, const QString& text) override;

    // Reads the oldest format: the value name + "_ToolBars" lists suffixes, each naming a value
    // of one leading word and groups of name, left, top, height, width, visible. True when a
    // tool bar changed.
    bool loadOldList(Registry& registry, const QString& valueName);
};

} // namespace vt::desktop
