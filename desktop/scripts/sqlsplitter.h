// Splitting the lines of a plain SQL script into the commands of an rSQL script.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vt::desktop {

struct ScriptKind;

// The settings of a script kind in the form the splitter uses them.
struct SplitSettings {
    std::string terminator;                     // terminator in effect at the start
    std::string terminatorStatement;            // statement that sets a new one, upper-cased
    std::vector<std::string> ignoredStatements; // statement beginnings to drop, upper-cased
    std::string commentBegin;                   // marker opening a comment (at a line's start)
    std::string commentEnd;                     // marker closing it; empty: the line's end

    // The settings of a kind: "Command" upper-cased, "Ignore Command" upper-cased and cut at ';'
    // into its non-empty pieces (blanks kept), the rest as stored.
    static SplitSettings fromKind(const ScriptKind& kind);
};

// Takes the lines of an SQL script one at a time and gathers its commands.
//
// A command ends with the line that ends with the current terminator (the terminator itself is
// not kept); lines holding the terminator-setting statement change the terminator and are not
// kept; comment lines and ignored statements between commands are dropped, while comment lines
// inside a command stay in it; a comment reading RECONNECT becomes the reconnect command; blank
// lines before a command are dropped. Ignored statements are recognised only where a command
// begins. Knows nothing of quoted text.
class SqlSplitter final {
public:
    explicit SqlSplitter(SplitSettings settings);

    // Processes the next line (without its line end).
    void addLine(std::string_view line);

    // The commands: every terminated command, and the command still open when it has lines.
    // Leaves the splitter empty.
    std::vector<std::vector<std::string>> takeCommands();

    // The terminator in effect now.
    const std::string& terminator() const { return m_terminator; }

private:
    bool isIgnoredStatement(std::string_view line) const;
    bool isReconnectComment(std::string_view line) const;
    std::string newTerminator(std::string_view line) const;
    void endCommand();

    SplitSettings m_settings;
    std::string m_terminator;
    std::vector<std::vector<std::string>> m_commands;
    std::vector<std::string> m_current; // lines of the command being gathered
    bool m_inComment = false;
    bool m_inIgnored = false;
};

} // namespace vt::desktop
