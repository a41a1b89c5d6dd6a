// Byte-string helpers of the script conversions.
#include "desktop/scripts/sqltext.h"

namespace vt::desktop {

bool startsWithUpper(std::string_view text, std::string_view upperPrefix) {
    if (text.size() < upperPrefix.size())
        return false;
    for (std::size_t i = 0; i < upperPrefix.size(); ++i) {
        if (platform::toUpperAscii(text[i]) != upperPrefix[i])
            return false;
    }
    return true;
}

bool containsUpper(std::string_view text, std::string_view upperNeedle) {
    if (upperNeedle.empty())
        return true;
    if (text.size() < upperNeedle.size())
        return false;
    const char first = upperNeedle.front();
    const std::size_t last = text.size() - upperNeedle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (platform::toUpperAscii(text[i]) == first &&
            startsWithUpper(text.substr(i), upperNeedle))
            return true;
    }
    return false;
}

std::string removeAll(std::string_view text, std::string_view pattern) {
    if (pattern.empty())
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(pattern, from);
        if (at == std::string_view::npos)
            break;
        result.append(text.substr(from, at - from));
        from = at + pattern.size();
    }
    result.append(text.substr(from));
    return result;
}

} // namespace vt::desktop
