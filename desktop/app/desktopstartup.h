// The real start-up steps of vtdesk: settings, error classes, resources, splash and main window.
#pragma once

#include "desktop/app/mainform.h"
#include "desktop/shell/resourcelibrary.h"
#include "desktop/shell/startup.h"

#include <QApplication>
#include <functional>
#include <memory>

namespace vt::desktop {

class DesktopStartup final : public StartupSteps {
public:
    // The clock of the splash wait; tests replace it.
    using Sleeper = std::function<void(int milliseconds)>;

    // The resource library is looked for by its bare file name (beside the program first) unless
    // another file is given.
    explicit DesktopStartup(QApplication& app, TScriptWindows windows = {},
                            QString resourceLibrary = {});
    ~DesktopStartup() override;

    void setSleeper(Sleeper sleeper) { m_sleeper = std::move(sleeper); }
    // The main window once created, else null.
    TMainForm* mainForm() const { return m_mainForm.get(); }

    void initModule() override;
    void initApplication() override;
    void loadResources() override;
    void showSplash() override;
    void sleep(int milliseconds) override;
    void createMainWindow() override;
    void closeSplash() override;
    int runEventLoop() override;
    void releaseResources() override;
    void showFatalError(const std::exception& e) override;

private:
    QApplication& m_app;
    TScriptWindows m_windows;
    QString m_resourceLibrary;
    Sleeper m_sleeper;
    std::unique_ptr<ResourceLibrary> m_resources;
    std::unique_ptr<TMainForm> m_mainForm;
};

// Waits the time while the splash keeps being painted (input waits until the main window).
void waitPainting(int milliseconds);

} // namespace vt::desktop
