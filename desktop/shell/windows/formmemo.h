// TFormMemo: the script viewer, and ViewScriptFile, the service the script windows open it with.
#pragma once

#include "desktop/controls/trbitbtn.h"
#include "desktop/shell/scriptviewer.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vt::desktop {
class TrBackground;
}
class QWidget;

namespace vt::desktop {

class TFormMemo final : public QDialog {
    Q_OBJECT
public:
    // Loads the file (throws EInOutError when it cannot be read) and finds the command heading.
    TFormMemo(const QString& fileName, int commandNumber, bool isRsql, QWidget* parent = nullptr);

    // Replaces the save dialog (tests answer it).
    void setSaveFileChooser(SaveFileChooser chooser) { m_chooser = std::move(chooser); }

    // The file shown: the given one, or the one the text was saved under.
    const QString& fileName() const { return m_model.fileName(); }
    // The stored selection of the command heading.
    const MarkerSelection& selection() const { return m_selection; }

    // Saves when modified and closes with OK; stays open when the save was abandoned.
    void BBOKClick();
    // Closing with Cancel, Escape or the window frame asks about unsaved changes.
    void reject() override;
    // Applies the stored selection (or puts the caret at the start) and focuses the editor; runs
    // each time the window becomes active.
    void FormActivate();

    QPlainTextEdit* Memo1;
    QWidget* Panel1;
    TrBitBtn* BBOK;
    TrBitBtn* BBCancel;
    TrBitBtn* rBitBtn1;
    TrBackground* rBackground1;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Memo1Change();

    ScriptViewerModel m_model;
    MarkerSelection m_selection;
    SaveFileChooser m_chooser;
};

// Shows the file in the viewer with the heading of the command selected (0: none) and returns the
// name the file lies under afterwards. Throws vt::Exception "Файл <name> не найден." when the
// file does not exist.
QString ViewScriptFile(const QString& fileName, int commandNumber, bool isRsql,
                       QWidget* parent = nullptr);

} // namespace vt::desktop
