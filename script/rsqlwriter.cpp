// Writing an rSQL script: the text is built in memory in the converter's order and written once.
#include "script/rsqlwriter.h"

#include <string_view>
#include <utility>

#include "script/atomicfile.h"
#include "script/inifile.h"
#include "script/rsqlscript.h"
#include "script/scramble.h"

namespace vt::script {
namespace {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

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

// Refuses what a reader would not get back as written: a value holding a line break (a
// scrambled byte may become one), a value longer than a reader sees, and more entries in a
// section than a reader lists.
void checkReadable(const std::string& path, const Section& s) {
    std::size_t listed = 1;
    for (const auto& [key, value] : s.entries) {
        const std::string where = key + " in [" + s.name + "]";
        if (value.find_first_of("\r\n") != std::string::npos)
            refuse(path, "the value of " + where + " would hold a line break");
        if (value.size() > IniFile::kMaxValue)
            refuse(path, "the value of " + where + " would be longer than " +
                             std::to_string(IniFile::kMaxValue) + " characters");
        listed += key.size() + 1;
        if (listed > IniFile::kKeyListBudget)
            refuse(path, "[" + s.name + "] would hold more entries than a reader lists");
    }
}

} // namespace

void writeRsqlScript(const std::string& path, const RsqlContent& content) {
    auto header = [&](std::string_view plain) {
        return content.crypt ? scrambleHeader(plain) : std::string(plain);
    };

    std::vector<Section> sections;
    Section tools{"Tools", {{"Crypt", content.crypt ? "1" : "0"}, {"Version", "1.2"}}};
    if (content.crypt)
        tools.entries.emplace_back("Key", scrambleHeader(content.password));
    sections.push_back(std::move(tools));

    Section database{"DataBase", {}};
    const std::pair<const char*, const std::string*> versions[] = {
        {"Code", &content.code},
        {"OldVersion", &content.oldVersion},
        {"NewVersion", &content.newVersion}};
    for (const auto& [key, value] : versions)
        if (const std::string_view v = trimmed(*value); !v.empty())
            database.entries.emplace_back(key, header(v));
    // Without header values the section is first made by Commands, after the commands.
    const bool databaseFirst = !database.entries.empty();
    if (databaseFirst)
        sections.push_back(database);

    sections.push_back(Section{"Connect", {{"User", content.user}}});

    if (!content.comments.empty()) {
        Section comment{"Comment", {}};
        for (std::size_t i = 0; i < content.comments.size(); ++i)
            comment.entries.emplace_back("Line" + std::to_string(i), content.comments[i]);
        sections.push_back(std::move(comment));
    }

    for (std::size_t k = 0; k < content.commands.size(); ++k) {
        const std::vector<std::string>& lines = content.commands[k];
        if (lines.empty())
            continue; // a section is made by its first entry; an empty command has none
        Section command{"Command" + std::to_string(k + 1), {}};
        command.entries.reserve(lines.size());
        for (std::size_t n = 0; n < lines.size(); ++n)
            command.entries.emplace_back(
                "L" + std::to_string(n + 1),
                "%" + (content.crypt ? scrambleCommand(lines[n]) : lines[n]));
        sections.push_back(std::move(command));
    }

    const std::pair<std::string, std::string> count{"Commands",
                                                    std::to_string(content.commands.size())};
    if (databaseFirst) {
        sections[1].entries.push_back(count);
    } else {
        database.entries.push_back(count);
        sections.push_back(std::move(database));
    }

    std::size_t size = 0;
    for (const Section& s : sections) {
        checkReadable(path, s);
        size += s.name.size() + 6;
        for (const auto& [key, value] : s.entries)
            size += key.size() + value.size() + 3;
    }
    // The layout an INI writer gives when these entries are written one by one into an empty
    // file: sections parted by a blank line, every line ended by CR LF.
    std::string text;
    text.reserve(size);
    for (const Section& s : sections) {
        if (!text.empty())
            text += kLineEnd;
        text += '[';
        text += s.name;
        text += ']';
        text += kLineEnd;
        for (const auto& [key, value] : s.entries) {
            text += key;
            text += '=';
            text += value;
            text += kLineEnd;
        }
    }
    writeFileAtomically(path, text);
}

} // namespace vt::script
