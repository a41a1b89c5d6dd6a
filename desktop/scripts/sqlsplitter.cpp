// Splitting the lines of a plain SQL script into the commands of an rSQL script.
#include "desktop/scripts/sqlsplitter.h"

#include <utility>

#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/sqltext.h"
#include "script/rsqlscript.h"

namespace vt::desktop {

namespace {

constexpr std::string_view kReconnectWord = "RECONNECT";

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

} // namespace

SplitSettings SplitSettings::fromKind(const ScriptKind& kind) {
    SplitSettings settings;
    settings.terminator = kind.delimiter;
    settings.terminatorStatement = upperAscii(kind.command);
    const std::string list = upperAscii(kind.ignoreCommand);
    std::size_t from = 0;
    while (from <= list.size()) {
        std::size_t at = list.find(';', from);
        if (at == std::string::npos)
            at = list.size();
        if (at > from)
            settings.ignoredStatements.push_back(list.substr(from, at - from));
        from = at + 1;
    }
    settings.commentBegin = kind.commentBegin;
    settings.commentEnd = kind.commentEnd;
    return settings;
}

SqlSplitter::SqlSplitter(SplitSettings settings)
    : m_settings(std::move(settings)), m_terminator(m_settings.terminator) {}

bool SqlSplitter::isIgnoredStatement(std::string_view line) const {
    const std::string_view trimmed = trimText(line);
    for (const std::string& piece : m_settings.ignoredStatements) {
        if (startsWithUpper(trimmed, piece))
            return true;
    }
    return false;
}

bool SqlSplitter::isReconnectComment(std::string_view line) const {
    const std::string bare =
        removeAll(removeAll(line, m_settings.commentEnd), m_settings.commentBegin);
    const std::string_view trimmed = trimText(bare);
    return trimmed.size() == kReconnectWord.size() && startsWithUpper(trimmed, kReconnectWord);
}

std::string SqlSplitter::newTerminator(std::string_view line) const {
    const std::string rest =
        removeAll(removeAll(upperAscii(line), m_settings.terminatorStatement), m_terminator);
    return std::string(trimText(rest));
}

void SqlSplitter::endCommand() {
    m_commands.push_back(std::move(m_current));
    m_current.clear();
}

void SqlSplitter::addLine(std::string_view rawLine) {
    std::string_view line = trimTextRight(rawLine);
    const bool startsCommand = m_current.empty();
    bool skip = m_inComment;

    // An ignored statement can only begin where a command begins, outside a comment.
    if (!m_inIgnored && startsCommand && !m_inComment && isIgnoredStatement(line))
        m_inIgnored = true;
    if (m_inIgnored) {
        skip = true;
    } else if (!m_settings.commentBegin.empty() &&
               trimText(line).starts_with(m_settings.commentBegin)) {
        skip = true;
    }

    std::string reconnect;
    if (skip) {
        m_inComment = !m_settings.commentEnd.empty() &&
                      line.find(m_settings.commentEnd) == std::string_view::npos;
        if (isReconnectComment(line)) {
            reconnect = std::string(script::kReconnectLine) + m_terminator;
            line = reconnect;
            skip = false;
        }
    }

    if (!m_settings.terminatorStatement.empty() &&
        containsUpper(line, m_settings.terminatorStatement)) {
        m_terminator = newTerminator(line);
        return;
    }

    if (!endsWith(line, m_terminator)) {
        if (startsCommand && (skip || isBlank(line)))
            return;
        m_current.emplace_back(line);
        return;
    }

    if (!skip) {
        const std::string_view rest = line.substr(0, line.size() - m_terminator.size());
        if (!isBlank(rest))
            m_current.emplace_back(rest);
        if (!m_current.empty())
            endCommand();
    } else if (!startsCommand) {
        // A comment line inside a command stays in it whole, even when it ends with the
        // terminator: it neither ends the command nor may lose its text.
        m_current.emplace_back(line);
    }
    if (m_inIgnored)
        m_inComment = false;
    m_inIgnored = false;
}

std::vector<std::vector<std::string>> SqlSplitter::takeCommands() {
    if (!m_current.empty())
        endCommand();
    std::vector<std::vector<std::string>> commands = std::move(m_commands);
    m_commands.clear();
    return commands;
}

} // namespace vt::desktop
