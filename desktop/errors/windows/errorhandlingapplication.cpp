// ErrorHandlingApplication: the desktop program's application object, which hands every exception
// leaving an event handler to the installed TErrorHandler.
#include "desktop/errors/windows/errorhandlingapplication.h"

#include "desktop/errors/errortexts.h"
#include "desktop/errors/passwordmask.h"
#include "desktop/errors/terrorhandler.h"
#include "desktop/errors/windows/trformerrormes.h"
#include "platform/exception.h"

#include <QPointer>
#include <QWidget>

namespace vt::desktop {
namespace {

TErrorHandler*& handlerSlot() {
    static TErrorHandler* handler = nullptr;
    return handler;
}

void handle(const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e))
        return;
    if (TErrorHandler* handler = handlerSlot())
        handler->HandleException(e);
    else
        qWarning("%s", qPrintable(maskPasswords(QString::fromUtf8(e.what()))));
}

} // namespace

ErrorHandlingApplication::ErrorHandlingApplication(int& argc, char** argv)
    : QApplication(argc, argv) {}

void ErrorHandlingApplication::installErrorHandler(TErrorHandler* handler) {
    if (handler) {
        handler->setDialogPresenter(&TrFormErrorMes::Execute);
        handler->setContextProvider(&activeWindowContext);
    }
    handlerSlot() = handler;
}

TErrorHandler* ErrorHandlingApplication::errorHandler() {
    return handlerSlot();
}

bool ErrorHandlingApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        handle(e);
    } catch (...) {
        handle(vt::Exception(texts::kUnknownException));
    }
    return false;
}

void reportException(const std::exception& e) {
    handle(e);
}

QString activeWindowContext() {
    QWidget* window = QApplication::activeWindow();
    if (!window)
        return {};
    QString context =
        QString::fromUtf8(texts::kLogFormContext).arg(window->objectName(), window->windowTitle());
    if (QWidget* control = window->focusWidget())
        context += QStringLiteral("\r\n") +
                   QString::fromUtf8(texts::kLogControlContext).arg(control->objectName());
    return context;
}

} // namespace vt::desktop
