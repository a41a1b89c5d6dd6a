// Tests of the start-up order.
#include "desktop/shell/startup.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace vt::desktop {
namespace {

// Records the steps; the step named in failAt throws.
class RecordingSteps final : public StartupSteps {
public:
    explicit RecordingSteps(std::string failAt = {}) : m_failAt(std::move(failAt)) {}
    std::vector<std::string> log;

    void initModule() override { step("module"); }
    void initApplication() override { step("application"); }
    void loadResources() override { step("resources"); }
    void showSplash() override { step("splash"); }
    void sleep(int ms) override { step("sleep " + std::to_string(ms)); }
    void createMainWindow() override { step("main window"); }
    void closeSplash() override { step("close splash"); }
    int runEventLoop() override {
        step("event loop");
        return 7;
    }
    void releaseResources() override { step("release"); }
    void showFatalError(const std::exception& e) override {
        log.push_back(std::string("fatal: ") + e.what());
    }

private:
    void step(const std::string& name) {
        log.push_back(name);
        if (name == m_failAt)
            throw std::runtime_error("failed in " + name);
    }
    std::string m_failAt;
};

TEST(StartupTest, RunsEveryStepInOrderAndKeepsTheSplashUpFor2000Ms) {
    RecordingSteps steps;
    EXPECT_EQ(runStartup(steps), 7);
    EXPECT_EQ(steps.log, (std::vector<std::string>{"module", "application", "resources", "splash",
                                                   "sleep 2000", "main window", "close splash",
                                                   "event loop", "release"}));
}

TEST(StartupTest, ASplashWithoutItsPictureEndsTheStartWithoutAMainWindow) {
    RecordingSteps steps("splash");
    EXPECT_EQ(runStartup(steps), 1);
    EXPECT_EQ(steps.log, (std::vector<std::string>{"module", "application", "resources", "splash",
                                                   "release", "fatal: failed in splash"}));
}

TEST(StartupTest, AFailingEventLoopStillReleasesTheResources) {
    RecordingSteps steps("event loop");
    EXPECT_EQ(runStartup(steps), 1);
    EXPECT_EQ(steps.log.back(), "fatal: failed in event loop");
    EXPECT_EQ(steps.log[steps.log.size() - 2], "release");
}

} // namespace
} // namespace vt::desktop
