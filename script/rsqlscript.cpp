// Reading an rSQL script: header values, comments and command texts.
#include "script/rsqlscript.h"

#include <charconv>
#include <system_error>

#include "platform/asciitext.h"
#include "platform/codepage.h"
#include "script/scramble.h"

namespace vt::script {
namespace {

constexpr std::string_view kFormatVersionErrorTemplate = "'%s' - неверное дробное значение";
constexpr std::string_view kReconnectCommand = "$$$RECONNECT\r\n";

constexpr std::string_view kTools = "Tools";
constexpr std::string_view kDataBase = "DataBase";
constexpr std::string_view kConnect = "Connect";
constexpr std::string_view kComment = "Comment";

std::string formatVersionMessage(const std::string& text) {
    std::string message = platform::ansi(kFormatVersionErrorTemplate);
    const std::size_t at = message.find("%s");
    if (at != std::string::npos)
        message.replace(at, 2, text);
    return message;
}

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

FormatVersionError::FormatVersionError(const std::string& text)
    : std::runtime_error(formatVersionMessage(text)), m_text(text) {}

double parseFormatVersion(const std::string& text) {
    // Accepted: blanks, an optional sign, digits with at most one '.', an optional exponent.
    std::size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    std::size_t i = b;
    bool negative = false;
    if (i < e && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < e && isDigit(text[i]))
        ++i, ++digits;
    if (i < e && text[i] == '.') {
        ++i;
        while (i < e && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits > 0 && i < e && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < e && isDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            throw FormatVersionError(text);
    }
    if (digits == 0 || i != e)
        throw FormatVersionError(text);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data() + numberStart, text.data() + e, value);
    if (ec != std::errc() || end != text.data() + e)
        throw FormatVersionError(text);
    return negative ? -value : value;
}

std::string formatShortestDecimal(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

bool isReconnectCommand(std::string_view commandText) {
    if (commandText.size() != kReconnectCommand.size())
        return false;
    for (std::size_t i = 0; i < commandText.size(); ++i)
        if (platform::toUpperAscii(commandText[i]) != kReconnectCommand[i])
            return false;
    return true;
}

RsqlScript::RsqlScript(const std::string& path) : m_ini(std::make_unique<IniFile>(path)) {
    // The script is read once: nothing of it is looked up on disk again.
    m_ini->setWatchDisk(false);
    IniFile& ini = *m_ini;
    m_header.formatVersion = ini.readString(kTools, "Version", "0");
    m_header.crypt = ini.readString(kTools, "Crypt") == "1";
    if (m_header.crypt) {
        // Scrambled values are taken exactly as stored: their first and last bytes are content,
        // and trimming a blank or control byte off them would garble the whole value.
        m_header.code = unscrambleHeader(ini.readRawString(kDataBase, "Code"));
        if (m_header.code.empty())
            m_header.code = kEverything;
        m_header.oldVersion = unscrambleHeader(ini.readRawString(kDataBase, "OldVersion"));
        m_header.newVersion = unscrambleHeader(ini.readRawString(kDataBase, "NewVersion"));
    } else {
        m_header.code = ini.readString(kDataBase, "Code", kEverything);
        m_header.oldVersion = ini.readString(kDataBase, "OldVersion");
        m_header.newVersion = ini.readString(kDataBase, "NewVersion");
    }
    m_header.key = ini.readRawString(kTools, "Key");
    m_header.commands = ini.readInteger(kDataBase, "Commands", 0);
    m_header.commandsText = ini.readString(kDataBase, "Commands");
    m_header.user = ini.readString(kConnect, "User");
}

RsqlScript::~RsqlScript() = default;

double RsqlScript::formatVersionNumber() const {
    return parseFormatVersion(m_header.formatVersion);
}

std::vector<std::string> RsqlScript::comments() const {
    std::vector<std::string> lines;
    m_ini->forEachEntry(kComment, [&](std::string_view, std::string_view value, std::string_view) {
        lines.emplace_back(value);
    });
    return lines;
}

void RsqlScript::forEachCommandLine(long n,
                                    const std::function<void(std::string_view line)>& take) const {
    const bool crypt = m_header.crypt;
    std::string& whole = m_scratch.whole;
    std::string& plain = m_scratch.plain;
    m_ini->forEachEntry(
        "Command" + std::to_string(n),
        [&](std::string_view key, std::string_view value, std::string_view rawValue) {
            // The line is what follows the first '%' of the whole entry, key=value; scrambled
            // values are taken as stored.
            if (crypt)
                value = rawValue;
            std::string_view line;
            const std::size_t inKey = key.find('%');
            const std::size_t inValue = value.find('%');
            if (inKey == std::string_view::npos && inValue != std::string_view::npos) {
                line = value.substr(inValue + 1);
            } else {
                whole.assign(key);
                whole += '=';
                whole.append(value);
                line = whole;
                if (inKey != std::string_view::npos)
                    line.remove_prefix(inKey + 1);
            }
            if (crypt) {
                plain.clear();
                appendUnscrambledCommand(line, plain);
                line = plain;
            }
            take(line);
        });
}

std::vector<std::string> RsqlScript::commandLines(long n) const {
    std::vector<std::string> lines;
    forEachCommandLine(n, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::string RsqlScript::commandText(long n) const {
    // Built in a buffer kept between calls, so the text costs one allocation of its own size.
    std::string& text = m_scratch.text;
    text.clear();
    forEachCommandLine(n, [&](std::string_view line) {
        text += line;
        text += kLineEnd;
    });
    return text;
}

} // namespace vt::script
