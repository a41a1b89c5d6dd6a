// The console's command line: the command, the file name argument and the switches.
#include "console/commandline.h"

#include "platform/asciitext.h"

#include <algorithm>
#include <cctype>

namespace vt::console {
namespace {

bool isSwitchOf(const std::string& arg, std::string_view name) {
    return arg.size() > 1 && (arg[0] == '-' || arg[0] == '/') &&
           platform::equalsNoCase(std::string_view(arg).substr(1), name);
}

} // namespace

CommandLine::CommandLine(std::vector<std::string> args) : m_args(std::move(args)) {}

CommandLine::CommandLine(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        m_args.emplace_back(argv[i]);
}

std::string CommandLine::command() const {
    if (m_args.empty())
        return {};
    return platform::toLowerAscii(m_args.front());
}

std::string CommandLine::secondArgument() const {
    return m_args.size() > 1 ? m_args[1] : "";
}

bool CommandLine::hasSwitch(std::string_view name) const {
    return std::any_of(m_args.begin(), m_args.end(),
                       [&](const std::string& a) { return isSwitchOf(a, name); });
}

std::optional<std::string> CommandLine::switchValue(std::string_view name) const {
    if (!m_args.empty() && m_args.front() == name)
        return secondArgument();
    for (std::size_t i = 0; i < m_args.size(); ++i) {
        if (isSwitchOf(m_args[i], name))
            return i + 1 < m_args.size() ? m_args[i + 1] : std::string();
    }
    return std::nullopt;
}

} // namespace vt::console
