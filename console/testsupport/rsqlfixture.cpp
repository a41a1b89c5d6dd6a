// Test fixtures of the console runner: files and rSQL scripts.
#include "console/testsupport/rsqlfixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vt::console::testing {

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

script::RsqlContent scriptContent(const std::string& code, const std::string& oldVersion,
                                  const std::string& newVersion,
                                  const std::vector<std::string>& commands) {
    script::RsqlContent content;
    content.code = code;
    content.oldVersion = oldVersion;
    content.newVersion = newVersion;
    for (const std::string& command : commands)
        content.commands.push_back({command});
    return content;
}

std::size_t countOf(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

} // namespace vt::console::testing
