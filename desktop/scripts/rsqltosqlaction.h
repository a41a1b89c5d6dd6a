// RsqlToSqlAction: what the Execute button of the rSQL to SQL window does, apart from the window.
#pragma once

#include <QString>

#include "desktop/scripts/conversionjob.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/sqltorsqlaction.h"

namespace vt::desktop {

// The fields of the window as the user filled them in.
struct RsqlToSqlFields {
    QString rsqlFile;
    QString sqlFile;
    QString terminator;
    QString password;
};

// One conversion of an rSQL script back into SQL: the question before writing (on the window
// thread), the conversion itself (for a worker thread, through the same converter vtconvert
// uses) and what follows it (on the window thread again). Messages go through ShowAppMessage.
class RsqlToSqlAction final {
public:
    RsqlToSqlAction(ScriptKind kind, RsqlToSqlFields fields);

    // Refuses an SQL file that is the rSQL file itself and asks before replacing an existing SQL
    // file; false when the conversion stops here.
    bool confirm() const;

    // The conversion; its result is 1 when the SQL file was written and 0 when the password does
    // not unlock the script (nothing written then). A missing rSQL file throws EVTUtilsError.
    ConversionJob::Work work() const;

    // Reports a wrong password, or shows the SQL file in the viewer.
    void finish(std::size_t written, const ScriptViewer& view) const;

private:
    ScriptKind m_kind;
    RsqlToSqlFields m_fields;
};

} // namespace vt::desktop
