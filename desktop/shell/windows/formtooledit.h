// TFormToolEdit: the editor of one external tool (name, program, working directory, parameters).
#pragma once

#include "desktop/controls/trbitbtn.h"
#include "desktop/shell/toolseditor.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace vt::desktop {

class TFormToolEdit final : public QDialog {
    Q_OBJECT
public:
    explicit TFormToolEdit(QWidget* parent = nullptr);

    // Fills the fields from a tool.
    void setTool(const TToolParams& tool);
    // The tool the fields describe.
    TToolParams tool() const;

    QGroupBox* GroupBox1;
    QLineEdit* EName;
    QLineEdit* FEProgram;
    QToolButton* FEProgramBrowse;
    QLineEdit* DEProgram;
    QToolButton* DEProgramBrowse;
    QLineEdit* EParams;
    TrBitBtn* rBBOK;
    TrBitBtn* rBBCancel;
    TrBitBtn* rBBHelp;

private:
    void ENameChange();
    void browseProgram();
    void browseFolder();
};

} // namespace vt::desktop
