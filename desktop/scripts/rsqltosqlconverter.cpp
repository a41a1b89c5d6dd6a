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
#include "script/rsqlcommandstream.h"
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

void RsqlToSqlConverter::writeSql(long count, const CommandReader& forEachCommand,
                                  std::string_view terminator,
                                  const std::function<void(std::string_view)>& writeLine) const {
    const std::string term(platform::trim(terminator));
    const bool setTerminator = !m_statement.empty() && term != m_delimiter;
    const std::size_t total = count > 0 ? static_cast<std::size_t>(count) : 0;
    const std::string reconnect = m_commentBegin + std::string(kReconnectWord) + m_commentEnd;

    if (m_progress)
        m_progress(0, total);
    if (setTerminator)
        writeLine(m_statement + " " + term + " " + m_delimiter);
    bool terminatorDue = true;
    forEachCommand(
        [&](long, std::string_view line) {
            if (isReconnectLine(line)) {
                writeLine(reconnect);
                terminatorDue = false;
            } else {
                writeLine(line);
            }
        },
        [&](long k) {
            if (terminatorDue)
                writeLine(term);
            terminatorDue = true;
            if (m_progress)
                m_progress(static_cast<std::size_t>(k), total);
        });
    if (m_progress)
        m_progress(0, total);
    if (setTerminator)
        writeLine(m_statement + " " + m_delimiter + " " + term);
}

namespace {

// The commands of a script read whole, in the form writeSql() takes them.
auto wholeScriptCommands(const script::RsqlScript& script) {
    return [&script](const std::function<void(long, std::string_view)>& line,
                     const std::function<void(long)>& end) {
        for (long k = 1; k <= script.header().commands; ++k) {
            script.forEachCommandLine(k, [&](std::string_view text) { line(k, text); });
            end(k);
        }
    };
}

} // namespace

std::string RsqlToSqlConverter::sqlText(const script::RsqlScript& script,
                                        std::string_view terminator, std::size_t sizeHint) const {
    std::string text;
    text.reserve(sizeHint);
    writeSql(script.header().commands, wholeScriptCommands(script), terminator,
             [&text](std::string_view line) {
                 text += line;
                 text += script::kLineEnd;
             });
    return text;
}

RsqlToSqlConverter::Result RsqlToSqlConverter::convert(const std::string& rsqlPath,
                                                       const std::string& sqlPath,
                                                       std::string_view terminator,
                                                       std::string_view password) const {
    struct stat st {};
    if (::stat(rsqlPath.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
        throw EVTUtilsError(texts::fileMissing(rsqlPath));
    script::RsqlCommandStream stream(rsqlPath);
    if (stream.crypt() && script::unscrambleHeader(stream.key()) != password)
        return Result::WrongPassword;

    script::AtomicFileWriter out(sqlPath, script::AtomicFileWriter::Links::Replace);
    auto writeLine = [&out](std::string_view line) {
        out.write(line);
        out.write(script::kLineEnd);
    };
    if (stream.streamable()) {
        writeSql(
            stream.commands(),
            [&stream](const std::function<void(long, std::string_view)>& line,
                      const std::function<void(long)>& end) { stream.forEachCommand(line, end); },
            terminator, writeLine);
    } else {
        // Sections out of order, repeated or oddly keyed: the script is read whole.
        const script::RsqlScript script(rsqlPath);
        writeSql(script.header().commands, wholeScriptCommands(script), terminator, writeLine);
    }
    out.commit();
    return Result::Done;
}

bool canConvertToSql(std::string_view rsqlFile, std::string_view sqlFile, bool kindChosen) {
    return isNotBlank(rsqlFile) && isNotBlank(sqlFile) && kindChosen;
}

} // namespace vt::desktop
