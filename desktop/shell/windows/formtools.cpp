// TFormTools: the list of external tools with adding, editing, removing and reordering.
#include "desktop/shell/windows/formtools.h"

#include "desktop/controls/trbitbtn.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/help.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/formtooledit.h"
#include "desktop/shell/windows/windowtexts.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt::desktop {
namespace {

std::optional<TToolParams> runToolEditor(QWidget* parent, const std::optional<TToolParams>& tool) {
    auto* editor = new TFormToolEdit(parent);
    if (tool)
        editor->setTool(*tool);
    std::optional<TToolParams> result;
    // The editor is freed after use; its fields are read while it still exists.
    QObject::connect(editor, &QDialog::accepted, editor, [&] { result = editor->tool(); });
    ShowModalAndFree(editor);
    return result;
}

} // namespace

TFormTools::TFormTools(ToolMenuHost& host, QWidget* parent)
    : QDialog(parent), m_editor(ToolsIni(), host) {
    setObjectName(QStringLiteral("TFormTools"));
    setWindowTitle(tr8(texts::kToolsCaption));
    // The close button's glyph comes from the resource library; without it the window cannot be
    // made, before anything else is built.
    BBClose = bitBtn("BBClose", tr8(texts::kClose), "EXIT_BTN");
    Label1 = new QLabel(tr8(texts::kToolsLabel));
    ListTools = new QListWidget;
    ListTools->setObjectName(QStringLiteral("ListTools"));
    Label1->setBuddy(ListTools);
    rBBAdd = bitBtn("rBBAdd", tr8(texts::kToolsAdd), "RDBN_INSERT");
    rBBRemove = bitBtn("rBBRemove", tr8(texts::kToolsRemove), "RDBN_DELETE");
    rBBDelete = bitBtn("rBBDelete", tr8(texts::kToolsEdit), "RDBN_EDIT");
    rBBDelete->setProperty("tag", 1);
    UpBtn = bitBtn("UpBtn", QString(), "UP_BTN");
    DownBtn = bitBtn("DownBtn", QString(), "DOWN_BTN");
    BBHelp = bitBtn("BBHelp", tr8(texts::kHelp), "BBHELP");

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(UpBtn);
    arrows->addWidget(DownBtn);
    arrows->addStretch();
    grid->addWidget(ListTools, 1, 0, 6, 1);
    grid->addLayout(arrows, 1, 1, 6, 1);
    grid->addWidget(rBBAdd, 1, 2);
    grid->addWidget(rBBDelete, 2, 2);
    grid->addWidget(rBBRemove, 3, 2);
    grid->setRowStretch(4, 1);
    grid->addWidget(BBClose, 5, 2);
    grid->addWidget(BBHelp, 6, 2);
    resize(400, 260);

    ListTools->addItems(m_editor.names());
    m_editRunner = [this](const std::optional<TToolParams>& tool) {
        return runToolEditor(this, tool);
    };
    connect(rBBAdd, &QPushButton::clicked, this, [this] { rBBAddClick(rBBAdd); });
    connect(rBBDelete, &QPushButton::clicked, this, [this] { rBBAddClick(rBBDelete); });
    connect(rBBRemove, &QPushButton::clicked, this, &TFormTools::rBBRemoveClick);
    connect(UpBtn, &QPushButton::clicked, this, &TFormTools::UpBtnClick);
    connect(DownBtn, &QPushButton::clicked, this, &TFormTools::DownBtnClick);
    connect(BBClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListTools, &QListWidget::itemDoubleClicked, this, [this] { rBBAddClick(rBBDelete); });
    installFormHelp(this, helpctx::kTools, BBHelp);
}

void TFormTools::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFormTools::FormActivate() {
    select(0);
    ListTools->setFocus();
    const bool selected = ListTools->currentRow() >= 0;
    UpBtn->setEnabled(selected);
    DownBtn->setEnabled(selected);
}

void TFormTools::select(int index) {
    if (index >= 0 && index < ListTools->count())
        ListTools->setCurrentRow(index);
}

void TFormTools::rBBAddClick(QPushButton* sender) {
    const int row = ListTools->currentRow();
    std::optional<TToolParams> initial;
    if (sender->property("tag").toInt() == 1 && row >= 0)
        initial = m_editor.tool(row);
    struct FocusList {
        QListWidget* list;
        ~FocusList() { list->setFocus(); }
    } focusAfterwards{ListTools};
    const std::optional<TToolParams> edited = m_editRunner(initial);
    if (!edited)
        return;
    const int index = m_editor.save(*edited);
    if (index >= ListTools->count())
        ListTools->addItem(edited->name);
}

void TFormTools::rBBRemoveClick() {
    const int row = ListTools->currentRow();
    if (ShowAppMessage(tr8(texts::kToolsRemoveQuestion), mb::kYesNo | mb::kIconQuestion) ==
            mb::idYes &&
        row >= 0) {
        m_editor.remove(row);
        delete ListTools->takeItem(row);
    }
    ListTools->setFocus();
    select(0);
}

void TFormTools::UpBtnClick() {
    const int row = ListTools->currentRow();
    if (row < 1) {
        UpBtn->setEnabled(false);
    } else {
        const int to = m_editor.moveUp(row);
        ListTools->insertItem(to, ListTools->takeItem(row));
        ListTools->setCurrentRow(to);
    }
    DownBtn->setEnabled(ListTools->currentRow() < ListTools->count() - 1);
    ListTools->setFocus();
}

void TFormTools::DownBtnClick() {
    const int row = ListTools->currentRow();
    if (row >= 0 && row < ListTools->count() - 1) {
        const int to = m_editor.moveDown(row);
        ListTools->insertItem(to, ListTools->takeItem(row));
        ListTools->setCurrentRow(to);
    } else {
        DownBtn->setEnabled(false);
    }
    UpBtn->setEnabled(ListTools->currentRow() > 0);
    ListTools->setFocus();
}

void TFormTools::done(int result) {
    m_editor.rewrite();
    QDialog::done(result);
}

} // namespace vt::desktop
