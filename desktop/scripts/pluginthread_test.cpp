// Tests of the worker thread of the windows' plug-in calls.
#include "desktop/scripts/pluginthread.h"

#include "platform/exception.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

class PluginThreadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "pluginthread_test";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
    }
    PluginThread m_thread;
};

TEST_F(PluginThreadTest, JobsRunOnTheWorkerWhileTheWindowThreadKeepsServingEvents) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    bool onWorker = false;
    m_thread.run([&] {
        onWorker = m_thread.isWorkerThread();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    EXPECT_TRUE(onWorker);
    EXPECT_GE(ticks, 5);
}

TEST_F(PluginThreadTest, AJobAsksTheWindowThreadWhichHandsNestedJobsBackToTheWorker) {
    std::vector<std::string> order;
    m_thread.run([&] {
        order.push_back("job");
        m_thread.post([&] { order.push_back("posted"); });
        m_thread.onWindowThread([&] {
            EXPECT_FALSE(m_thread.isWorkerThread());
            order.push_back("window");
            m_thread.run([&] {
                EXPECT_TRUE(m_thread.isWorkerThread());
                order.push_back("nested");
            });
        });
        order.push_back("after");
    });
    EXPECT_EQ(order, (std::vector<std::string>{"job", "posted", "window", "nested", "after"}));
}

TEST_F(PluginThreadTest, ExceptionsReachTheCaller) {
    EXPECT_THROW(m_thread.run([] { throw EAbort(std::string()); }), EAbort);
    try {
        m_thread.run([&] { m_thread.onWindowThread([] { throw Exception("from the window"); }); });
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "from the window");
    }
    bool ran = false;
    m_thread.run([&] { ran = true; });
    EXPECT_TRUE(ran);
}

} // namespace
} // namespace vt::desktop
