// TFormSQLEdit: the editor of one script kind, saving it into SqlToolsIni.
#include "desktop/scripts/windows/formsqledit.h"

#include "desktop/scripts/fieldtext.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/windows/trfileedit.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/help.h"
#include "desktop/shell/textutils.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/windowtexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt::desktop {
namespace {

QLineEdit* lineEdit(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

void addRow(QFormLayout* form, const char* caption, QWidget* field) {
    auto* label = new QLabel(tr8(caption));
    label->setBuddy(field);
    form->addRow(label, field);
}

} // namespace

TFormSQLEdit::TFormSQLEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormSQLEdit"));
    setWindowTitle(tr8(texts::kSqlEditCaption));
    EName = lineEdit("EName");
    CBDefault = new QCheckBox(tr8(texts::kSqlEditUseDefault));
    CBDefault->setObjectName(QStringLiteral("CBDefault"));
    EDelimeter = lineEdit("EDelimeter");
    ECommand = lineEdit("ECommand");
    EIgnore = lineEdit("EIgnore");
    EUserName = lineEdit("EUserName");
    DEPath = new TrFileEdit(TrFileEdit::Mode::Folder);
    DEPath->setObjectName(QStringLiteral("DEPath"));
    ECommentBegin = lineEdit("ECommentBegin");
    ECommentEnd = lineEdit("ECommentEnd");
    EDBCode = lineEdit("EDBCode");
    CBDialect = new QComboBox;
    CBDialect->setObjectName(QStringLiteral("CBDialect"));
    // Empty: commands end at a line ending with the terminator; the others split as the engine's
    // own client does.
    CBDialect->addItems({QString(), QStringLiteral("SQLite"), QStringLiteral("PostgreSQL")});

    auto* top = new QFormLayout;
    addRow(top, texts::kSqlEditName, EName);
    addRow(top, texts::kSqlEditIgnore, EIgnore);
    addRow(top, texts::kSqlEditUser, EUserName);
    addRow(top, texts::kCodeLabel, EDBCode);
    addRow(top, texts::kSqlEditPath, DEPath);
    addRow(top, texts::kSqlEditDialect, CBDialect);

    GBDelimiter = new QGroupBox(tr8(texts::kSqlEditDelimiterGroup));
    GBDelimiter->setObjectName(QStringLiteral("GBDelimiter"));
    auto* delimiter = new QFormLayout(GBDelimiter);
    addRow(delimiter, texts::kSqlEditDelimiter, EDelimeter);
    addRow(delimiter, texts::kSqlEditCommand, ECommand);
    GBComment = new QGroupBox(tr8(texts::kSqlEditCommentGroup));
    GBComment->setObjectName(QStringLiteral("GBComment"));
    auto* comment = new QFormLayout(GBComment);
    addRow(comment, texts::kSqlEditCommentBegin, ECommentBegin);
    addRow(comment, texts::kSqlEditCommentEnd, ECommentEnd);
    auto* groups = new QHBoxLayout;
    groups->addWidget(GBDelimiter);
    groups->addWidget(GBComment);

    rBBOK = bitBtn("rBBOK", tr8(texts::kSave), "BBOK");
    rBBOK->setDefault(true);
    rBBOK->setEnabled(false);
    rBBCancel = bitBtn("rBBCancel", tr8(texts::kSqlEditCancel), "BBCANCEL");
    rBBHelp = bitBtn("rBBHelp", tr8(texts::kHelp), "BBHELP");
    auto* buttons = buttonRow({rBBOK, rBBCancel, rBBHelp});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(groups);
    layout->addWidget(CBDefault);
    layout->addLayout(buttons);
    // A fixed dialog, as wide as its fields need.
    setMinimumWidth(480);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QLineEdit* edit : {EName, EDelimeter, ECommentBegin, EDBCode})
        connect(edit, &QLineEdit::textChanged, this, &TFormSQLEdit::ENameChange);
    connect(rBBOK, &QPushButton::clicked, this, &TFormSQLEdit::rBBOKClick);
    connect(rBBCancel, &QPushButton::clicked, this, &QDialog::reject);
    installFormHelp(this, helpctx::kSqlEdit, rBBHelp);
}

void TFormSQLEdit::setKind(const ScriptKind& kind) {
    EName->setText(fromAnsiText(kind.name));
    CBDefault->setChecked(kind.useDefault);
    EDelimeter->setText(fromAnsiText(kind.delimiter));
    ECommand->setText(fromAnsiText(kind.command));
    EIgnore->setText(fromAnsiText(kind.ignoreCommand));
    EUserName->setText(fromAnsiText(kind.userName));
    DEPath->setText(fromAnsiText(kind.defaultPath));
    ECommentBegin->setText(fromAnsiText(kind.commentBegin));
    ECommentEnd->setText(fromAnsiText(kind.commentEnd));
    EDBCode->setText(fromAnsiText(kind.dbCode));
    // A dialect written by hand that the list does not offer is kept as it is.
    const QString dialect = fromAnsiText(kind.dialect);
    if (CBDialect->findText(dialect) < 0)
        CBDialect->addItem(dialect);
    CBDialect->setCurrentText(dialect);
}

ScriptKind TFormSQLEdit::kind() const {
    ScriptKind kind;
    kind.name = toAnsiText(EName->text());
    kind.useDefault = CBDefault->isChecked();
    kind.delimiter = toAnsiText(EDelimeter->text());
    kind.command = toAnsiText(ECommand->text());
    kind.ignoreCommand = toAnsiText(EIgnore->text());
    kind.userName = toAnsiText(EUserName->text());
    kind.defaultPath = toAnsiText(DEPath->text());
    kind.commentBegin = toAnsiText(ECommentBegin->text());
    kind.commentEnd = toAnsiText(ECommentEnd->text());
    kind.dbCode = toAnsiText(EDBCode->text());
    kind.dialect = toAnsiText(CBDialect->currentText());
    return kind;
}

void TFormSQLEdit::ENameChange() {
    rBBOK->setEnabled(ScriptKinds::canSave(toAnsiText(EName->text()),
                                           toAnsiText(EDelimeter->text()),
                                           toAnsiText(ECommentBegin->text())));
}

void TFormSQLEdit::rBBOKClick() {
    ScriptKinds(SqlToolsIni()).save(kind());
    accept();
}

std::optional<QString> runKindEditor(QWidget* parent, const QString& name) {
    auto* editor = new TFormSQLEdit(parent);
    if (!name.isEmpty()) {
        if (const std::optional<ScriptKind> kind =
                ScriptKinds(SqlToolsIni()).find(toAnsiText(name)))
            editor->setKind(*kind);
    }
    std::optional<QString> saved;
    // The editor is freed after use; its name is read while it still exists.
    QObject::connect(editor, &QDialog::accepted, editor, [&] { saved = editor->EName->text(); });
    ShowModalAndFree(editor);
    return saved;
}

} // namespace vt::desktop
