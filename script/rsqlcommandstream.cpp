// RsqlCommandStream: the commands of an rSQL script read from the file as they stand.
#include "script/rsqlcommandstream.h"

#include <charconv>
#include <optional>

#include "platform/asciitext.h"
#include "script/inidocument.h"
#include "script/inifile.h"
#include "script/nameindex.h"
#include "script/scramble.h"

namespace vt::script {
namespace {

// Longer lines are no part of a streamable script: a value is read up to kMaxValue characters.
constexpr std::size_t kMaxLine = 1 << 16;

// What one line of an INI file is.
struct IniLine {
    enum Kind { Other, Header, Entry } kind = Other;
    std::string_view name; // section name or trimmed key
    std::string_view raw;  // the text after the '=' of an entry
};

IniLine parseLine(std::string_view text) {
    IniLine line;
    const std::string_view t = platform::trim(text);
    if (t.empty() || t.front() == ';')
        return line;
    if (t.front() == '[') {
        std::string_view name = t.substr(1);
        const std::size_t close = name.find(']');
        if (close != std::string_view::npos)
            name = name.substr(0, close);
        line.kind = IniLine::Header;
        line.name = platform::trim(name);
        return line;
    }
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos)
        return line;
    line.name = platform::trim(text.substr(0, eq));
    if (line.name.empty())
        return line;
    line.kind = IniLine::Entry;
    line.raw = text.substr(eq + 1);
    return line;
}

// The number of a name "<prefix><k>" (k decimal without leading zeros, at least 1; the prefix
// matched without regard to case), or 0.
long numberAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || !equalNoCase(name.substr(0, prefix.size()), prefix))
        return 0;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.front() == '0')
        return 0;
    long k = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
    return ec == std::errc() && end == digits.data() + digits.size() ? k : 0;
}

// Follows which entries of the current section a reader lists (the key-list budget).
struct Budget {
    std::size_t used = 1;
    bool full = false;
    bool take(std::string_view key) {
        if (full || used + key.size() + 1 > IniFile::kKeyListBudget)
            return !(full = true);
        used += key.size() + 1;
        return true;
    }
};

} // namespace

RsqlCommandStream::RsqlCommandStream(const std::string& path) : m_reader(path, kMaxLine) {
    enum class In { None, Tools, DataBase, Command, Other } in = In::None;
    bool toolsSeen = false, dataBaseSeen = false;
    std::optional<std::string> crypt, key, commands;
    long lastCommand = 0, expectedKey = 1;
    Budget budget;
    std::string_view text;
    while (m_reader.next(text)) {
        if (m_reader.cut())
            m_streamable = false;
        const IniLine line = parseLine(text);
        if (line.kind == IniLine::Header) {
            budget = Budget();
            in = In::Other;
            if (equalNoCase(line.name, "Tools")) {
                in = toolsSeen ? In::Other : In::Tools;
                toolsSeen = true;
            } else if (equalNoCase(line.name, "DataBase")) {
                in = dataBaseSeen ? In::Other : In::DataBase;
                dataBaseSeen = true;
            } else if (const long k = numberAfter(line.name, "Command"); k > 0) {
                in = In::Command;
                m_streamable = m_streamable && k > lastCommand;
                lastCommand = k;
                expectedKey = 1;
            }
            continue;
        }
        // Lookups see every entry; listings (the commands' lines) only those within the budget.
        if (line.kind != IniLine::Entry || in == In::None ||
            (in == In::Command && !budget.take(line.name)))
            continue;
        const std::string_view raw = line.raw.substr(0, IniFile::kMaxValue);
        auto first = [&](std::optional<std::string>& slot) {
            if (!slot)
                slot.emplace(raw);
        };
        if (in == In::Tools && equalNoCase(line.name, "Crypt"))
            first(crypt);
        else if (in == In::Tools && equalNoCase(line.name, "Key"))
            first(key);
        else if (in == In::DataBase && equalNoCase(line.name, "Commands"))
            first(commands);
        else if (in == In::Command)
            m_streamable = m_streamable && numberAfter(line.name, "L") == expectedKey++;
    }
    m_crypt = crypt && platform::trim(*crypt) == "1";
    m_key = key.value_or("");
    long count = 0;
    if (commands && parseIniInteger(platform::trim(*commands), count))
        m_commands = count;
}

void RsqlCommandStream::forEachCommand(
    const std::function<void(long k, std::string_view text)>& line,
    const std::function<void(long k)>& end) {
    m_reader.rewind();
    long current = 0; // the command whose section is being read
    long done = 0;    // commands ended so far
    auto endUpTo = [&](long k) {
        while (done < k && done < m_commands)
            end(++done);
    };
    Budget budget;
    std::string_view text;
    while (m_reader.next(text)) {
        const IniLine entry = parseLine(text);
        if (entry.kind == IniLine::Header) {
            budget = Budget();
            const long k = numberAfter(entry.name, "Command");
            current = k > 0 && k <= m_commands ? k : 0;
            if (current > 0)
                endUpTo(current - 1);
            continue;
        }
        if (current == 0 || entry.kind != IniLine::Entry || !budget.take(entry.name))
            continue;
        // The line is what follows the first '%' of the entry's value (the whole key=value
        // text when it holds none); scrambled values are taken as stored, plain ones trimmed.
        const std::string_view raw = entry.raw.substr(0, IniFile::kMaxValue);
        const std::string_view value =
            m_crypt ? raw : platform::trim(entry.raw).substr(0, IniFile::kMaxValue);
        std::string_view plain;
        const std::size_t percent = value.find('%');
        if (percent != std::string_view::npos) {
            plain = value.substr(percent + 1);
        } else {
            m_scratch.assign(entry.name);
            m_scratch += '=';
            m_scratch.append(value);
            plain = m_scratch;
        }
        if (m_crypt) {
            m_unscrambled.clear();
            appendUnscrambledCommand(plain, m_unscrambled);
            plain = m_unscrambled;
        }
        line(current, plain);
    }
    endUpTo(m_commands);
}

} // namespace vt::script
