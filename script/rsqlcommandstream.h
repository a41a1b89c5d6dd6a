// RsqlCommandStream: the commands of an rSQL script read from the file as they stand, without
// holding the file in memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "script/linereader.h"

namespace vt::script {

// Reads an rSQL script in two passes over the file. The first (in the constructor) takes the
// values the rSQL-to-SQL conversion needs and checks the layout; the second hands on the
// command lines in order. Only files whose command sections stand in increasing order, each
// once, with the entries L1, L2, ... in order (as the converter writes them) can be streamed:
// for them the lines come out exactly as RsqlScript gives them. Other files are to be read whole
// with RsqlScript. Values are read within the INI limits, as RsqlScript reads them.
class RsqlCommandStream final {
public:
    // Throws IniError when the file cannot be read.
    explicit RsqlCommandStream(const std::string& path);

    bool crypt() const { return m_crypt; }           // Tools/Crypt is "1"
    const std::string& key() const { return m_key; } // Tools/Key as stored
    long commands() const { return m_commands; }     // DataBase/Commands, 0 when none
    bool streamable() const { return m_streamable; }

    // Calls line(k, text) for each line of commands 1 .. commands() in order (unscrambled,
    // without line end; the text is valid during the call only), and end(k) after each command,
    // absent ones included. Requires streamable().
    void forEachCommand(const std::function<void(long k, std::string_view text)>& line,
                        const std::function<void(long k)>& end);

private:
    LineReader m_reader;
    bool m_crypt = false;
    std::string m_key;
    long m_commands = 0;
    bool m_streamable = true;
    std::string m_scratch;     // a key=value text
    std::string m_unscrambled; // an unscrambled line
};

} // namespace vt::script
