// TFormScriptAction: what the two conversion windows share on top of the action-window base:
// the script-kind list with its edit button, the progress bar of a conversion run on a worker
// thread, and the seams of the viewer and the kind editor.
#pragma once

#include "desktop/scripts/conversionjob.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/sqltorsqlaction.h"
#include "desktop/scripts/windows/formsqledit.h"
#include "desktop/shell/windows/formaction.h"

#include <QTimer>
#include <optional>

class QComboBox;
class QGridLayout;
class QLabel;
class QProgressBar;

namespace vt::desktop {

class TrBackground;
class TrFileEdit;
class TrSpeedButton;

class TFormScriptAction : public TFormAction {
    Q_OBJECT
public:
    // Replace the viewer and the kind editor (tests answer them).
    void setScriptViewer(ScriptViewer viewer) { m_viewer = std::move(viewer); }
    void setKindEditRunner(KindEditRunner runner) { m_editRunner = std::move(runner); }

    // A conversion is under way.
    bool converting() const { return m_job.busy(); }

    // Reads the chosen kind's settings, lets the window take them (useKind) and re-evaluates
    // the buttons.
    void CBScriptChange();
    // Opens the kind editor on the chosen kind, when one is chosen, after flushing the file.
    virtual void SBEditClick();

    // The kinds of SqlToolsIni, one chosen when it is the default kind.
    QComboBox* CBScript;
    // Enabled while a kind is chosen.
    TrSpeedButton* SBEdit;
    QProgressBar* PBConvert;
    TrBackground* rBackground;

protected:
    // Builds the kind list and the progress bar and gives the window a resizable frame; F1 and
    // Help open the help at the context.
    TFormScriptAction(QWidget* parent, int helpContext);
    ~TFormScriptAction() override;

    // Fills CBScript and chooses the default kind (CBScriptChange follows).
    void fillKinds();
    // A flat button with the hint "Изменить (F4)" clicked by F4 in the control.
    TrSpeedButton* f4Button(const char* name, QWidget* control);
    // A file box with the filter and default extension.
    TrFileEdit* fileBox(const char* name, bool forSaving, const char* filter, const char* ext);
    // Makes the fields, in the order given, come before the buttons when tabbing, and gives the
    // first of them the focus.
    void orderFields(const QList<QWidget*>& fields);
    // Puts a caption with its buddy into the grid.
    QLabel* addLabel(QGridLayout* grid, const char* caption, QWidget* buddy, int row, int column);

    // Runs the work on the worker thread, the progress bar following it and Execute disabled;
    // then calls finish with its result on the window thread. A failure of the work reaches the
    // error handler; a cancelled work ends quietly.
    void runConversion(ConversionJob::Work work, std::function<void(std::size_t)> finish);
    // Takes the settings of a newly chosen kind into the window's fields.
    virtual void useKind(const ScriptKind& kind) = 0;
    // Re-evaluates Execute (also while a conversion runs: it then stays disabled).
    virtual void updateExecute() = 0;

    // Closing the window cancels a conversion under way and waits for it to stop; an output file
    // not yet complete is left as it was.
    void closeEvent(QCloseEvent* event) override;

    ScriptViewer m_viewer;
    KindEditRunner m_editRunner;
    // The settings of the chosen kind, read when it is chosen.
    std::optional<ScriptKind> m_kind;

private:
    void poll();

    ConversionJob m_job;
    QTimer m_poll;
    std::function<void(std::size_t)> m_finish;
};

} // namespace vt::desktop
