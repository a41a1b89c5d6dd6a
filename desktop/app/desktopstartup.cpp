// The real start-up steps of vtdesk: settings, error classes, resources, splash and main window.
#include "desktop/app/desktopstartup.h"

#include "desktop/app/apptexts.h"
#include "desktop/errors/errorclasstable.h"
#include "desktop/errors/errordescriptions.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/resourcemodule.h"
#include "desktop/shell/windows/logo.h"

#include <QDeadlineTimer>
#include <QIcon>
#include <QThread>

namespace vt::desktop {

void waitPainting(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(deadline.remainingTime(), 20)));
    }
}

DesktopStartup::DesktopStartup(QApplication& app, TScriptWindows windows, QString resourceLibrary)
    : m_app(app), m_windows(std::move(windows)),
      m_resourceLibrary(resourceLibrary.isEmpty() ? QString::fromUtf8(texts::kResourceLibrary)
                                                  : std::move(resourceLibrary)),
      m_sleeper(waitPainting) {}

DesktopStartup::~DesktopStartup() = default;

void DesktopStartup::initModule() {
    initAppSettings();
    RegisterErrorClass(QStringLiteral("EVTUtilsError"), describeVTUtilsError);
}

void DesktopStartup::initApplication() {
    QApplication::setApplicationDisplayName(QString::fromUtf8(texts::kApplicationTitle));
    QApplication::setApplicationName(QStringLiteral("vtdesk"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vtdesk/BITMAP/VTDESK")));
}

void DesktopStartup::loadResources() {
    m_resources = LoadResourceLibrary(m_resourceLibrary, programModule(),
                                      QString::fromUtf8(texts::kResourceLibraryMinVersion));
}

void DesktopStartup::showSplash() {
    ShowSplash(0);
}

void DesktopStartup::sleep(int milliseconds) {
    m_sleeper(milliseconds);
}

void DesktopStartup::createMainWindow() {
    m_mainForm = std::make_unique<TMainForm>(m_windows);
    m_mainForm->show();
}

void DesktopStartup::closeSplash() {
    CloseSplash(true);
}

int DesktopStartup::runEventLoop() {
    const int code = m_app.exec();
    m_mainForm.reset();
    return code;
}

void DesktopStartup::releaseResources() {
    CloseSplash(false);
    m_mainForm.reset();
    m_resources.reset();
}

void DesktopStartup::showFatalError(const std::exception& e) {
    ShowAppMessage(QString::fromUtf8(e.what()), mb::kOk | mb::kIconError);
}

} // namespace vt::desktop
