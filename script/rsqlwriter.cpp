// Writing an rSQL script as its commands come.
#include "script/rsqlwriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

#include "platform/asciitext.h"
#include "platform/exception.h"
#include "script/inifile.h"
#include "script/rsqlscript.h"
#include "script/scramble.h"
#include "script/scratchfile.h"

namespace vt::script {
namespace {

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
    throw vt::EConvertError("Cannot write the file \"" + path + "\": " + why);
}

bool holdsLineBreak(std::string_view s) {
    // Without an early exit, so that the compiler can vectorise the loop.
    bool found = false;
    for (const char c : s)
        found |= (c == '\n') | (c == '\r');
    return found;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

RsqlWriter::RsqlWriter(const std::string& path, const RsqlContent& header,
                       AtomicFileWriter::Links links)
    : m_path(path), m_file(path, links), m_crypt(header.crypt),
      m_text(std::make_unique<char[]>(kTextCapacity)) {
    openSection("Tools");
    entry("Crypt", m_crypt ? "1" : "0");
    entry("Version", "1.2");
    if (m_crypt)
        entry("Key", scrambleHeader(header.password));

    const std::pair<const char*, const std::string*> values[] = {
        {"Code", &header.code},
        {"OldVersion", &header.oldVersion},
        {"NewVersion", &header.newVersion}};
    bool countFirst = false;
    for (const auto& [key, value] : values)
        countFirst = countFirst || !platform::trim(*value).empty();
    if (countFirst) {
        openSection("DataBase");
        for (const auto& [key, value] : values) {
            const std::string_view text = platform::trim(*value);
            if (!text.empty())
                entry(key, m_crypt ? scrambleHeader(text) : std::string(text));
        }
        // Commands=N follows here once the commands are counted: the rest of the header waits
        // in memory and the commands in a scratch file.
        m_spill = std::make_unique<ScratchFile>(folderOf(path));
        setTarget(Target::AfterCount);
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

// Hands the text put together so far to the current target.
void RsqlWriter::flushText() {
    const std::string_view text(m_text.get(), m_used);
    switch (m_target) {
    case Target::File:
        m_file.write(text);
        break;
    case Target::AfterCount:
        m_afterCount.append(text);
        break;
    case Target::Spill:
        m_spill->write(text);
        break;
    }
    m_used = 0;
}

// Appends the pieces to the text, handing the text on first when they would not fit. Every piece
// is shorter than a value a reader takes in, so they always fit in an empty block.
void RsqlWriter::append(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces)
        size += piece.size();
    if (m_used + size > kTextCapacity)
        flushText();
    for (const std::string_view piece : pieces) {
        if (piece.empty())
            continue; // an empty view may have no data at all
        std::memcpy(m_text.get() + m_used, piece.data(), piece.size());
        m_used += piece.size();
    }
}

void RsqlWriter::setTarget(Target target) {
    flushText();
    m_target = target;
}

void RsqlWriter::openSection(std::string_view name) {
    append({m_started ? kLineEnd : std::string_view(), "[", name, "]", kLineEnd});
    m_section.assign(name);
    m_started = true;
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
    append({key, "=", prefix, value, kLineEnd});
}

void RsqlWriter::addLine(std::string_view line) {
    char name[24];
    if (m_lines == 0) {
        if (m_target == Target::AfterCount)
            setTarget(Target::Spill);
        std::memcpy(name, "Command", 7);
        const auto end = std::to_chars(name + 7, name + sizeof name, m_commands + 1).ptr;
        openSection(std::string_view(name, static_cast<std::size_t>(end - name)));
    }
    name[0] = 'L';
    const auto end = std::to_chars(name + 1, name + sizeof name, ++m_lines).ptr;
    const std::string_view key(name, static_cast<std::size_t>(end - name));
    if (m_crypt) {
        if (m_scrambled.size() < line.size())
            m_scrambled.resize(std::max(line.size(), 2 * m_scrambled.size()));
        scrambleCommandInto(line, m_scrambled.data());
        entry(key, std::string_view(m_scrambled.data(), line.size()), "%");
    } else {
        entry(key, line, "%");
    }
}

void RsqlWriter::finish() {
    flushText();
    const std::string count = "Commands=" + std::to_string(m_commands) + std::string(kLineEnd);
    if (m_spill) {
        m_file.write(count);
        m_file.write(m_afterCount);
        m_spill->copyTo(m_file);
    } else {
        // Without header values the section is first made by Commands, after the commands.
        m_file.write(std::string(kLineEnd) + "[DataBase]" + std::string(kLineEnd) + count);
    }
    m_file.commit();
}

void writeRsqlScript(const std::string& path, const RsqlContent& content) {
    RsqlWriter writer(path, content);
    for (const std::vector<std::string>& lines : content.commands) {
        for (const std::string& line : lines)
            writer.addLine(line);
        writer.endCommand();
    }
    writer.finish();
}

} // namespace vt::script
