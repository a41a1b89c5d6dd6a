// Test support for the desktop libraries: a Qt application object and a private settings folder.
#include "desktop/shell/testenv.h"

#include <QApplication>
#include <QDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vt::desktop::testing {
namespace {

// Deletes the application at the end of the test run, before the process's static objects
// (Qt's own among them) are destroyed.
class QtAppEnvironment : public ::testing::Environment {
public:
    explicit QtAppEnvironment(QApplication* app) : m_app(app) {}
    void TearDown() override { delete m_app; }

private:
    QApplication* m_app;
};

} // namespace

void ensureQtApp() {
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        static QTemporaryDir runtimeDir;
        QFile::setPermissions(runtimeDir.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    }
    static int argc = 1;
    static char name[] = "vtdesk-test";
    static char* argv[] = {name, nullptr};
    auto* app = new QApplication(argc, argv);
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment(app));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel Utilities"));
}

ScopedConfigDir::ScopedConfigDir() {
    m_hadPrevious = qEnvironmentVariableIsSet("VT_CONFIG_DIR");
    m_previous = qgetenv("VT_CONFIG_DIR");
    qputenv("VT_CONFIG_DIR", QFile::encodeName(m_dir.path()));
}

ScopedConfigDir::~ScopedConfigDir() {
    if (m_hadPrevious)
        qputenv("VT_CONFIG_DIR", m_previous);
    else
        qunsetenv("VT_CONFIG_DIR");
}

QString programBin() {
    const QString bin = qEnvironmentVariable("VT_PROGRAM_BIN");
    return bin.isEmpty() ? QDir::currentPath() : bin;
}

} // namespace vt::desktop::testing
