// SqlScan: statement boundaries and parameter markers, read with the shared SQL tokenizer.
#include "dbengine/core/sqlscan.h"

#include "script/sqlstatementend.h"

namespace vt::dbengine {

namespace {

using script::SqlToken;
using script::SqlTokenKind;

bool isMarker(const SqlToken& token) {
    return token.kind == SqlTokenKind::Symbol && token.text == "?";
}

// Calls visit(token, position) for each token of the whole text.
template <typename Visit>
void forEachToken(std::string_view sql, const SqlDialect& d, Visit visit) {
    script::SqlTokenizer tokenizer(d.engine);
    SqlToken token;
    std::size_t pos = 0;
    while (true) {
        const std::size_t at = pos;
        if (!tokenizer.next(sql, pos, token))
            break;
        visit(token, at);
    }
}

} // namespace

std::vector<std::string> splitSqlStatements(std::string_view sql, const SqlDialect& dialect) {
    std::vector<std::string> out;
    script::SqlStatementEnd statement(dialect.engine);
    std::size_t start = 0;
    auto finish = [&](std::size_t end) {
        if (!statement.empty())
            out.emplace_back(sql.substr(start, end - start));
        statement.reset();
    };
    forEachToken(sql, dialect, [&](const SqlToken& token, std::size_t at) {
        if (!token.isCode())
            return;
        if (token.kind == SqlTokenKind::Symbol && token.text == ";" && statement.canEnd()) {
            finish(at);
            start = at + 1;
            return;
        }
        statement.take(token);
    });
    finish(sql.size());
    return out;
}

std::string numberSqlMarkers(std::string_view sql, const SqlDialect& dialect, int& count) {
    std::string out;
    out.reserve(sql.size() + 16);
    count = 0;
    std::size_t copied = 0;
    forEachToken(sql, dialect, [&](const SqlToken& token, std::size_t at) {
        if (!isMarker(token))
            return;
        out.append(sql.substr(copied, at - copied));
        out += '$';
        out += std::to_string(++count);
        copied = at + 1;
    });
    out.append(sql.substr(copied));
    return out;
}

int countSqlMarkers(std::string_view sql, const SqlDialect& dialect) {
    int count = 0;
    forEachToken(sql, dialect,
                 [&](const SqlToken& token, std::size_t) { count += isMarker(token); });
    return count;
}

} // namespace vt::dbengine
