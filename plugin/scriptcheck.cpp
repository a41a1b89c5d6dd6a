// Checks that refuse a script a run must not trust, before anything of it runs.
#include "plugin/scriptcheck.h"

#include "platform/codepage.h"
#include "plugin/pluginerror.h"
#include "plugin/plugintexts.h"
#include "plugin/textcase.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <set>

namespace vt::plugin {
namespace {

constexpr std::string_view kDataBaseSection = "DataBase";
constexpr std::string_view kCommandPrefix = "command";

PluginError scriptError(std::string_view utf8Template,
                        std::initializer_list<std::string_view> ansiValues) {
    return PluginError::message(utf8Template, ansiValues).withCause(VT_CAUSE_SCRIPT);
}

bool isAsciiDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The number of a section named "Command" followed by decimal digits (letter case ignored),
// written as the reader looks it up (no leading zero, within the 32-bit range); -1 for such a
// section that no command number names; nullopt for any other section.
std::optional<long> commandNumberOf(std::string_view name) {
    if (name.size() <= kCommandPrefix.size() ||
        !sameTextIgnoringCase(name.substr(0, kCommandPrefix.size()), kCommandPrefix))
        return std::nullopt;
    const std::string_view digits = name.substr(kCommandPrefix.size());
    if (!isAsciiDigits(digits))
        return std::nullopt;
    long number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc() || digits.front() == '0' || number > INT_MAX)
        return -1;
    return number;
}

// The count of characters of an ANSI text (UTF-8 sequences count once).
std::size_t characterCount(const std::string& ansiText) {
    std::size_t count = 0;
    for (unsigned char c : platform::ansiToUtf8(ansiText))
        if ((c & 0xC0) != 0x80)
            ++count;
    return count;
}

} // namespace

void checkScriptFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw scriptError(texts::kScriptNotFound, {path});
        return; // the reader reports what the system says
    }
    if (!S_ISREG(st.st_mode))
        throw scriptError(texts::kScriptNotRegularFile, {path});
}

void checkScriptContent(const script::RsqlScript& script, const std::string& path) {
    script::IniFile& ini = script.ini();
    const script::RsqlHeader& header = script.header();
    bool hasDataBase = false;
    std::set<long> commandSections;
    std::string stray;
    for (const std::string& name : ini.sectionNames()) {
        if (sameTextIgnoringCase(name, kDataBaseSection))
            hasDataBase = true;
        const std::optional<long> number = commandNumberOf(name);
        if (!number)
            continue;
        if (*number < 1 && stray.empty())
            stray = name;
        commandSections.insert(*number);
    }
    if (!hasDataBase && commandSections.empty())
        throw scriptError(texts::kScriptWithoutContent, {path});

    // A missing Commands entry counts 0, as the format says; any value must be a whole number.
    long n = 0;
    const std::string& countText = header.commandsText;
    if (!countText.empty()) {
        const auto [end, ec] =
            std::from_chars(countText.data(), countText.data() + countText.size(), n);
        if (!isAsciiDigits(countText) || ec != std::errc() || n > INT_MAX)
            throw scriptError(texts::kBadCommandCount, {countText});
    }
    const std::string count = std::to_string(n);
    if (stray.empty() && !commandSections.empty() && *commandSections.rbegin() > n)
        stray = "Command" + std::to_string(*commandSections.rbegin());
    if (!stray.empty())
        throw scriptError(texts::kStrayCommandSection, {stray, count});
    for (long k = 1; k <= n; ++k) {
        const std::string number = std::to_string(k);
        if (!commandSections.contains(k))
            throw scriptError(texts::kMissingCommandSection, {number, count});
        const std::string cut = ini.firstCutEntry("Command" + number, header.crypt);
        if (!cut.empty())
            throw scriptError(texts::kCommandLineCut, {cut, number});
        bool nul = false;
        script.forEachCommandLine(k, [&](std::string_view line) {
            nul = nul || line.find('\0') != std::string_view::npos;
        });
        if (nul)
            throw scriptError(texts::kCommandHoldsNul, {number});
    }
}

void checkVersionTableFit(const ScriptHeaderValues& header) {
    if (header.newVersion.empty())
        return;
    if (characterCount(header.code) > texts::kVersionTableWidth)
        throw scriptError(texts::kHeaderValueTooLong, {"Code", header.code});
    if (characterCount(header.newVersion) > texts::kVersionTableWidth)
        throw scriptError(texts::kHeaderValueTooLong, {"NewVersion", header.newVersion});
    if (header.commands > texts::kMaxCounter)
        throw scriptError(texts::kTooManyCommands, {std::to_string(header.commands)});
}

} // namespace vt::plugin
