// TMainForm: the main window of vtdesk with its menus, tool bar and status line, the Tools menu
// built from tools.ini, and the routing of every command to the window that serves it.
#include "desktop/app/mainform.h"

#include "desktop/app/apptexts.h"
#include "desktop/controls/trbackground.h"
#include "desktop/controls/trseparator.h"
#include "desktop/controls/trspeedbutton.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/help.h"
#include "desktop/shell/launcher.h"
#include "desktop/shell/resources.h"
#include "desktop/shell/toolseditor.h"
#include "desktop/shell/windows/aboutbox.h"
#include "desktop/shell/windows/formmemo.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/formtools.h"
#include "platform/paths.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace vt::desktop {
namespace {

constexpr int kButtonWidth = 45;
constexpr int kButtonHeight = 40;

} // namespace

TMainForm::TMainForm(TScriptWindows windows, QWidget* parent)
    : QMainWindow(parent), m_windows(std::move(windows)) {
    setObjectName(QStringLiteral("TMainForm"));
    Launcher = new TLauncher(this);
    ErrorHandler1.setIniFile(QStringLiteral("toolserr.ini"));
    ErrorHandler1.setIniLocation(flDefault);
    ErrorHandler1.setLogFile(QStringLiteral("toolserr.log"));
    ErrorHandler1.setLogLocation(flDefault);
    ErrorHandler1.setSaveLog(false);
    ErrorHandler1.setUserName(TErrorHandler::GetLogUserName());
    ErrorHandlingApplication::installErrorHandler(&ErrorHandler1);
    PMTools = new QMenu(this);
    PMTools->setObjectName(QStringLiteral("PMTools"));
    buildMenus();
    buildToolBar();
    // The status line shows the long part of the hint under the mouse (the actions' status tips).
    statusBar()->setSizeGripEnabled(false);
    setWindowTitle(QApplication::applicationDisplayName());
    buildToolsMenu();
    installFormHelp(this, helpctx::kMainWindow);
    setCentralWidget(new QWidget);
    centralWidget()->setFixedHeight(0);
    // A strip: as wide as the user likes, as tall as menu, tool bar and status line.
    resize(512, sizeHint().height());
    setFixedHeight(sizeHint().height());
    // The stored placement wins over the designed one.
    rBackground1 = new TrBackground(this);
    rBackground1->setAutoSave(true);
    rBackground1->setRedrawBkg(false);
    rBackground1->setRegKey(RegRoot() + AppSubKey() + QStringLiteral("\\Background"));
}

TMainForm::~TMainForm() {
    if (ErrorHandlingApplication::errorHandler() == &ErrorHandler1)
        ErrorHandlingApplication::installErrorHandler(nullptr);
}

QAction* TMainForm::command(QMenu* menu, const char* name, const char* caption,
                            void (TMainForm::*handler)()) {
    auto* action = new QAction(tr8(caption), menu);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
    menu->addAction(action);
    return action;
}

void TMainForm::buildMenus() {
    NDataBase = menuBar()->addMenu(tr8(texts::kMenuDataBase));
    NDataBase->setObjectName(QStringLiteral("NDataBase"));
    if (m_windows.execSQL) {
        NExecrSQL = command(NDataBase, "NExecrSQL", texts::kExecrSQL, &TMainForm::SIExecSQLClick);
        NDataBase->addSeparator();
    }
    if (m_windows.batch) {
        NBatch = command(NDataBase, "NBatch", texts::kBatch, &TMainForm::SBImportClick);
        NDataBase->addSeparator();
    }
    NExit = command(NDataBase, "NExit", texts::kExit, &TMainForm::SBExitClick);

    NService = new QMenu(tr8(texts::kMenuService), this);
    NService->setObjectName(QStringLiteral("NService"));
    if (m_windows.convert1)
        NINIConvert =
            command(NService, "NINIConvert", texts::kINIConvert, &TMainForm::SBINIConvertClick);
    if (m_windows.convert2)
        NSQLConvert =
            command(NService, "NSQLConvert", texts::kSQLConvert, &TMainForm::rSpeedButton1Click);
    if (m_windows.sqlTools) {
        if (!NService->isEmpty())
            NService->addSeparator();
        NScriptSetup =
            command(NService, "NScriptSetup", texts::kScriptSetup, &TMainForm::SBSQLParamsClick);
    }
    // A menu none of whose windows is built in is left out.
    if (!NService->isEmpty())
        menuBar()->addMenu(NService);

    NTools = menuBar()->addMenu(tr8(texts::kMenuTools));
    NTools->setObjectName(QStringLiteral("NTools"));
    NToolDelim = NTools->addSeparator();
    NToolDelim->setObjectName(QStringLiteral("NToolDelim"));
    NToolEdit = command(NTools, "NToolEdit", texts::kToolEdit, &TMainForm::TBToolsClick);

    NHelp = menuBar()->addMenu(tr8(texts::kMenuHelp));
    NHelp->setObjectName(QStringLiteral("NHelp"));
    NContents = command(NHelp, "NContents", texts::kContents, &TMainForm::NContentsClick);
    N4 = command(NHelp, "N4", texts::kIndex, &TMainForm::N4Click);
    NWhatsNew = command(NHelp, "NWhatsNew", texts::kWhatsNew, &TMainForm::NWhatsNewClick);
    NHelp->addSeparator();
    NAbout = command(NHelp, "NAbout", texts::kAbout, &TMainForm::NAboutClick);
}

void TMainForm::addButton(QAction* action, const char* buttonName, const char* picture,
                          const char* hint) {
    const QStringList parts = tr8(hint).split(u'|');
    auto* button = new TrSpeedButton;
    button->setObjectName(QString::fromLatin1(buttonName));
    button->setGlyphResource(QString::fromLatin1(picture));
    button->setIconSize(QSize(32, 32));
    button->setToolTip(parts.value(0));
    button->setStatusTip(parts.value(1, parts.value(0)));
    button->setFixedSize(kButtonWidth, kButtonHeight);
    // The button and its menu entry share the handler.
    connect(button, &QToolButton::clicked, action, &QAction::trigger);
    ToolBar1->addWidget(button);
}

void TMainForm::buildToolBar() {
    ToolBar1 = addToolBar(QString());
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setFixedHeight(50);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setStyleSheet(
        QStringLiteral("QToolBar { border: none; background-image: url(:/vtdesk/BITMAP/"
                       "TB_BACKGROUND); spacing: 1px; }"));
    // A separator goes between groups only when both sides hold a button.
    bool groupOpen = false;
    const auto separate = [&] {
        if (groupOpen)
            ToolBar1->addWidget(new TrSeparator);
        groupOpen = false;
    };
    if (NExecrSQL) {
        addButton(NExecrSQL, "SIExecSQL", "TB_EXECSQL", texts::kHintExecSQL);
        groupOpen = true;
    }
    if (NBatch) {
        addButton(NBatch, "SBImport", "TB_IMPORT", texts::kHintImport);
        groupOpen = true;
    }
    separate();
    if (NINIConvert) {
        addButton(NINIConvert, "SBINIConvert", "TB_INICONVERT", texts::kHintINIConvert);
        groupOpen = true;
    }
    if (NSQLConvert) {
        addButton(NSQLConvert, "rSpeedButton1", "TB_SQLCONVERT", texts::kHintSQLConvert);
        groupOpen = true;
    }
    if (NScriptSetup) {
        addButton(NScriptSetup, "SBSQLParams", "TB_SQLPARAMS", texts::kHintSQLParams);
        groupOpen = true;
    }
    separate();
    TBTools = new QToolButton;
    TBTools->setObjectName(QStringLiteral("TBTools"));
    TBTools->setIcon(glyphIcon(QStringLiteral("TB_TOOLS")));
    TBTools->setIconSize(QSize(32, 32));
    const QStringList toolsHint = tr8(texts::kHintTools).split(u'|');
    TBTools->setToolTip(toolsHint.value(0));
    TBTools->setStatusTip(toolsHint.value(1));
    TBTools->setPopupMode(QToolButton::MenuButtonPopup);
    TBTools->setMenu(PMTools);
    TBTools->setAutoRaise(true);
    TBTools->setFixedSize(kButtonHeight + 14, kButtonHeight);
    connect(TBTools, &QToolButton::clicked, this, &TMainForm::TBToolsClick);
    ToolBar1->addWidget(TBTools);
    ToolBar1->addWidget(new TrSeparator);
    addButton(NExit, "SBExit", "TB_EXIT", texts::kHintExit);
}

void TMainForm::buildToolsMenu() {
    const QStringList names = toolNames(ToolsIni());
    NToolDelim->setVisible(!names.isEmpty());
    for (int i = 0; i < names.size(); ++i)
        AddToolMenuEntry(names[i], i);
}

QString TMainForm::AddToolMenuEntry(const QString& name, int number) {
    const QString id = QStringLiteral("NItem%1").arg(number);
    auto* item = new QAction(toolCaption(name), NTools);
    item->setObjectName(id);
    connect(item, &QAction::triggered, this, [this, item] { ToolsMenuItemClick(item); });
    NTools->insertAction(NToolDelim, item);
    auto* popup = new QAction(toolCaption(name), PMTools);
    popup->setObjectName(id + QStringLiteral("_Popup"));
    connect(popup, &QAction::triggered, this, [this, popup] { ToolsMenuItemClick(popup); });
    PMTools->addAction(popup);
    return id;
}

bool TMainForm::isIdentifierUsed(const QString& identifier) const {
    return findChild<QObject*>(identifier) != nullptr;
}

QStringList TMainForm::toolEntryIdentifiers() const {
    QStringList ids;
    for (QAction* action : NTools->actions()) {
        if (action == NToolDelim)
            break;
        ids << action->objectName();
    }
    return ids;
}

QAction* TMainForm::findEntry(const QMenu* menu, const QString& identifier) const {
    for (QAction* action : menu->actions())
        if (action->objectName() == identifier)
            return action;
    return nullptr;
}

void TMainForm::removeToolEntry(const QString& identifier) {
    delete findEntry(PMTools, identifier + QStringLiteral("_Popup"));
    delete findEntry(NTools, identifier);
}

void TMainForm::moveToolEntry(const QString& identifier, int index) {
    const auto move = [index](QMenu* menu, QAction* entry, QAction* end) {
        if (!entry)
            return;
        menu->removeAction(entry);
        const QList<QAction*> actions = menu->actions();
        menu->insertAction(index < actions.size() ? actions[index] : end, entry);
    };
    move(NTools, findEntry(NTools, identifier), NToolDelim);
    move(PMTools, findEntry(PMTools, identifier + QStringLiteral("_Popup")), nullptr);
}

void TMainForm::setToolDelimVisible(bool visible) {
    NToolDelim->setVisible(visible);
}

void TMainForm::ToolsMenuItemClick(QAction* entry) {
    const TToolParams tool = readTool(ToolsIni(), toolNameFromCaption(entry->text()));
    Launcher->ProgramName = tool.ProgramName;
    Launcher->WorkDir = tool.WorkDir;
    Launcher->Parameters = tool.Params;
    Launcher->Launch();
}

QString TMainForm::ViewScriptFile(const QString& fileName, int commandNumber, bool isRsql) {
    return desktop::ViewScriptFile(fileName, commandNumber, isRsql, this);
}

void TMainForm::openSingleInstance(QPointer<QWidget>& reference,
                                   const std::function<QWidget*(TMainForm*)>& create) {
    if (reference) {
        reference->showNormal();
        reference->raise();
        reference->activateWindow();
        reference->setFocus();
        return;
    }
    QWidget* window = create(this);
    // The window frees itself when closed; the reference then clears itself.
    window->setAttribute(Qt::WA_DeleteOnClose);
    reference = window;
    window->show();
}

void TMainForm::SIExecSQLClick() {
    openSingleInstance(m_formExecSQL, m_windows.execSQL);
}

void TMainForm::SBImportClick() {
    openSingleInstance(m_formBatch, m_windows.batch);
}

void TMainForm::SBExitClick() {
    close();
}

void TMainForm::SBINIConvertClick() {
    openSingleInstance(m_formConvert1, m_windows.convert1);
}

void TMainForm::rSpeedButton1Click() {
    openSingleInstance(m_formConvert2, m_windows.convert2);
}

void TMainForm::SBSQLParamsClick() {
    ShowModalAndFree(m_windows.sqlTools(this));
}

void TMainForm::TBToolsClick() {
    ShowModalAndFree(new TFormTools(*this, this));
}

void TMainForm::NContentsClick() {
    ShowHelp(help::kFinder, 0);
}

void TMainForm::N4Click() {
    ShowHelp(help::kKeywordLookup, 0);
}

void TMainForm::NWhatsNewClick() {
    TLauncher launcher;
    launcher.LaunchMethod = lmShellExecute;
    launcher.ProgramName = tr8(texts::kChangesFile);
    launcher.WorkDir = QFile::decodeName(platform::programFolder().c_str());
    launcher.Launch();
}

void TMainForm::NAboutClick() {
    ShowModalAndFree(new TAboutBox(this));
}

} // namespace vt::desktop
