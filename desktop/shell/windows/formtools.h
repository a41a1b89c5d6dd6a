// TFormTools: the list of external tools with adding, editing, removing and reordering.
#pragma once

#include "desktop/controls/trbitbtn.h"
#include "desktop/shell/toolseditor.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace vt::desktop {

// Shows the tool editor for a tool (nothing: an empty editor); gives the tool when it closed
// with OK.
using ToolEditRunner = std::function<std::optional<TToolParams>(const std::optional<TToolParams>&)>;

class TFormTools final : public QDialog {
    Q_OBJECT
public:
    // Reads the tools of ToolsIni; the main window's entries are reached through host. Throws
    // EResNotFound when the close button's glyph (from the resource library) is missing.
    explicit TFormTools(ToolMenuHost& host, QWidget* parent = nullptr);

    // Replaces the modal tool editor (tests answer it).
    void setToolEditRunner(ToolEditRunner runner) { m_editRunner = std::move(runner); }

    // Closing rewrites tools.ini in list order; a failed write keeps the window open.
    void done(int result) override;

    // Handlers of the buttons, as the window's layout names them.
    void rBBAddClick(QPushButton* sender);
    void rBBRemoveClick();
    void UpBtnClick();
    void DownBtnClick();
    void FormActivate();

    QLabel* Label1;
    QListWidget* ListTools;
    TrBitBtn* rBBAdd;
    TrBitBtn* rBBRemove;
    TrBitBtn* rBBDelete;
    TrBitBtn* UpBtn;
    TrBitBtn* DownBtn;
    TrBitBtn* BBClose;
    TrBitBtn* BBHelp;

protected:
    void changeEvent(QEvent* event) override;

private:
    void select(int index);

    ToolsEditor m_editor;
    ToolEditRunner m_editRunner;
};

} // namespace vt::desktop
