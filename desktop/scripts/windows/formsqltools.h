// TFormSQLTools: the list of script kinds with adding, editing and removing.
#pragma once

#include "desktop/controls/trbitbtn.h"
#include "desktop/scripts/windows/formsqledit.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace vt::desktop {

class TFormSQLTools final : public QDialog {
    Q_OBJECT
public:
    // Lists the kinds of SqlToolsIni. Throws EResNotFound when the close button's glyph (from
    // the resource library) is missing.
    explicit TFormSQLTools(QWidget* parent = nullptr);

    // Replaces the modal kind editor (tests answer it).
    void setKindEditRunner(KindEditRunner runner) { m_editRunner = std::move(runner); }

    // Handlers of the buttons, as the window's layout names them: add (an empty editor) and
    // edit (the button with tag 1: the selected kind) share one.
    void rBBAddClick(QPushButton* sender);
    void rBBRemoveClick();
    void FormActivate();

    QLabel* Label1;
    QListWidget* ListTools;
    TrBitBtn* rBBAdd;
    TrBitBtn* rBBRemove;
    TrBitBtn* rBBDelete;
    TrBitBtn* BBClose;
    TrBitBtn* BBHelp;

protected:
    void changeEvent(QEvent* event) override;

private:
    KindEditRunner m_editRunner;
};

} // namespace vt::desktop
