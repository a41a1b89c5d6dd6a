// TFormAction: the base of the action windows, a field area with Execute, Cancel and Help.
#pragma once

#include "desktop/controls/trbitbtn.h"
#include <QDialog>

class QGroupBox;
class QPushButton;

namespace vt::desktop {

class TFormAction : public QDialog {
    Q_OBJECT
public:
    // A fixed dialog frame; BitBtn1 shows the glyph of the given resource, "BBIGNORE" when none
    // is given. Ctrl+Enter anywhere in the window clicks BitBtn1 while it is enabled.
    explicit TFormAction(QWidget* parent = nullptr, const QString& executeGlyph = {});

    // The help context of the window (F1 outside controls with their own, and the Help button);
    // the base's own until a descendant sets its own. One F1 key serves the window: descendants
    // set their context here rather than installing help again.
    int helpContext() const { return m_helpContext; }
    void setHelpContext(int context) { m_helpContext = context; }

    // The area the descendants put their fields in.
    QGroupBox* GroupBox1;
    TrBitBtn* BitBtn1;
    TrBitBtn* BitBtn2;
    TrBitBtn* BitBtn3;

private:
    void FormKeyDown();

    int m_helpContext;
};

} // namespace vt::desktop
