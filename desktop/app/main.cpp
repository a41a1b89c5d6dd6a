// vtdesk: the desktop program of Vantrel Utilities.
#include "desktop/app/desktopstartup.h"
#include "desktop/app/scriptwindows.h"
#include "desktop/errors/windows/errorhandlingapplication.h"
#include "desktop/scripts/windows/trpassworddlg.h"

int main(int argc, char** argv) {
    using namespace vt::desktop;
    // Exceptions leaving event handlers reach the main window's error handler.
    ErrorHandlingApplication app(argc, argv);
    TrPasswordDlg::install();
    DesktopStartup startup(app, scriptWindows());
    return runStartup(startup);
}
