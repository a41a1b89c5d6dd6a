// Writing the commands of an rSQL script back as a plain SQL script.
#include "desktop/scripts/rsqltosqlconverter.h"

#include <cerrno>
#include <sys/stat.h>
#include <utility>

#include "desktop/errors/evtutilserror.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/sqltext.h"
#include "script/atomicfile.h"
#include "script/rsqlscript.h"
#include "script/scramble.h"

namespace vt::desktop {

namespace {

constexpr std::string_view kSpecialPrefix = "$$$";
constexpr std::string_view kReconnectWord = "RECONNECT";

bool isReconnectLine(std::string_view line) {
    return line.starts_with(kSpecialPrefix) && line.substr(kSpecialPrefix.size()) == kReconnectWord;
}

} // namespace

RsqlToSqlConverter::RsqlToSqlConverter(const ScriptKind& kind)
    : m_statement(kind.command), m_delimiter(kind.delimiter), m_commentBegin(kind.commentBegin),
      m_commentEnd(kind.commentEnd) {}

void RsqlToSqlConverter::setProgress(ProgressCallback progress) {
    m_progress = std::move(progress);
}

bool RsqlToSqlConverter::passwordMatches(const script::RsqlScript& script,
                                         std::string_view password) {
    if (!script.header().crypt)
        return true;
    return script::unscrambleHeader(script.header().key) == password;
}

std::string RsqlToSqlConverter::sqlText(const script::RsqlScript& script,
                                        std::string_view terminator, std::size_t sizeHint) const {
    const std::string term(trimText(terminator));
    const bool setTerminator = !m_statement.empty() && term != m_delimiter;
    const long count = script.header().commands;
    const std::size_t total = count > 0 ? static_cast<std::size_t>(count) : 0;

    std::string text;
    text.reserve(sizeHint);
    auto writeLine = [&text](std::string_view line) {
        text += line;
        text += script::kLineEnd;
    };
    if (m_progress)
        m_progress(0, total);
    if (setTerminator)
        writeLine(m_statement + " " + term + " " + m_delimiter);
    for (std::size_t k = 1; k <= total; ++k) {
        bool terminatorDue = true;
        script.forEachCommandLine(static_cast<long>(k), [&](std::string_view line) {
            if (isReconnectLine(line)) {
                writeLine(m_commentBegin + std::string(kReconnectWord) + m_commentEnd);
                terminatorDue = false;
            } else {
                writeLine(line);
            }
        });
        if (terminatorDue)
            writeLine(term);
        if (m_progress)
            m_progress(k, total);
    }
    if (m_progress)
        m_progress(0, total);
    if (setTerminator)
        writeLine(m_statement + " " + m_delimiter + " " + term);
    return text;
}

RsqlToSqlConverter::Result RsqlToSqlConverter::convert(const std::string& rsqlPath,
                                                       const std::string& sqlPath,
                                                       std::string_view terminator,
                                                       std::string_view password) const {
    struct stat st {};
    if (::stat(rsqlPath.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
        throw EVTUtilsError(texts::fileMissing(rsqlPath));
    const script::RsqlScript script(rsqlPath);
    if (!passwordMatches(script, password))
        return Result::WrongPassword;

    // The SQL text is shorter than the script, which adds keys and section headers.
    const std::size_t sizeHint = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    script::writeFileAtomically(sqlPath, sqlText(script, terminator, sizeHint));
    return Result::Done;
}

bool canConvertToSql(std::string_view rsqlFile, std::string_view sqlFile, bool kindChosen) {
    return isNotBlank(rsqlFile) && isNotBlank(sqlFile) && kindChosen;
}

} // namespace vt::desktop
