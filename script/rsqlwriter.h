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
// header-scrambled and every command line command-scrambled; without it Crypt "0" and no Key. Layout, in this order:
// [Tools] Crypt, Version=1.2, Key; [DataBase] Code, OldVersion, NewVersion; [Connect] User;
// [Comment] Line0...; [Command1]... L1=%...; and Commands=N appended to [DataBase] last.
// Throws IniError when the file cannot be written; an existing file is then left as it was.
void writeRsqlScript(const std::string& path, const RsqlContent& content);

} // namespace vt::script
