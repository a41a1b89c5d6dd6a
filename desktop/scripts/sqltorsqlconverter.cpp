// Converting a plain SQL script into an rSQL script.
#include "desktop/scripts/sqltorsqlconverter.h"

#include <utility>

#include "desktop/scripts/sqltext.h"
#include "desktop/scripts/textlines.h"
#include "script/rsqlwriter.h"

namespace vt::desktop {

SqlToRsqlConverter::SqlToRsqlConverter(SplitSettings settings) : m_settings(std::move(settings)) {}

void SqlToRsqlConverter::setProgress(ProgressCallback progress) {
    m_progress = std::move(progress);
}

std::vector<std::vector<std::string>> SqlToRsqlConverter::split(std::string_view sqlText) const {
    const std::vector<std::string_view> lines = splitLines(sqlText);
    SqlSplitter splitter(m_settings);
    const std::size_t total = lines.size();
    if (m_progress)
        m_progress(0, total);
    for (std::size_t i = 0; i < total; ++i) {
        splitter.addLine(lines[i]);
        if (m_progress)
            m_progress(i + 1, total);
    }
    if (m_progress)
        m_progress(0, total);
    return splitter.takeCommands();
}

std::size_t SqlToRsqlConverter::convert(const std::string& sqlPath, const std::string& rsqlPath,
                                        const RsqlHeaderValues& header) const {
    const std::string sql = readFileBytes(sqlPath);
    script::RsqlContent content;
    content.commands = split(sql);
    content.code = std::string(trimText(header.code));
    content.oldVersion = std::string(trimText(header.oldVersion));
    content.newVersion = std::string(trimText(header.newVersion));
    content.user = header.user;
    content.comments = header.comments;
    content.crypt = header.crypt;
    if (header.crypt)
        content.password = header.password;
    script::writeRsqlScript(rsqlPath, content);
    return content.commands.size();
}

bool canConvertToRsql(std::string_view sqlFile, std::string_view rsqlFile, bool kindChosen,
                      std::string_view oldVersion, std::string_view code) {
    return isNotBlank(sqlFile) && isNotBlank(rsqlFile) && kindChosen &&
           (isBlank(oldVersion) || isNotBlank(code));
}

} // namespace vt::desktop
