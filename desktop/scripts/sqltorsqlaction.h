// SqlToRsqlAction: what the Execute button of the SQL to rSQL window does, apart from the window.
#pragma once

#include <QString>
#include <functional>

#include "desktop/scripts/conversionjob.h"
#include "desktop/scripts/scriptkinds.h"

namespace vt::desktop {

// Shows a script file in the viewer at a command (0: none); returns the name it lies under
// afterwards. The windows pass ViewScriptFile; tests answer it.
using ScriptViewer =
    std::function<QString(const QString& fileName, int commandNumber, bool isRsql)>;

// The fields of the window as the user filled them in.
struct SqlToRsqlFields {
    QString sqlFile;
    QString rsqlFile;
    QString code;
    QString oldVersion;
    QString newVersion;
    QString user;
    QString comments; // one comment line per text line
    bool crypt = false;
    QString password;
    QString confirmation;
};

// One conversion of an SQL script into an rSQL script: the checks before writing (on the window
// thread), the conversion itself (for a worker thread, through the same converter vtconvert
// uses) and what follows it (on the window thread again). Messages go through ShowAppMessage.
class SqlToRsqlAction final {
public:
    SqlToRsqlAction(ScriptKind kind, SqlToRsqlFields fields);

    // Refuses an rSQL file that is the SQL file itself, asks before replacing an existing rSQL
    // file and refuses a password confirmed wrongly (whether or not scrambling is chosen). False
    // when the conversion stops here; nothing has been written then.
    bool confirm() const;

    // The conversion; its result is the number of commands written. It holds copies of
    // everything it needs.
    ConversionJob::Work work() const;

    // Reports a script without commands, then shows the rSQL file in the viewer.
    void finish(std::size_t commands, const ScriptViewer& view) const;

private:
    ScriptKind m_kind;
    SqlToRsqlFields m_fields;
};

} // namespace vt::desktop
