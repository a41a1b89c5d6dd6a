// TFormConvert2: writes the commands of an rSQL script back as a plain SQL script.
#pragma once

#include "desktop/scripts/windows/formscriptaction.h"

class QLineEdit;

namespace vt::desktop {

class TFormConvert2 final : public TFormScriptAction {
    Q_OBJECT
public:
    // Lists the kinds of SqlToolsIni and chooses the default kind.
    explicit TFormConvert2(QWidget* parent = nullptr);

    // Handlers, as the window's layout names them.
    // A change of either file box; fromRsql when it is FEIni2's.
    void FEIni2Change(bool fromRsql);
    void SBSQLViewClick();
    // Execute: asks on this thread, converts on a worker thread, then reports a wrong password
    // or shows the SQL file.
    void Button2Click();

    TrFileEdit* FEIni2;
    TrSpeedButton* SBSQLView;
    TrFileEdit* FESQLFile;
    QLineEdit* ETerm;
    QLineEdit* EPassKey;

protected:
    // Starting folder of both file boxes and the terminator.
    void useKind(const ScriptKind& kind) override;
    void updateExecute() override;
};

} // namespace vt::desktop
