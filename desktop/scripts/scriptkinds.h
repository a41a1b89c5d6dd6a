// Script kinds (SQL dialects) kept as the sections of sqltools.ini.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::script {
class IniFile;
}

namespace vt::desktop {

// One script kind: the conventions of an SQL dialect. Texts are in the ANSI code page.
struct ScriptKind {
    std::string name;          // the section name
    bool useDefault = false;   // "UseDefault" reads 1
    std::string delimiter;     // "Delimeter": the terminator in effect at the start of a script
    std::string command;       // "Command": the statement that sets a new terminator
    std::string ignoreCommand; // "Ignore Command": ';'-separated statement beginnings to drop
    std::string userName;      // "UserName": default user of converted scripts
    std::string defaultPath;   // "Default Path": starting folder of the file choosers
    std::string commentBegin;  // "CommentBegin": marker that opens a comment
    std::string commentEnd;    // "CommentEnd": marker that closes a comment, empty for line ends
    std::string dbCode;        // "DBCode": default database code of converted scripts
    std::string dialect;       // "Dialect": "SQLite" or "PostgreSQL" splits SQL as that engine's
                               // client does; empty for the line rule
};

// The script kinds of one INI file (the program's sqltools.ini); the file object stays the
// caller's and must outlive this object.
class ScriptKinds final {
public:
    explicit ScriptKinds(script::IniFile& ini);

    // The kind names (section names) in file order.
    std::vector<std::string> names() const;

    // The kind of that name (matched as the INI layer matches names, without regard to the case
    // of any letter of the code page; the name as the file spells it), or nullopt when the file
    // has no such section.
    std::optional<ScriptKind> find(std::string_view name) const;

    // The kind of that name, every missing key read as empty text (UseDefault as 0).
    ScriptKind load(std::string_view name) const;

    // Writes the kind under its name, values as given: with useDefault, "UseDefault" = 0 goes
    // into every section first; then "UseDefault" and the other keys in their fixed order. All
    // of it reaches the file in one write, or none of it. "Dialect" is written only when set and
    // removed when cleared. Throws EConvertError naming the reason when the name or a value
    // cannot be stored in the file (a ']', a line break, a value too long), IniError when the
    // file cannot be written.
    void save(const ScriptKind& kind);

    // Erases the kind's section.
    void remove(std::string_view name);

    // The name of the first kind in file order whose "UseDefault" reads 1, or nullopt.
    std::optional<std::string> defaultKindName() const;

    // The kind editor's Save rule: name, terminator and comment opening marker are not blank.
    static bool canSave(std::string_view name, std::string_view delimiter,
                        std::string_view commentBegin);

private:
    script::IniFile& m_ini;
};

} // namespace vt::desktop
