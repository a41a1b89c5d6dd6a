// TFormConvert1: converts a plain SQL script into an rSQL script, optionally scrambled.
#include "desktop/scripts/windows/formconvert1.h"

#include "desktop/controls/trbackground.h"
#include "desktop/controls/trspeedbutton.h"
#include "desktop/scripts/fieldtext.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/sqltorsqlaction.h"
#include "desktop/scripts/sqltorsqlconverter.h"
#include "desktop/scripts/windows/trfileedit.h"
#include "desktop/shell/help.h"
#include "desktop/shell/textutils.h"
#include "desktop/shell/windows/formsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace vt::desktop {
namespace {

QLineEdit* lineEdit(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

TFormConvert1::TFormConvert1(QWidget* parent) : TFormScriptAction(parent, helpctx::kConvert1) {
    setObjectName(QStringLiteral("TFormConvert1"));
    setWindowTitle(tr8(texts::kConvert1Caption));
    rBackground->setObjectName(QStringLiteral("rBackground1"));
    FEScript = fileBox("FEScript", false, texts::kSqlFilter, "Sql");
    SBLookSQL = f4Button("SBLookSQL", FEScript);
    SBLookSQL->setEnabled(false);
    FEIni = fileBox("FEIni", true, texts::kScriptFilter, "rSQL");
    Edit1 = lineEdit("Edit1");
    Edit3 = lineEdit("Edit3");
    CBCrypt = new QCheckBox(tr8(texts::kConvert1Crypt));
    CBCrypt->setObjectName(QStringLiteral("CBCrypt"));
    EPassKey = lineEdit("EPassKey");
    EPassKey->setEchoMode(QLineEdit::Password);
    EPassKey1 = lineEdit("EPassKey1");
    EPassKey1->setEchoMode(QLineEdit::Password);
    EDBUser = lineEdit("EDBUser");
    EDBCode = lineEdit("EDBCode");
    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);

    auto* grid = new QGridLayout(GroupBox1);
    addLabel(grid, texts::kSqlFileLabel, FEScript, 0, 0);
    grid->addWidget(FEScript, 0, 1, 1, 3);
    grid->addWidget(SBLookSQL, 0, 4);
    addLabel(grid, texts::kScriptKindLabel, CBScript, 1, 0);
    grid->addWidget(CBScript, 1, 1, 1, 3);
    grid->addWidget(SBEdit, 1, 4);
    addLabel(grid, texts::kScriptFileLabel, FEIni, 2, 0);
    grid->addWidget(FEIni, 2, 1, 1, 3);

    GBVersions = new QGroupBox(tr8(texts::kConvert1Versions));
    GBVersions->setObjectName(QStringLiteral("GBVersions"));
    auto* versions = new QGridLayout(GBVersions);
    addLabel(versions, texts::kConvert1OldVersion, Edit1, 0, 0);
    versions->addWidget(Edit1, 0, 1);
    addLabel(versions, texts::kConvert1NewVersion, Edit3, 1, 0);
    versions->addWidget(Edit3, 1, 1);
    versions->setRowStretch(2, 1);

    GBPass = new QGroupBox;
    GBPass->setObjectName(QStringLiteral("GBPass"));
    auto* pass = new QGridLayout(GBPass);
    pass->addWidget(CBCrypt, 0, 0, 1, 2);
    addLabel(pass, texts::kLoginPassword, EPassKey, 1, 0);
    pass->addWidget(EPassKey, 1, 1);
    addLabel(pass, texts::kConvert1Confirmation, EPassKey1, 2, 0);
    pass->addWidget(EPassKey1, 2, 1);
    pass->setRowStretch(3, 1);

    grid->addWidget(GBVersions, 3, 0, 1, 2);
    grid->addWidget(GBPass, 3, 2, 1, 3);
    addLabel(grid, texts::kConvert1Code, EDBCode, 4, 0);
    grid->addWidget(EDBCode, 4, 1);
    addLabel(grid, texts::kConvert1User, EDBUser, 4, 2);
    grid->addWidget(EDBUser, 4, 3);
    addLabel(grid, texts::kConvert1Comments, Memo1, 5, 0);
    grid->addWidget(Memo1, 6, 0, 1, 5);
    grid->addWidget(PBConvert, 7, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);
    Memo1->setMinimumHeight(60);
    resize(560, 470);

    connect(FEScript, &QLineEdit::textChanged, this, &TFormConvert1::FEScriptChange);
    for (QLineEdit* edit : {static_cast<QLineEdit*>(FEIni), Edit1, Edit3, EDBCode})
        connect(edit, &QLineEdit::textChanged, this, &TFormConvert1::FEIniChange);
    connect(CBCrypt, &QCheckBox::toggled, this, &TFormConvert1::CBCryptClick);
    connect(SBLookSQL, &QToolButton::clicked, this, &TFormConvert1::SBLookSQLClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormConvert1::rBitBtn1Click);

    orderFields({FEScript, SBLookSQL, CBScript, SBEdit, FEIni, Edit1, Edit3, CBCrypt, EPassKey,
                 EPassKey1, EDBCode, EDBUser, Memo1});
    CBCryptClick();
    fillKinds();
}

void TFormConvert1::useKind(const ScriptKind& kind) {
    const QString folder = fromAnsiText(kind.defaultPath);
    FEScript->setInitialDir(folder);
    FEIni->setInitialDir(folder);
    EDBUser->setText(fromAnsiText(kind.userName));
    EDBCode->setText(fromAnsiText(kind.dbCode));
}

void TFormConvert1::FEScriptChange() {
    updateExecute();
    if (IsNotBlank(FEScript->text()))
        FEIni->setText(changeFileExt(FEScript->text(), QStringLiteral(".rsql")));
}

void TFormConvert1::FEIniChange() {
    updateExecute();
}

void TFormConvert1::updateExecute() {
    BitBtn1->setEnabled(!converting() &&
                        canConvertToRsql(FEScript->text().toStdString(),
                                         FEIni->text().toStdString(), m_kind.has_value(),
                                         Edit1->text().toStdString(),
                                         EDBCode->text().toStdString()));
    SBLookSQL->setEnabled(IsNotBlank(FEScript->text()));
}

void TFormConvert1::CBCryptClick() {
    const bool on = CBCrypt->isChecked();
    for (QWidget* control : GBPass->findChildren<QWidget*>()) {
        if (control != CBCrypt)
            control->setEnabled(on);
    }
    for (QLineEdit* box : {EPassKey, EPassKey1}) {
        QPalette colours = box->palette();
        colours.setColor(QPalette::Base, palette().color(on ? QPalette::Base : QPalette::Button));
        box->setPalette(colours);
    }
}

void TFormConvert1::SBEditClick() {
    TFormScriptAction::SBEditClick();
    // Whatever the editor's result, the kind is read again.
    CBScriptChange();
}

void TFormConvert1::SBLookSQLClick() {
    FEScript->setText(m_viewer(FEScript->text(), 0, false));
}

void TFormConvert1::rBitBtn1Click() {
    if (!m_kind || converting())
        return;
    SqlToRsqlFields fields;
    fields.sqlFile = FEScript->text().trimmed();
    fields.rsqlFile = FEIni->text().trimmed();
    fields.code = EDBCode->text();
    fields.oldVersion = Edit1->text();
    fields.newVersion = Edit3->text();
    fields.user = EDBUser->text();
    fields.comments = Memo1->toPlainText();
    fields.crypt = CBCrypt->isChecked();
    fields.password = EPassKey->text();
    fields.confirmation = EPassKey1->text();
    auto action = std::make_shared<SqlToRsqlAction>(*m_kind, std::move(fields));
    if (!action->confirm())
        return;
    runConversion(action->work(),
                  [this, action](std::size_t commands) { action->finish(commands, m_viewer); });
}

} // namespace vt::desktop
