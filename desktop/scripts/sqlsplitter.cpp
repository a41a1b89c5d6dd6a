// Splitting the lines of a plain SQL script into the commands of an rSQL script.
#include "desktop/scripts/sqlsplitter.h"

#include <cstring>
#include <utility>

#include "desktop/scripts/commandsink.h"
#include "desktop/scripts/scriptkinds.h"
#include "desktop/scripts/scripttexts.h"
#include "desktop/scripts/sqltext.h"
#include "platform/codepage.h"
#include "platform/exception.h"
#include "script/rsqlscript.h"

namespace vt::desktop {

namespace {

using script::SqlToken;
using script::SqlTokenizer;
using script::SqlTokenKind;

constexpr std::string_view kReconnectWord = "RECONNECT";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool isReconnectWord(std::string_view text) {
    const std::string_view trimmed = platform::trim(text);
    return trimmed.size() == kReconnectWord.size() && startsWithUpper(trimmed, kReconnectWord);
}

std::optional<script::SqlDialect> parseDialect(std::string_view stored) {
    const std::string name = platform::toUpperAscii(platform::trim(stored));
    if (name.empty())
        return std::nullopt;
    if (name == "SQLITE")
        return script::SqlDialect::SQLite;
    if (name == "POSTGRESQL")
        return script::SqlDialect::PostgreSQL;
    throw EConvertError(texts::unknownDialect(platform::ansiToUtf8(stored)));
}

} // namespace

SplitSettings SplitSettings::fromKind(const ScriptKind& kind) {
    SplitSettings settings;
    settings.terminator = kind.delimiter;
    settings.terminatorStatement = platform::toUpperAscii(platform::trim(kind.command));
    const std::string list = platform::toUpperAscii(kind.ignoreCommand);
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
    settings.dialect = parseDialect(kind.dialect);
    return settings;
}

SqlSplitter::SqlSplitter(SplitSettings settings, CommandSink& sink)
    : m_settings(std::move(settings)), m_sink(sink), m_terminator(m_settings.terminator) {
    if (m_settings.dialect) {
        m_tokenizer.emplace(*m_settings.dialect);
        m_statement.emplace(*m_settings.dialect);
    }
}

bool SqlSplitter::isIgnoredStatement(std::string_view code) const {
    const std::string_view trimmed = platform::trim(code);
    for (const std::string& piece : m_settings.ignoredStatements) {
        if (startsWithUpper(trimmed, piece))
            return true;
    }
    return false;
}

bool SqlSplitter::isReconnectComment(std::string_view line) const {
    return isReconnectWord(
        removeAll(removeAll(line, m_settings.commentEnd), m_settings.commentBegin));
}

bool SqlSplitter::isTerminatorStatement(std::string_view line) const {
    const std::string& statement = m_settings.terminatorStatement;
    if (statement.empty())
        return false;
    const std::string_view trimmed = platform::trim(line);
    return startsWithUpper(trimmed, statement) &&
           (trimmed.size() == statement.size() || platform::isBlank(trimmed[statement.size()]));
}

std::string SqlSplitter::newTerminator(std::string_view line) const {
    const std::string rest = removeAll(
        removeAll(platform::toUpperAscii(line), m_settings.terminatorStatement), m_terminator);
    return std::string(platform::trim(rest));
}

void SqlSplitter::emit(std::string_view line) {
    m_sink.addLine(line);
    m_open = true;
}

void SqlSplitter::endCommand() {
    if (m_open)
        m_sink.endCommand();
    m_open = false;
}

void SqlSplitter::emitReconnect() {
    // The reconnect command stands alone: a statement left open ends before it.
    endCommand();
    m_inIgnored = false;
    if (m_statement)
        m_statement->reset();
    emit(script::kReconnectLine);
    endCommand();
}

void SqlSplitter::addLine(std::string_view rawLine) {
    ++m_lineNumber;
    if (m_lineNumber == 1 && rawLine.starts_with(kByteOrderMark))
        rawLine.remove_prefix(kByteOrderMark.size());
    if (std::memchr(rawLine.data(), 0, rawLine.size()) != nullptr)
        throw EConvertError(texts::nulByte(m_lineNumber));
    const std::string_view line = platform::trimRight(rawLine);
    if (m_tokenizer)
        addDialectLine(line);
    else
        addPlainLine(line);
}

void SqlSplitter::finish() {
    endCommand();
}

void SqlSplitter::addPlainLine(std::string_view line) {
    // A comment runs from the line's start (or from a comment left open): the line is a comment
    // line unless code follows the comment's end on the same line.
    bool comment = false;
    std::size_t code = 0;
    const std::string& begin = m_settings.commentBegin;
    const std::string& end = m_settings.commentEnd;
    if (!m_inIgnored) {
        std::size_t at = 0;
        bool inComment = m_inComment;
        if (!inComment && !begin.empty()) {
            at = static_cast<std::size_t>(platform::trim(line).data() - line.data());
            inComment = line.substr(at).starts_with(begin);
            at += inComment ? begin.size() : 0;
        }
        while (inComment) {
            if (end.empty()) {
                comment = true;
                inComment = false;
                break;
            }
            const std::size_t close = line.find(end, at);
            if (close == std::string_view::npos) {
                comment = true;
                break;
            }
            at = close + end.size();
            while (at < line.size() && platform::isBlank(line[at]))
                ++at;
            if (at == line.size()) {
                comment = true;
                inComment = false;
            } else if (!begin.empty() && line.substr(at).starts_with(begin)) {
                at += begin.size();
                continue;
            } else {
                code = at;
                inComment = false;
            }
            break;
        }
        m_inComment = inComment;
    }

    // An ignored statement can only begin where a command begins, on a line of code.
    if (!m_inIgnored && !m_open && !comment && isIgnoredStatement(line.substr(code)))
        m_inIgnored = true;
    const bool skip = m_inIgnored || comment;

    if (skip && isReconnectComment(line)) {
        emitReconnect();
        return;
    }

    if (!skip && !m_open && isTerminatorStatement(line)) {
        m_terminator = newTerminator(line);
        return;
    }

    if (!endsWith(line, m_terminator)) {
        if (!m_open && (skip || isBlank(line)))
            return;
        emit(line);
        return;
    }

    if (!skip) {
        const std::string_view rest = line.substr(0, line.size() - m_terminator.size());
        if (!isBlank(rest))
            emit(rest);
        endCommand();
    } else if (m_open) {
        // A comment line inside a command stays in it whole, even when it ends with the
        // terminator: it neither ends the command nor may lose its text.
        emit(line);
    }
    if (m_inIgnored)
        m_inComment = false;
    m_inIgnored = false;
}

bool SqlSplitter::terminatorAt(std::string_view line, std::size_t at, const SqlToken& token) const {
    if (m_terminator.empty() || token.continued ||
        (token.kind != SqlTokenKind::Symbol && token.kind != SqlTokenKind::Word))
        return false;
    if (line.compare(at, m_terminator.size(), m_terminator) != 0)
        return false;
    // A terminator made of letters is a whole word.
    const std::size_t after = at + m_terminator.size();
    return !SqlTokenizer::isWordChar(static_cast<unsigned char>(m_terminator.back())) ||
           after == line.size() ||
           !SqlTokenizer::isWordChar(static_cast<unsigned char>(line[after]));
}

bool SqlSplitter::isReconnectDialectLine(std::string_view line) const {
    if (!containsUpper(line, kReconnectWord))
        return false;
    SqlTokenizer tokenizer = *m_tokenizer;
    SqlToken token;
    std::size_t pos = 0;
    std::string text;
    const bool open = m_open || !m_statement->empty();
    while (tokenizer.next(line, pos, token)) {
        // Inside a statement only a comment that begins on this line counts: the middle of a
        // longer comment belongs to the statement.
        if (token.isCode() || (open && token.continued))
            return false;
        text.append(token.text);
        text += ' ';
    }
    for (std::string_view marker :
         {std::string_view("--"), std::string_view("/*"), std::string_view("*/")})
        text = removeAll(text, marker);
    return isReconnectComment(text);
}

void SqlSplitter::addDialectLine(std::string_view line) {
    SqlTokenizer& tokenizer = *m_tokenizer;
    script::SqlStatementEnd& statement = *m_statement;
    const bool atStart = !m_open && !m_inIgnored && statement.empty() && !tokenizer.insideToken();
    if (atStart && isTerminatorStatement(line)) {
        m_terminator = newTerminator(line);
        return;
    }
    if (isReconnectDialectLine(line)) {
        SqlToken token;
        std::size_t pos = 0;
        while (tokenizer.next(line, pos, token)) {
        }
        emitReconnect();
        return;
    }

    // from: where the text of the statement under way begins in this line.
    std::size_t from = 0;
    SqlToken token;
    std::size_t pos = 0;
    while (true) {
        const std::size_t at = pos;
        if (!tokenizer.next(line, pos, token))
            break;
        if (!token.isCode()) {
            // The tail of a comment opened before the statement belongs to no statement.
            if (token.continued && statement.empty() && !m_open)
                from = pos;
            continue;
        }
        if (terminatorAt(line, at, token) && statement.canEnd()) {
            const std::string_view text = platform::trimRight(line.substr(from, at - from));
            if (!m_inIgnored && !statement.empty() && !isBlank(text))
                emit(from == 0 ? text : platform::trim(text));
            endCommand();
            m_inIgnored = false;
            statement.reset();
            pos = at + m_terminator.size();
            from = pos;
            continue;
        }
        if (statement.empty() && !m_inIgnored && isIgnoredStatement(line.substr(at)))
            m_inIgnored = true;
        statement.take(token);
    }
    if (m_inIgnored || (statement.empty() && !m_open))
        return; // blank and comment lines between statements, and ignored statements
    const std::string_view text = line.substr(from);
    if (from > 0 && isBlank(text))
        return;
    emit(from == 0 ? text : platform::trim(text));
}

} // namespace vt::desktop
