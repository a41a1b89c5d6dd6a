// Splitting the lines of a plain SQL script into the commands of an rSQL script.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/sqlstatementend.h"
#include "script/sqltokenizer.h"

namespace vt::desktop {

class CommandSink;
struct ScriptKind;

// The settings of a script kind in the form the splitter uses them.
struct SplitSettings {
    std::string terminator;                     // terminator in effect at the start
    std::string terminatorStatement;            // statement that sets a new one, upper-cased
    std::vector<std::string> ignoredStatements; // statement beginnings to drop, upper-cased
    std::string commentBegin;                   // marker opening a comment (at a line's start)
    std::string commentEnd;                     // marker closing it; empty: the line's end
    std::optional<script::SqlDialect> dialect;  // the engine whose client's rules split

    // The settings of a kind: "Command" upper-cased and trimmed, "Ignore Command" upper-cased and
    // cut at ';' into its non-empty pieces (blanks kept), "Dialect" read, the rest as stored.
    // Throws EConvertError for a dialect the splitter does not know.
    static SplitSettings fromKind(const ScriptKind& kind);
};

// Takes the lines of an SQL script one at a time and hands its commands to a sink as it goes.
//
// Without a dialect a command ends with the line that ends with the current terminator (the
// terminator itself is not kept); a line whose comment runs from its start to its end, or is
// left open, is a comment line: comment lines and ignored statements between commands are
// dropped, while comment lines inside a command stay in it; a line that starts with a closed
// comment and goes on with code is a code line. With a dialect, a command ends at the terminator
// where the engine's own client ends a statement: never inside quotes, comments, dollar-quoted
// bodies, trigger bodies or (PostgreSQL) parentheses and routine bodies, and a line may hold
// several statements. In both modes a terminator-setting statement counts only on a statement's
// first line outside comments and is not kept; a comment reading RECONNECT becomes the reconnect
// command, ending a statement left open before it; blank lines before a command are dropped; a
// UTF-8 byte-order mark before the first line is dropped, and a NUL byte is refused.
class SqlSplitter final {
public:
    // The sink must outlive the splitter.
    SqlSplitter(SplitSettings settings, CommandSink& sink);

    // Processes the next line (without its line end). Throws EConvertError for a line holding
    // a NUL byte.
    void addLine(std::string_view line);

    // Ends the command still open (a statement without terminator counts as a command).
    void finish();

    // The terminator in effect now.
    const std::string& terminator() const { return m_terminator; }

private:
    void addPlainLine(std::string_view line);
    void addDialectLine(std::string_view line);
    void emit(std::string_view line);
    void endCommand();
    void emitReconnect();
    bool isIgnoredStatement(std::string_view code) const;
    bool isReconnectComment(std::string_view line) const;
    bool isReconnectDialectLine(std::string_view line) const;
    bool isTerminatorStatement(std::string_view line) const;
    bool terminatorAt(std::string_view line, std::size_t at, const script::SqlToken& token) const;
    std::string newTerminator(std::string_view line) const;

    SplitSettings m_settings;
    CommandSink& m_sink;
    std::string m_terminator;
    std::size_t m_lineNumber = 0;
    bool m_open = false; // lines of the current command have been handed on
    bool m_inComment = false;
    bool m_inIgnored = false;
    std::optional<script::SqlTokenizer> m_tokenizer;
    std::optional<script::SqlStatementEnd> m_statement;
};

} // namespace vt::desktop
