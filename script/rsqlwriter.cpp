// Writing an rSQL script as its commands come.
#include "script/rsqlwriter.h"

#include <charconv>
#include <cstring>
#include <utility>

#include "platform/exception.h"
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
    throw vt::EConvertError("Cannot write the file \"" + path + "\": " + why);
}

bool holdsLineBreak(std::string_view s) {
    return std::memchr(s.data(), '\n', s.size()) != nullptr ||
           std::memchr(s.data(), '\r', s.size()) != nullptr;
}

struct HeaderValue {
    const char* key;
    const std::string* value;
};

} // namespace

bool RsqlWriter::countComesFirst(const RsqlContent& header) {
    return !trimmed(header.code).empty() || !trimmed(header.oldVersion).empty() ||
           !trimmed(header.newVersion).empty();
}

RsqlWriter::RsqlWriter(const std::string& path, const RsqlContent& header,
                       std::optional<std::size_t> commandCount, AtomicFileWriter::Links links)
    : m_path(path), m_file(path, links), m_crypt(header.crypt), m_declared(commandCount) {
    openSection("Tools");
    entry("Crypt", m_crypt ? "1" : "0");
    entry("Version", "1.2");
    if (m_crypt)
        entry("Key", scrambleHeader(header.password));

    if (countComesFirst(header)) {
        if (!m_declared)
            throw std::logic_error("RsqlWriter: the command count is needed before the commands");
        openSection("DataBase");
        const HeaderValue values[] = {{"Code", &header.code},
                                      {"OldVersion", &header.oldVersion},
                                      {"NewVersion", &header.newVersion}};
        for (const HeaderValue& v : values) {
            const std::string_view text = trimmed(*v.value);
            if (!text.empty())
                entry(v.key, m_crypt ? scrambleHeader(text) : std::string(text));
        }
        // Commands joins this section last, as the converter appends it after the commands.
        entry("Commands", std::to_string(*m_declared));
    }

    openSection("Connect");
    entry("User", header.user);
    if (!header.comments.empty()) {
        openSection("Comment");
        for (std::size_t i = 0; i < header.comments.size(); ++i)
            entry("Line" + std::to_string(i), header.comments[i]);
    }
}

RsqlWriter::~RsqlWriter() = default;

void RsqlWriter::openSection(std::string_view name) {
    if (m_file.size() > 0)
        m_file.write(kLineEnd);
    m_scratch.assign(1, '[');
    m_scratch.append(name);
    m_scratch += ']';
    m_scratch.append(kLineEnd);
    m_file.write(m_scratch);
    m_section.assign(name);
    m_listed = 1;
}

// Writes key=prefix+value, refusing what a reader would not get back as written.
void RsqlWriter::entry(std::string_view key, std::string_view value, std::string_view prefix) {
    if (holdsLineBreak(value))
        refuse(m_path, "the value of " + std::string(key) + " in [" + m_section +
                           "] would hold a line break");
    if (prefix.size() + value.size() > IniFile::kMaxValue)
        refuse(m_path, "the value of " + std::string(key) + " in [" + m_section +
                           "] would be longer than " + std::to_string(IniFile::kMaxValue) +
                           " characters");
    m_listed += key.size() + 1;
    if (m_listed > IniFile::kKeyListBudget)
        refuse(m_path, "[" + m_section + "] would hold more entries than a reader lists");
    m_file.write(key);
    m_file.write("=");
    m_file.write(prefix);
    m_file.write(value);
    m_file.write(kLineEnd);
}

void RsqlWriter::addLine(std::string_view line) {
    char name[24];
    if (m_lines == 0) {
        std::memcpy(name, "Command", 7);
        const auto end = std::to_chars(name + 7, name + sizeof name, m_commands + 1).ptr;
        openSection(std::string_view(name, static_cast<std::size_t>(end - name)));
    }
    name[0] = 'L';
    const auto end = std::to_chars(name + 1, name + sizeof name, ++m_lines).ptr;
    const std::string_view key(name, static_cast<std::size_t>(end - name));
    if (m_crypt) {
        m_scrambled.clear();
        appendScrambledCommand(line, m_scrambled);
        entry(key, m_scrambled, "%");
    } else {
        entry(key, line, "%");
    }
}

void RsqlWriter::endCommand() {
    ++m_commands;
    m_lines = 0;
}

void RsqlWriter::finish() {
    if (m_declared && *m_declared != m_commands)
        throw vt::EConvertError("Cannot write the file \"" + m_path + "\": " +
                                std::to_string(m_commands) + " commands instead of the " +
                                std::to_string(*m_declared) + " announced");
    if (!m_declared) {
        // Without header values the section is first made by Commands, after the commands.
        openSection("DataBase");
        entry("Commands", std::to_string(m_commands));
    }
    m_file.commit();
}

void writeRsqlScript(const std::string& path, const RsqlContent& content) {
    std::optional<std::size_t> count;
    if (RsqlWriter::countComesFirst(content))
        count = content.commands.size();
    RsqlWriter writer(path, content, count);
    for (const std::vector<std::string>& lines : content.commands) {
        for (const std::string& line : lines)
            writer.addLine(line);
        writer.endCommand();
    }
    writer.finish();
}

} // namespace vt::script
