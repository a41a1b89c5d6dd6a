// The start-up order of the desktop program, apart from the windows it opens.
#include "desktop/shell/startup.h"

namespace vt::desktop {

int runStartup(StartupSteps& steps) {
    steps.initModule();
    steps.initApplication();
    steps.loadResources();
    int code = 1;
    try {
        steps.showSplash();
        steps.sleep(kSplashMilliseconds);
        steps.createMainWindow();
        steps.closeSplash();
        code = steps.runEventLoop();
    } catch (const std::exception& e) {
        steps.releaseResources();
        steps.showFatalError(e);
        return 1;
    }
    steps.releaseResources();
    return code;
}

} // namespace vt::desktop
