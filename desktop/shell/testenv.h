// Test support for the desktop libraries: a Qt application object and a private settings folder.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace vt::desktop::testing {

// Creates the process's QApplication on the offscreen platform when none exists yet.
void ensureQtApp();

// A fresh settings folder in VT_CONFIG_DIR for the lifetime of the object.
class ScopedConfigDir final {
public:
    ScopedConfigDir();
    ~ScopedConfigDir();
    ScopedConfigDir(const ScopedConfigDir&) = delete;
    ScopedConfigDir& operator=(const ScopedConfigDir&) = delete;

    // The folder's path.
    QString path() const { return m_dir.path(); }
    // path() + "/" + name.
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious = false;
};

// The program folder of the build (VT_PROGRAM_BIN), where vtres.so lies.
QString programBin();

} // namespace vt::desktop::testing
