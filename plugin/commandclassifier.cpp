// Telling which SQL commands of a script may run inside a transaction the plug-in opens.
#include "plugin/commandclassifier.h"

#include <string>
#include <vector>

namespace vt::plugin {
namespace {

// A quoted name or other non-keyword token among a statement's words.
constexpr std::string_view kQuotedName = "\"";

bool isWordStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool isWordChar(unsigned char c) {
    return isWordStart(c) || (c >= '0' && c <= '9') || c == '$';
}
bool isTagChar(unsigned char c) {
    return isWordStart(c) || (c >= '0' && c <= '9');
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Splits a command into statements, each as the list of its words (keywords in capitals).
class StatementScanner final {
public:
    StatementScanner(std::string_view sql, SqlDialect dialect) : m_sql(sql), m_dialect(dialect) {}

    std::vector<std::vector<std::string>> statements() {
        std::vector<std::vector<std::string>> result;
        std::vector<std::string> words;
        int blockDepth = 0; // inside a trigger or BEGIN ATOMIC body
        int caseDepth = 0;  // CASE ... END inside such a body
        while (m_pos < m_sql.size()) {
            const unsigned char c = m_sql[m_pos];
            if (c == ';') {
                ++m_pos;
                if (blockDepth > 0)
                    continue;
                if (!words.empty())
                    result.push_back(std::move(words));
                words.clear();
                caseDepth = 0;
            } else if (c == '-' && peek(1) == '-') {
                skipLineComment();
            } else if (c == '/' && peek(1) == '*') {
                skipBlockComment();
            } else if (c == '\'') {
                skipQuoted('\'', false);
            } else if (c == '"' || (m_dialect == SqlDialect::SQLite && c == '`')) {
                skipQuoted(static_cast<char>(c), false);
                words.emplace_back(kQuotedName);
            } else if (c == '[' && m_dialect == SqlDialect::SQLite) {
                skipTo(']');
                words.emplace_back(kQuotedName);
            } else if (c == '$' && m_dialect == SqlDialect::PostgreSQL && skipDollarQuoted()) {
                // a dollar-quoted body
            } else if (isWordStart(c)) {
                std::string word = readWord();
                if (m_dialect == SqlDialect::PostgreSQL && word == "E" && peek(0) == '\'') {
                    skipQuoted('\'', true);
                    continue;
                }
                if (blockDepth == 0 && opensBody(words, word)) {
                    blockDepth = 1;
                } else if (blockDepth > 0) {
                    if (word == "CASE") {
                        ++caseDepth;
                    } else if (word == "END") {
                        if (caseDepth > 0)
                            --caseDepth;
                        else
                            blockDepth = 0;
                    }
                }
                words.push_back(std::move(word));
            } else {
                ++m_pos;
            }
        }
        if (!words.empty())
            result.push_back(std::move(words));
        return result;
    }

private:
    // Whether word opens a body whose statements belong to the statement of words: the BEGIN of
    // an SQLite CREATE TRIGGER, the ATOMIC of PostgreSQL's BEGIN ATOMIC.
    bool opensBody(const std::vector<std::string>& words, const std::string& word) const {
        if (words.empty() || words.front() != "CREATE")
            return false;
        if (m_dialect == SqlDialect::PostgreSQL)
            return word == "ATOMIC" && words.back() == "BEGIN";
        const bool temporary = words.size() > 2 && (words[1] == "TEMP" || words[1] == "TEMPORARY");
        const bool trigger = words.size() > 1 && words[temporary ? 2 : 1] == "TRIGGER";
        return trigger && word == "BEGIN";
    }

    char peek(std::size_t ahead) const {
        return m_pos + ahead < m_sql.size() ? m_sql[m_pos + ahead] : '\0';
    }

    std::string readWord() {
        std::string word;
        while (m_pos < m_sql.size() && isWordChar(static_cast<unsigned char>(m_sql[m_pos])))
            word += upperAscii(m_sql[m_pos++]);
        return word;
    }

    void skipLineComment() {
        while (m_pos < m_sql.size() && m_sql[m_pos] != '\n')
            ++m_pos;
    }

    void skipBlockComment() {
        // PostgreSQL nests block comments; SQLite ends at the first "*/".
        int depth = 0;
        while (m_pos < m_sql.size()) {
            if (m_sql[m_pos] == '/' && peek(1) == '*') {
                ++depth;
                m_pos += 2;
            } else if (m_sql[m_pos] == '*' && peek(1) == '/') {
                m_pos += 2;
                if (--depth == 0 || m_dialect == SqlDialect::SQLite)
                    return;
            } else {
                ++m_pos;
            }
        }
    }

    // Skips a quoted text whose quote is doubled inside it (and, for escape strings, may follow a
    // backslash).
    void skipQuoted(char quote, bool backslashEscapes) {
        ++m_pos;
        while (m_pos < m_sql.size()) {
            const char c = m_sql[m_pos++];
            if (backslashEscapes && c == '\\') {
                ++m_pos;
            } else if (c == quote) {
                if (peek(0) != quote)
                    return;
                ++m_pos;
            }
        }
    }

    void skipTo(char end) {
        while (m_pos < m_sql.size() && m_sql[m_pos] != end)
            ++m_pos;
        ++m_pos;
    }

    // At a '$': skips a $tag$ ... $tag$ body and returns true, or returns false (a parameter such
    // as $1, or a lone '$') without moving.
    bool skipDollarQuoted() {
        std::size_t end = m_pos + 1;
        if (end < m_sql.size() && m_sql[end] >= '0' && m_sql[end] <= '9')
            return false;
        while (end < m_sql.size() && isTagChar(static_cast<unsigned char>(m_sql[end])))
            ++end;
        if (end >= m_sql.size() || m_sql[end] != '$')
            return false;
        const std::string_view tag = m_sql.substr(m_pos, end - m_pos + 1);
        const std::size_t close = m_sql.find(tag, end + 1);
        m_pos = close == std::string_view::npos ? m_sql.size() : close + tag.size();
        return true;
    }

    std::string_view m_sql;
    SqlDialect m_dialect;
    std::size_t m_pos = 0;
};

bool contains(const std::vector<std::string>& words, std::string_view word, std::size_t from = 0) {
    for (std::size_t i = from; i < words.size(); ++i)
        if (words[i] == word)
            return true;
    return false;
}

std::string_view wordAt(const std::vector<std::string>& words, std::size_t i) {
    return i < words.size() ? std::string_view(words[i]) : std::string_view();
}

// "... AND CHAIN" (not "AND NO CHAIN"): the transaction ends and a new one starts at once.
bool chains(const std::vector<std::string>& words) {
    for (std::size_t i = 1; i < words.size(); ++i)
        if (words[i] == "CHAIN" && words[i - 1] == "AND")
            return true;
    return false;
}

// Fills traits for a transaction control statement; false when the statement is none.
bool classifyTransactionControl(const std::vector<std::string>& w, SqlDialect dialect,
                                CommandTraits& traits) {
    const std::string_view first = w.front();
    const std::string_view second = wordAt(w, 1);
    traits.fitsInTransaction = false;
    if (first == "BEGIN" || (first == "START" && second == "TRANSACTION")) {
        traits.effect = TransactionEffect::Opens;
    } else if (first == "COMMIT" || first == "END" || first == "ABORT" || first == "ROLLBACK") {
        const bool prepared = second == "PREPARED";
        const bool toSavepoint =
            first == "ROLLBACK" &&
            (second == "TO" ||
             ((second == "TRANSACTION" || second == "WORK") && wordAt(w, 2) == "TO"));
        if (prepared || toSavepoint)
            traits.effect = TransactionEffect::None;
        else
            traits.effect = chains(w) ? TransactionEffect::Opens : TransactionEffect::Closes;
    } else if (first == "SAVEPOINT") {
        // Outside a transaction an SQLite savepoint starts one.
        traits.effect =
            dialect == SqlDialect::SQLite ? TransactionEffect::Opens : TransactionEffect::None;
    } else if (first == "RELEASE") {
        traits.effect = TransactionEffect::None;
    } else if (first == "PREPARE" && second == "TRANSACTION") {
        traits.effect = TransactionEffect::Closes;
    } else {
        traits.fitsInTransaction = true;
        return false;
    }
    return true;
}

// Statements PostgreSQL refuses to run inside a transaction block.
bool refusedInTransactionByPostgres(const std::vector<std::string>& w) {
    const std::string_view first = w.front();
    const std::string_view second = wordAt(w, 1);
    if (contains(w, "CONCURRENTLY"))
        return true; // CREATE/DROP INDEX, REINDEX, DETACH PARTITION ... CONCURRENTLY
    if ((first == "CREATE" || first == "DROP") &&
        (second == "DATABASE" || second == "TABLESPACE" || second == "SUBSCRIPTION"))
        return true;
    if (first == "ALTER" && (second == "SYSTEM" || second == "SUBSCRIPTION"))
        return true;
    if (first == "ALTER" && second == "DATABASE" && contains(w, "TABLESPACE", 3))
        return true;
    if (first == "VACUUM")
        return true;
    if (first == "REINDEX") {
        for (std::size_t i = 1; i < w.size(); ++i)
            if (w[i] == "DATABASE" || w[i] == "SYSTEM")
                return true;
    }
    if (first == "CLUSTER") {
        // CLUSTER without a table name works through every table, one transaction each.
        for (std::size_t i = 1; i < w.size(); ++i)
            if (w[i] != "VERBOSE")
                return false;
        return true;
    }
    if (first == "DISCARD" && second == "ALL")
        return true;
    return false;
}

// Statements SQLite refuses inside a transaction, or whose effect is lost there (PRAGMA
// foreign_keys, journal_mode).
bool refusedInTransactionBySqlite(const std::vector<std::string>& w) {
    const std::string_view first = w.front();
    return first == "VACUUM" || first == "PRAGMA" || first == "ATTACH" || first == "DETACH";
}

} // namespace

CommandTraits classifyCommand(std::string_view sql, SqlDialect dialect) {
    CommandTraits result;
    for (const std::vector<std::string>& words : StatementScanner(sql, dialect).statements()) {
        CommandTraits traits;
        if (!classifyTransactionControl(words, dialect, traits)) {
            traits.fitsInTransaction = dialect == SqlDialect::PostgreSQL
                                           ? !refusedInTransactionByPostgres(words)
                                           : !refusedInTransactionBySqlite(words);
        }
        result.fitsInTransaction = result.fitsInTransaction && traits.fitsInTransaction;
        if (traits.effect != TransactionEffect::None)
            result.effect = traits.effect;
    }
    return result;
}

} // namespace vt::plugin
