// Value: text forms and number parsing.
#include "dbengine/core/value.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vt::dbengine {

bool Value::operator==(const Value& other) const {
    if (m_kind != other.m_kind)
        return false;
    switch (m_kind) {
    case Kind::Null:
        return true;
    case Kind::Integer:
        return asInteger() == other.asInteger();
    case Kind::Float:
        return asFloat() == other.asFloat();
    default:
        return asBytes() == other.asBytes();
    }
}

std::string Value::toText() const {
    switch (m_kind) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return std::to_string(asInteger());
    case Kind::Float:
        return formatDouble(asFloat());
    default:
        return asBytes();
    }
}

std::string formatDouble(double v) {
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "Infinity" : "-Infinity";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

namespace {

std::string_view trimBlanks(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    return t;
}

} // namespace

bool parseInteger(std::string_view text, std::int64_t& out) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    std::int64_t v = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size())
        return false;
    out = v;
    return true;
}

bool parseDouble(std::string_view text, double& out) {
    text = trimBlanks(text);
    if (text.empty())
        return false;
    std::string s(text);
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

} // namespace vt::dbengine
