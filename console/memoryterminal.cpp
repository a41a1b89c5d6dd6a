// A terminal held in memory: scripted input lines and recorded output, for tests.
#include "console/memoryterminal.h"

namespace vt::console {

MemoryTerminal::MemoryTerminal(std::string input) {
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t end = input.find('\n', start);
        if (end == std::string::npos) {
            m_lines.push_back(input.substr(start));
            break;
        }
        m_lines.push_back(input.substr(start, end - start));
        start = end + 1;
    }
}

void MemoryTerminal::write(std::string_view bytes) {
    m_output.append(bytes);
}

void MemoryTerminal::setColour(Colour colour) {
    if (m_recordColours)
        m_output += "{" + std::to_string(static_cast<int>(colour)) + "}";
}

std::optional<std::string> MemoryTerminal::readLine() {
    if (m_lines.empty())
        return std::nullopt;
    std::string line = std::move(m_lines.front());
    m_lines.pop_front();
    return line;
}

std::optional<char> MemoryTerminal::readKey(std::string_view allowed) {
    while (auto line = readLine()) {
        if (!line->empty() && allowed.find(line->front()) != std::string_view::npos)
            return line->front();
    }
    return std::nullopt;
}

} // namespace vt::console
