// SqlStatementEnd: where sqlite3 and psql end a statement.
#include "script/sqlstatementend.h"

#include <string_view>

namespace vt::script {
namespace {

bool is(std::string_view word, std::string_view upper) {
    if (word.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c) != upper[i])
            return false;
    }
    return true;
}

} // namespace

void SqlStatementEnd::reset() {
    *this = SqlStatementEnd(m_dialect);
}

bool SqlStatementEnd::canEnd() const {
    if (m_dialect == SqlDialect::SQLite)
        return m_trigger == Trigger::No || m_trigger == Trigger::End;
    return m_parens == 0 && m_blocks == 0;
}

void SqlStatementEnd::take(const SqlToken& token) {
    ++m_tokens;
    if (m_dialect == SqlDialect::SQLite) {
        if (token.kind == SqlTokenKind::Word) {
            takeSqliteWord(token);
        } else if (m_trigger != Trigger::No) {
            const bool semicolon = token.kind == SqlTokenKind::Symbol && token.text == ";";
            m_trigger = semicolon ? Trigger::Semicolon : Trigger::Body;
        } else {
            m_createStep = -1;
        }
        return;
    }
    if (token.kind == SqlTokenKind::Word) {
        takePostgresWord(token);
    } else if (token.kind == SqlTokenKind::Symbol && token.text == "(") {
        ++m_parens;
    } else if (token.kind == SqlTokenKind::Symbol && token.text == ")") {
        if (m_parens > 0)
            --m_parens;
    }
}

void SqlStatementEnd::takeSqliteWord(const SqlToken& token) {
    const std::string_view w = token.text;
    if (m_trigger != Trigger::No) {
        m_trigger = m_trigger == Trigger::Semicolon && is(w, "END") ? Trigger::End : Trigger::Body;
        return;
    }
    // The statement's opening words: EXPLAIN? CREATE (TEMP | TEMPORARY)? TRIGGER.
    switch (m_createStep) {
    case 0:
        m_createStep = is(w, "EXPLAIN") ? 0 : is(w, "CREATE") ? 1 : -1;
        if (m_createStep == 0 && m_words > 0)
            m_createStep = -1;
        break;
    case 1:
        if (is(w, "TEMP") || is(w, "TEMPORARY"))
            m_createStep = 2;
        else if (is(w, "TRIGGER"))
            m_trigger = Trigger::Body;
        else
            m_createStep = -1;
        break;
    case 2:
        if (is(w, "TRIGGER"))
            m_trigger = Trigger::Body;
        m_createStep = -1;
        break;
    default:
        break;
    }
    ++m_words;
}

void SqlStatementEnd::takePostgresWord(const SqlToken& token) {
    const std::string_view w = token.text;
    if (m_words < sizeof m_lead) {
        const bool lead = is(w, "CREATE") || is(w, "OR") || is(w, "REPLACE") || is(w, "FUNCTION") ||
                          is(w, "PROCEDURE");
        m_lead[m_words] = lead ? static_cast<char>(w[0] | 0x20) : 0;
    }
    ++m_words;
    const char* l = m_lead;
    const bool routine =
        l[0] == 'c' && (l[1] == 'f' || l[1] == 'p' ||
                        (l[1] == 'o' && l[2] == 'r' && (l[3] == 'f' || l[3] == 'p')));
    if (!routine || m_parens != 0)
        return;
    if (is(w, "BEGIN")) {
        ++m_blocks;
    } else if (is(w, "CASE")) {
        // CASE ends with END as well; it matters only inside a body.
        if (m_blocks > 0)
            ++m_blocks;
    } else if (is(w, "END")) {
        if (m_blocks > 0)
            --m_blocks;
    }
}

} // namespace vt::script
