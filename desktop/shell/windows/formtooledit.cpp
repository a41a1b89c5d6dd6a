// TFormToolEdit: the editor of one external tool (name, program, working directory, parameters).
#include "desktop/shell/windows/formtooledit.h"

#include "desktop/controls/trbitbtn.h"
#include "desktop/shell/help.h"
#include "desktop/shell/textutils.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/windowtexts.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vt::desktop {
namespace {

// A line edit with a browse button beside it.
QWidget* withBrowse(QLineEdit* edit, QToolButton* button) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(edit);
    button->setText(QStringLiteral("…"));
    row->addWidget(button);
    return box;
}

} // namespace

TFormToolEdit::TFormToolEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormToolEdit"));
    setWindowTitle(tr8(texts::kToolEditCaption));
    GroupBox1 = new QGroupBox(tr8(texts::kToolEditGroup), this);
    EName = new QLineEdit;
    FEProgram = new QLineEdit;
    FEProgramBrowse = new QToolButton;
    DEProgram = new QLineEdit;
    DEProgramBrowse = new QToolButton;
    EParams = new QLineEdit;
    EName->setObjectName(QStringLiteral("EName"));
    FEProgram->setObjectName(QStringLiteral("FEProgram"));
    DEProgram->setObjectName(QStringLiteral("DEProgram"));
    EParams->setObjectName(QStringLiteral("EParams"));

    auto* form = new QFormLayout(GroupBox1);
    const auto addRow = [form](const char* caption, QWidget* field, QWidget* buddy) {
        auto* label = new QLabel(tr8(caption));
        label->setBuddy(buddy);
        form->addRow(label, field);
    };
    addRow(texts::kToolEditName, EName, EName);
    addRow(texts::kToolEditProgram, withBrowse(FEProgram, FEProgramBrowse), FEProgram);
    addRow(texts::kToolEditWorkDir, withBrowse(DEProgram, DEProgramBrowse), DEProgram);
    addRow(texts::kToolEditParams, EParams, EParams);

    rBBOK = bitBtn("rBBOK", tr8(texts::kSave), "BBOK");
    rBBOK->setDefault(true);
    rBBOK->setEnabled(false);
    rBBCancel = bitBtn("rBBCancel", tr8(texts::kCancel), "BBCANCEL");
    rBBHelp = bitBtn("rBBHelp", tr8(texts::kHelp), "BBHELP");
    auto* buttons = buttonRow({rBBOK, rBBCancel, rBBHelp});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    setSizeGripEnabled(false);

    connect(EName, &QLineEdit::textChanged, this, &TFormToolEdit::ENameChange);
    connect(FEProgram, &QLineEdit::textChanged, this, &TFormToolEdit::ENameChange);
    connect(rBBOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(rBBCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(FEProgramBrowse, &QToolButton::clicked, this, &TFormToolEdit::browseProgram);
    connect(DEProgramBrowse, &QToolButton::clicked, this, &TFormToolEdit::browseFolder);
    installFormHelp(this, helpctx::kToolEdit, rBBHelp);
}

void TFormToolEdit::setTool(const TToolParams& tool) {
    EName->setText(tool.name);
    FEProgram->setText(tool.ProgramName);
    DEProgram->setText(tool.WorkDir);
    EParams->setText(tool.Params);
}

TToolParams TFormToolEdit::tool() const {
    return {EName->text(), FEProgram->text(), DEProgram->text(), EParams->text()};
}

void TFormToolEdit::ENameChange() {
    rBBOK->setEnabled(IsNotBlank(EName->text()) && IsNotBlank(FEProgram->text()));
}

void TFormToolEdit::browseProgram() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr8(texts::kChooseProgram), FEProgram->text(),
                                     qtFileFilter(tr8(texts::kProgramFilter)));
    if (!path.isEmpty())
        FEProgram->setText(quotedProgramPath(path));
}

void TFormToolEdit::browseFolder() {
    const QString dir =
        QFileDialog::getExistingDirectory(this, tr8(texts::kChooseFolder), DEProgram->text());
    if (!dir.isEmpty())
        DEProgram->setText(dir);
}

} // namespace vt::desktop
