// TrFileEdit: a file or folder name box with a browse button inside it.
#pragma once

#include <QLineEdit>
#include <functional>

namespace vt::desktop {

class TrFileEdit;

// Asks for a file or folder name for the box (its mode, filter, default extension and starting
// folder); gives the chosen name, or an empty text when the user cancels. Tests answer it.
using FileDialogRunner = std::function<QString(TrFileEdit& box)>;

class TrFileEdit final : public QLineEdit {
    Q_OBJECT
public:
    // What the browse button asks for: a file to read, a file to write, or a folder.
    enum class Mode { Open, Save, Folder };

    explicit TrFileEdit(Mode mode, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    // The filter in the form "Description (*.ext)|*.ext|...".
    const QString& filter() const { return m_filter; }
    void setFilter(const QString& filter) { m_filter = filter; }
    // The extension (without the point) a chosen name without one gets.
    const QString& defaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& ext) { m_defaultExt = ext; }
    // Where browsing starts while the box holds no name.
    const QString& initialDir() const { return m_initialDir; }
    void setInitialDir(const QString& dir) { m_initialDir = dir; }
    // The folder browsing starts in: that of the name in the box, else the initial folder.
    QString startFolder() const;

    void setFileDialogRunner(FileDialogRunner runner) { m_runner = std::move(runner); }

    // Asks for a name and puts it into the box unless the user cancels.
    void browse();

private:
    Mode m_mode;
    QString m_filter;
    QString m_defaultExt;
    QString m_initialDir;
    FileDialogRunner m_runner;
};

// The file dialog of the platform for the box.
QString runFileDialog(TrFileEdit& box);

} // namespace vt::desktop
