// The logic of the script viewer TFormMemo: loading, the command marker, saving and closing.
#pragma once

#include "desktop/shell/shellerrors.h"

#include <QString>
#include <functional>
#include <optional>

namespace vt::desktop {

// Where the viewer selects a command heading; length 0 means nothing is selected.
struct MarkerSelection {
    int start = 0;
    int length = 0;
};

// The heading of a command, "[Command" + number + "]", or empty for number 0.
QString commandMarker(int number);
// The first exact occurrence of the command's heading in the text, or nothing.
MarkerSelection findCommandMarker(const QString& text, int number);

// Reads a script file as text: bytes in the ANSI code page, lines ending at CR, LF or CR LF
// (joined by "\n" in the result). Throws EInOutError when it cannot be read.
QString readScriptText(const QString& fileName);
// Writes the text's lines, each ended by CR LF, in the ANSI code page, replacing the file in one
// step (a failed write leaves the old file intact). Throws EInOutError on failure.
void writeScriptText(const QString& fileName, const QString& text);

// Asks for the name to save under, starting at the current name, with a filter of the form
// "Description (*.ext)|*.ext|..."; nothing when the user cancels.
using SaveFileChooser =
    std::function<std::optional<QString>(const QString& currentName, const QString& filter)>;

class ScriptViewerModel final {
public:
    ScriptViewerModel(QString fileName, bool isRsql);

    // The file shown; replaced by the name chosen when saving.
    const QString& fileName() const { return m_fileName; }
    bool isRsql() const { return m_isRsql; }
    // The save dialog's filter for the script kind.
    QString saveFilter() const;

    // What the OK button does with the editor's text. Returns true when the viewer may close
    // with OK (nothing to save, or saved), false when the save was abandoned (dialog cancelled,
    // overwriting refused). Throws EInOutError when the file cannot be written.
    bool save(const QString& text, bool modified, const SaveFileChooser& chooser);

    enum class CloseAnswer { Stay, Save, Discard };
    // What closing with Cancel does: asks whether to save when the text was modified.
    static CloseAnswer closeQuery(bool modified);

private:
    QString m_fileName;
    bool m_isRsql;
};

} // namespace vt::desktop
