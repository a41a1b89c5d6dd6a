// Explicit conversion of values to a destination column's type.
#include "dbengine/core/valueconvert.h"

#include "dbengine/core/sqldriverhelp.h"

#include <cmath>

namespace vt::dbengine {

namespace {

bool integerFits(std::int64_t v, int size) {
    if (size == 2)
        return v >= -32768 && v <= 32767;
    if (size == 4)
        return v >= -2147483648LL && v <= 2147483647LL;
    return true;
}

bool toBoolean(std::string_view text, bool& out) {
    std::string t = sqlhelp::lower(text);
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    while (!t.empty() && t.front() == ' ')
        t.erase(t.begin());
    static const char* const yes[] = {"1", "t", "true", "y", "yes", "on"};
    static const char* const no[] = {"0", "f", "false", "n", "no", "off"};
    for (const char* y : yes)
        if (t == y)
            return out = true, true;
    for (const char* n : no)
        if (t == n)
            return out = false, true;
    return false;
}

} // namespace

bool convertValue(const Value& in, const ColumnInfo& column, Value& out, std::string& reason) {
    using K = Value::Kind;
    if (in.isNull() || !column.typeKnown) {
        out = in;
        return true;
    }
    auto refuse = [&](const char* what) {
        reason = std::string(what) + " cannot be converted to " + columnTypeName(column.type);
        return false;
    };
    switch (column.type) {
    case ColumnType::Integer: {
        std::int64_t v = 0;
        if (in.kind() == K::Integer) {
            v = in.asInteger();
        } else if (in.kind() == K::Float) {
            double d = in.asFloat();
            if (std::trunc(d) != d || std::fabs(d) >= 9.2e18)
                return refuse("a fractional or too large number");
            v = static_cast<std::int64_t>(d);
        } else if (in.kind() == K::Text) {
            if (!parseInteger(in.asBytes(), v))
                return refuse("text that is not a whole number");
        } else {
            return refuse("binary data");
        }
        if (!integerFits(v, column.size)) {
            reason = std::to_string(v) + " is out of range for a " + std::to_string(column.size) +
                     "-byte integer";
            return false;
        }
        out.setInteger(v);
        return true;
    }
    case ColumnType::Float: {
        double d = 0;
        if (in.kind() == K::Float)
            d = in.asFloat();
        else if (in.kind() == K::Integer)
            d = static_cast<double>(in.asInteger());
        else if (in.kind() != K::Text || !parseDouble(in.asBytes(), d))
            return refuse(in.kind() == K::Text ? "text that is not a number" : "binary data");
        out.setFloat(d);
        return true;
    }
    case ColumnType::Numeric: {
        double d = 0;
        if (in.kind() == K::Integer || in.kind() == K::Float) {
            out = in;
            return true;
        }
        if (in.kind() == K::Text && parseDouble(in.asBytes(), d)) {
            out = in;
            return true;
        }
        return refuse(in.kind() == K::Text ? "text that is not a number" : "binary data");
    }
    case ColumnType::Boolean: {
        bool b = false;
        if (in.kind() == K::Integer && (in.asInteger() == 0 || in.asInteger() == 1))
            b = in.asInteger() == 1;
        else if (in.kind() == K::Float && (in.asFloat() == 0.0 || in.asFloat() == 1.0))
            b = in.asFloat() == 1.0;
        else if (in.kind() != K::Text || !toBoolean(in.asBytes(), b))
            return refuse("a value other than 0, 1, true or false");
        out.setInteger(b ? 1 : 0);
        return true;
    }
    case ColumnType::Blob:
        if (in.kind() == K::Blob || in.kind() == K::Text) {
            out.setBlob(in.asBytes());
            return true;
        }
        return refuse("a number");
    default: // text, dates and times, other types: their text form
        if (in.kind() == K::Text) {
            out = in;
        } else if (in.kind() == K::Blob) {
            out.setText(in.asBytes());
        } else {
            out.setText(in.toText());
        }
        return true;
    }
}

} // namespace vt::dbengine
