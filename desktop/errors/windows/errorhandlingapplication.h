// ErrorHandlingApplication: the desktop program's application object. Qt does not let an
// exception cross its event loop, so every exception that leaves an event handler (a slot, a
// timer, a paint) is caught here and handed to the installed TErrorHandler; the program goes on.
#pragma once

#include <QApplication>
#include <exception>

namespace vt::desktop {

class TErrorHandler;

class ErrorHandlingApplication : public QApplication {
    Q_OBJECT

public:
    ErrorHandlingApplication(int& argc, char** argv);

    // Makes the handler the application's exception event, with the error dialog and the context
    // of the active window; null uninstalls it. The handler must outlive its installation.
    static void installErrorHandler(TErrorHandler* handler);
    static TErrorHandler* errorHandler();

    bool notify(QObject* receiver, QEvent* event) override;
};

// Hands an exception caught by a window (or passed on from a worker thread) to the installed
// handler, as if it had left an event handler. The silent abort EAbort is not reported.
void reportException(const std::exception& e);

// The log context of the active window: "Форма: name, caption", and on a second line
// "Элемент: name" of its focused control; empty without an active window.
QString activeWindowContext();

} // namespace vt::desktop
