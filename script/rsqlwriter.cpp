// Writing an rSQL script: the text is built in memory in the converter's order and written once.
#include "script/rsqlwriter.h"

#include <charconv>
#include <string_view>
#include <utility>

#include "script/atomicfile.h"
#include "script/inifile.h"
#include "script/rsqlscript.h"
#include "script/scramble.h"

namespace vt::script {
namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20)
        s.remove_suffix(1);
    return s;
}

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
    throw IniError("Cannot write the file \"" + path + "\": " + why);
}

// Appends one section to the text, refusing what a reader would not get back as written: a value
// holding a line break (a scrambled byte may become one), a value longer than a reader sees, and
// more entries in a section than a reader lists. The layout is the one an INI writer gives when
// the entries are written one by one into an empty file: sections parted by a blank line, every
// line ended by CR LF.
class SectionWriter {
public:
    SectionWriter(std::string& text, const std::string& path, std::string name)
        : m_text(text), m_path(path), m_name(std::move(name)) {
        if (!m_text.empty())
            m_text += kLineEnd;
        m_text += '[';
        m_text += m_name;
        m_text += ']';
        m_text += kLineEnd;
    }

    // Appends key=prefix+value.
    void entry(std::string_view key, std::string_view value, std::string_view prefix = {}) {
        if (value.find_first_of("\r\n") != std::string_view::npos)
            refuseValue(key, "would hold a line break");
        if (prefix.size() + value.size() > IniFile::kMaxValue)
            refuseValue(key, "would be longer than " + std::to_string(IniFile::kMaxValue) +
                                 " characters");
        m_listed += key.size() + 1;
        if (m_listed > IniFile::kKeyListBudget)
            refuse(m_path, "[" + m_name + "] would hold more entries than a reader lists");
        m_text += key;
        m_text += '=';
        m_text += prefix;
        m_text += value;
        m_text += kLineEnd;
    }

private:
    [[noreturn]] void refuseValue(std::string_view key, const std::string& why) {
        refuse(m_path, "the value of " + std::string(key) + " in [" + m_name + "] " + why);
    }

    std::string& m_text;
    const std::string& m_path;
    std::string m_name;
    std::size_t m_listed = 1;
};

} // namespace

void writeRsqlScript(const std::string& path, const RsqlContent& content) {
    auto header = [&](std::string_view plain) {
        return content.crypt ? scrambleHeader(plain) : std::string(plain);
    };
    const std::string commandCount = std::to_string(content.commands.size());

    std::size_t size = 256;
    for (const std::string& c : content.comments)
        size += c.size() + 12;
    for (const auto& lines : content.commands)
        for (const std::string& line : lines)
            size += line.size() + 10;
    std::string text;
    text.reserve(size);

    {
        SectionWriter tools(text, path, "Tools");
        tools.entry("Crypt", content.crypt ? "1" : "0");
        tools.entry("Version", "1.2");
        if (content.crypt)
            tools.entry("Key", scrambleHeader(content.password));
    }

    const std::pair<const char*, const std::string*> versions[] = {
        {"Code", &content.code},
        {"OldVersion", &content.oldVersion},
        {"NewVersion", &content.newVersion}};
    bool databaseFirst = false;
    for (const auto& [key, value] : versions)
        databaseFirst = databaseFirst || !trimmed(*value).empty();
    if (databaseFirst) {
        SectionWriter database(text, path, "DataBase");
        for (const auto& [key, value] : versions)
            if (const std::string_view v = trimmed(*value); !v.empty())
                database.entry(key, header(v));
        // Commands joins this section last, as the converter appends it after the commands.
        database.entry("Commands", commandCount);
    }

    SectionWriter(text, path, "Connect").entry("User", content.user);

    if (!content.comments.empty()) {
        SectionWriter comment(text, path, "Comment");
        for (std::size_t i = 0; i < content.comments.size(); ++i)
            comment.entry("Line" + std::to_string(i), content.comments[i]);
    }

    std::string scrambled;
    char key[16];
    for (std::size_t k = 0; k < content.commands.size(); ++k) {
        const std::vector<std::string>& lines = content.commands[k];
        if (lines.empty())
            continue; // a section is made by its first entry; an empty command has none
        SectionWriter command(text, path, "Command" + std::to_string(k + 1));
        key[0] = 'L';
        for (std::size_t n = 0; n < lines.size(); ++n) {
            const auto end = std::to_chars(key + 1, key + sizeof key, n + 1).ptr;
            const std::string_view name(key, end - key);
            if (content.crypt) {
                scrambled = scrambleCommand(lines[n]);
                command.entry(name, scrambled, "%");
            } else {
                command.entry(name, lines[n], "%");
            }
        }
    }

    // Without header values the section is first made by Commands, after the commands.
    if (!databaseFirst)
        SectionWriter(text, path, "DataBase").entry("Commands", commandCount);
    writeFileAtomically(path, text);
}

} // namespace vt::script
