// Writing the commands of an rSQL script back as a plain SQL script.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "desktop/scripts/sqltorsqlconverter.h"

namespace vt::script {
class RsqlScript;
}

namespace vt::desktop {

struct ScriptKind;

// Writes rSQL scripts as SQL in the dialect of one script kind.
class RsqlToSqlConverter final {
public:
    // How a conversion ended.
    enum class Result {
        Done,         // the SQL file is written
        WrongPassword // the password does not unlock the scrambled script; nothing written
    };

    // Keeps the kind's terminator-setting statement (as stored), terminator and comment markers.
    explicit RsqlToSqlConverter(const ScriptKind& kind);

    // Sets the callback called with position 0 before and after the commands and once per
    // command.
    void setProgress(ProgressCallback progress);

    // The SQL text of the script, lines ending with CR LF: the commands' lines, each command
    // followed by the terminator (trimmed), set around the script when it is not the kind's.
    // sizeHint, when known, is the room to reserve for the text.
    std::string sqlText(const script::RsqlScript& script, std::string_view terminator,
                        std::size_t sizeHint = 0) const;

    // Reads the rSQL file and writes the SQL file as it goes (replacing the file, or a symbolic
    // link standing at its name, when it exists), lines ending with CR LF. A script laid out as
    // the converter writes it is read in two passes without holding it; any other is read whole.
    // Throws EVTUtilsError "Файл <name> не существует." for a missing rSQL file and IniError for
    // file errors; the SQL file is then left as it was and no temporary file remains.
    Result convert(const std::string& rsqlPath, const std::string& sqlPath,
                   std::string_view terminator, std::string_view password) const;

private:
    // Calls writeLine with each line of the SQL text; forEachCommand(line, end) gives the
    // script's command lines and the end of each command, 1 to count in order.
    using CommandReader = std::function<void(const std::function<void(long, std::string_view)>&,
                                             const std::function<void(long)>&)>;
    void writeSql(long count, const CommandReader& forEachCommand, std::string_view terminator,
                  const std::function<void(std::string_view)>& writeLine) const;

    std::string m_statement;
    std::string m_delimiter;
    std::string m_commentBegin;
    std::string m_commentEnd;
    ProgressCallback m_progress;
};

// The window's rule for the Execute button: both file names given and a kind chosen.
bool canConvertToSql(std::string_view rsqlFile, std::string_view sqlFile, bool kindChosen);

} // namespace vt::desktop
