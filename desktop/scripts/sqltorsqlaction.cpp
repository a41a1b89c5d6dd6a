// SqlToRsqlAction: what the Execute button of the SQL to rSQL window does, apart from the window.
#include "desktop/scripts/sqltorsqlaction.h"

#include "desktop/scripts/fieldtext.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/textlines.h"
#include "desktop/shell/appmessage.h"

namespace vt::desktop {

SqlToRsqlAction::SqlToRsqlAction(ScriptKind kind, SqlToRsqlFields fields)
    : m_kind(std::move(kind)), m_fields(std::move(fields)) {}

bool SqlToRsqlAction::confirm() const {
    // Writing over the script being read would replace the user's SQL with its conversion.
    if (sameFile(m_fields.sqlFile, m_fields.rsqlFile)) {
        ShowAppMessage(QString::fromUtf8(texts::kOutputIsInput), mb::kOk | mb::kIconError);
        return false;
    }
    if (fileStandsAt(m_fields.rsqlFile) &&
        ShowAppMessage(QString::fromUtf8(texts::kOverwriteQuestion),
                       mb::kYesNo | mb::kIconQuestion) != mb::idYes)
        return false;
    if (m_fields.password != m_fields.confirmation) {
        ShowAppMessage(QString::fromUtf8(texts::kPasswordNotConfirmed), mb::kOk | mb::kIconError);
        return false;
    }
    return true;
}

ConversionJob::Work SqlToRsqlAction::work() const {
    RsqlHeaderValues header;
    header.code = toAnsiText(m_fields.code);
    header.oldVersion = toAnsiText(m_fields.oldVersion);
    header.newVersion = toAnsiText(m_fields.newVersion);
    header.user = toAnsiText(m_fields.user);
    const std::string comments = toAnsiText(m_fields.comments);
    for (std::string_view line : splitLines(comments))
        header.comments.emplace_back(line);
    header.crypt = m_fields.crypt;
    if (m_fields.crypt)
        header.password = toAnsiText(m_fields.password);
    return [settings = SplitSettings::fromKind(m_kind), sqlFile = filePath(m_fields.sqlFile),
            rsqlFile = filePath(m_fields.rsqlFile),
            header = std::move(header)](const ProgressCallback& progress) {
        SqlToRsqlConverter converter(settings);
        converter.setProgress(progress);
        return converter.convert(sqlFile, rsqlFile, header);
    };
}

void SqlToRsqlAction::finish(std::size_t commands, const ScriptViewer& view) const {
    if (commands == 0)
        ShowAppMessage(QString::fromUtf8(texts::kNoCommandsAdded), mb::kOk | mb::kIconInformation);
    view(m_fields.rsqlFile, 0, true);
}

} // namespace vt::desktop
