// SqlScan: a small lexer for statement boundaries and parameter markers.
#include "dbengine/sqlscan.h"

#include <cctype>
#include <functional>

namespace vt::dbengine {

namespace {

bool isIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Calls onCode(position) for each character outside quotes and comments and onBlank marks
// which characters belong to comments or blanks; returns nothing.
void scan(std::string_view s, const SqlDialect& d, const std::function<void(std::size_t)>& onCode,
          const std::function<void(std::size_t, std::size_t)>& onQuoted) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        char c = s[i];
        if (c == '\'') {
            bool escapes = d.escapeStrings && i > 0 && (s[i - 1] == 'E' || s[i - 1] == 'e') &&
                           (i < 2 || !isIdentChar(s[i - 2]));
            std::size_t start = i++;
            while (i < n) {
                if (escapes && s[i] == '\\' && i + 1 < n) {
                    i += 2;
                } else if (s[i] == '\'') {
                    if (i + 1 < n && s[i + 1] == '\'') {
                        i += 2;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    ++i;
                }
            }
            onQuoted(start, i);
        } else if (c == '"' || c == '`' || (c == '[' && d.bracketNames)) {
            char close = c == '[' ? ']' : c;
            std::size_t start = i++;
            while (i < n) {
                if (s[i] == close) {
                    if (close != ']' && i + 1 < n && s[i + 1] == close) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            onQuoted(start, i);
        } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            std::size_t start = i;
            while (i < n && s[i] != '\n')
                ++i;
            onQuoted(start, i);
        } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            std::size_t start = i;
            int depth = 1;
            i += 2;
            while (i < n && depth > 0) {
                if (s[i] == '*' && i + 1 < n && s[i + 1] == '/') {
                    --depth;
                    i += 2;
                } else if (d.nestedComments && s[i] == '/' && i + 1 < n && s[i + 1] == '*') {
                    ++depth;
                    i += 2;
                } else {
                    ++i;
                }
            }
            onQuoted(start, i);
        } else if (c == '$' && d.dollarQuotes && (i == 0 || !isIdentChar(s[i - 1]))) {
            // $tag$ or $$; "$1" is a parameter, not a quote.
            std::size_t j = i + 1;
            while (j < n && isIdentChar(s[j]) && !(j == i + 1 && std::isdigit((unsigned char)s[j])))
                ++j;
            if (j < n && s[j] == '$' && !(j > i + 1 && std::isdigit((unsigned char)s[i + 1]))) {
                std::string_view tag = s.substr(i, j - i + 1);
                std::size_t end = s.find(tag, j + 1);
                std::size_t stop = end == std::string_view::npos ? n : end + tag.size();
                onQuoted(i, stop);
                i = stop;
            } else {
                onCode(i);
                ++i;
            }
        } else {
            onCode(i);
            ++i;
        }
    }
}

} // namespace

std::vector<std::string> splitSqlStatements(std::string_view sql, const SqlDialect& dialect) {
    std::vector<std::string> out;
    std::size_t start = 0;
    bool hasCode = false;
    auto finish = [&](std::size_t end) {
        if (hasCode)
            out.emplace_back(sql.substr(start, end - start));
        hasCode = false;
    };
    scan(
        sql, dialect,
        [&](std::size_t i) {
            if (sql[i] == ';') {
                finish(i);
                start = i + 1;
            } else if (!std::isspace(static_cast<unsigned char>(sql[i]))) {
                hasCode = true;
            }
        },
        [&](std::size_t from, std::size_t) {
            // Comments are blanks; quoted strings and names are code.
            if (!(sql.substr(from, 2) == "--" || sql.substr(from, 2) == "/*"))
                hasCode = true;
        });
    finish(sql.size());
    return out;
}

std::string numberSqlMarkers(std::string_view sql, const SqlDialect& dialect, int& count) {
    std::string out;
    out.reserve(sql.size() + 16);
    count = 0;
    std::size_t copied = 0;
    scan(
        sql, dialect,
        [&](std::size_t i) {
            if (sql[i] == '?') {
                out.append(sql.substr(copied, i - copied));
                out += '$';
                out += std::to_string(++count);
                copied = i + 1;
            }
        },
        [](std::size_t, std::size_t) {});
    out.append(sql.substr(copied));
    return out;
}

int countSqlMarkers(std::string_view sql, const SqlDialect& dialect) {
    int count = 0;
    scan(
        sql, dialect, [&](std::size_t i) { count += sql[i] == '?'; },
        [](std::size_t, std::size_t) {});
    return count;
}

} // namespace vt::dbengine
