// vtdesk: the desktop program of Vantrel Utilities.
#include "desktop/app/desktopstartup.h"
#include "desktop/errors/windows/errorhandlingapplication.h"

int main(int argc, char** argv) {
    // Exceptions leaving event handlers reach the main window's error handler.
    vt::desktop::ErrorHandlingApplication app(argc, argv);
    vt::desktop::DesktopStartup startup(app);
    return vt::desktop::runStartup(startup);
}
