// Writing an rSQL script in the order the SQL-to-rSQL converter uses.
#pragma once

#include <string>
#include <vector>

namespace vt::script {

// What a script holds before it is written; values are in the ANSI code page.
struct RsqlContent {
    std::string code;                 // written only when not blank after trimming
    std::string oldVersion;           // likewise
    std::string newVersion;           // likewise
    std::string user;                 // always written, possibly empty
    std::vector<std::string> comments;
    std::vector<std::vector<std::string>> commands; // lines of each command, without line ends
    bool crypt = false;               // scramble header values and command lines
    std::string password;             // with crypt: stored header-scrambled as Tools/Key
};

// Writes the script atomically (temporary file, then rename). With crypt the script is
// scrambled: Crypt "1", Key = header scrambling of the password (possibly empty), header values
// header-scrambled and every command line command-scrambled; without it Crypt "0" and no Key.
// Layout, as an INI writer gives it when the entries are written one by one in this order:
// [Tools] Crypt, Version=1.2, Key; [DataBase] Code, OldVersion, NewVersion (each only when not
// blank); [Connect] User; [Comment] Line0...; [Command1]... L1=%...; and Commands=N appended to
// [DataBase] last (so [DataBase] follows the commands when it has no other entry). Sections
// are parted by a blank line, lines end with CR LF; a command without lines has no section.
// The file is written in one piece. Content a reader would not get back as written is refused
// before anything is written: a value holding a line break (a scrambled byte can become one), a
// value longer than IniFile::kMaxValue (a command line of more than 2046 characters), a section
// with more entries than the key-list budget lists.
// Throws IniError when the content is refused or the file cannot be written; an existing file is
// then left as it was.
void writeRsqlScript(const std::string& path, const RsqlContent& content);

} // namespace vt::script
