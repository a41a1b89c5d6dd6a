// ParamList: ordered NAME=value parameters.
#include "dbengine/core/paramlist.h"

#include <strings.h>

namespace vt::dbengine {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r'))
        t.remove_suffix(1);
    return std::string(t);
}

} // namespace

ParamList ParamList::fromLines(const std::vector<std::string>& lines) {
    ParamList list;
    for (const auto& line : lines) {
        auto eq = line.find('=');
        std::string name = trim(std::string_view(line).substr(0, eq));
        if (name.empty())
            continue;
        std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        list.setValue(name, value);
    }
    return list;
}

std::string ParamList::value(std::string_view name) const {
    for (const auto& [n, v] : m_items)
        if (sameName(n, name))
            return v;
    return {};
}

bool ParamList::contains(std::string_view name) const {
    for (const auto& item : m_items)
        if (sameName(item.first, name))
            return true;
    return false;
}

void ParamList::setValue(std::string_view name, std::string_view value) {
    for (auto& item : m_items) {
        if (sameName(item.first, name)) {
            item.second = std::string(value);
            return;
        }
    }
    m_items.emplace_back(std::string(name), std::string(value));
}

void ParamList::remove(std::string_view name) {
    std::erase_if(m_items, [&](const Item& item) { return sameName(item.first, name); });
}

std::vector<std::string> ParamList::lines() const {
    std::vector<std::string> out;
    out.reserve(m_items.size());
    for (const auto& [n, v] : m_items)
        out.push_back(n + "=" + v);
    return out;
}

} // namespace vt::dbengine
