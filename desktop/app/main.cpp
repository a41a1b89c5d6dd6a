// vtdesk: the desktop program of Vantrel Utilities.
#include "desktop/app/desktopstartup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vt::desktop::DesktopStartup startup(app);
    return vt::desktop::runStartup(startup);
}
