// The start-up order of the desktop program, apart from the windows it opens.
#pragma once

#include <exception>

namespace vt::desktop {

// The steps of a start-up; the program supplies the real ones, tests record them.
class StartupSteps {
public:
    virtual ~StartupSteps() = default;
    // Settings state and error-class registrations.
    virtual void initModule() = 0;
    // The application's title.
    virtual void initApplication() = 0;
    // Loads the product resource library (a missing or too old one is reported and start-up
    // goes on).
    virtual void loadResources() = 0;
    virtual void showSplash() = 0;
    // Waits the given time with the splash on screen.
    virtual void sleep(int milliseconds) = 0;
    virtual void createMainWindow() = 0;
    virtual void closeSplash() = 0;
    // Runs the event loop until the main window closes; returns the exit code.
    virtual int runEventLoop() = 0;
    // Releases the product resource library.
    virtual void releaseResources() = 0;
    // Reports an error that ended the start-up, where no error handler exists yet.
    virtual void showFatalError(const std::exception& e) = 0;
};

// How long the splash stays on screen before the main window is created.
inline constexpr int kSplashMilliseconds = 2000;

// Runs the start-up in its order: module, application, resources, splash, the wait, main window,
// closing the splash, the event loop; the resources are released afterwards, also when a step
// from the splash on threw. An exception of those steps is shown with showFatalError and gives
// exit code 1.
int runStartup(StartupSteps& steps);

} // namespace vt::desktop
