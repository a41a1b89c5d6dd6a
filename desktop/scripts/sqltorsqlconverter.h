// Converting a plain SQL script into an rSQL script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/scripts/sqlsplitter.h"

namespace vt::script {
class LineReader;
}

namespace vt::desktop {

class CommandSink;

// Reports progress: position of maximum (lines processed, bytes read, or commands written). It is
// called with position 0 before the work, once per step, and with position 0 again after it, when
// the progress display returns to its start.
using ProgressCallback = std::function<void(std::size_t position, std::size_t maximum)>;

// The header of the rSQL script to write; texts in the ANSI code page.
struct RsqlHeaderValues {
    std::string code;       // trimmed; left out when empty
    std::string oldVersion; // likewise
    std::string newVersion; // likewise
    std::string user;       // written as given
    std::vector<std::string> comments;
    bool crypt = false;   // scramble header values and command lines
    std::string password; // with crypt, stored header-scrambled as the check value
};

// Splits SQL scripts in the dialect of one script kind and writes them as rSQL scripts.
class SqlToRsqlConverter final {
public:
    explicit SqlToRsqlConverter(SplitSettings settings);

    // The longest SQL line read; a longer one stops the conversion.
    static constexpr std::size_t kMaxSqlLine = 1 << 20;

    // Sets the progress callback: split() calls it once per line; convert() with the bytes read
    // of the SQL file's size, every 64 KiB.
    void setProgress(ProgressCallback progress);

    // The commands of an SQL text (bytes in the ANSI code page).
    std::vector<std::vector<std::string>> split(std::string_view sqlText) const;

    // Reads the SQL file, splits it and writes the rSQL file as it goes (replacing the file, or a
    // symbolic link standing at its name, when it exists); returns the number of commands, which
    // may be 0 (the file is written all the same). Memory does not grow with the file. Throws
    // EVTUtilsError for a missing SQL file, IniError when it cannot be read or the rSQL file
    // cannot be written, and EConvertError for SQL the script cannot hold (a NUL byte, a line
    // longer than kMaxSqlLine, a line or command longer than the script's readers take in).
    // Nothing is written then: no rSQL file, no temporary file, an existing file left as it was.
    std::size_t convert(const std::string& sqlPath, const std::string& rsqlPath,
                        const RsqlHeaderValues& header) const;

private:
    // Splits the lines of the file into the sink.
    void splitFile(script::LineReader& reader, CommandSink& sink, std::uint64_t total) const;

    SplitSettings m_settings;
    ProgressCallback m_progress;
};

// The window's rule for the Execute button: both file names given, a kind chosen, and a
// database code given whenever an old version is.
bool canConvertToRsql(std::string_view sqlFile, std::string_view rsqlFile, bool kindChosen,
                      std::string_view oldVersion, std::string_view code);

} // namespace vt::desktop
