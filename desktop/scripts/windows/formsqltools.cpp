// TFormSQLTools: the list of script kinds with adding, editing and removing.
#include "desktop/scripts/windows/formsqltools.h"

#include "desktop/scripts/fieldtext.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/help.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/windowtexts.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace vt::desktop {

TFormSQLTools::TFormSQLTools(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormSQLTools"));
    setWindowTitle(tr8(texts::kSqlToolsCaption));
    // The close button's glyph comes from the resource library; without it the window cannot be
    // made, before anything else is built.
    BBClose = bitBtn("BBClose", tr8(texts::kClose), "EXIT_BTN");
    Label1 = new QLabel(tr8(texts::kSqlToolsLabel));
    ListTools = new QListWidget;
    ListTools->setObjectName(QStringLiteral("ListTools"));
    Label1->setBuddy(ListTools);
    rBBAdd = bitBtn("rBBAdd", tr8(texts::kSqlToolsAdd), "RDBN_INSERT");
    rBBRemove = bitBtn("rBBRemove", tr8(texts::kSqlToolsRemove), "RDBN_DELETE");
    rBBDelete = bitBtn("rBBDelete", tr8(texts::kSqlToolsEdit), "RDBN_EDIT");
    rBBDelete->setProperty("tag", 1);
    BBHelp = bitBtn("BBHelp", tr8(texts::kHelp), "BBHELP");

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(ListTools, 1, 0, 6, 1);
    grid->addWidget(rBBAdd, 1, 1);
    grid->addWidget(rBBDelete, 2, 1);
    grid->addWidget(rBBRemove, 3, 1);
    grid->setRowStretch(4, 1);
    grid->addWidget(BBClose, 5, 1);
    grid->addWidget(BBHelp, 6, 1);
    setFixedSize(380, 260);

    for (const std::string& name : ScriptKinds(SqlToolsIni()).names())
        ListTools->addItem(fromAnsiText(name));
    m_editRunner = [this](const QString& name) { return runKindEditor(this, name); };
    connect(rBBAdd, &QPushButton::clicked, this, [this] { rBBAddClick(rBBAdd); });
    connect(rBBDelete, &QPushButton::clicked, this, [this] { rBBAddClick(rBBDelete); });
    connect(rBBRemove, &QPushButton::clicked, this, &TFormSQLTools::rBBRemoveClick);
    connect(BBClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListTools, &QListWidget::itemDoubleClicked, this, [this] { rBBAddClick(rBBDelete); });
    installFormHelp(this, helpctx::kSqlTools, BBHelp);
}

void TFormSQLTools::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFormSQLTools::FormActivate() {
    if (ListTools->count() > 0)
        ListTools->setCurrentRow(0);
    ListTools->setFocus();
}

void TFormSQLTools::rBBAddClick(QPushButton* sender) {
    SqlToolsIni().flush();
    QString name;
    if (sender->property("tag").toInt() == 1 && ListTools->currentItem())
        name = ListTools->currentItem()->text();
    struct FocusList {
        QListWidget* list;
        ~FocusList() { list->setFocus(); }
    } focusAfterwards{ListTools};
    const std::optional<QString> saved = m_editRunner(name);
    if (!saved)
        return;
    // The file matches names without regard to case, and so does the list.
    if (ListTools->findItems(*saved, Qt::MatchFixedString).isEmpty())
        ListTools->addItem(*saved);
}

void TFormSQLTools::rBBRemoveClick() {
    if (ShowAppMessage(QString::fromUtf8(texts::kRemoveKindQuestion),
                       mb::kYesNo | mb::kIconQuestion) == mb::idYes &&
        ListTools->currentItem()) {
        ScriptKinds(SqlToolsIni()).remove(toAnsiText(ListTools->currentItem()->text()));
        delete ListTools->takeItem(ListTools->currentRow());
    }
    FormActivate();
}

} // namespace vt::desktop
