// SqlTokenizer: the lexical rules of SQLite and PostgreSQL.
#include "script/sqltokenizer.h"

namespace vt::script {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool isTagChar(unsigned char c) {
    return SqlTokenizer::isWordStart(c) || isDigit(c);
}

} // namespace

std::size_t SqlTokenizer::endOfQuoted(std::string_view s, std::size_t i, char close, bool escapes,
                                      bool doubled) {
    const std::size_t n = s.size();
    while (i < n) {
        const char c = s[i];
        if (escapes && c == '\\') {
            i += 2; // past the end: the backslash escapes the line break
        } else if (c == close) {
            if (doubled && i + 1 < n && s[i + 1] == close)
                i += 2;
            else
                return i + 1;
        } else {
            ++i;
        }
    }
    return npos;
}

std::size_t SqlTokenizer::endOfBlock(std::string_view s, std::size_t i) {
    const std::size_t n = s.size();
    while (i + 1 < n) {
        if (s[i] == '*' && s[i + 1] == '/') {
            i += 2;
            if (--m_depth == 0 || m_dialect == SqlDialect::SQLite) {
                m_depth = 0;
                return i;
            }
        } else if (m_dialect == SqlDialect::PostgreSQL && s[i] == '/' && s[i + 1] == '*') {
            ++m_depth;
            i += 2;
        } else {
            ++i;
        }
    }
    return npos;
}

std::size_t SqlTokenizer::endOfDollar(std::string_view s, std::size_t i) {
    const std::size_t at = s.find(m_tag, i);
    return at == npos ? npos : at + m_tag.size();
}

bool SqlTokenizer::dollarTagAt(std::string_view s, std::size_t at, std::size_t& end) const {
    std::size_t j = at + 1;
    if (j < s.size() && isDigit(static_cast<unsigned char>(s[j])))
        return false; // $1 is a parameter
    while (j < s.size() && isTagChar(static_cast<unsigned char>(s[j])))
        ++j;
    if (j >= s.size() || s[j] != '$')
        return false;
    end = j + 1;
    return true;
}

// Finds the end of the open token from position from; fills token's kind and openness and
// returns where the token ends in the piece.
std::size_t SqlTokenizer::resume(std::string_view piece, std::size_t from, SqlToken& token) {
    std::size_t end = npos;
    switch (m_open) {
    case Open::String:
    case Open::EscapeString:
        token.kind = SqlTokenKind::String;
        end = endOfQuoted(piece, from, '\'', m_open == Open::EscapeString, true);
        break;
    case Open::QuotedName:
        token.kind = SqlTokenKind::QuotedName;
        end = endOfQuoted(piece, from, m_close, false, m_close != ']');
        break;
    case Open::Block:
        token.kind = SqlTokenKind::BlockComment;
        end = endOfBlock(piece, from);
        break;
    case Open::Dollar:
        token.kind = SqlTokenKind::DollarString;
        end = endOfDollar(piece, from);
        break;
    case Open::None:
        break;
    }
    token.open = end == npos;
    if (token.open)
        return piece.size();
    m_open = Open::None;
    m_tag.clear();
    return end;
}

bool SqlTokenizer::next(std::string_view piece, std::size_t& pos, SqlToken& token) {
    const std::size_t n = piece.size();
    if (pos >= n)
        return false;
    const std::size_t start = pos;
    token.continued = m_open != Open::None;
    token.open = false;
    if (token.continued) {
        pos = resume(piece, pos, token);
        token.text = piece.substr(start, pos - start);
        return true;
    }

    const unsigned char c = static_cast<unsigned char>(piece[pos]);
    const char after = pos + 1 < n ? piece[pos + 1] : '\0';
    const bool postgres = m_dialect == SqlDialect::PostgreSQL;
    if (c <= ' ') {
        token.kind = SqlTokenKind::Blank;
        while (pos < n && static_cast<unsigned char>(piece[pos]) <= ' ')
            ++pos;
    } else if (c == '\'') {
        m_open = Open::String;
        pos = resume(piece, pos + 1, token);
    } else if (postgres && (c == 'E' || c == 'e') && after == '\'') {
        m_open = Open::EscapeString;
        pos = resume(piece, pos + 2, token);
    } else if (isWordStart(c)) {
        token.kind = SqlTokenKind::Word;
        while (pos < n && isWordChar(static_cast<unsigned char>(piece[pos])))
            ++pos;
    } else if (isDigit(c)) {
        token.kind = SqlTokenKind::Number;
        while (pos < n && (isTagChar(static_cast<unsigned char>(piece[pos])) || piece[pos] == '.'))
            ++pos;
    } else if (c == '"' || (!postgres && (c == '`' || c == '['))) {
        m_open = Open::QuotedName;
        m_close = c == '[' ? ']' : static_cast<char>(c);
        pos = resume(piece, pos + 1, token);
    } else if (c == '-' && after == '-') {
        token.kind = SqlTokenKind::LineComment;
        const std::size_t eol = piece.find('\n', pos);
        pos = eol == npos ? n : eol;
    } else if (c == '/' && after == '*') {
        m_open = Open::Block;
        m_depth = 1;
        pos = resume(piece, pos + 2, token);
    } else if (std::size_t end = 0; postgres && c == '$' && dollarTagAt(piece, pos, end)) {
        m_open = Open::Dollar;
        m_tag.assign(piece.substr(pos, end - pos));
        pos = resume(piece, end, token);
    } else {
        token.kind = SqlTokenKind::Symbol;
        ++pos;
    }
    token.text = piece.substr(start, pos - start);
    return true;
}

} // namespace vt::script
