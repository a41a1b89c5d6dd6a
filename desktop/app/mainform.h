// TMainForm: the main window of vtdesk with its menus, tool bar and status line, the Tools menu
// built from tools.ini, and the routing of every command to the window that serves it.
#pragma once

#include "desktop/errors/terrorhandler.h"
#include "desktop/shell/toolmenuhost.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;

namespace vt::desktop {

class TLauncher;
class TrBackground;
class TMainForm;

// The windows of the script workflows that the main window opens. A command whose window is not
// given is absent from the menus and the tool bar.
struct TScriptWindows {
    // Single-instance modeless windows, created with the main window as owner.
    std::function<QWidget*(TMainForm* owner)> execSQL;  // TFormExecSQL
    std::function<QWidget*(TMainForm* owner)> batch;    // TFormBatch
    std::function<QWidget*(TMainForm* owner)> convert1; // TFormConvert1
    std::function<QWidget*(TMainForm* owner)> convert2; // TFormConvert2
    // The modal script-kinds window TFormSQLTools.
    std::function<QDialog*(TMainForm* owner)> sqlTools;
};

class TMainForm final : public QMainWindow, public ToolMenuHost {
    Q_OBJECT
public:
    explicit TMainForm(TScriptWindows windows = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    // ToolMenuHost: the entries of the tools in the Tools submenu and the drop-down.
    QString AddToolMenuEntry(const QString& name, int number) override;
    bool isIdentifierUsed(const QString& identifier) const override;
    QStringList toolEntryIdentifiers() const override;
    void removeToolEntry(const QString& identifier) override;
    void moveToolEntry(const QString& identifier, int index) override;
    void setToolDelimVisible(bool visible) override;

    // Starts the tool a Tools entry stands for.
    void ToolsMenuItemClick(QAction* entry);
    // Shows a script file in the viewer; returns the name it lies under afterwards.
    QString ViewScriptFile(const QString& fileName, int commandNumber, bool isRsql);

    // Command handlers, as the window's layout names them.
    void SIExecSQLClick();
    void SBImportClick();
    void SBExitClick();
    void SBINIConvertClick();
    void rSpeedButton1Click();
    void SBSQLParamsClick();
    void TBToolsClick();
    void NContentsClick();
    void N4Click();
    void NWhatsNewClick();
    void NAboutClick();

    // The open single-instance windows, or null.
    QWidget* formExecSQL() const { return m_formExecSQL; }
    QWidget* formBatch() const { return m_formBatch; }
    QWidget* formConvert1() const { return m_formConvert1; }
    QWidget* formConvert2() const { return m_formConvert2; }

    TLauncher* Launcher;
    // The application's exception event while the main window exists.
    TErrorHandler ErrorHandler1;
    TrBackground* rBackground1;
    QMenu* NDataBase;
    QMenu* NService;
    QMenu* NTools;
    QMenu* NHelp;
    QMenu* PMTools;
    QAction* NExecrSQL = nullptr;
    QAction* NBatch = nullptr;
    QAction* NExit;
    QAction* NINIConvert = nullptr;
    QAction* NSQLConvert = nullptr;
    QAction* NScriptSetup = nullptr;
    QAction* NToolDelim;
    QAction* NToolEdit;
    QAction* NContents;
    QAction* N4;
    QAction* NWhatsNew;
    QAction* NAbout;
    QToolBar* ToolBar1;
    QToolButton* TBTools;

private:
    void buildMenus();
    void buildToolBar();
    void buildToolsMenu();
    QAction* command(QMenu* menu, const char* name, const char* caption,
                     void (TMainForm::*handler)());
    void addButton(QAction* action, const char* buttonName, const char* picture, const char* hint);
    void openSingleInstance(QPointer<QWidget>& reference,
                            const std::function<QWidget*(TMainForm*)>& create);
    QAction* findEntry(const QMenu* menu, const QString& identifier) const;

    TScriptWindows m_windows;
    QPointer<QWidget> m_formExecSQL;
    QPointer<QWidget> m_formBatch;
    QPointer<QWidget> m_formConvert1;
    QPointer<QWidget> m_formConvert2;
};

} // namespace vt::desktop
