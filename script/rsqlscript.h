// Reading an rSQL script: header values, comments and command texts.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "script/inifile.h"

namespace vt::script {

inline constexpr std::string_view kEverything = "EVERYTHING";
inline constexpr std::string_view kLineEnd = "\r\n";
// The highest script format version that can be run.
inline constexpr double kMaxFormatVersion = 1.2;

// A format version that is not a number ("1,2"); what() is "'<text>' - неверное дробное значение"
// in the ANSI code page.
class FormatVersionError : public std::runtime_error {
public:
    explicit FormatVersionError(const std::string& text);
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// The header of a script as a runner sees it (scrambled values already unscrambled).
// Values of a scrambled script are taken exactly as stored (only the line end removed): their
// first and last bytes are scrambled content, which trimming would cut. Plain values are trimmed.
struct RsqlHeader {
    bool crypt = false;              // Tools/Crypt is exactly "1" (after trimming)
    std::string formatVersion = "0"; // Tools/Version as stored (trimmed)
    std::string code;                // DataBase/Code; "EVERYTHING" when missing (see rules)
    std::string oldVersion;          // DataBase/OldVersion
    std::string newVersion;          // DataBase/NewVersion
    long commands = 0;               // DataBase/Commands (0 when missing or not an integer)
    std::string commandsText;        // DataBase/Commands as stored
    std::string user;                // Connect/User
    std::string key;                 // Tools/Key as stored, untrimmed (the scrambled password)
};

// A script opened for reading. The file is read once when opened; nothing is looked up on disk
// afterwards. One object serves one thread at a time.
class RsqlScript final {
public:
    // Opens the script; a missing file reads as an empty script. Throws IniError when the file
    // exists but cannot be read.
    explicit RsqlScript(const std::string& path);
    ~RsqlScript();

    const RsqlHeader& header() const { return m_header; }

    // The format version as a number ("." is the separator whatever the locale); throws
    // FormatVersionError when it is not a number.
    double formatVersionNumber() const;

    // Comment lines (the values of the Comment section's entries, in file order).
    std::vector<std::string> comments() const;

    // The text of command n (1-based): the text after the first '%' of each entry of section
    // "Command<n>" in file order (the whole key=value text when it holds no '%'), unscrambled
    // when the script is scrambled, each followed by CR LF. Empty for an absent or empty section.
    // Lines are read within the INI limits: at most 2047 characters of a value, and the entries
    // whose names fit the key-list budget.
    std::string commandText(long n) const;

    // The lines of command n, without line ends.
    std::vector<std::string> commandLines(long n) const;

    // Calls take() with each line of command n in order, without copying the lines: a line is
    // valid only during its call.
    void forEachCommandLine(long n, const std::function<void(std::string_view line)>& take) const;

    IniFile& ini() const { return *m_ini; }

private:
    std::unique_ptr<IniFile> m_ini;
    RsqlHeader m_header;
    // Buffers reused by the command readers (an object serves one thread at a time).
    struct Scratch {
        std::string whole, plain, text;
    };
    mutable Scratch m_scratch;
};

// Parses a format version with '.' as the decimal separator; throws FormatVersionError.
double parseFormatVersion(const std::string& text);

// Formats a number in its shortest decimal form with '.' as the separator ("1.3", "2").
std::string formatShortestDecimal(double value);

// True for the special command that asks the runner to reconnect: "$$$RECONNECT" CR LF,
// letter case ignored.
bool isReconnectCommand(std::string_view commandText);

// The reconnect command's line as the converter writes it.
inline constexpr std::string_view kReconnectLine = "$$$RECONNECT";

} // namespace vt::script
