// Telling which SQL commands of a script may run inside a transaction the plug-in opens.
#include "plugin/commandclassifier.h"
#include "platform/asciitext.h"

#include <string>
#include <vector>

namespace vt::plugin {
namespace {

// A quoted name or other non-keyword token among a statement's words.
constexpr std::string_view kQuotedName = "\"";

// Splits a command into statements, each as the list of its words (keywords in capitals).
class StatementScanner final {
public:
    StatementScanner(std::string_view sql, script::SqlDialect dialect)
        : m_sql(sql), m_dialect(dialect), m_tokenizer(dialect) {}

    std::vector<std::vector<std::string>> statements() {
        std::vector<std::vector<std::string>> result;
        std::vector<std::string> words;
        int blockDepth = 0; // inside a trigger or BEGIN ATOMIC body
        int caseDepth = 0;  // CASE ... END inside such a body
        script::SqlToken token;
        std::size_t pos = 0;
        while (m_tokenizer.next(m_sql, pos, token)) {
            if (token.kind == script::SqlTokenKind::Symbol && token.text == ";") {
                if (blockDepth > 0)
                    continue;
                if (!words.empty())
                    result.push_back(std::move(words));
                words.clear();
                caseDepth = 0;
            } else if (token.kind == script::SqlTokenKind::QuotedName) {
                words.emplace_back(kQuotedName);
            } else if (token.kind == script::SqlTokenKind::Word) {
                std::string word = platform::toUpperAscii(token.text);
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
        if (m_dialect == script::SqlDialect::PostgreSQL)
            return word == "ATOMIC" && words.back() == "BEGIN";
        const bool temporary = words.size() > 2 && (words[1] == "TEMP" || words[1] == "TEMPORARY");
        const bool trigger = words.size() > 1 && words[temporary ? 2 : 1] == "TRIGGER";
        return trigger && word == "BEGIN";
    }

    std::string_view m_sql;
    script::SqlDialect m_dialect;
    script::SqlTokenizer m_tokenizer;
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
bool classifyTransactionControl(const std::vector<std::string>& w, script::SqlDialect dialect,
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
        traits.effect = dialect == script::SqlDialect::SQLite ? TransactionEffect::Opens
                                                              : TransactionEffect::None;
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

CommandTraits classifyCommand(std::string_view sql, script::SqlDialect dialect) {
    CommandTraits result;
    for (const std::vector<std::string>& words : StatementScanner(sql, dialect).statements()) {
        CommandTraits traits;
        if (!classifyTransactionControl(words, dialect, traits)) {
            traits.fitsInTransaction = dialect == script::SqlDialect::PostgreSQL
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
