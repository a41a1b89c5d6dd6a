// TFormConvert2: writes the commands of an rSQL script back as a plain SQL script.
#include "desktop/scripts/windows/formconvert2.h"

#include "desktop/controls/trspeedbutton.h"
#include "desktop/scripts/fieldtext.h"
#include "desktop/scripts/rsqltosqlaction.h"
#include "desktop/scripts/rsqltosqlconverter.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/windows/trfileedit.h"
#include "desktop/shell/help.h"
#include "desktop/shell/textutils.h"
#include "desktop/shell/windows/formsupport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace vt::desktop {

TFormConvert2::TFormConvert2(QWidget* parent) : TFormScriptAction(parent, helpctx::kConvert2) {
    setObjectName(QStringLiteral("TFormConvert2"));
    setWindowTitle(tr8(texts::kConvert2Caption));
    FEIni2 = fileBox("FEIni2", false, texts::kScriptFilter, "ini");
    SBSQLView = f4Button("SBSQLView", FEIni2);
    SBSQLView->setEnabled(false);
    FESQLFile = fileBox("FESQLFile", true, texts::kSqlFilter, "sql");
    ETerm = new QLineEdit(tr8(texts::kConvert2InitialTerminator));
    ETerm->setObjectName(QStringLiteral("ETerm"));
    EPassKey = new QLineEdit;
    EPassKey->setObjectName(QStringLiteral("EPassKey"));
    EPassKey->setEchoMode(QLineEdit::Password);

    auto* grid = new QGridLayout(GroupBox1);
    addLabel(grid, texts::kScriptFileLabel, FEIni2, 0, 0);
    grid->addWidget(FEIni2, 0, 1, 1, 3);
    grid->addWidget(SBSQLView, 0, 4);
    addLabel(grid, texts::kScriptKindLabel, CBScript, 1, 0);
    grid->addWidget(CBScript, 1, 1, 1, 3);
    grid->addWidget(SBEdit, 1, 4);
    addLabel(grid, texts::kSqlFileLabel, FESQLFile, 2, 0);
    grid->addWidget(FESQLFile, 2, 1, 1, 3);
    addLabel(grid, texts::kConvert2Terminator, ETerm, 3, 0);
    grid->addWidget(ETerm, 3, 1);
    addLabel(grid, texts::kLoginPassword, EPassKey, 3, 2);
    grid->addWidget(EPassKey, 3, 3);
    grid->addWidget(PBConvert, 4, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 2);
    resize(540, 200);

    connect(FEIni2, &QLineEdit::textChanged, this, [this] { FEIni2Change(true); });
    connect(FESQLFile, &QLineEdit::textChanged, this, [this] { FEIni2Change(false); });
    connect(SBSQLView, &QToolButton::clicked, this, &TFormConvert2::SBSQLViewClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormConvert2::Button2Click);

    orderFields({FEIni2, SBSQLView, CBScript, SBEdit, FESQLFile, ETerm, EPassKey});
    fillKinds();
}

void TFormConvert2::useKind(const ScriptKind& kind) {
    const QString folder = fromAnsiText(kind.defaultPath);
    FEIni2->setInitialDir(folder);
    FESQLFile->setInitialDir(folder);
    ETerm->setText(fromAnsiText(kind.delimiter));
}

void TFormConvert2::FEIni2Change(bool fromRsql) {
    if (fromRsql && IsNotBlank(FEIni2->text()))
        FESQLFile->setText(changeFileExt(FEIni2->text(), QStringLiteral(".sql")));
    updateExecute();
}

void TFormConvert2::updateExecute() {
    BitBtn1->setEnabled(!converting() &&
                        canConvertToSql(FEIni2->text().toStdString(),
                                        FESQLFile->text().toStdString(), m_kind.has_value()));
    SBSQLView->setEnabled(IsNotBlank(FEIni2->text()));
}

void TFormConvert2::SBSQLViewClick() {
    FEIni2->setText(m_viewer(FEIni2->text(), 0, true));
}

void TFormConvert2::Button2Click() {
    if (!m_kind || converting())
        return;
    RsqlToSqlFields fields;
    fields.rsqlFile = FEIni2->text().trimmed();
    fields.sqlFile = FESQLFile->text().trimmed();
    fields.terminator = ETerm->text();
    fields.password = EPassKey->text();
    auto action = std::make_shared<RsqlToSqlAction>(*m_kind, std::move(fields));
    if (!action->confirm())
        return;
    runConversion(action->work(),
                  [this, action](std::size_t written) { action->finish(written, m_viewer); });
}

} // namespace vt::desktop
