// ParamList: an ordered list of NAME=value parameters with names matched without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vt::dbengine {

// Ordered name=value parameters (alias parameters, database parameters); UTF-8 text.
class ParamList {
public:
    using Item = std::pair<std::string, std::string>;

    ParamList() = default;
    // Parameters from "NAME=value" lines (the name is trimmed; a line without '=' is a name with
    // an empty value).
    static ParamList fromLines(const std::vector<std::string>& lines);

    // The value of a name, or "" when absent.
    std::string value(std::string_view name) const;
    // Whether the name is present.
    bool contains(std::string_view name) const;
    // Sets a value, replacing the name's entry in place or appending a new one.
    void setValue(std::string_view name, std::string_view value);
    // Removes the name's entry.
    void remove(std::string_view name);
    void clear() { m_items.clear(); }
    bool empty() const { return m_items.empty(); }

    // The entries in order.
    const std::vector<Item>& items() const { return m_items; }
    // The entries as "NAME=value" lines.
    std::vector<std::string> lines() const;

    bool operator==(const ParamList&) const = default;

private:
    std::vector<Item> m_items;
};

} // namespace vt::dbengine
