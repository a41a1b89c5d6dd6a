// Writing an rSQL script in the order the SQL-to-rSQL converter uses.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/atomicfile.h"

namespace vt::script {

class ScratchFile;

// What a script holds before it is written; values are in the ANSI code page.
struct RsqlContent {
    std::string code;       // written only when not blank after trimming
    std::string oldVersion; // likewise
    std::string newVersion; // likewise
    std::string user;       // always written, possibly empty
    std::vector<std::string> comments;
    std::vector<std::vector<std::string>> commands; // lines of each command, without line ends
    bool crypt = false;                             // scramble header values and command lines
    std::string password; // with crypt: stored header-scrambled as Tools/Key
};

// Writes an rSQL script as its commands come, without holding them: the header, then each
// command's lines, then the end. The file is written atomically (temporary file, then rename on
// finish()); a writer destroyed before finish() leaves no file behind and an existing file as it
// was.
//
// With crypt the script is scrambled: Crypt "1", Key = header scrambling of the password
// (possibly empty), header values header-scrambled and every command line command-scrambled;
// without it Crypt "0" and no Key. Layout, as an INI writer gives it when the entries are written
// one by one in this order: [Tools] Crypt, Version=1.2, Key; [DataBase] Code, OldVersion,
// NewVersion (each only when not blank); [Connect] User; [Comment] Line0...; [Command1]...
// L1=%...; and Commands=N appended to [DataBase] last (so [DataBase] follows the commands when it
// has no other entry). Sections are parted by a blank line, lines end with CR LF; a command
// without lines has no section. When the count stands before the commands, the commands wait in
// an unnamed scratch file beside the script until finish() knows it.
// Content a reader would not get back as written is refused with EConvertError naming the
// reason: a value holding a line break (a scrambled byte can become one), a value longer than
// IniFile::kMaxValue (a command line of more than 2046 characters), a section with more entries
// than the key-list budget lists. Failures of the file throw IniError.
class RsqlWriter final {
public:
    // Starts the file and writes the header of the content (its commands are not written: give
    // them with addLine() and endCommand()).
    RsqlWriter(const std::string& path, const RsqlContent& header,
               AtomicFileWriter::Links links = AtomicFileWriter::Links::Follow);
    ~RsqlWriter();

    // Writes the next line of the current command.
    void addLine(std::string_view line);

    // Ends the current command (a command without lines is counted and has no section).
    void endCommand() {
        ++m_commands;
        m_lines = 0;
    }

    // The number of commands ended so far.
    std::size_t commands() const { return m_commands; }

    // Writes the end of the file and puts it in place.
    void finish();

private:
    void openSection(std::string_view name);
    void entry(std::string_view key, std::string_view value, std::string_view prefix = {});
    enum class Target { File, AfterCount, Spill };
    void flushText();
    void setTarget(Target target);

    void append(std::initializer_list<std::string_view> pieces);

    static constexpr std::size_t kTextCapacity = 1 << 18;

    std::string m_path;
    AtomicFileWriter m_file;
    std::unique_ptr<ScratchFile> m_spill; // the commands, while the count is not known
    std::string m_afterCount;             // the header after Commands=N, while it waits
    Target m_target = Target::File;
    bool m_crypt;
    bool m_started = false; // a section has been written to the current target
    std::size_t m_commands = 0;
    std::size_t m_lines = 0;        // lines of the current command
    std::size_t m_listed = 0;       // key-list bytes of the current section
    std::string m_section;          // name of the current section, for messages
    std::unique_ptr<char[]> m_text; // text put together and not yet handed to the target
    std::size_t m_used = 0;         // bytes of m_text in use
    std::string m_scrambled;        // a scrambled command line
};

// Writes the whole script at once (an RsqlWriter fed with the content's commands).
void writeRsqlScript(const std::string& path, const RsqlContent& content);

} // namespace vt::script
