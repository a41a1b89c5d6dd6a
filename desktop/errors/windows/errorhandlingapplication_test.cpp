// ErrorHandlingApplication: exceptions leaving event handlers reach the error handler, and the
// program goes on. This test program runs under the application object itself.
#include "desktop/errors/windows/errorhandlingapplication.h"

#include "desktop/errors/terrorhandler.h"
#include "platform/exception.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct Recorder {
    TErrorHandler handler;
    QStringList messages;
    Recorder() {
        ErrorHandlingApplication::installErrorHandler(&handler);
        handler.setDialogPresenter([this](TErrorHandler& h) { messages.append(h.Message()); });
    }
    ~Recorder() { ErrorHandlingApplication::installErrorHandler(nullptr); }
};

TEST(ErrorHandlingApplicationTest, ExceptionFromASlotReachesTheHandlerAndTheProgramGoesOn) {
    Recorder recorder;
    QObject receiver;
    bool ranAfter = false;
    QMetaObject::invokeMethod(
        &receiver, [] { throw vt::EConvertError("'abc' не является числом"); },
        Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &receiver, [] { throw 42; }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &receiver, [&] { ranAfter = true; }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.messages.size(), 2);
    EXPECT_TRUE(recorder.messages[0].startsWith(QStringLiteral("'abc' не является числом")));
    EXPECT_TRUE(recorder.messages[1].startsWith(QStringLiteral("Неизвестное исключение")));
    EXPECT_TRUE(ranAfter);
}

TEST(ErrorHandlingApplicationTest, ExceptionFromATimerIsHandledToo) {
    Recorder recorder;
    bool done = false;
    QTimer::singleShot(0, [] { throw vt::Exception("timer failed"); });
    QTimer::singleShot(5, [&] { done = true; });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_TRUE(recorder.messages[0].startsWith(QStringLiteral("timer failed")));
}

TEST(ErrorHandlingApplicationTest, TheSilentAbortIsNeverReported) {
    Recorder recorder;
    QObject receiver;
    QMetaObject::invokeMethod(
        &receiver, [] { throw vt::EAbort(std::string()); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    reportException(vt::EAbort(std::string()));
    reportException(vt::Exception("passed on from a window"));
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_TRUE(recorder.messages[0].startsWith(QStringLiteral("passed on from a window")));
}

TEST(ErrorHandlingApplicationTest, ContextNamesTheActiveWindowAndItsControl) {
    QWidget window;
    window.setObjectName(QStringLiteral("FormMain"));
    window.setWindowTitle(QStringLiteral("Главное окно"));
    QWidget* edit = new QWidget(&window);
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->setFocusPolicy(Qt::StrongFocus);
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    if (QApplication::activeWindow() != &window)
        GTEST_SKIP() << "the platform does not activate windows";
    EXPECT_EQ(activeWindowContext(),
              QStringLiteral("Форма: FormMain, Главное окно\r\nЭлемент: Edit1"));
}

} // namespace
} // namespace vt::desktop

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    vt::desktop::ErrorHandlingApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel Utilities"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
