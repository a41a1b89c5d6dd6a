// TFormAction: the base of the action windows, a field area with Execute, Cancel and Help.
#pragma once

#include "desktop/controls/trbitbtn.h"
#include "desktop/shell/help.h"
#include <QDialog>

class QGroupBox;
class QPushButton;

namespace vt::desktop {

class TFormAction : public QDialog {
    Q_OBJECT
public:
    // A fixed dialog frame; BitBtn1 shows the glyph of the given resource, "BBIGNORE" when none
    // is given. Ctrl+Enter anywhere in the window clicks BitBtn1 while it is enabled. F1 and
    // BitBtn3 open the help at the window's context (a descendant gives its own).
    explicit TFormAction(QWidget* parent = nullptr, const QString& executeGlyph = {},
                         int helpContext = helpctx::kAction);

    // The area the descendants put their fields in.
    QGroupBox* GroupBox1;
    TrBitBtn* BitBtn1;
    TrBitBtn* BitBtn2;
    TrBitBtn* BitBtn3;

private:
    void FormKeyDown();
};

} // namespace vt::desktop
