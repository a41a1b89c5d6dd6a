// ParamList: ordered NAME=value parameters.
#include "dbengine/core/paramlist.h"

#include "platform/asciitext.h"

namespace vt::dbengine {

namespace {} // namespace

ParamList ParamList::fromLines(const std::vector<std::string>& lines) {
    ParamList list;
    for (const auto& line : lines) {
        auto eq = line.find('=');
        std::string name(platform::trimRight(
            platform::trimLeft(std::string_view(line).substr(0, eq), " \t"), " \t\r"));
        if (name.empty())
            continue;
        std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        list.setValue(name, value);
    }
    return list;
}

std::string ParamList::value(std::string_view name) const {
    for (const auto& [n, v] : m_items)
        if (platform::equalsNoCase(n, name))
            return v;
    return {};
}

bool ParamList::contains(std::string_view name) const {
    for (const auto& item : m_items)
        if (platform::equalsNoCase(item.first, name))
            return true;
    return false;
}

void ParamList::setValue(std::string_view name, std::string_view value) {
    for (auto& item : m_items) {
        if (platform::equalsNoCase(item.first, name)) {
            item.second = std::string(value);
            return;
        }
    }
    m_items.emplace_back(std::string(name), std::string(value));
}

void ParamList::remove(std::string_view name) {
    std::erase_if(m_items,
                  [&](const Item& item) { return platform::equalsNoCase(item.first, name); });
}

std::vector<std::string> ParamList::lines() const {
    std::vector<std::string> out;
    out.reserve(m_items.size());
    for (const auto& [n, v] : m_items)
        out.push_back(n + "=" + v);
    return out;
}

} // namespace vt::dbengine
