// TFormBatch: the data transfer window. It moves the rows of a table or query of one database
// into a table of another, both logged in through TrDBConnect; the work is BatchTransfer's.
#pragma once

#include "desktop/scripts/batchtransfer.h"
#include "desktop/shell/windows/formaction.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace vt::dbengine {
class Session;
}

namespace vt::desktop {

class TrBackground;
class TrDBConnect;

class TFormBatch final : public TFormAction {
    Q_OBJECT
public:
    // The window on the session's aliases (the process's default session when none is given).
    explicit TFormBatch(QWidget* parent = nullptr, dbengine::Session* session = nullptr);
    ~TFormBatch() override;

    // Source.
    QGroupBox* GroupBoxSource;
    QComboBox* ComboBox1;
    QTabWidget* PageControl1;
    QWidget* TabTable;
    QWidget* TabQuery;
    QComboBox* ComboBox3;
    QPlainTextEdit* Memo1;
    // Destination.
    QGroupBox* GroupBoxDestination;
    QComboBox* ComboBox2;
    QComboBox* ComboBox4;
    QComboBox* ComboBox5;
    // Columns.
    QGroupBox* GroupBoxColumns;
    QPlainTextEdit* Memo2;
    QPushButton* Button2;
    QPushButton* Button1;
    // The progress of a move.
    QProgressBar* ProgressBar1;
    QLabel* LabelProgress;

    TrDBConnect* rDBConnect1;
    TrBackground* rBackground1;

    // The window's logic (databases, lists, the move).
    BatchTransfer& transfer() { return m_transfer; }

    void ComboBox1Click();
    void ComboBox2Click();
    void ComboBox3Change();
    void PageControl1Change();
    void Button1Click();
    void Button2Click();
    void BitBtn1Click();
    // Cancel: stops a move under way; otherwise closes both databases and the window.
    void BitBtn2Click();

protected:
    // Cancel, Escape and the close box all come here.
    void reject() override;

private:
    // Logs a side in with the chosen alias and shows the outcome in its boxes.
    void login(BatchTransfer::Side side, QComboBox* aliasBox);
    void passChoices();
    void updateButtons();
    void moveProgress(qint64 done, qint64 total);
    void moveFinished(const BatchTransferOutcome& outcome);

    BatchTransfer m_transfer;
};

} // namespace vt::desktop
