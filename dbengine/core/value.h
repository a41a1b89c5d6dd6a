// Value: one field value as the engine carries it between drivers (text is UTF-8).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace vt::dbengine {

// A field value: null, a 64-bit integer, a double, UTF-8 text or binary bytes.
class Value {
public:
    enum class Kind { Null, Integer, Float, Text, Blob };

    Value() = default;
    static Value integer(std::int64_t v) { return Value(Kind::Integer, v); }
    static Value real(double v) { return Value(Kind::Float, v); }
    static Value text(std::string v) { return Value(Kind::Text, std::move(v)); }
    static Value blob(std::string bytes) { return Value(Kind::Blob, std::move(bytes)); }

    Kind kind() const noexcept { return m_kind; }
    bool isNull() const noexcept { return m_kind == Kind::Null; }
    // The integer (only for Kind::Integer).
    std::int64_t asInteger() const { return std::get<std::int64_t>(m_data); }
    // The double (only for Kind::Float).
    double asFloat() const { return std::get<double>(m_data); }
    // The text or blob bytes (only for Kind::Text and Kind::Blob).
    const std::string& asBytes() const { return std::get<std::string>(m_data); }

    // Mutators that reuse the value's storage (rows are refilled in place while streaming).
    void setNull() { m_kind = Kind::Null; }
    void setInteger(std::int64_t v) {
        m_kind = Kind::Integer;
        m_data = v;
    }
    void setFloat(double v) {
        m_kind = Kind::Float;
        m_data = v;
    }
    void setText(std::string_view v) { assignBytes(Kind::Text, v); }
    void setBlob(std::string_view v) { assignBytes(Kind::Blob, v); }

    // The value as text: integers in decimal, doubles in the shortest form that reads back
    // exactly, text and blobs as they are, null as "".
    std::string toText() const;

    bool operator==(const Value& other) const;

private:
    void assignBytes(Kind kind, std::string_view v) {
        m_kind = kind;
        if (auto* s = std::get_if<std::string>(&m_data))
            s->assign(v.data(), v.size());
        else
            m_data.emplace<std::string>(v);
    }

    template <class T> Value(Kind k, T v) : m_kind(k), m_data(std::move(v)) {}

    Kind m_kind = Kind::Null;
    std::variant<std::monostate, std::int64_t, double, std::string> m_data;
};

// Formats a double in the shortest decimal form that reads back to the same value.
std::string formatDouble(double v);

// Parses a whole text (blanks around it allowed) as a decimal integer; false when it is not one
// or does not fit 64 bits.
bool parseInteger(std::string_view text, std::int64_t& out);

// Parses a whole text (blanks around it allowed) as a finite decimal number.
bool parseDouble(std::string_view text, double& out);

} // namespace vt::dbengine
