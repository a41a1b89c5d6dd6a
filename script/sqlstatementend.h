// SqlStatementEnd: where the engines' own clients end a statement.
#pragma once

#include <cstddef>

#include "script/sqltokenizer.h"

namespace vt::script {

// Follows the code tokens of one statement and tells whether a terminator at the current point
// ends it, as the engine's own client decides: sqlite3 keeps a CREATE TRIGGER statement open
// until its body's "; END" is followed by the terminator; psql keeps a statement open inside
// parentheses and inside the BEGIN ... END body of CREATE [OR REPLACE] FUNCTION or PROCEDURE.
class SqlStatementEnd final {
public:
    explicit SqlStatementEnd(SqlDialect dialect) : m_dialect(dialect) {}

    // Takes the next code token of the statement (never a blank or a comment).
    void take(const SqlToken& token);

    // True when a terminator here ends the statement.
    bool canEnd() const;

    // True before the statement's first code token.
    bool empty() const { return m_tokens == 0; }

    // Starts the next statement.
    void reset();

private:
    void takeSqliteWord(const SqlToken& token);
    void takePostgresWord(const SqlToken& token);

    // Where a SQLite statement stands on the way to the end of a trigger body.
    enum class Trigger { No, Body, Semicolon, End };

    SqlDialect m_dialect;
    std::size_t m_tokens = 0;
    std::size_t m_words = 0;
    // SQLite: EXPLAIN? CREATE (TEMP|TEMPORARY)? TRIGGER opens a body.
    int m_createStep = 0;
    Trigger m_trigger = Trigger::No;
    // PostgreSQL: the first letters of the statement's first words when they are CREATE, OR,
    // REPLACE, FUNCTION or PROCEDURE; parenthesis and BEGIN ... END depth.
    char m_lead[4] = {0, 0, 0, 0};
    int m_parens = 0;
    int m_blocks = 0;
};

} // namespace vt::script
