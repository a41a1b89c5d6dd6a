// RsqlToSqlAction: what the Execute button of the rSQL to SQL window does, apart from the window.
#include "desktop/scripts/rsqltosqlaction.h"

#include "desktop/scripts/fieldtext.h"
#include "desktop/scripts/rsqltosqlconverter.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/shell/appmessage.h"

namespace vt::desktop {

RsqlToSqlAction::RsqlToSqlAction(ScriptKind kind, RsqlToSqlFields fields)
    : m_kind(std::move(kind)), m_fields(std::move(fields)) {}

bool RsqlToSqlAction::confirm() const {
    // Writing over the script being read would replace it with its conversion.
    if (sameFile(m_fields.rsqlFile, m_fields.sqlFile)) {
        ShowAppMessage(QString::fromUtf8(texts::kOutputIsInput), mb::kOk | mb::kIconError);
        return false;
    }
    return !fileStandsAt(m_fields.sqlFile) ||
           ShowAppMessage(QString::fromUtf8(texts::kOverwriteQuestion),
                          mb::kYesNo | mb::kIconQuestion) == mb::idYes;
}

ConversionJob::Work RsqlToSqlAction::work() const {
    return [kind = m_kind, rsqlFile = filePath(m_fields.rsqlFile),
            sqlFile = filePath(m_fields.sqlFile), terminator = toAnsiText(m_fields.terminator),
            password = toAnsiText(m_fields.password)](const ProgressCallback& progress) {
        RsqlToSqlConverter converter(kind);
        converter.setProgress(progress);
        const RsqlToSqlConverter::Result result =
            converter.convert(rsqlFile, sqlFile, terminator, password);
        return std::size_t{result == RsqlToSqlConverter::Result::Done ? 1u : 0u};
    };
}

void RsqlToSqlAction::finish(std::size_t written, const ScriptViewer& view) const {
    if (written == 0) {
        ShowAppMessage(QString::fromUtf8(texts::kWrongPassword), mb::kOk | mb::kIconError);
        return;
    }
    view(m_fields.sqlFile, 0, false);
}

} // namespace vt::desktop
