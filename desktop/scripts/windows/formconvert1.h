// TFormConvert1: converts a plain SQL script into an rSQL script, optionally scrambled.
#pragma once

#include "desktop/scripts/windows/formscriptaction.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

namespace vt::desktop {

class TFormConvert1 final : public TFormScriptAction {
    Q_OBJECT
public:
    // Lists the kinds of SqlToolsIni and chooses the default kind.
    explicit TFormConvert1(QWidget* parent = nullptr);

    // Handlers, as the window's layout names them.
    void FEScriptChange();
    void FEIniChange();
    void CBCryptClick();
    void SBEditClick() override;
    void SBLookSQLClick();
    // Execute: asks and checks on this thread, converts on a worker thread, then reports and
    // shows the rSQL file.
    void rBitBtn1Click();

    TrFileEdit* FEScript;
    TrSpeedButton* SBLookSQL;
    TrFileEdit* FEIni;
    QGroupBox* GBVersions;
    QLineEdit* Edit1;
    QLineEdit* Edit3;
    QCheckBox* CBCrypt;
    QGroupBox* GBPass;
    QLineEdit* EPassKey;
    QLineEdit* EPassKey1;
    QLineEdit* EDBUser;
    QLineEdit* EDBCode;
    QPlainTextEdit* Memo1;

protected:
    // Starting folder of both file boxes, user and database code.
    void useKind(const ScriptKind& kind) override;
    void updateExecute() override;
};

} // namespace vt::desktop
