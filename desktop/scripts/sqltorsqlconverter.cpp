// Converting a plain SQL script into an rSQL script.
#include "desktop/scripts/sqltorsqlconverter.h"

#include <cerrno>
#include <sys/stat.h>
#include <utility>

#include "desktop/errors/evtutilserror.h"
#include "desktop/scripts/commandsink.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/sqltext.h"
#include "desktop/scripts/textlines.h"
#include "platform/exception.h"
#include "script/linereader.h"
#include "script/rsqlwriter.h"

namespace vt::desktop {

namespace {

constexpr std::uint64_t kProgressStep = 1 << 16;

// Hands the splitter's commands straight to the rSQL writer.
class WriterSink final : public CommandSink {
public:
    explicit WriterSink(script::RsqlWriter& writer) : m_writer(writer) {}
    void addLine(std::string_view line) override { m_writer.addLine(line); }
    void endCommand() override { m_writer.endCommand(); }

private:
    script::RsqlWriter& m_writer;
};

} // namespace

SqlToRsqlConverter::SqlToRsqlConverter(SplitSettings settings) : m_settings(std::move(settings)) {}

void SqlToRsqlConverter::setProgress(ProgressCallback progress) {
    m_progress = std::move(progress);
}

std::vector<std::vector<std::string>> SqlToRsqlConverter::split(std::string_view sqlText) const {
    const std::vector<std::string_view> lines = splitLines(sqlText);
    CommandList commands;
    SqlSplitter splitter(m_settings, commands);
    const std::size_t total = lines.size();
    if (m_progress)
        m_progress(0, total);
    for (std::size_t i = 0; i < total; ++i) {
        splitter.addLine(lines[i]);
        if (m_progress)
            m_progress(i + 1, total);
    }
    splitter.finish();
    if (m_progress)
        m_progress(0, total);
    return commands.take();
}

void SqlToRsqlConverter::splitFile(script::LineReader& reader, CommandSink& sink,
                                   std::uint64_t total) const {
    SqlSplitter splitter(m_settings, sink);
    std::string_view line;
    std::size_t number = 0;
    std::uint64_t reported = 0;
    while (reader.next(line)) {
        ++number;
        if (reader.cut())
            throw EConvertError(texts::lineTooLong(number, kMaxSqlLine));
        splitter.addLine(line);
        if (m_progress && reader.position() - reported >= kProgressStep) {
            reported = reader.position();
            m_progress(static_cast<std::size_t>(reported), static_cast<std::size_t>(total));
        }
    }
    splitter.finish();
    if (m_progress)
        m_progress(static_cast<std::size_t>(reader.position()), static_cast<std::size_t>(total));
}

std::size_t SqlToRsqlConverter::convert(const std::string& sqlPath, const std::string& rsqlPath,
                                        const RsqlHeaderValues& header) const {
    struct stat st {};
    if (::stat(sqlPath.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
        throw EVTUtilsError(texts::fileMissing(sqlPath));
    script::LineReader reader(sqlPath, kMaxSqlLine);

    script::RsqlContent content;
    content.code = std::string(platform::trim(header.code));
    content.oldVersion = std::string(platform::trim(header.oldVersion));
    content.newVersion = std::string(platform::trim(header.newVersion));
    content.user = header.user;
    content.comments = header.comments;
    content.crypt = header.crypt;
    if (header.crypt)
        content.password = header.password;

    const std::uint64_t total = reader.size();
    if (m_progress)
        m_progress(0, static_cast<std::size_t>(total));
    script::RsqlWriter writer(rsqlPath, content, script::AtomicFileWriter::Links::Replace);
    WriterSink sink(writer);
    splitFile(reader, sink, total);
    writer.finish();
    if (m_progress)
        m_progress(0, static_cast<std::size_t>(total));
    return writer.commands();
}

bool canConvertToRsql(std::string_view sqlFile, std::string_view rsqlFile, bool kindChosen,
                      std::string_view oldVersion, std::string_view code) {
    return isNotBlank(sqlFile) && isNotBlank(rsqlFile) && kindChosen &&
           (isBlank(oldVersion) || isNotBlank(code));
}

} // namespace vt::desktop
