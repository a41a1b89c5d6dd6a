// The two byte scramblings of rSQL scripts: header values and command lines.
#pragma once

#include <string>
#include <string_view>

namespace vt::script {

// Header scrambling (Code, OldVersion, NewVersion, the password in Key): "abc" -> "b``".
std::string scrambleHeader(std::string_view plain);
std::string unscrambleHeader(std::string_view scrambled);

// Command-line scrambling (each line of each command, without its leading '%'):
// "abc" -> BC BE BD.
std::string scrambleCommand(std::string_view plain);
// Writes the command-line scrambling of plain to out, which has room for plain.size() bytes.
void scrambleCommandInto(std::string_view plain, char* out);
// Appends the command-line scrambling of plain to out (the text must not lie in out).
void appendScrambledCommand(std::string_view plain, std::string& out);
std::string unscrambleCommand(std::string_view scrambled);
// Appends the command-line unscrambling of scrambled to out (the text must not lie in out).
void appendUnscrambledCommand(std::string_view scrambled, std::string& out);

} // namespace vt::script
