// vtdesk: the desktop program of Vantrel Utilities.
#include "desktop/app/desktopstartup.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/windows/formexecsql.h"
#include "desktop/scripts/windows/trpassworddlg.h"

int main(int argc, char** argv) {
    // Exceptions leaving event handlers reach the main window's error handler.
    vt::desktop::ErrorHandlingApplication app(argc, argv);
    vt::desktop::TrPasswordDlg::install();
    vt::desktop::TScriptWindows windows;
    windows.execSQL = [](vt::desktop::TMainForm* owner) -> QWidget* {
        return new vt::desktop::TFormExecSQL(owner);
    };
    vt::desktop::DesktopStartup startup(app, std::move(windows));
    return vt::desktop::runStartup(startup);
}
