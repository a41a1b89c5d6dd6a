// SqlTokenizer: the lexical rules of the SQL dialects the tools run scripts against, shared by
// every part that needs to know where quotes, comments and bodies begin and end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vt::script {

// The SQL dialects the tools know the lexical rules of.
enum class SqlDialect { SQLite, PostgreSQL };

// What a token is.
enum class SqlTokenKind {
    Blank,        // blanks and control characters (bytes 0 to 32)
    Word,         // a keyword or plain name: a letter, '_' or byte >= 0x80, then those, digits, '$'
    Number,       // a digit, then letters, digits, '_' and '.'
    String,       // '...' (and PostgreSQL E'...' with backslash escapes, the E included)
    QuotedName,   // "..." (and SQLite `...` and [...])
    DollarString, // PostgreSQL $$...$$ or $tag$...$tag$
    LineComment,  // "--" up to the end of the line
    BlockComment, // /* ... */ (nested in PostgreSQL)
    Symbol,       // any other single character
};

// One token, or the part of it that lies in the text scanned.
struct SqlToken {
    SqlTokenKind kind = SqlTokenKind::Blank;
    std::string_view text;
    bool continued = false; // began in an earlier text
    bool open = false;      // goes on past the end of this text

    // True for the tokens that are not blanks or comments.
    bool isCode() const {
        return kind != SqlTokenKind::Blank && kind != SqlTokenKind::LineComment &&
               kind != SqlTokenKind::BlockComment;
    }
};

// Cuts SQL text into tokens. The text may come in pieces (the lines of a file, without their
// line ends): a string, quoted name, block comment or dollar-quoted body left open at the end of
// one piece goes on in the next, as if a line break stood between them; a line comment ends with
// its piece or its line. One object reads one text at a time.
class SqlTokenizer final {
public:
    explicit SqlTokenizer(SqlDialect dialect) : m_dialect(dialect) {}

    SqlDialect dialect() const { return m_dialect; }

    // Reads the token at pos of the piece into token and moves pos past it; false at the end of
    // the piece.
    bool next(std::string_view piece, std::size_t& pos, SqlToken& token);

    // True when a string, quoted name, comment or body goes on past the last piece read.
    bool insideToken() const { return m_open != Open::None; }

    // Forgets any token left open.
    void reset() {
        m_open = Open::None;
        m_depth = 0;
        m_tag.clear();
    }

    // True for the bytes a Word may start with.
    static bool isWordStart(unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
    }
    // True for the bytes a Word goes on with.
    static bool isWordChar(unsigned char c) {
        return isWordStart(c) || (c >= '0' && c <= '9') || c == '$';
    }

private:
    enum class Open { None, String, EscapeString, QuotedName, Block, Dollar };

    std::size_t endOfQuoted(std::string_view s, std::size_t from, char close, bool escapes,
                            bool doubled);
    std::size_t endOfBlock(std::string_view s, std::size_t from);
    std::size_t endOfDollar(std::string_view s, std::size_t from);
    bool dollarTagAt(std::string_view s, std::size_t at, std::size_t& end) const;
    std::size_t resume(std::string_view piece, std::size_t from, SqlToken& token);

    SqlDialect m_dialect;
    Open m_open = Open::None;
    char m_close = 0;  // closing quote of an open string or quoted name
    int m_depth = 0;   // nesting of an open block comment
    std::string m_tag; // tag of an open dollar-quoted body, both '$' included
};

} // namespace vt::script
