// vtdesk: the desktop program of Vantrel Utilities.
#include "desktop/app/desktopstartup.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/windows/formbatch.h"
#include "desktop/scripts/windows/formconvert1.h"
#include "desktop/scripts/windows/formconvert2.h"
#include "desktop/scripts/windows/formexecsql.h"
#include "desktop/scripts/windows/formsqltools.h"
#include "desktop/scripts/windows/trpassworddlg.h"

int main(int argc, char** argv) {
    using namespace vt::desktop;
    // Exceptions leaving event handlers reach the main window's error handler.
    ErrorHandlingApplication app(argc, argv);
    TrPasswordDlg::install();
    TScriptWindows windows;
    windows.execSQL = [](TMainForm* owner) -> QWidget* { return new TFormExecSQL(owner); };
    windows.convert1 = [](TMainForm* owner) -> QWidget* { return new TFormConvert1(owner); };
    windows.convert2 = [](TMainForm* owner) -> QWidget* { return new TFormConvert2(owner); };
    windows.batch = [](TMainForm* owner) -> QWidget* { return new TFormBatch(owner); };
    windows.sqlTools = [](TMainForm* owner) -> QDialog* { return new TFormSQLTools(owner); };
    DesktopStartup startup(app, std::move(windows));
    return runStartup(startup);
}
